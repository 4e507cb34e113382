#include "registry/PublicOpt.h"

#include "platform/CodePage.h"
#include "platform/Handles.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cwchar>
#include <utility>

namespace vsc {

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

// The file test and the folder test in one attribute query: an entry that is there is a folder
// (FolderExists) or a file, which counts when the text holds a drive colon (FileExistsWithDrive).
// A text with a wildcard takes the two tests, as the file test matches it as a pattern.
bool FileOrFolderExists(const std::string& text) {
    if (text.empty()) return false;
    if (text.find_first_of("*?") != std::string::npos) return FileExistsWithDrive(text) || FolderExists(text);
    const DWORD attributes = GetFileAttributesA(text.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || Contains(text, ':');
}

std::string GetSystemDir() {
    char buffer[MAX_PATH + 1] = {};
    const UINT n = GetSystemDirectoryA(buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return std::string();
    return std::string(buffer);
}

std::string GetShortcutTarget(const std::string& linkPath) {
    TShortcutReader reader;
    return reader.Target(linkPath);
}

TShortcutReader::TShortcutReader() = default;

TShortcutReader::~TShortcutReader() { Close(); }

void TShortcutReader::Open() {
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link_.put()));
    if (FAILED(hr) || !link_) {
        link_.release();  // whatever a failed call left there is not a reference
        throw ComError{hr};
    }
    hr = link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file_.put()));
    if (FAILED(hr) || !file_) {
        file_.release();
        Close();
        throw ComError{hr};
    }
}

void TShortcutReader::Close() {
    file_.reset();
    link_.reset();
    used_ = false;
}

// Load's outcome is not what decides: a fresh object that fails to load stays empty, and GetPath
// then writes nothing (or what the part of a damaged file that did load names). A used object
// that fails may still hold the previous file's link, so such a file is loaded again into a fresh
// object, which then serves the files after it. GetPath gets no find-data record: the target's
// text is the same without, and filling one costs Wine more than all the rest of the read. The
// wide interface is used, so that neither the shortcut's path nor its target is cut to MAX_PATH
// bytes of 8-bit text: a path that does not fit whole is not read at all, and a target that does
// not fit is not given.
std::string TShortcutReader::Target(const std::string& linkPath) {
    const std::wstring wide = ToWide(linkPath);
    if (wide.empty() || wide.size() >= MAX_PATH) return std::string();
    if (!link_) Open();
    if (FAILED(file_->Load(wide.c_str(), STGM_READ)) && used_) {
        Close();
        Open();
        file_->Load(wide.c_str(), STGM_READ);
    }
    used_ = true;

    WCHAR target[MAX_PATH + 1] = {};
    if (FAILED(link_->GetPath(target, MAX_PATH + 1, nullptr, SLGP_UNCPRIORITY))) return std::string();
    target[MAX_PATH] = L'\0';
    if (std::wcslen(target) >= MAX_PATH) return std::string();  // possibly cut
    return FromWide(target);
}

}  // namespace vsc
