// Makes the benchmark file tree: bench_gen_filetree.exe [folder] (default: %TEMP%\VscBenchTree).
#include <cstdio>

#include "FileTree.h"

int main(int argc, char** argv) {
    const std::string root = argc > 1 ? argv[1] : vsc::bench::DefaultTreeRoot();
    std::printf("file tree %s: %d files in %d folders\n", root.c_str(), vsc::bench::kFiles, vsc::bench::kFolders);
    if (!vsc::bench::MakeTree(root)) {
        std::printf("failed (error %lu)\n", GetLastError());
        return 1;
    }
    return 0;
}
