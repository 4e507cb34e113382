// Whole-file reads and writes that leave a file either complete on disk or unchanged.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>

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

// Volume and file number: the identity of a folder whatever path reaches it (a link, another drive
// letter, a second name of the same folder). The first member tells which of the system's two
// forms it holds (the 64-bit volume and 128-bit file number, or the older 32-bit volume serial and
// 64-bit file index), so that the two never pass for each other.
using FolderIdentity = std::tuple<int, unsigned long long, unsigned long long, unsigned long long>;
// False when the folder's identity cannot be read. "X:" alone names the drive's root here, not the
// current folder of drive X.
bool ReadFolderIdentity(const std::string& folder, FolderIdentity& id);

// The folders a walk has entered, so that none is entered twice by another name (a link the file
// system does not mark, a second drive letter), and no walk loops. A folder's file number alone is
// cheap to read; its full identity also names its volume, which under Wine costs a round trip to
// the mount manager. So the full identity is read only when a file number comes back, for the
// folder in hand and for the one first met with that number; the other folders cost one open.
class TFolderVisits {
public:
    // True when the folder is met for the first time. A folder whose identity cannot be read is
    // always entered: it cannot be told apart, and its listing is bounded by a path's length anyway.
    bool FirstVisit(const std::string& folder);
    void Clear();

private:
    std::unordered_map<unsigned long long, std::size_t> firstByNumber_;  // where its path starts
    std::string paths_;                   // the first folders' paths, each ended by a zero
    std::set<FolderIdentity> identities_;  // full identities, of the folders whose number came back
};

// Moves the file or folder to the recycle bin with the shell (a folder goes with its contents),
// without confirmation, progress or error boxes: nobody may be there to answer (the console tool).
// True when the shell reports success. A path that holds a wildcard ('?', '*') or does not fit the
// 8-bit calls is never handed on (false).
bool MoveToRecycleBin(const std::string& path);

}  // namespace vsc
