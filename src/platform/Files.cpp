#include "platform/Files.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/Handles.h"

namespace vsc {

namespace {
constexpr unsigned long long kMaxReadBytes = 64ull * 1024 * 1024;
}  // namespace

bool WriteFlushedFile(const std::string& path, const std::string& contents) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file) return false;
    std::size_t done = 0;
    while (done < contents.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), contents.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return FlushFileBuffers(file.get()) != 0;
}

std::string TemporaryNameFor(const std::string& path) { return path + ".tmp"; }

bool ReplaceFileContents(const std::string& path, const std::string& contents) {
    const std::string temp = TemporaryNameFor(path);
    if (!WriteFlushedFile(temp, contents) ||
        !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    contents.clear();
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > kMaxReadBytes)
        return false;
    contents.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < contents.size()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), &contents[done], static_cast<DWORD>(contents.size() - done), &read, nullptr))
            return false;
        if (read == 0) break;
        done += read;
    }
    contents.resize(done);
    return true;
}

bool PathGone(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool ReadFolderIdentity(const std::string& folder, FolderIdentity& id) {
    const std::string name = (folder.size() == 2 && folder[1] == ':') ? folder + "\\" : folder;
    UniqueFile file(CreateFileA(name.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file || !GetFileInformationByHandle(file.get(), &info)) return false;
    id = FolderIdentity(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
    return true;
}

bool MoveToRecycleBin(const std::string& path) {
    // The shell reads '?' and '*' as wildcards and would take every entry they match.
    if (path.empty() || HasWildcard(path) || !FitsAnsiPath(path)) return false;
    std::string from = path;
    from.push_back('\0');  // a one-item list: the string's own terminator ends it
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

}  // namespace vsc
