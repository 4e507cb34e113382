#include "support/TestSupport.h"

#include <atomic>
#include <stdexcept>

#include "registry/NTReg.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <sddl.h>

namespace vsc::test {

namespace {

std::string EnvVar(const char* name) {
    char buffer[4096];
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return (n == 0 || n >= sizeof buffer) ? std::string() : std::string(buffer, n);
}

std::string UniqueName(const std::string& hint) {
    static std::atomic<unsigned> counter{0};
    return (hint.empty() ? std::string("t") : hint) + "_" + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(counter++);
}

std::string TrimSlash(std::string s) {
    while (!s.empty() && (s.back() == '/' || s.back() == '\\')) s.pop_back();
    return s;
}

}  // namespace

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool InBuildPrefix() {
    if (!RunningUnderWine()) return false;
    const std::string expected = TrimSlash(EnvVar("VSC_BUILD_PREFIX"));
    const std::string actual = TrimSlash(EnvVar("WINEPREFIX"));
    return !expected.empty() && expected == actual;
}

HKEY CreateKeyPath(const std::string& keyPath) {
    const HKEY root = RootKeyHandle(keyPath);
    if (!root) return nullptr;
    HKEY key = nullptr;
    const std::string sub = SplitKeyPath(keyPath).subKey;
    if (RegCreateKeyExA(root, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

namespace {
void* Ntdll(const char* name) { return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)); }
}  // namespace

ScratchLink::ScratchLink(const std::string& keyPath, const std::string& target) : subKey_(SplitKeyPath(keyPath).subKey) {
    // The link holds its target's NT name ("\REGISTRY\USER\<sid>\..."), as NtQueryKey tells it.
    struct {
        ULONG size;
        WCHAR name[1024];
    } nt{};
    ULONG got = 0;
    const auto ntQueryKey = reinterpret_cast<LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*)>(Ntdll("NtQueryKey"));
    const HKEY to = CreateKeyPath(target);
    const bool named = to && ntQueryKey(to, 3 /* KeyNameInformation */, &nt, sizeof nt, &got) == 0;
    if (to) RegCloseKey(to);
    HKEY link = nullptr;
    if (!named || RegCreateKeyExA(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                                  KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, nullptr) != ERROR_SUCCESS)
        return;
    ok_ = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(nt.name), nt.size) == ERROR_SUCCESS;
    RegCloseKey(link);
}

ScratchLink::~ScratchLink() {
    // Deleted by name, the link's target would go: the link is opened as itself and deleted by handle.
    HKEY link = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey_.c_str(), REG_OPTION_OPEN_LINK, DELETE | KEY_READ, &link) == ERROR_SUCCESS) {
        reinterpret_cast<LONG(WINAPI*)(HANDLE)>(Ntdll("NtDeleteKey"))(link);
        RegCloseKey(link);
    }
}

bool DeleteKeyTree(const std::string& keyPath) {
    const HKEY root = RootKeyHandle(keyPath);
    const std::string sub = SplitKeyPath(keyPath).subKey;
    if (!root || sub.empty()) return false;  // never a whole root
    RegDeleteTreeA(root, sub.c_str());
    RegDeleteKeyA(root, sub.c_str());
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, sub.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
    }
    return true;
}

bool ReadValue(const std::string& keyPath, const std::string& name, DWORD& type, std::string& data) {
    TNTRegistry reg;
    if (!OpenKeyPath(keyPath, reg, false)) return false;
    return reg.ReadRawValue(name, type, data);
}

bool ValueExists(const std::string& keyPath, const std::string& name) {
    DWORD type;
    std::string data;
    return ReadValue(keyPath, name, type, data);
}

ScratchKey::ScratchKey(const std::string& name)
    : subKey_("Software\\VscTest\\" + UniqueName(name)), path_("HKEY_CURRENT_USER\\" + subKey_) {
    DeleteKeyTree(path_);
    HKEY key = CreateKeyPath(path_);
    if (!key) throw std::runtime_error("cannot create scratch key " + path_);
    RegCloseKey(key);
}

ScratchKey::~ScratchKey() { DeleteKeyTree(path_); }

void ScratchKey::CreateKey(const std::string& relative) const {
    HKEY key = CreateKeyPath(relative.empty() ? path_ : Child(relative));
    if (!key) throw std::runtime_error("cannot create " + Child(relative));
    RegCloseKey(key);
}

void ScratchKey::SetBytes(const std::string& relative, const std::string& name, const void* data, DWORD size,
                          DWORD type) const {
    HKEY key = CreateKeyPath(relative.empty() ? path_ : Child(relative));
    if (!key) throw std::runtime_error("cannot create " + Child(relative));
    const LONG rc = RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) throw std::runtime_error("cannot set value " + name);
}

void ScratchKey::SetString(const std::string& relative, const std::string& name, const std::string& data,
                           DWORD type) const {
    SetBytes(relative, name, data.c_str(), static_cast<DWORD>(data.size() + 1), type);
}

bool RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = path + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            const bool isLink = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !isLink)
                RemoveTree(full);
            else if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryA(full.c_str());
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryA(path.c_str()) != 0;
}

ScratchDir::ScratchDir(const std::string& name) {
    char temp[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, temp);
    std::string base = (n == 0 || n >= MAX_PATH) ? std::string("C:\\") : std::string(temp, n);
    if (base.back() != '\\') base += '\\';
    base += "VscTest";
    CreateDirectoryA(base.c_str(), nullptr);
    path_ = base + "\\" + UniqueName(name);
    RemoveTree(path_);
    if (!CreateDirectoryA(path_.c_str(), nullptr)) throw std::runtime_error("cannot create " + path_);
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

std::string ScratchDir::MakeDir(const std::string& relative) const {
    std::string full = path_;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('\\', start);
        if (end == std::string::npos) end = relative.size();
        full += "\\" + relative.substr(start, end - start);
        CreateDirectoryA(full.c_str(), nullptr);
        start = end + 1;
    }
    return full;
}

std::string ScratchDir::WriteFile(const std::string& relative, const std::string& contents) const {
    const auto slash = relative.rfind('\\');
    if (slash != std::string::npos) MakeDir(relative.substr(0, slash));
    const std::string full = File(relative);
    HANDLE file = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + full);
    DWORD written = 0;
    ::WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
    return full;
}

void PumpMessagesFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

namespace {

// Saves a shortcut to the target through the 8-bit or the Unicode shell link interface.
template <typename Link, typename Text>
bool SaveShortcut(REFIID iid, const std::string& linkPath, const Text& target) {
    const HRESULT init = CoInitialize(nullptr);
    Link* link = nullptr;
    IPersistFile* file = nullptr;
    WCHAR wide[MAX_PATH];
    const bool ok =
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->SetPath(target.c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH) > 0 && SUCCEEDED(file->Save(wide, TRUE));
    if (file) file->Release();
    if (link) link->Release();
    if (SUCCEEDED(init)) CoUninitialize();
    return ok;
}

}  // namespace

bool WriteShortcut(const std::string& linkPath, const std::string& target) {
    return SaveShortcut<IShellLinkA>(IID_IShellLinkA, linkPath, target);
}

bool WriteWideShortcut(const std::string& linkPath, const std::wstring& target) {
    return SaveShortcut<IShellLinkW>(IID_IShellLinkW, linkPath, target);
}

LockedKey::LockedKey(const std::string& subKey) : subKey_(subKey) { ok_ = Apply("D:(D;;0x2;;;WD)(A;;KA;;;WD)"); }

LockedKey::~LockedKey() { Apply("D:(A;;KA;;;WD)"); }

bool LockedKey::Apply(const char* sddl) const {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr)) return false;
    HKEY key = nullptr;
    bool ok = false;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey_.c_str(), 0, WRITE_DAC | READ_CONTROL, &key) == ERROR_SUCCESS) {
        ok = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    LocalFree(descriptor);
    return ok;
}

}  // namespace vsc::test
