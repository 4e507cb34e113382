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

std::string WriteNewBackupFile(const std::string& folder, const std::string& contents) {
    if (!EnsureFolder(folder)) return std::string();
    const std::string path = folder + "\\" + NextBackupFileName(folder);
    const std::string temp = TemporaryNameFor(path);
    if (!WriteFlushedFile(temp, contents) || !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp.c_str());
        return std::string();
    }
    return path;
}

bool ReadBackupFile(const std::string& path, std::string& text) {
    if (!ReadWholeFile(path, text)) return false;
    text = FileTextToProcess(text);
    return true;
}

}  // namespace vsc
