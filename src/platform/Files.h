// Whole-file reads and writes that leave a file either complete on disk or unchanged.
#pragma once

#include <string>
#include <tuple>

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

// Volume serial number and file index: the identity of a folder whatever path reaches it (a link,
// another drive letter, a second name of the same folder).
using FolderIdentity = std::tuple<unsigned long, unsigned long, unsigned long>;
// False when the folder's identity cannot be read. "X:" alone names the drive's root here, not the
// current folder of drive X.
bool ReadFolderIdentity(const std::string& folder, FolderIdentity& id);

// Moves the file or folder to the recycle bin with the shell (a folder goes with its contents),
// without confirmation, progress or error boxes: nobody may be there to answer (the console tool).
// True when the shell reports success. A path that holds a wildcard ('?', '*') or does not fit the
// 8-bit calls is never handed on (false).
bool MoveToRecycleBin(const std::string& path);

}  // namespace vsc
