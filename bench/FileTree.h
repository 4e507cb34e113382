// The file tree the folder-search benchmark walks: 20 x 20 x 50 = 20,000 leaf folders of ten
// files each (200,000 files), about 3 per cent of them junk that the shipped default filters
// match. Made once; a marker file says the tree is complete, so later runs reuse it.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace vsc::bench {

constexpr int kTop = 20, kMiddle = 20, kLeaf = 50, kFilesPerFolder = 10;
constexpr int kFolders = kTop * kMiddle * kLeaf;
constexpr int kFiles = kFolders * kFilesPerFolder;

inline std::string DefaultTreeRoot() {
    char temp[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, temp);
    std::string base = (n == 0 || n >= MAX_PATH) ? std::string("C:\\") : std::string(temp, n);
    if (base.back() != '\\') base += '\\';
    return base + "VscBenchTree";
}

// Name of file i of a leaf folder; `serial` runs over the whole tree. Three in a hundred are junk.
inline std::string TreeFileName(int serial, int i) {
    static const char* const kJunk[] = {"~DF%04X.tmp", "report%d.doc.bak", "crash%d.dmp", "Thumbs.db",
                                        "FILE%04d.CHK", "setup%d._mp"};
    static const char* const kKeep[] = {"notes%d.txt", "photo%d.jpg", "lib%d.dll", "main%d.cpp", "letter%d.docx",
                                        "data%d.db", "readme%d.md", "sheet%d.xlsx", "song%d.mp3", "index%d.html"};
    char name[64];
    if (serial % 100 < 3)
        snprintf(name, sizeof name, kJunk[serial % 6], serial % 10000);
    else
        snprintf(name, sizeof name, kKeep[i], serial);
    return name;
}

inline bool TreeIsComplete(const std::string& root) {
    return GetFileAttributesA((root + "\\tree.done").c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Makes the tree under `root` unless a complete one is there. Returns false on failure.
inline bool MakeTree(const std::string& root) {
    if (TreeIsComplete(root)) return true;
    CreateDirectoryA(root.c_str(), nullptr);
    int serial = 0;
    for (int a = 0; a < kTop; ++a) {
        const std::string da = root + "\\top" + std::to_string(a);
        CreateDirectoryA(da.c_str(), nullptr);
        for (int b = 0; b < kMiddle; ++b) {
            const std::string db = da + "\\mid" + std::to_string(b);
            CreateDirectoryA(db.c_str(), nullptr);
            for (int c = 0; c < kLeaf; ++c) {
                const std::string dc = db + "\\leaf" + std::to_string(c);
                if (!CreateDirectoryA(dc.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
                for (int i = 0; i < kFilesPerFolder; ++i, ++serial) {
                    const std::string f = dc + "\\" + TreeFileName(serial, i);
                    HANDLE h = CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                    if (h == INVALID_HANDLE_VALUE) return false;
                    DWORD written = 0;
                    WriteFile(h, "junk", 4, &written, nullptr);
                    CloseHandle(h);
                }
            }
        }
        std::printf("  made %d of %d top folders\n", a + 1, kTop);
        std::fflush(stdout);
    }
    HANDLE done = CreateFileA((root + "\\tree.done").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (done == INVALID_HANDLE_VALUE) return false;
    CloseHandle(done);
    return true;
}

}  // namespace vsc::bench
