#include "repair/BackupFiles.h"

#include <algorithm>
#include <cctype>

#include "registry/CodePage.h"
#include "repair/portable/BackupFormat.h"

namespace vsc {

namespace {

constexpr unsigned long long kMaxReadBytes = 64ull * 1024 * 1024;

std::string UpperExtension(const std::string& name) {
    const auto dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool EnsureFolder(const std::string& folder) {
    if (IsFolder(folder)) return true;
    return CreateDirectoryA(folder.c_str(), nullptr) || IsFolder(folder);
}

// Writes the bytes to a fresh file at path and flushes them to disk.
bool WriteFlushed(const std::string& path, const std::string& contents) {
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

// Temporary file beside the target; its extension keeps it out of the backup list.
std::string TemporaryNameFor(const std::string& path) { return path + ".tmp"; }

}  // namespace

std::string ProgramBackupFolder() {
    char buffer[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::string exe = (n == 0 || n >= sizeof buffer) ? std::string() : std::string(buffer, n);
    const auto slash = exe.find_last_of("\\/");
    return (slash == std::string::npos ? std::string(".") : exe.substr(0, slash)) + "\\backup";
}

void ListBackupFiles(const std::string& folder, std::vector<std::string>& names) {
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &data));
    if (!find.valid()) return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::string name = data.cFileName;
        if (UpperExtension(name) == ".TXT") names.push_back(name);
    } while (FindNextFileA(find.get(), &data));
}

std::string NextBackupFileName(const std::string& folder) {
    std::vector<std::string> names;
    ListBackupFiles(folder, names);
    return NextBackupName(names);
}

std::string WriteNewBackupFile(const std::string& folder, const std::string& contents) {
    if (!EnsureFolder(folder)) return std::string();
    const std::string path = folder + "\\" + NextBackupFileName(folder);
    const std::string temp = TemporaryNameFor(path);
    if (!WriteFlushed(temp, contents) || !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp.c_str());
        return std::string();
    }
    return path;
}

bool ReplaceFileContents(const std::string& path, const std::string& contents) {
    const std::string temp = TemporaryNameFor(path);
    if (!WriteFlushed(temp, contents) ||
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

bool ReadBackupFile(const std::string& path, std::string& text) {
    if (!ReadWholeFile(path, text)) return false;
    text = FileTextToProcess(text);
    return true;
}

bool PathGone(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace vsc
