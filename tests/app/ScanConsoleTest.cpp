// VSysScan.exe driven as a script drives it: started with CreateProcess, its standard output and
// error read through pipes, its exit code checked. The registry report is compared row by row
// with the window's results list for the same seed; a repair is written back with restore; a junk
// scan and clean runs on the fixture drive; and every kind of bad input is refused with code 2.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <thread>
#include <tuple>
#include <vector>

#include "app/ProgramUnderTest.h"
#include "app/ScanConsole.h"
#include "platform/Files.h"
#include "portable/JsonRead.h"
#include "support/OutsideReader.h"
#include "support/TestSupport.h"
#include "ui/DriveList.h"
#include "ui/UFrmMain.h"
#include "widgets/CheckStates.h"
#include "widgets/Messages.h"
#include "VscVersion.h"

using namespace vsc;
using vsc::test::Json;
using vsc::test::JsonReader;
using vsc::test::ScratchDir;

namespace {

struct ProgramRun {
    DWORD Code = STILL_ACTIVE;
    std::string Out, Err;
};

std::string ReadAll(HANDLE pipe) {
    std::string text;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) text.append(buffer, n);
    return text;
}

// Runs the program with the arguments (a command-line tail) and waits for its end.
ProgramRun RunProgram(const std::string& exe, const std::string& args) {
    ProgramRun run;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) || !CreatePipe(&errRead, &errWrite, &inherit, 0)) return run;
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{sizeof(startup)};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION info{};
    std::string command = "\"" + exe + "\" " + args;
    const BOOL started = CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &startup, &info);
    const DWORD startError = started ? 0 : GetLastError();
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (started) {
        std::thread reader([&] { run.Out = ReadAll(outRead); });
        run.Err = ReadAll(errRead);
        reader.join();
        WaitForSingleObject(info.hProcess, 120000);
        GetExitCodeProcess(info.hProcess, &run.Code);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    } else {
        run.Err = "(the program could not be started: error " + std::to_string(startError) + ")";
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return run;
}

std::string Convert(const std::string& text, UINT from, UINT to) {
    if (text.empty()) return text;
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                                        static_cast<int>(wide.size()))));
    std::string out(wide.size() * 4 + 1, '\0');
    out.resize(static_cast<size_t>(WideCharToMultiByte(to, 0, wide.data(), static_cast<int>(wide.size()), &out[0],
                                                       static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}
std::string Ansi(const std::string& utf8) { return Convert(utf8, CP_UTF8, CP_ACP); }

// A copy of VSysScan.exe in a scratch folder of its own, so that its "Config.Ini" and its
// "backup" folder are the test's.
class ScanCopy {
public:
    explicit ScanCopy(const std::string& name) : dir_(name) {
        CopyFileA((ExecutableFolder() + "\\VSysScan.exe").c_str(), Exe().c_str(), FALSE);
    }
    std::string Exe() const { return dir_.File("VSysScan.exe"); }
    ProgramRun operator()(const std::string& args) const { return RunProgram(Exe(), args); }
    void WriteConfig(const std::string& text) const { dir_.WriteFile("Config.Ini", text); }
    const ScratchDir& Dir() const { return dir_; }

private:
    ScratchDir dir_;
};

// Refused as a bad input: code 2, no report, one line naming the problem.
void ExpectRefused(const ProgramRun& run, const std::string& words, const std::string& what) {
    EXPECT_EQ(run.Code, 2u) << what;
    EXPECT_EQ(run.Out, "") << what;
    EXPECT_EQ(run.Err.rfind("VSysScan: ", 0), 0u) << what << ": " << run.Err;
    EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << what << ": " << run.Err;
    EXPECT_NE(run.Err.find(words), std::string::npos) << what << ": " << run.Err;
}

// Holds the window's single-instance mutex, as a running VSysCleaner.exe does.
class WindowRunning {
public:
    WindowRunning() : handle_(CreateMutexA(nullptr, FALSE, "VSysCleaner")) {}
    ~WindowRunning() { CloseHandle(handle_); }

private:
    HANDLE handle_;
};

// Values set in the program's real keys, each deleted again afterwards (with its key, when the
// key is the test's own).
class SeededValues {
public:
    ~SeededValues() {
        for (const auto& [key, name, ownKey] : seeded_) {
            if (ownKey) {
                vsc::test::DeleteKeyTree(key);
            } else if (HKEY k = vsc::test::CreateKeyPath(key)) {
                RegDeleteValueA(k, name.c_str());
                RegCloseKey(k);
            }
        }
    }
    void Set(const std::string& key, const std::string& name, DWORD type, const std::string& bytes, bool ownKey = false) {
        if (ownKey) vsc::test::DeleteKeyTree(key);
        seeded_.push_back({key, name, ownKey});
        HKEY k = vsc::test::CreateKeyPath(key);
        ASSERT_NE(k, nullptr) << key;
        RegSetValueExA(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
        RegCloseKey(k);
    }

private:
    std::vector<std::tuple<std::string, std::string, bool>> seeded_;
};

const std::string kMissing = "C:\\vsc_console_missing";
const std::string kRunName = "VscConsole\xC3\xA9\xD0\xBF";
const std::string kRunFile = "\\d\xC3\xA9j\xC3\xA0\xE6\x97\xA5\xF0\x9F\x98\x80.exe";
const std::string kAppKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vsc_console.exe";
const std::string kHelpKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help";
const std::string kSharedKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const std::string kRunKey = "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// One broken entry in each of categories 3, 5, 6 and 7; the startup entry's name and path hold
// letters beyond ASCII (in the ANSI code page).
void SeedProblems(SeededValues& seeds) {
    const std::string sz(1, '\0');
    seeds.Set(kAppKey, "", REG_SZ, "\"" + kMissing + "\\app.exe\"" + sz, true);
    seeds.Set(kHelpKey, "vsc_console.hlp", REG_SZ, kMissing + sz);
    seeds.Set(kSharedKey, kMissing + "\\shared.dll", REG_DWORD, std::string("\2\0\0\0", 4));
    seeds.Set(kRunKey, kRunName, REG_SZ, kMissing + kRunFile + sz);
}

// Runs a scan of the categories in the window and returns its results list, row by row.
std::vector<std::pair<std::string, std::string>> WindowRows(const std::set<int>& categories) {
    const MessagePresenter old = SetMessagePresenter([](HWND, const std::string&, UINT) { return IDOK; });
    std::vector<std::pair<std::string, std::string>> rows;
    {
        TFrmMain form;
        form.QuitOnDestroy = false;
        form.CreateMainWindow();
        form.Show();
        SetSubtreeState(form.Registry().Ui().treRegistry, TreeNodeAt(form.Registry().Ui().treRegistry, 0), 1);
        for (int k : categories)
            SetTreeNodeState(form.Registry().Ui().treRegistry, TreeNodeAt(form.Registry().Ui().treRegistry, k), 2);
        SendMessageA(form.Registry().Ui().btnRegistryScan, BM_CLICK, 0, 0);
        EXPECT_TRUE(vsc::test::PumpUntil([&] { return form.Registry().Idle(); }, 60000));
        vsc::test::PumpMessagesFor(50);
        for (const auto& row :
             vsc::test::OutsideReader(form.Registry().Ui().lstJunkReg).Rows(form.Registry().Ui().lstJunkReg)) {
            rows.push_back({row.Columns.at(0), row.Columns.at(1)});
        }
        form.Destroy();
    }
    SetMessagePresenter(old);
    return rows;
}

}  // namespace

TEST(ScanConsole, RegistryReportMatchesTheWindowsResultsListRowByRow) {
    SKIP_UNLESS_BUILD_PREFIX();
    SeededValues seeds;
    SeedProblems(seeds);

    const std::string exe = test::ProgramFolder() + "\\VSysScan.exe";
    const ProgramRun run = RunProgram(exe, "registry --only 3,5,6,7 --json");
    ASSERT_EQ(run.Code, 1u) << run.Err;
    EXPECT_EQ(run.Err, "");
    const Json doc = JsonReader::Parse(run.Out);
    EXPECT_EQ(doc["tool"].text, "VSysScan");
    EXPECT_EQ(doc["kind"].text, "registry");
    EXPECT_EQ(doc["version"].text, VSC_VERSION);
    const Json& problems = doc["problems"];
    ASSERT_EQ(doc["count"].number, static_cast<double>(problems.items.size()));

    const auto rows = WindowRows({3, 5, 6, 7});
    ASSERT_EQ(rows.size(), problems.items.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(Ansi(problems[i]["keyPath"].text), rows[i].first) << i;
        EXPECT_EQ(Ansi(problems[i]["invalidValue"].text), rows[i].second) << i;
    }

    // The seeded problems, with their category, name and action; the startup entry's texts come
    // as UTF-8, not as the 8-bit bytes.
    struct Seeded { std::string keyPath, valueName; int category; const char* name; const char* action; };
    const std::vector<Seeded> expected = {
        {kAppKey, "", 3, "Software Locations", "empty value"},
        {kHelpKey, "vsc_console.hlp", 5, "Windows Help", "delete value"},
        {kSharedKey, kMissing + "\\shared.dll", 6, "Share Programs", "delete value"},
        {kRunKey, kRunName, 7, "Startup Programs", "delete value"},
    };
    for (const Seeded& s : expected) {
        int found = 0;
        for (const Json& p : problems.items) {
            if (Ansi(p["keyPath"].text) != s.keyPath || Ansi(p["valueName"].text) != s.valueName) continue;
            ++found;
            EXPECT_EQ(p["category"].number, s.category);
            EXPECT_EQ(p["categoryName"].text, s.name);
            EXPECT_EQ(p["action"].text, s.action);
        }
        EXPECT_EQ(found, 1) << s.keyPath << " " << s.valueName;
    }
    EXPECT_NE(run.Out.find(kRunName), std::string::npos);  // UTF-8 as it is, never encoded twice
}

TEST(ScanConsole, RepairKeepsABackupThatRestoreWritesBack) {
    SKIP_UNLESS_BUILD_PREFIX();
    SeededValues seeds;
    SeedProblems(seeds);
    const ScanCopy scan("scan-repair");
    const std::string runValue = kRunName;
    const std::string runData = kMissing + kRunFile;

    // The ignore list beside the program holds the startup entry: passed over and counted, unless
    // --no-ignore; its unreadable line is said on standard error.
    // A comment after the section's header: the system's profile functions still find the section.
    scan.WriteConfig("[IgnoreList] ; entries I keep\r\nValue=" + kRunKey + "|" + runValue + "\r\nKey=nowhere\r\n");
    char first[64] = {};
    GetPrivateProfileStringA("IgnoreList", "Key", "", first, sizeof first, scan.Dir().File("Config.Ini").c_str());
    EXPECT_STREQ(first, "nowhere");
    const ProgramRun ignoring = scan("registry --only 7 --json");
    const Json ignored = JsonReader::Parse(ignoring.Out);
    EXPECT_EQ(ignored["ignored"].number, 1);
    for (const Json& p : ignored["problems"].items) EXPECT_NE(Ansi(p["valueName"].text), runValue);
    EXPECT_EQ(ignoring.Err.rfind("VSysScan: ignore list of Config.Ini, passed over: Line 3: Key=nowhere (", 0), 0u)
        << ignoring.Err;
    const ProgramRun everything = scan("registry --only 7 --no-ignore");
    EXPECT_NE(everything.Out.find(runValue), std::string::npos);
    EXPECT_EQ(everything.Out.find("ignored)"), std::string::npos);
    EXPECT_EQ(everything.Err, "");
    EXPECT_EQ(JsonReader::Parse(scan("registry --only 7 --json --no-ignore").Out)["count"].number,
              ignored["count"].number + 1);
    scan.WriteConfig("");

    {
        // Not while the window runs; a report may go on beside it.
        WindowRunning window;
        ExpectRefused(scan("registry --only 3,7 --repair"), "close it first", "repair beside the window");
        EXPECT_TRUE(vsc::test::ValueExists(kRunKey, runValue));
        EXPECT_EQ(scan("registry --only 3,7").Code, 1u);
    }

    const ProgramRun repair = scan("registry --only 3,7 --repair --json");
    ASSERT_EQ(repair.Code, 0u) << repair.Out << repair.Err;
    const Json done = JsonReader::Parse(repair.Out);
    EXPECT_GE(done["count"].number, 2);
    EXPECT_EQ(done["changed"].number, done["count"].number);
    EXPECT_TRUE(done["failed"].items.empty());
    ASSERT_EQ(done["backup"].type, Json::String);
    const std::string backup = scan.Dir().File("backup\\" + done["backup"].text);
    EXPECT_NE(GetFileAttributesA(backup.c_str()), INVALID_FILE_ATTRIBUTES) << backup;
    EXPECT_FALSE(vsc::test::ValueExists(kRunKey, runValue));  // category 7: deleted
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(vsc::test::ReadValue(kAppKey, "", type, data));  // category 3: emptied
    EXPECT_EQ(data, std::string(1, '\0'));

    const ProgramRun restore = scan("restore \"" + backup + "\" --json");
    ASSERT_EQ(restore.Code, 0u) << restore.Out << restore.Err;
    const Json restored = JsonReader::Parse(restore.Out);
    EXPECT_EQ(restored["kind"].text, "restore");
    EXPECT_EQ(restored["changed"].number, done["changed"].number);
    EXPECT_EQ(restored["backup"].text, done["backup"].text);
    ASSERT_TRUE(vsc::test::ReadValue(kRunKey, runValue, type, data));
    EXPECT_EQ(data, runData + '\0');
    ASSERT_TRUE(vsc::test::ReadValue(kAppKey, "", type, data));
    EXPECT_EQ(data, "\"" + kMissing + "\\app.exe\"" + '\0');
    // Written back in full, the backup is gone, as after the restore dialog; a second restore of
    // it is refused.
    EXPECT_EQ(GetFileAttributesA(backup.c_str()), INVALID_FILE_ATTRIBUTES);
    ExpectRefused(scan("restore \"" + backup + "\""), "cannot read", "restore of a missing file");

    // A file on a removable drive is not certainly gone: listed with its reason, left by --repair,
    // and repaired only with --include-uncertain.
    if (GetDriveTypeA("R:\\") != DRIVE_REMOVABLE) return;
    const std::string usb = "R:\\vsc_console\\usb.dll";
    seeds.Set(kSharedKey, usb, REG_DWORD, std::string("\2\0\0\0", 4));
    ExpectRefused(scan("registry --only 6 --include-uncertain"), "goes with --repair", "without --repair");
    const ProgramRun report = scan("registry --only 6 --json");
    bool anyCertain = false, listed = false;
    const Json reported = JsonReader::Parse(report.Out);
    for (const Json& p : reported["problems"].items) {
        anyCertain = anyCertain || p["certain"].text == "true";
        if (Ansi(p["valueName"].text) != usb) continue;
        listed = true;
        EXPECT_EQ(p["certain"].text, "false");
        EXPECT_EQ(p["reason"].text, "removable drive R: (not checked)");
    }
    EXPECT_TRUE(listed) << report.Out;
    EXPECT_EQ(report.Code, anyCertain ? 1u : 0u) << "problems that are not certain ask for no repair";
    EXPECT_NE(scan("registry --only 6").Out.find(usb + "\tdelete value\tremovable drive R: (not checked)\r\n"),
              std::string::npos);
    EXPECT_EQ(scan("registry --only 6 --repair").Code, 0u);
    EXPECT_TRUE(vsc::test::ValueExists(kSharedKey, usb));
    EXPECT_EQ(scan("registry --only 6").Code, 0u);
    EXPECT_EQ(scan("registry --only 6 --repair --include-uncertain").Code, 0u);
    EXPECT_FALSE(vsc::test::ValueExists(kSharedKey, usb));
}

TEST(ScanConsole, JunkScanAndCleanOnTheFixtureDrive) {
    SKIP_UNLESS_BUILD_PREFIX();
    if (ListLocalDrives().find('S') == std::string::npos) GTEST_SKIP() << "no fixture drive S:";
    const std::string root = "S:\\vsc-console";
    vsc::test::RemoveTree(root);
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\sub").c_str(), nullptr);
    auto write = [&](const std::string& name, const std::string& text, DWORD attributes) {
        const std::string path = root + "\\" + name;
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD n = 0;
        WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
        CloseHandle(f);
        if (attributes) SetFileAttributesA(path.c_str(), attributes);
        return path;
    };
    write("a.vscjunk", "12345", 0);
    write("sub\\b.VSCJUNK", "1234567", 0);
    const std::string hidden = write("h.vscjunk", "h", FILE_ATTRIBUTE_HIDDEN);
    const std::string readOnly = write("r.vscjunk", "r", FILE_ATTRIBUTE_READONLY);
    const std::string keep = write("keep.txt", "k", 0);

    const ScanCopy scan("scan-junk");
    auto config = [&scan](const std::string& userExp, const std::string& readFile) {
        scan.WriteConfig("[FileFilters]\r\nUserExp=" + userExp + "\r\n[ScanOptions]\r\nSystemFile=0\r\nHideFile=0\r\nReadFile=" +
                         readFile + "\r\n[DeleteOptions]\r\nDleteTo=1\r\n");
    };
    config("<*.vscjunk:Console test junk>", "0");
    const ProgramRun report = scan("junk --drives s --json");
    ASSERT_EQ(report.Code, 1u) << report.Err;
    const Json found = JsonReader::Parse(report.Out);
    EXPECT_EQ(found["kind"].text, "junk");
    ASSERT_EQ(found["count"].number, 2);
    std::set<std::string> files;
    for (const Json& f : found["files"].items) {
        files.insert(f["folder"].text + f["name"].text + "|" + std::to_string(static_cast<long long>(f["size"].number)));
        EXPECT_EQ(f["attributes"].text.size(), 6u);
        EXPECT_EQ(f["time"].text.size(), 19u) << f["time"].text;
    }
    EXPECT_EQ(files, (std::set<std::string>{root + "\\a.vscjunk|5", root + "\\sub\\b.VSCJUNK|7"}));
    const ProgramRun text = scan("junk --drives S");
    EXPECT_EQ(text.Code, 1u);
    EXPECT_EQ(std::count(text.Out.begin(), text.Out.end(), '\n'), 3);
    EXPECT_NE(text.Out.find("\r\n2 files Found\r\n"), std::string::npos) << text.Out;
    // A folder on the ignore list is passed over and counted, unless --no-ignore.
    scan.WriteConfig("[FileFilters]\r\nUserExp=<*.vscjunk:x>\r\n[IgnoreList]\r\nFolder=" + root + "\\SUB\r\n");
    const ProgramRun ignoring = scan("junk --drives S");
    EXPECT_NE(ignoring.Out.find("\r\n1 files Found (1 ignored)\r\n"), std::string::npos) << ignoring.Out;
    EXPECT_EQ(JsonReader::Parse(scan("junk --drives S --json").Out)["ignored"].number, 1);
    const Json everything = JsonReader::Parse(scan("junk --drives S --json --no-ignore").Out);
    EXPECT_EQ(everything["count"].number, 2);
    EXPECT_EQ(everything["ignored"].number, 0);

    {
        WindowRunning window;
        ExpectRefused(scan("junk --drives S --clean"), "close it first", "clean beside the window");
    }
    // Filters and options the window refuses stop the run before anything is read.
    config("<*.vscjunk:x><[]:bad>", "0");
    ExpectRefused(scan("junk --drives S --clean"), "'[]' is an invalid mask at (2)", "invalid mask");
    config("<*.vscjunk:x>", "perhaps");
    ExpectRefused(scan("junk --drives S --clean"), "'perhaps' is not a valid boolean value", "switch not a boolean");
    EXPECT_NE(GetFileAttributesA((root + "\\a.vscjunk").c_str()), INVALID_FILE_ATTRIBUTES);

    // Read-only files are now found too; the permanent delete cannot remove one.
    config("<*.vscjunk:x>", "1");
    const ProgramRun clean = scan("junk --drives S --clean --json");
    const Json cleaned = JsonReader::Parse(clean.Out);
    EXPECT_EQ(cleaned["count"].number, 3);
    EXPECT_EQ(cleaned["backup"].type, Json::Null);
    EXPECT_EQ(GetFileAttributesA((root + "\\a.vscjunk").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((root + "\\sub\\b.VSCJUNK").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(hidden.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(keep.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(readOnly.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(clean.Code, 3u);
    EXPECT_EQ(cleaned["changed"].number, 2);
    ASSERT_EQ(cleaned["failed"].items.size(), 1u);
    EXPECT_EQ(cleaned["failed"][0]["name"].text, "r.vscjunk");
    EXPECT_EQ(cleaned["failed"][0]["folder"].text, root + "\\");
    EXPECT_FALSE(cleaned["failed"][0]["reason"].text.empty());
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    vsc::test::RemoveTree(root);
}

TEST(ScanConsole, BadInputsAreRefusedWithCodeTwoAndNoChange) {
    const std::string exe = test::ProgramFolder() + "\\VSysScan.exe";
    const ProgramRun help = RunProgram(exe, "--help");
    EXPECT_EQ(help.Code, 0u);
    EXPECT_NE(help.Out.find("VSysScan registry [--only N[,N...]]"), std::string::npos);
    const ProgramRun version = RunProgram(exe, "--version");
    EXPECT_EQ(version.Out, "VSysScan " VSC_VERSION "\r\n") << "exit code " << version.Code << ", " << version.Err;

    const std::string listed = ListLocalDrives();
    std::string unlisted;
    for (char c = 'Z'; c >= 'A' && unlisted.empty(); --c)
        if (listed.find(c) == std::string::npos) unlisted = std::string(1, c);
    ASSERT_FALSE(unlisted.empty());

    ScratchDir dir("scan-bad");
    const std::string notBackup = dir.WriteFile("notes.txt", "no records here\r\n");
    const struct {
        std::string args, words;
    } cases[] = {
        {"", "no command"},
        {"scan", "unknown command 'scan'"},
        {"registry --fast", "unknown option '--fast'"},
        {"junk --repair", "unknown option '--repair'"},
        {"registry --only 15", "category '15'"},
        {"registry --only 0,3", "category '0'"},
        {"registry --only 14 --drives " + unlisted, "drive " + unlisted + ": is not listed"},
        {"junk --drives " + unlisted, "drive " + unlisted + ": is not listed"},
        {"registry --only 14 --drives=", "Please select a section to scan before continuing!"},
        {"restore", "needs the backup file"},
        {"restore x.txt --no-ignore", "unknown option '--no-ignore'"},
        {"restore \"" + dir.File("regbackup9.txt") + "\"", "cannot read"},
        {"restore \"" + dir.Path() + "\"", "cannot read"},
        {"restore \"" + notBackup + "\"", "holds no backup record"},
    };
    for (const auto& c : cases) ExpectRefused(RunProgram(exe, c.args), c.words, c.args);
    EXPECT_NE(GetFileAttributesA(notBackup.c_str()), INVALID_FILE_ATTRIBUTES);

    // A backup that would write a scratch key is not written while the window runs.
    vsc::test::ScratchKey key("scan-bad");
    const std::string backup =
        dir.WriteFile("regbackup1.txt", "--------------------\r\n" + key.Child("Restored") + "\r\nname\r\ndata\r\n7\r\n");
    {
        WindowRunning window;
        ExpectRefused(RunProgram(exe, "restore \"" + backup + "\""), "close it first", "restore beside the window");
    }
    EXPECT_FALSE(vsc::test::ValueExists(key.Child("Restored"), "name"));
    const ProgramRun restore = RunProgram(exe, "restore \"" + backup + "\"");
    EXPECT_EQ(restore.Code, 0u) << restore.Err;
    EXPECT_EQ(restore.Out, "1 entries in the backup\r\nbackup\tregbackup1.txt\r\n1 restored, 0 failed\r\n");
    EXPECT_TRUE(vsc::test::ValueExists(key.Child("Restored"), "name"));
}

// A scan that an error cut short is no report: the console refuses with code 2 and names the
// section in the window's words, and nothing is repaired. (Run in this process, so that the
// check can be made to fail.)
TEST(ScanConsole, AScanThatFailedExitsTwoAndSaysWhichSection) {
    ScratchDir dir("scan-failed");
    const std::string outFile = dir.File("out.txt"), errFile = dir.File("err.txt");
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    auto create = [&](const std::string& path) {
        return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    };
    const HANDLE out = create(outFile), err = create(errFile);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    ASSERT_NE(err, INVALID_HANDLE_VALUE);
    const HANDLE oldOut = GetStdHandle(STD_OUTPUT_HANDLE), oldErr = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, out);
    SetStdHandle(STD_ERROR_HANDLE, err);
    SetScanConsoleWorkerPreparer([](TRegScanThread& worker) {
        worker.OverrideCheck(7, [](ScanContext&, const std::string&) { throw std::runtime_error("the disk went away"); });
    });
    const int code = RunScanConsole({"registry", "--only", "7", "--drives=", "--no-ignore", "--repair"});
    SetScanConsoleWorkerPreparer(nullptr);
    SetStdHandle(STD_OUTPUT_HANDLE, oldOut);
    SetStdHandle(STD_ERROR_HANDLE, oldErr);
    CloseHandle(out);
    CloseHandle(err);

    std::string said, report;
    EXPECT_TRUE(ReadWholeFile(errFile, said));
    EXPECT_TRUE(ReadWholeFile(outFile, report));
    EXPECT_EQ(code, 2);
    EXPECT_EQ(said, "VSysScan: The section \"Startup Programs\" could not be finished: the disk went away\r\n");
    EXPECT_EQ(report, "");
}
