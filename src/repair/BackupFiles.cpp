#include "repair/BackupFiles.h"

#include "platform/CodePage.h"
#include "platform/Handles.h"
#include "platform/portable/Text.h"
#include "repair/portable/BackupFormat.h"

namespace vsc {

namespace {

std::string UpperExtension(const std::string& name) {
    const auto dot = name.rfind('.');
    return UpperAscii(dot == std::string::npos ? std::string() : name.substr(dot));
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool EnsureFolder(const std::string& folder) {
    if (IsFolder(folder)) return true;
    return CreateDirectoryA(folder.c_str(), nullptr) || IsFolder(folder);
}

}  // namespace

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

bool TBackupAppender::Create(const std::string& folder) {
    if (!EnsureFolder(folder)) return false;
    // A file that appears under the chosen name meanwhile is never replaced: the next number is taken.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::string path = folder + "\\" + NextBackupFileName(folder);
        file_.reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file_) {
            path_ = path;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

bool TBackupAppender::Append(const std::string& bytes) {
    if (!file_ || broken_) return false;
    DWORD written = 0;
    if (WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size()) {
        size_ += written;
        return true;
    }
    // A record cut in two would spoil the records after it: the file goes back to its last whole one.
    broken_ = true;
    LARGE_INTEGER at;
    at.QuadPart = size_;
    if (SetFilePointerEx(file_.get(), at, nullptr, FILE_BEGIN)) SetEndOfFile(file_.get());
    return false;
}

bool TBackupAppender::Finish() {
    if (!file_) return false;
    const bool flushed = FlushFileBuffers(file_.get()) != 0;
    file_.reset();
    return flushed;
}

bool ReadBackupFile(const std::string& path, std::string& text) {
    if (!ReadWholeFile(path, text)) return false;
    text = FileTextToProcess(text);
    return true;
}

}  // namespace vsc
