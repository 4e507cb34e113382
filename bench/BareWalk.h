// The walk the benchmarks measure the program against: the plain FindFirstFile/FindNextFile loop.
#pragma once

#include <windows.h>

#include <string>

namespace vsc::bench {

// The plain walk: every entry of every folder, recursively, as cheap as the system allows.
inline long long BareWalk(const std::string& folder) {
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return 0;
    long long entries = 0;
    do {
        if (fd.cFileName[0] == '.' && (fd.cFileName[1] == 0 || (fd.cFileName[1] == '.' && fd.cFileName[2] == 0)))
            continue;
        ++entries;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) entries += BareWalk(folder + "\\" + fd.cFileName);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return entries;
}

}  // namespace vsc::bench
