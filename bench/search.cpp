// Times TSearchFolders::Search over the benchmark tree (the shipped default filters, Messages on,
// with a real window and message loop on the thread) against a bare FindFirstFile/FindNextFile
// walk of the same tree, in the same run, and prints both and their ratio (target: 1.5 or less).
// bench_search.exe [folder]   (default: %TEMP%\VscBenchTree, made first when missing and removed at
// the end, as the tests search the prefix's drive C; a folder given is kept)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "BareWalk.h"
#include "FileTree.h"
#include "RemoveTree.h"
#include "diskclean/SFolders.h"
#include "settings/Settings.h"
#include "settings/portable/FilterList.h"

namespace {


double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

LRESULT CALLBACK WndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

}  // namespace

int main(int argc, char** argv) {
    const std::string root = argc > 1 ? argv[1] : vsc::bench::DefaultTreeRoot();
    const vsc::bench::RemovedAtEnd removed{argc > 1 ? std::string() : root};
    if (!vsc::bench::TreeIsComplete(root)) {
        std::printf("making the file tree %s ...\n", root.c_str());
        if (!vsc::bench::MakeTree(root)) return 1;
    }

    // A visible window with a timer, so that the search's message dispatch has real work.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VscBenchWindow";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("VscBenchWindow", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                nullptr, wc.hInstance, nullptr);
    SetTimer(window, 1, 10, nullptr);

    std::string masks = vsc::FilterMaskList(
        vsc::ReadIniString("FileFilters", "DefaultExp", "", vsc::DefaultIniFileName()));
    if (masks.empty()) masks = "*.tmp,*._mp,*.bak,*.dmp,file????.chk,thumbs.db,";
    std::printf("masks: %s\n", masks.c_str());

    vsc::TSearchFolders search;
    search.ScanOptions = vsc::soSpecifiedDir;
    search.ScanDir = root;
    search.FileMask = masks;
    search.Messages = true;
    int folders = 0;
    search.OnProcess = [&](vsc::TSearchFolders&, const std::string&, int, std::int64_t, int, int, int) { ++folders; };

    long long entries = vsc::bench::BareWalk(root);  // warms the caches for both
    double bestBare = 1e9, bestSearch = 1e9;
    for (int round = 0; round < 3; ++round) {
        auto t = std::chrono::steady_clock::now();
        entries = vsc::bench::BareWalk(root);
        bestBare = std::min(bestBare, Seconds(t));
        folders = 0;
        t = std::chrono::steady_clock::now();
        search.Search();
        bestSearch = std::min(bestSearch, Seconds(t));
    }
    std::printf("entries %lld, folders %d, found %d (%.1f%%)\n", entries, folders, search.CountFiles(),
                100.0 * search.CountFiles() / std::max(1LL, entries));
    std::printf("bare FindFirstFile/FindNextFile walk: %.3f s\n", bestBare);
    std::printf("TSearchFolders::Search (Messages on):  %.3f s\n", bestSearch);
    std::printf("ratio: %.2f (target 1.5)\n", bestSearch / bestBare);

    // For comparison: the same search without dispatching, and dispatching after every entry.
    double quiet = 1e9, eager = 1e9;
    search.Messages = false;
    for (int round = 0; round < 3; ++round) {
        const auto t = std::chrono::steady_clock::now();
        search.Search();
        quiet = std::min(quiet, Seconds(t));
    }
    search.Messages = true;
    search.YieldIntervalMs = 0;
    for (int round = 0; round < 2; ++round) {
        const auto t = std::chrono::steady_clock::now();
        search.Search();
        eager = std::min(eager, Seconds(t));
    }
    std::printf("Search without Messages: %.3f s (%.2f); dispatching after every entry: %.3f s (%.2f)\n", quiet,
                quiet / bestBare, eager, eager / bestBare);
    DestroyWindow(window);
    return 0;
}
