// Times the file-path walk (ScanFilePaths, category 13) over a large generated registry tree against
// a bare walk that opens every key and enumerates and reads every value with the plain registry
// calls, in the same run, and prints both times, their ratio and the process's peak memory.
//
//   bench_regwalk.exe            generate the tree, time both walks, delete the tree
//   bench_regwalk.exe generate   only generate (keys stay until "clean" or the registry restarts)
//   bench_regwalk.exe run        only time both walks over a tree made earlier
//   bench_regwalk.exe clean      delete the tree
//
// The tree lies at HKEY_CURRENT_USER\Software\VscBench\SOFTWARE and is shaped like a real
// HKEY_LOCAL_MACHINE\SOFTWARE: vendors, their products, product versions, and below each version
// settings, components and recent files; values are a mix of paths (files and folders, existing
// and missing), numbers, text and binary data. Its keys are volatile: they live in memory only, so a
// run never writes the tree into the registry files of the prefix.
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

#include "registry/RegScanThread.h"

namespace {

const char* const kBenchParent = "Software\\VscBench";
const char* const kBenchRoot = "Software\\VscBench\\SOFTWARE";
const std::string kBenchKeyPath = std::string("HKEY_CURRENT_USER\\") + kBenchRoot;

constexpr int kVendors = 1000;
constexpr int kProductsPerVendor = 5;
constexpr int kVersionsPerProduct = 4;
constexpr int kComponentsPerVersion = 6;
constexpr int kSettingsPerVersion = 14;
constexpr int kRecentPerVersion = 8;

// A small deterministic generator, so that every run builds the same tree.
struct Random {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::uint32_t Next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state >> 33);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
};

struct Counts {
    long long keys = 0;
    long long values = 0;
    long long paths = 0;
    long long missing = 0;
};

class Generator {
public:
    explicit Generator(Counts& counts) : counts_(counts) {
        char dir[MAX_PATH];
        const UINT n = GetSystemDirectoryA(dir, MAX_PATH);
        system_ = std::string(dir, n);
        const char* names[] = {"notepad.exe", "kernel32.dll", "user32.dll", "advapi32.dll", "shell32.dll",
                               "ole32.dll",   "regedit.exe",  "cmd.exe",    "comctl32.dll", "gdi32.dll"};
        for (const char* name : names) {
            const std::string path = system_ + "\\" + name;
            if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) present_.push_back(path);
        }
        if (present_.empty()) present_.push_back(system_);
    }

    HKEY Create(HKEY parent, const std::string& name) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(parent, name.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            std::fprintf(stderr, "cannot create key %s\n", name.c_str());
            std::exit(1);
        }
        ++counts_.keys;
        return key;
    }
    void Text(HKEY key, const std::string& name, const std::string& text, DWORD type = REG_SZ) {
        RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        ++counts_.values;
    }
    void Number(HKEY key, const std::string& name, DWORD number) {
        RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
        ++counts_.values;
    }
    void Binary(HKEY key, const std::string& name, int size) {
        std::vector<BYTE> bytes(static_cast<size_t>(size));
        for (BYTE& b : bytes) b = static_cast<BYTE>(random_.Next());
        RegSetValueExA(key, name.c_str(), 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
        ++counts_.values;
    }
    // A file path: most name existing system files, about one in five a missing program file.
    std::string FilePath(const std::string& vendor, const std::string& product, const char* ext) {
        ++counts_.paths;
        if (random_.Below(5) == 0) {
            ++counts_.missing;
            return "C:\\Program Files\\" + vendor + "\\" + product + "\\gone" + std::to_string(random_.Below(100)) + ext;
        }
        return present_[static_cast<size_t>(random_.Below(static_cast<int>(present_.size())))];
    }
    std::string FolderPath(const std::string& vendor, const std::string& product) {
        ++counts_.paths;
        if (random_.Below(5) == 0) {
            ++counts_.missing;
            return "C:\\Program Files\\" + vendor + "\\" + product + ".dir";
        }
        return system_;  // existing; no extension, so the check passes over it as the real one does
    }

    void Build() {
        HKEY parent = Create(HKEY_CURRENT_USER, kBenchParent);
        HKEY root = Create(parent, "SOFTWARE");
        RegCloseKey(parent);
        for (int v = 0; v < kVendors; ++v) {
            const std::string vendor = "Vendor" + std::to_string(v);
            HKEY vk = Create(root, vendor);
            Text(vk, "Publisher", vendor + " Corporation");
            Text(vk, "URL", "http://www.vendor" + std::to_string(v) + ".example/");
            for (int p = 0; p < kProductsPerVendor; ++p) {
                const std::string product = "Product" + std::to_string(p);
                HKEY pk = Create(vk, product);
                Text(pk, "InstallPath", FolderPath(vendor, product));
                Text(pk, "Version", std::to_string(1 + p) + "." + std::to_string(random_.Below(10)));
                Number(pk, "Language", 1033);
                Text(pk, "InstallDate", "2024" + std::to_string(1000 + random_.Below(1200)));
                for (int r = 0; r < kVersionsPerProduct; ++r) Version(pk, vendor, product, r);
                RegCloseKey(pk);
            }
            RegCloseKey(vk);
            if (v % 100 == 99) std::printf("  %d vendors, %lld keys, %lld values\n", v + 1, counts_.keys, counts_.values);
        }
        RegCloseKey(root);
    }

private:
    void Version(HKEY product, const std::string& vendor, const std::string& productName, int r) {
        HKEY k = Create(product, std::to_string(r + 1) + "." + std::to_string(random_.Below(10)));
        Text(k, "Path", FilePath(vendor, productName, ".exe"));
        Number(k, "Flags", random_.Next());
        Binary(k, "Data", 16 + random_.Below(48));
        Text(k, "Name", productName + " " + std::to_string(r + 1));

        HKEY s = Create(k, "Settings");
        for (int i = 0; i < kSettingsPerVersion; ++i) {
            const std::string name = "Option" + std::to_string(i);
            switch (i % 4) {
            case 0: Number(s, name, random_.Next()); break;
            case 1: Text(s, name, "value " + std::to_string(random_.Below(1000))); break;
            case 2: Binary(s, name, 4 + random_.Below(60)); break;
            default: Text(s, name, i == 3 ? FilePath(vendor, productName, ".ini") : "on"); break;
            }
        }
        RegCloseKey(s);

        HKEY c = Create(k, "Components");
        for (int i = 0; i < kComponentsPerVersion; ++i) {
            char guid[64];
            std::snprintf(guid, sizeof guid, "{%08X-%04X-%04X-%04X-%08X%04X}", random_.Next(), random_.Below(65536),
                          random_.Below(65536), random_.Below(65536), random_.Next(), random_.Below(65536));
            HKEY g = Create(c, guid);
            Text(g, "", FilePath(vendor, productName, ".dll"));
            Number(g, "Count", static_cast<DWORD>(1 + random_.Below(5)));
            Binary(g, "Hash", 20);
            Text(g, "Description", "Component " + std::to_string(i));
            RegCloseKey(g);
        }
        RegCloseKey(c);

        HKEY recent = Create(k, "Recent");
        for (int i = 0; i < kRecentPerVersion; ++i)
            Text(recent, "File" + std::to_string(i),
                 i < 2 ? FilePath(vendor, productName, ".txt") : "Document " + std::to_string(i));
        RegCloseKey(recent);
        RegCloseKey(k);
    }

    Counts& counts_;
    Random random_;
    std::string system_;
    std::vector<std::string> present_;
};

// The bare walk: every key opened below its parent, every value enumerated with its data.
struct BareTotals {
    long long keys = 0;
    long long values = 0;
    long long bytes = 0;
};

void BareWalk(HKEY key, BareTotals& totals, std::vector<char>& name, std::vector<BYTE>& data) {
    ++totals.keys;
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxData = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values, &maxValueName,
                         &maxData, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    if (name.size() < std::max(maxValueName, maxSubKey) + 1u) name.resize(std::max(maxValueName, maxSubKey) + 1u);
    if (data.size() < maxData + 1u) data.resize(maxData + 1u);
    for (DWORD i = 0; i < values; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength) == ERROR_SUCCESS) {
            ++totals.values;
            totals.bytes += dataLength;
        }
    }
    for (DWORD i = 0; i < subKeys; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        HKEY child = nullptr;
        if (RegOpenKeyExA(key, std::string(name.data(), nameLength).c_str(), 0, KEY_READ, &child) != ERROR_SUCCESS)
            continue;
        BareWalk(child, totals, name, data);
        RegCloseKey(child);
    }
}

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
    scan.SetCategoryIndex(13);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    scan.ScanFilePaths(kBenchKeyPath);
    QueryPerformanceCounter(&end);
    problems = lists->Count();
    return Seconds(start, end);
}

void Clean() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kBenchParent);
    RegDeleteKeyA(HKEY_CURRENT_USER, kBenchParent);
}

void Generate() {
    Clean();
    Counts counts;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    Generator(counts).Build();
    QueryPerformanceCounter(&end);
    std::printf("generated %lld keys and %lld values (%lld paths, %lld of them missing) in %.1f s\n", counts.keys,
                counts.values, counts.paths, counts.missing, Seconds(start, end));
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
        Generate();
    } else if (mode == "run") {
        Run();
    } else if (mode == "clean") {
        Clean();
    } else if (mode == "all") {
        Generate();
        Run();
        Clean();
    } else {
        std::fprintf(stderr, "usage: bench_regwalk [generate|run|clean]\n");
        return 2;
    }
    return 0;
}
