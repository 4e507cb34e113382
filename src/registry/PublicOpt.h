// File references in registry data: the helpers every category check uses to cut registry text
// into a file path and to ask whether that file or folder exists. Stateless; safe on the worker
// thread. The pure text tests live in registry/portable/PathText.h.
#pragma once

#include <string>
#include <vector>

#include "registry/portable/PathText.h"

namespace vsc {

// True when the text holds a ':' and names an existing file (a folder is not a file). A text with
// no ':' (relative names, bare names, \\server paths) is false without touching the disk.
bool FileExistsWithDrive(const std::string& text);

// The text with a leading %NAME% reference replaced by the environment variable; see the rules in
// the implementation. Any other text comes back unchanged.
std::string ExpandLeadingEnvVar(const std::string& text);

// True when the text names an existing file; a bare name (no '\') is looked for in each folder of
// the "path" variable. Any error counts as existing.
bool FileExistsOnPath(const std::string& text);

// The pieces of the "path" variable split at ';', untrimmed; always at least one (possibly empty).
std::vector<std::string> GetSearchPathList();

// True when the text names an existing folder.
bool FolderExists(const std::string& text);

// The environment variable's value; "" when it is unset.
std::string EnvironmentVariable(const std::string& name);

// The Windows system directory.
std::string GetSystemDir();

// The target path of a shortcut file, or "" when it has no file-system target or cannot be read.
// Initialises COM for the span of the call. Throws ComError when the shell link object cannot be
// created or queried.
std::string GetShortcutTarget(const std::string& linkPath);

// Raised by GetShortcutTarget.
struct ComError {
    long hr;
};

}  // namespace vsc
