// Whole-file reads and writes that leave a file either complete on disk or unchanged.
#pragma once

#include <string>

namespace vsc {

// Writes the bytes to a fresh file at path (replacing one that is there) and flushes them to disk.
bool WriteFlushedFile(const std::string& path, const std::string& contents);

// The temporary file beside a target that a write goes to first; its extension (".tmp") keeps it
// out of the backup list.
std::string TemporaryNameFor(const std::string& path);

// Replaces an existing file's contents: the bytes go to the temporary file, are flushed and then
// renamed over the file. False when it failed; the old file is then unchanged.
bool ReplaceFileContents(const std::string& path, const std::string& contents);

// Reads a whole file; false when it cannot be opened or read (or is larger than 64 MB).
bool ReadWholeFile(const std::string& path, std::string& contents);

// True when nothing (file or folder) exists at the path any more.
bool PathGone(const std::string& path);

}  // namespace vsc
