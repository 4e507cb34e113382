// The generated registry tree of the registry benchmarks, shaped like a real
// HKEY_LOCAL_MACHINE\SOFTWARE: vendors, their products, product versions, and below each version
// settings, components and recent files; values are a mix of paths (files and folders, existing
// and missing), numbers, text and binary data. Its keys are volatile: they live in memory only, so
// a run never writes the tree into the registry files of the prefix. Also the bare walk that the
// benchmarks compare the scan with.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace vsc::bench {

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

    // Null after a line on standard error when the key cannot be made: the generator then makes
    // nothing more, and the caller (which checks Failed) removes what was made.
    HKEY Create(HKEY parent, const std::string& name) {
        HKEY key = nullptr;
        if (failed_) return nullptr;
        if (RegCreateKeyExA(parent, name.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            std::fprintf(stderr, "cannot create key %s\n", name.c_str());
            failed_ = true;
            return nullptr;
        }
        ++counts_.keys;
        return key;
    }
    bool Failed() const { return failed_; }
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

    // Makes the tree at rootKey\\path (keys on the way included, all volatile): `vendors` vendors of
    // 206 keys and 1,022 values each.
    void Build(HKEY rootKey, const std::string& path, int vendors) {
        HKEY root = Create(rootKey, path);
        for (int v = 0; v < vendors && !failed_; ++v) {
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
    bool failed_ = false;
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

}  // namespace vsc::bench
