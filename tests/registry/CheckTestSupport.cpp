#include "CheckTestSupport.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <process.h>

#include <algorithm>
#include <cstdint>

namespace vsc::test {

std::vector<Problem> SortedByName(std::vector<Problem> problems) {
    std::stable_sort(problems.begin(), problems.end(), [](const Problem& a, const Problem& b) {
        return a.KeyPath != b.KeyPath ? a.KeyPath < b.KeyPath : a.ValueName < b.ValueName;
    });
    return problems;
}

EnvOverride::EnvOverride(const std::string& name, const std::string& value) : name_(name) {
    char buffer[32768];
    const DWORD n = GetEnvironmentVariableA(name.c_str(), buffer, sizeof buffer);
    hadOld_ = n > 0 && n < sizeof buffer;
    if (hadOld_) old_.assign(buffer, n);
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

EnvOverride::~EnvOverride() { SetEnvironmentVariableA(name_.c_str(), hadOld_ ? old_.c_str() : nullptr); }

bool WriteShellItemShortcut(const std::string& linkPath, const std::string& parsingName) {
    const HRESULT init = CoInitialize(nullptr);
    bool ok = false;
    LPITEMIDLIST pidl = nullptr;
    WCHAR wide[MAX_PATH * 2];
    HRESULT hr = E_FAIL;
    if (parsingName.empty())
        hr = SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &pidl);
    else if (MultiByteToWideChar(CP_ACP, 0, parsingName.c_str(), -1, wide, MAX_PATH * 2) > 0)
        hr = SHParseDisplayName(wide, nullptr, &pidl, 0, nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(hr) && pidl &&
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->SetIDList(pidl)) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH) > 0)
                ok = SUCCEEDED(file->Save(wide, TRUE));
            file->Release();
        }
        link->Release();
    }
    if (pidl) CoTaskMemFree(pidl);
    if (SUCCEEDED(init)) CoUninitialize();
    return ok;
}

namespace {

// Runs work on a thread with the given stack reservation and measures the stack it used: the
// committed part below the thread's entry is filled with a pattern first, and the deepest byte
// that changed marks the peak. Returns the peak in bytes.
struct StackRun {
    std::function<void()> work;
    std::size_t peak = 0;
};

unsigned __stdcall MeasuredThread(void* param) {
    auto* run = static_cast<StackRun*>(param);
    volatile char anchor = 0;
    const auto top = reinterpret_cast<std::uintptr_t>(&anchor);
    // The lowest committed, writable page of this thread's stack: the pages below it (reserved
    // ones and the guard page) are left alone.
    MEMORY_BASIC_INFORMATION region{};
    VirtualQuery(const_cast<char*>(&anchor), &region, sizeof region);
    std::uintptr_t low = top;
    for (auto p = reinterpret_cast<std::uintptr_t>(region.AllocationBase); p < top;) {
        MEMORY_BASIC_INFORMATION m{};
        if (!VirtualQuery(reinterpret_cast<void*>(p), &m, sizeof m)) break;
        if (m.State == MEM_COMMIT && !(m.Protect & PAGE_GUARD) && (m.Protect & PAGE_READWRITE)) {
            low = p;
            break;
        }
        p = reinterpret_cast<std::uintptr_t>(m.BaseAddress) + m.RegionSize;
    }
    const std::uintptr_t paintEnd = top - 512;
    for (std::uintptr_t p = low; p < paintEnd; ++p) *reinterpret_cast<volatile char*>(p) = static_cast<char>(0xA5);
    run->work();
    std::uintptr_t scan = low;
    while (scan < paintEnd && *reinterpret_cast<volatile char*>(scan) == static_cast<char>(0xA5)) ++scan;
    run->peak = static_cast<std::size_t>(top - scan);
    return 0;
}

}  // namespace

std::size_t RunMeasuringStack(std::size_t reserve, std::function<void()> work) {
    StackRun run{std::move(work)};
    HANDLE thread = reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, static_cast<unsigned>(reserve), &MeasuredThread, &run, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread) return static_cast<std::size_t>(-1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return run.peak;
}

char FixtureDrive() {
    char buffer[8];
    const DWORD n = GetEnvironmentVariableA("VSC_FIXTURE_DRIVE", buffer, sizeof buffer);
    return n == 1 ? buffer[0] : 0;
}

}  // namespace vsc::test
