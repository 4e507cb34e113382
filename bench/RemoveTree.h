// Removing what a benchmark generated, so that the build's prefix holds none of it afterwards: the
// tests search the prefix's drives and registry, and would find (or crawl through) it.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace vsc::bench {

// Deletes the folder and everything below it; links to folders are removed, never followed.
// Files marked read-only are deleted too. What cannot be deleted stays.
inline void RemoveTree(const std::string& folder) {
    if (folder.empty()) return;  // never the current drive's root
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            const DWORD attributes = data.dwFileAttributes;
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(path);
                continue;
            }
            if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (attributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryA(path.c_str());
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

// Removes the folders (an empty name stands for none) when it goes out of scope: on every way out of the benchmark's main, a
// failure half-way included. Declare it before whatever uses the folders (a lent drive letter),
// so that it runs after they are done.
class RemovedAtEnd {
public:
    explicit RemovedAtEnd(std::initializer_list<std::string> folders) : folders_(folders) {}
    ~RemovedAtEnd() {
        for (const std::string& folder : folders_)
            if (!folder.empty()) RemoveTree(folder);
    }
    RemovedAtEnd(const RemovedAtEnd&) = delete;
    RemovedAtEnd& operator=(const RemovedAtEnd&) = delete;

private:
    std::vector<std::string> folders_;
};

}  // namespace vsc::bench
