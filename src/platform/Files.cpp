#include "platform/Files.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

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

namespace {

HANDLE OpenFolderForIdentity(const std::string& folder) {
    const std::string name = (folder.size() == 2 && folder[1] == ':') ? folder + "\\" : folder;
    return CreateFileA(name.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool IdentityOfHandle(HANDLE file, FolderIdentity& id) {
    // The file-id record (FILE_ID_INFO, Windows 8 and later), else the older record.
    struct {
        ULONGLONG Volume;
        BYTE Number[16];
    } fileId{};
    const auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
    if (GetFileInformationByHandleEx(file, kFileIdInfo, &fileId, sizeof fileId)) {
        unsigned long long low = 0, high = 0;
        std::memcpy(&low, fileId.Number, sizeof low);
        std::memcpy(&high, fileId.Number + sizeof low, sizeof high);
        id = FolderIdentity(1, fileId.Volume, high, low);
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) return false;
    id = FolderIdentity(0, info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
    return true;
}

// The file's number on its volume (the system's internal file information), without the volume.
bool FileNumberOfHandle(HANDLE file, unsigned long long& number) {
    struct IoStatus {
        union {
            LONG Status;
            PVOID Pointer;
        };
        ULONG_PTR Information;
    };
    using QueryInformationFile = LONG(NTAPI*)(HANDLE, IoStatus*, PVOID, ULONG, int);
    constexpr int kFileInternalInformation = 6;
    static const auto query = reinterpret_cast<QueryInformationFile>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationFile")));
    if (!query) return false;
    IoStatus status{};
    LARGE_INTEGER index{};
    if (query(file, &status, &index, sizeof index, kFileInternalInformation) < 0) return false;
    number = static_cast<unsigned long long>(index.QuadPart);
    return true;
}

}  // namespace

bool ReadFolderIdentity(const std::string& folder, FolderIdentity& id) {
    UniqueFile file(OpenFolderForIdentity(folder));
    return file && IdentityOfHandle(file.get(), id);
}

bool TFolderVisits::FirstVisit(const std::string& folder) {
    UniqueFile file(OpenFolderForIdentity(folder));
    if (!file) return true;
    unsigned long long number = 0;
    FolderIdentity id;
    if (!FileNumberOfHandle(file.get(), number)) return !IdentityOfHandle(file.get(), id) || identities_.insert(id).second;
    constexpr std::size_t kWeighed = static_cast<std::size_t>(-1);  // its identity is in identities_
    const auto first = firstByNumber_.emplace(number, paths_.size());
    if (first.second) {
        paths_.append(folder).push_back('\0');
        return true;
    }
    // The number came back: the same folder again, or one of another volume. The full identities
    // tell, for this folder and the first one of that number.
    if (first.first->second != kWeighed) {
        FolderIdentity earlier;
        if (ReadFolderIdentity(paths_.c_str() + first.first->second, earlier)) identities_.insert(earlier);
        first.first->second = kWeighed;
    }
    return !IdentityOfHandle(file.get(), id) || identities_.insert(id).second;
}

void TFolderVisits::Clear() {
    firstByNumber_.clear();
    paths_.clear();
    identities_.clear();
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
