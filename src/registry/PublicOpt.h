// File references in registry data: the helpers every category check uses to cut registry text
// into a file path and to ask whether that file or folder exists. The free functions are
// stateless; all are safe on the worker thread. The pure text tests live in
// registry/portable/PathText.h.
#pragma once

#include <string>
#include <vector>

#include "platform/Handles.h"
#include "registry/portable/PathText.h"

struct IShellLinkW;
struct IPersistFile;

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

// FileExistsWithDrive(text) || FolderExists(text), answered by one question to the file system
// (two for a text with a wildcard, which the file test matches as a pattern).
bool FileOrFolderExists(const std::string& text);

// The environment variable's value; "" when it is unset.
std::string EnvironmentVariable(const std::string& name);

// The Windows system directory.
std::string GetSystemDir();

// The target path of a shortcut file, or "" when it has no file-system target or cannot be read.
// Initialises COM and makes a shell link object for the span of the call. Throws ComError when
// the shell link object cannot be created or queried.
std::string GetShortcutTarget(const std::string& linkPath);

// Raised by GetShortcutTarget and TShortcutReader.
struct ComError {
    long hr;
};

// Reads the targets of many shortcut files through one shell link object, made at the first read
// and loaded with each file in turn: Target gives what GetShortcutTarget gives, file by file.
// Initialises COM for its own life (a reference count only, where the thread has it already).
// Belongs to the thread that made it.
class TShortcutReader {
public:
    TShortcutReader();  // out of line, as the COM interfaces are only declared here
    ~TShortcutReader();
    TShortcutReader(const TShortcutReader&) = delete;
    TShortcutReader& operator=(const TShortcutReader&) = delete;

    // Throws ComError when the shell link object cannot be created or queried.
    std::string Target(const std::string& linkPath);

private:
    void Open();
    void Close();

    ComApartment com_;
    ComPtr<IShellLinkW> link_;   // released before com_ goes
    ComPtr<IPersistFile> file_;
    bool used_ = false;  // a file has been loaded into the object
};

}  // namespace vsc
