// Seeds the demo Wine prefix (never a user's) with broken entries of several scan categories and
// with junk files, so that a first run of the program finds something to show. Built and run by
// `scripts/run --demo` with the MinGW-w64 compiler; takes the demo drive's letter ("D").
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

int failures = 0;

void SetString(HKEY root, const std::string& subKey, const std::string& name, const std::string& data,
               DWORD type = REG_SZ) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot create %s\n", subKey.c_str());
        ++failures;
        return;
    }
    if (RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1)) != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot set %s\\%s\n", subKey.c_str(), name.c_str());
        ++failures;
    }
    RegCloseKey(key);
}

void WriteFile(const std::string& path, const std::string& contents) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        ++failures;
        return;
    }
    DWORD written = 0;
    ::WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
}

// A shortcut whose target does not exist.
void WriteShortcut(const std::string& linkPath, const std::string& target) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        ++failures;
        return;
    }
    link->SetPath(target.c_str());
    link->SetDescription("Demo shortcut whose program is gone");
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
        if (FAILED(file->Save(wide, TRUE))) ++failures;
        file->Release();
    } else {
        ++failures;
    }
    link->Release();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string drive = std::string(argc > 1 ? argv[1] : "D") + ":";
    const std::string cv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

    // Software Locations: a program registered under App Paths that is gone.
    SetString(HKEY_LOCAL_MACHINE, cv + "\\App Paths\\demoeditor.exe", "",
              "C:\\Program Files\\Demo Editor\\demoeditor.exe");
    SetString(HKEY_LOCAL_MACHINE, cv + "\\App Paths\\demoeditor.exe", "Path", "C:\\Program Files\\Demo Editor");
    // Add/Remove Programs: an uninstall entry whose uninstaller is gone.
    SetString(HKEY_LOCAL_MACHINE, cv + "\\Uninstall\\DemoEditor", "DisplayName", "Demo Editor 2.1");
    SetString(HKEY_LOCAL_MACHINE, cv + "\\Uninstall\\DemoEditor", "UninstallString",
              "\"C:\\Program Files\\Demo Editor\\uninst.exe\" /remove");
    // Startup Programs: a program started at logon that is gone.
    SetString(HKEY_CURRENT_USER, cv + "\\Run", "DemoTray", "\"C:\\Program Files\\Demo Editor\\tray.exe\"");
    // Windows Fonts: a font whose file is gone.
    SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "Demo Sans (TrueType)",
              "demosans.ttf");
    // Sound Appevents: a sound whose wave file is gone.
    SetString(HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\.Default\\DemoChime\\.Current", "",
              "C:\\windows\\media\\demo-chime.wav");

    // Invalid Shortcuts: a broken shortcut on the demo drive. Disk clean: junk files beside it.
    const std::string demo = drive + "\\Demo";
    CreateDirectoryA(demo.c_str(), nullptr);
    CreateDirectoryA((demo + "\\Temp").c_str(), nullptr);
    if (FAILED(CoInitialize(nullptr))) ++failures;
    WriteShortcut(demo + "\\Old Tool.lnk", drive + "\\Old Tool\\oldtool.exe");
    CoUninitialize();
    WriteFile(demo + "\\Temp\\setup.tmp", std::string(4096, 't'));
    WriteFile(demo + "\\Temp\\~wrd0001.tmp", std::string(1024, 'w'));
    WriteFile(demo + "\\report.bak", std::string(2048, 'b'));
    WriteFile(demo + "\\crash.dmp", std::string(8192, 'd'));
    WriteFile(demo + "\\thumbs.db", std::string(512, 'j'));

    std::printf("demo entries seeded%s\n", failures ? " (with failures)" : "");
    return failures ? 1 : 0;
}
