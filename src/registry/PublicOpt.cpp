#include "registry/PublicOpt.h"

#include "registry/CodePage.h"
#include "registry/FileHandles.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cwchar>
#include <utility>

namespace vsc {

namespace {

// COM initialised on the calling thread for the life of the object. A thread whose apartment is
// already of the other kind keeps it (CoInitialize then fails and there is nothing to undo), so
// CoUninitialize runs only for a successful CoInitialize, and every successful one is undone.
class ComInit {
public:
    ComInit() : hr_(CoInitialize(nullptr)) {}
    ~ComInit() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;

private:
    HRESULT hr_;
};

// An owned interface pointer; released on destruction. Move-only.
template <typename T>
class UniqueCom {
public:
    UniqueCom() = default;
    ~UniqueCom() {
        if (p_) p_->Release();
    }
    UniqueCom(const UniqueCom&) = delete;
    UniqueCom& operator=(const UniqueCom&) = delete;
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    // For the out-parameter of CoCreateInstance and QueryInterface; the slot must be empty.
    void** out() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

}  // namespace

std::string EnvironmentVariable(const std::string& name) {
    // Size first, then the text: the value can be longer than any fixed buffer.
    std::string value(256, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        SetLastError(ERROR_SUCCESS);
        const DWORD n = GetEnvironmentVariableA(name.c_str(), &value[0], static_cast<DWORD>(value.size()));
        if (n == 0) return std::string();
        if (n < value.size()) {
            value.resize(n);
            return value;
        }
        value.assign(n + 1, '\0');  // n is the size needed, terminator included
    }
    return std::string();
}

namespace {

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) return text;
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t at = text.find(from, pos);
        if (at == std::string::npos) break;
        out.append(text, pos, at - pos);
        out += to;
        pos = at + from.size();
    }
    out.append(text, pos, std::string::npos);
    return out;
}

// True when FindFirstFile finds the name and the first entry it finds is not a folder. Wildcards
// are matched as patterns.
bool FileExists(const std::string& name) {
    if (name.empty()) return false;
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA(name.c_str(), &data));
    return find.valid() && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

bool FileExistsWithDrive(const std::string& text) {
    if (text.empty() || !Contains(text, ':')) return false;
    return FileExists(text);
}

// Each '%' after the first character closes a candidate name that starts at the second character;
// every candidate is tried on the unchanged text, and the last one decides. So a text with exactly
// one closing '%' has its leading reference expanded, and a text with a further '%' comes back
// unchanged (the longer name holds a '%' and is never set). A blank value leaves the text alone.
std::string ExpandLeadingEnvVar(const std::string& text) {
    std::string result = text;
    if (text.empty() || text[0] != '%') return result;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        const std::string name = text.substr(1, i - 1);
        const std::string value = name.empty() ? std::string() : EnvironmentVariable(name);
        if (IsBlank(value))
            result = text;
        else
            result = ReplaceAll(text, "%" + name + "%", value);
    }
    return result;
}

std::vector<std::string> GetSearchPathList() {
    std::vector<std::string> list;
    std::string rest = EnvironmentVariable("path");
    for (std::size_t at = rest.find(';'); at != std::string::npos; at = rest.find(';')) {
        list.push_back(rest.substr(0, at));
        rest.erase(0, at + 1);
    }
    list.push_back(rest);
    return list;
}

bool FileExistsOnPath(const std::string& text) {
    try {
        if (Contains(text, '\\')) return FileExists(text);
        for (const std::string& folder : GetSearchPathList())
            if (FileExists(folder + "\\" + text)) return true;
        return false;
    } catch (...) {
        return true;  // an entry that cannot be tested is not reported
    }
}

bool FolderExists(const std::string& text) {
    if (text.empty()) return false;
    const DWORD attributes = GetFileAttributesA(text.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string GetSystemDir() {
    char buffer[MAX_PATH + 1] = {};
    const UINT n = GetSystemDirectoryA(buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return std::string();
    return std::string(buffer);
}

// One COM initialisation and one shell link object per call. Load's outcome is not tested: a file
// that does not load leaves the link empty, and GetPath then writes nothing. The wide interface is
// used, so that neither the shortcut's path nor its target is cut to MAX_PATH bytes of 8-bit text:
// a path that does not fit whole is not read at all, and a target that does not fit is not given.
std::string GetShortcutTarget(const std::string& linkPath) {
    ComInit com;
    UniqueCom<IShellLinkW> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.out());
    if (FAILED(hr) || !link.get()) throw ComError{hr};
    UniqueCom<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.out());
    if (FAILED(hr) || !file.get()) throw ComError{hr};

    const std::wstring wide = ToWide(linkPath);
    if (wide.empty() || wide.size() >= MAX_PATH) return std::string();
    file->Load(wide.c_str(), STGM_READ);

    WCHAR target[MAX_PATH + 1] = {};
    WIN32_FIND_DATAW data;
    if (FAILED(link->GetPath(target, MAX_PATH + 1, &data, SLGP_UNCPRIORITY))) return std::string();
    target[MAX_PATH] = L'\0';
    if (std::wcslen(target) >= MAX_PATH) return std::string();  // possibly cut
    return FromWide(target);
}

}  // namespace vsc
