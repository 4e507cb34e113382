// Times the file-path walk (ScanFilePaths, category 13) over a large generated registry tree against
// a bare walk that opens every key and enumerates and reads every value with the plain registry
// calls, in the same run, and prints both times, their ratio and the process's peak memory.
//
//   bench_regwalk.exe            generate the tree, time both walks, delete the tree
//   bench_regwalk.exe generate   only generate (keys stay until "clean" or the registry restarts)
//   bench_regwalk.exe run        only time both walks over a tree made earlier
//   bench_regwalk.exe clean      delete the tree
//
// The tree (RegTree.h) lies at HKEY_CURRENT_USER\Software\VscBench\SOFTWARE; its keys are volatile.
#include <windows.h>
#define PSAPI_VERSION 2
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "RegTree.h"
#include "registry/RegScanThread.h"

namespace {

using namespace vsc::bench;

const char* const kBenchParent = "Software\\VscBench";
const char* const kBenchRoot = "Software\\VscBench\\SOFTWARE";
const std::string kBenchKeyPath = std::string("HKEY_CURRENT_USER\\") + kBenchRoot;

constexpr int kVendors = 1000;

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double TimeBare(BareTotals& totals) {
    totals = BareTotals();
    std::vector<char> name(256);
    std::vector<BYTE> data(1024);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    HKEY root = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kBenchRoot, 0, KEY_READ, &root) == ERROR_SUCCESS) {
        BareWalk(root, totals, name, data);
        RegCloseKey(root);
    }
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

double TimeCheck(std::size_t& problems) {
    auto lists = std::make_shared<vsc::ScanResultLists>();
    vsc::TRegScanThread scan(true, lists, std::string(vsc::kSelectionLength, '0'), "");
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    scan.RunCheck(13, kBenchKeyPath);
    QueryPerformanceCounter(&end);
    problems = lists->Count();
    return Seconds(start, end);
}

void Clean() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kBenchParent);
    RegDeleteKeyA(HKEY_CURRENT_USER, kBenchParent);
}

// False, with nothing left behind, when the tree could not be made.
bool Generate() {
    Clean();
    Counts counts;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    Generator generator(counts);
    generator.Build(HKEY_CURRENT_USER, kBenchRoot, kVendors);
    if (generator.Failed()) {
        Clean();
        return false;
    }
    QueryPerformanceCounter(&end);
    std::printf("generated %lld keys and %lld values (%lld paths, %lld of them missing) in %.1f s\n", counts.keys,
                counts.values, counts.paths, counts.missing, Seconds(start, end));
    return true;
}

void Run() {
    // Rounds alternate the two walks, so that neither alone profits from a warm cache or suffers
    // from a busy machine; the best time of each is compared.
    constexpr int kRounds = 3;
    double bare = 1e300, check = 1e300;
    BareTotals totals;
    std::size_t problems = 0;
    for (int round = 0; round < kRounds; ++round) {
        const double b = TimeBare(totals);
        const double c = TimeCheck(problems);
        std::printf("round %d: bare walk %.2f s, ScanFilePaths %.2f s, ratio %.2f\n", round + 1, b, c, c / b);
        bare = std::min(bare, b);
        check = std::min(check, c);
    }
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("tree: %lld keys, %lld values, %lld bytes of data\n", totals.keys, totals.values, totals.bytes);
    std::printf("bare walk:     %.2f s (best of %d)\n", bare, kRounds);
    std::printf("ScanFilePaths: %.2f s (best of %d; %zu problems)\n", check, kRounds, problems);
    std::printf("ratio:         %.2f (target: within 1.5)\n", check / bare);
    std::printf("peak memory:   %.1f MB working set, %.1f MB committed\n",
                static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0),
                static_cast<double>(memory.PeakPagefileUsage) / (1024.0 * 1024.0));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "all";
    if (mode == "generate") {
        if (!Generate()) return 1;
    } else if (mode == "run") {
        Run();
    } else if (mode == "clean") {
        Clean();
    } else if (mode == "all") {
        if (!Generate()) return 1;
        Run();
        Clean();
    } else {
        std::fprintf(stderr, "usage: bench_regwalk [generate|run|clean]\n");
        return 2;
    }
    return 0;
}
