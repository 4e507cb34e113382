#include <gtest/gtest.h>

#include <algorithm>

#include "registry/NTReg.h"
#include "registry/PublicOpt.h"
#include "registry/CheckTestSupport.h"
#include "support/TestSupport.h"

using namespace vsc;
using vsc::test::CheckRun;
using vsc::test::IdleWorker;
using vsc::test::Problem;
using vsc::test::ScratchDir;
using vsc::test::ScratchKey;
using vsc::test::ScratchLink;

namespace {

std::vector<Problem> Sorted(std::vector<Problem> problems) {
    std::sort(problems.begin(), problems.end(), [](const Problem& a, const Problem& b) {
        return a.KeyPath + "|" + a.ValueData < b.KeyPath + "|" + b.ValueData;
    });
    return problems;
}

std::string WindowsDir() {
    char buffer[MAX_PATH];
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

// Sets the default value of <key>\<cls>\InprocServer32.
void SetServer(const ScratchKey& key, const std::string& cls, const std::string& data, DWORD type = REG_SZ) {
    key.SetString(cls + "\\InprocServer32", "", data, type);
}

}  // namespace

TEST(ScanInprocServers, ReportsMissingServersWithTheDataAsStored) {
    ScratchKey key("inproc");
    ScratchDir dir("inproc");
    const std::string present = dir.WriteFile("present.dll");
    const std::string gone = dir.File("gone.dll");
    ASSERT_TRUE(FileExistsWithDrive(GetSystemDir() + "\\ole32.dll"));

    SetServer(key, "{A}", "vsc_no_such_server.dll");                         // bare: system directory only
    SetServer(key, "{B}", "ole32.dll");                                      // bare, present there
    SetServer(key, "{C}", "%SystemRoot%\\System32\\shell32.dll", REG_EXPAND_SZ);
    SetServer(key, "{D}", "%SystemRoot%\\System32\\vsc_gone.dll", REG_EXPAND_SZ);
    SetServer(key, "{E}", "\"" + gone + "\"");                              // quotes kept in the data
    SetServer(key, "{F}", dir.Path());                                       // an existing folder
    key.SetString("{G}\\LocalServer32", "", gone);                           // no in-process server
    SetServer(key, "{H}", "..\\x.dll");                                      // relative: never reported
    SetServer(key, "{I}", "\\\\server\\share\\gone.dll");
    SetServer(key, "{J}", dir.File("gone?.dll"));
    SetServer(key, "{K}", "");
    SetServer(key, "{L}", present);
    key.SetString("{M}\\InprocServer32", "ThreadingModel", gone);            // not the default value
    SetServer(key, "{N}", "vsc.no.dot\\");                                   // no drive root once placed

    ASSERT_NE(GetEnvironmentVariableA("SystemRoot", nullptr, 0), 0u);
    IdleWorker run;
    run.worker.RunCheck(2, key.Path());

    const std::vector<Problem> expected = {
        {key.Child("{A}\\InprocServer32"), "", "vsc_no_such_server.dll", "2"},
        {key.Child("{D}\\InprocServer32"), "", "%SystemRoot%\\System32\\vsc_gone.dll", "2"},
        {key.Child("{E}\\InprocServer32"), "", "\"" + gone + "\"", "2"},
    };
    EXPECT_EQ(Sorted(run.Problems()), Sorted(expected));
    EXPECT_EQ(run.worker.ProblemCount(), 3);
    EXPECT_EQ(run.worker.Progress().Counts[2], 3);
}

TEST(ScanInprocServers, ReadsOnlyStringKindsAndNeverReadsPastTheData) {
    ScratchKey key("inproctypes");
    ScratchDir dir("inproctypes");
    const std::string gone = dir.File("gone.dll");
    const unsigned long long qword = 1;
    const DWORD dword = 1;
    key.SetBytes("{bin}\\InprocServer32", "", gone.data(), static_cast<DWORD>(gone.size()), REG_BINARY);
    key.SetBytes("{multi}\\InprocServer32", "", (gone + '\0' + '\0').data(), static_cast<DWORD>(gone.size() + 2),
                 REG_MULTI_SZ);
    key.SetBytes("{dword}\\InprocServer32", "", &dword, sizeof dword, REG_DWORD);
    key.SetBytes("{qword}\\InprocServer32", "", &qword, sizeof qword, REG_QWORD);
    key.SetBytes("{none}\\InprocServer32", "", gone.data(), static_cast<DWORD>(gone.size()), REG_NONE);
    key.SetBytes("{empty}\\InprocServer32", "", "", 0, REG_SZ);
    key.SetBytes("{emptyx}\\InprocServer32", "", "", 0, REG_EXPAND_SZ);
    // No terminating zero: the data ends where the stored bytes end.
    key.SetBytes("{unterminated}\\InprocServer32", "", gone.data(), static_cast<DWORD>(gone.size()), REG_SZ);
    // A zero inside: the text ends at the first zero.
    const std::string embedded = gone + std::string("\0tail", 5);
    key.SetBytes("{embedded}\\InprocServer32", "", embedded.data(), static_cast<DWORD>(embedded.size() + 1), REG_SZ);
    SetServer(key, "{expand}", gone, REG_EXPAND_SZ);

    CheckRun run(2);
    ScanInprocServers(run.scan(), key.Path());
    const std::vector<Problem> expected = {
        {key.Child("{embedded}\\InprocServer32"), "", gone, "2"},
        {key.Child("{expand}\\InprocServer32"), "", gone, "2"},
        {key.Child("{unterminated}\\InprocServer32"), "", gone, "2"},
    };
    EXPECT_EQ(Sorted(run.Problems()), Sorted(expected));
}

TEST(ScanAppPaths, ReportsMissingProgramsUnquotedAndExpanded) {
    ScratchKey key("apppaths");
    ScratchDir dir("apppaths");
    const std::string present = dir.WriteFile("present.exe");
    const std::string dotted = dir.MakeDir("dir.with.dot");
    const std::string gone = dir.File("Program Files\\App\\app.exe");
    SetEnvironmentVariableA("VscAppDir", dir.Path().c_str());

    key.SetString("app.exe", "", "\"" + gone + "\"");
    key.SetString("bare.exe", "", "bare.exe");
    key.SetString("noext", "", dir.File("noext"));
    key.SetString("folder", "", dotted);                 // a folder is not a program file
    key.SetString("present.exe", "", present);
    key.SetString("quest", "", dir.File("gone?.exe"));
    key.SetString("env.exe", "", "%VscAppDir%\\env.exe", REG_EXPAND_SZ);
    key.SetString("rel.exe", "", "sub\\gone.exe");
    key.SetString("named.exe", "Path", gone);            // only the default value counts
    const DWORD dword = 7;
    key.SetBytes("dword.exe", "", &dword, sizeof dword, REG_DWORD);
    key.SetBytes("unterminated.exe", "", gone.data(), static_cast<DWORD>(gone.size()), REG_SZ);
    key.CreateKey("nodefault.exe");
    ScratchLink link(key.Child("linked.exe"), key.Child("app.exe"));  // listed once, where it lives
    ASSERT_TRUE(link.ok());

    IdleWorker run;
    run.worker.RunCheck(3, key.Path());
    SetEnvironmentVariableA("VscAppDir", nullptr);

    const std::vector<Problem> expected = {
        {key.Child("app.exe"), "", gone, "3"},
        {key.Child("folder"), "", dotted, "3"},
        {key.Child("env.exe"), "", dir.File("env.exe"), "3"},
        {key.Child("unterminated.exe"), "", gone, "3"},
    };
    EXPECT_EQ(Sorted(run.Problems()), Sorted(expected));
    EXPECT_EQ(run.worker.Progress().Counts[3], 4);
    EXPECT_EQ(run.worker.Progress().Total, 4);
}

TEST(ScanUninstallEntries, ReportsAnEntryOnceThroughTheFirstMissingExtension) {
    ScratchKey key("uninstall");
    ScratchDir dir("uninstall");
    const std::string notepad = WindowsDir() + "\\notepad.exe";
    ASSERT_TRUE(FileExistsWithDrive(notepad));
    const std::string present = dir.WriteFile("present.exe");
    const std::string isu = dir.File("Program Files\\App\\Uninst.isu");
    const std::string un = "UninstallString";

    key.SetString("Msi", un, "MsiExec.exe /X{12345678-1234-1234-1234-123456789012}");
    const std::string isuLine = notepad + " -f\"" + isu + "\"";
    key.SetString("IsUninst", un, isuLine);              // first file present, second missing
    const std::string twoLine = "\"" + dir.File("a.exe") + "\" /log=\"" + dir.File("b.LOG") + "\"";
    key.SetString("Two", un, twoLine);                   // two missing files: one problem
    key.SetString("Short", un, "  a.exe  ");
    key.SetString("None", "DisplayName", "App");
    const DWORD dword = 1;
    key.SetBytes("Dword", un, &dword, sizeof dword, REG_DWORD);
    key.SetString("Mixed", un, dir.File("gone.Exe"));    // neither ".exe" nor ".EXE" as written
    key.SetString("Present", un, "\"" + present + "\" /S");
    const std::string dllLine = "rundll32.exe " + dir.File("setup.dll") + ",Remove";
    key.SetString("Dll", un, dllLine);
    key.SetString("Quest", un, dir.File("gone.exe") + " ?");
    key.SetString("Expand", un, dir.File("gone.EXE"), REG_EXPAND_SZ);
    key.SetString("Default", "", dir.File("gone.exe"));  // the default value is not looked at

    IdleWorker run;
    run.worker.RunCheck(8, key.Path());
    const std::vector<Problem> expected = {
        {key.Child("IsUninst"), un, isuLine, "8"},
        {key.Child("Two"), un, twoLine, "8"},
        {key.Child("Dll"), un, dllLine, "8"},
        {key.Child("Expand"), un, dir.File("gone.EXE"), "8"},
    };
    EXPECT_EQ(Sorted(run.Problems()), Sorted(expected));
    EXPECT_EQ(run.worker.ProblemCount(), 4);
}

TEST(SubKeyChecks, KeysThatCannotBeOpenedRecordNothing) {
    ScratchKey key("badkeys");
    ScratchDir dir("badkeys");
    key.SetString("x.exe", "", dir.File("gone.exe"));
    key.SetString("x.exe", "UninstallString", dir.File("gone.exe"));
    key.SetString("x.exe\\InprocServer32", "", dir.File("gone.dll"));
    const std::string sub = key.SubKey();
    const std::vector<std::string> paths = {
        "",
        "\\",
        "HKCU\\" + sub,                          // unknown root: never another root
        "hkey_current_user\\" + sub,             // root names match case-sensitively
        "NoBackslash",
        key.Child("missing"),
        key.Path() + "\\" + std::string(300, 'a'),
        key.Path() + "\\" + std::string(70000, 'b'),
        "HKEY_CURRENT_USER\\" + std::string(5000, '\\'),
    };
    for (int category : {2, 3, 8}) {
        CheckRun run(category);
        for (const std::string& path : paths) {
            ScanInprocServers(run.scan(), path);
            ScanAppPaths(run.scan(), path);
            ScanUninstallEntries(run.scan(), path);
        }
        EXPECT_TRUE(run.Problems().empty()) << "category " << category;
    }
}

TEST(SubKeyChecks, LongSubKeyNamesAreWalked) {
    ScratchKey key("longnames");
    ScratchDir dir("longnames");
    // The longest name the registry takes (Wine takes a little less than Windows' 255).
    std::string name(255, 'n');
    while (!name.empty()) {
        HKEY created = vsc::test::CreateKeyPath(key.Child(name));
        if (created) {
            RegCloseKey(created);
            break;
        }
        name.pop_back();
    }
    ASSERT_GE(name.size(), 200u);
    key.SetString(name, "", dir.File("gone.exe"));
    key.SetString(name, "UninstallString", dir.File("gone.exe"));
    CheckRun run(3);
    ScanAppPaths(run.scan(), key.Path());
    ScanUninstallEntries(run.scan(), key.Path());
    ASSERT_EQ(run.Problems().size(), 2u);
    EXPECT_EQ(run.Problems()[0].KeyPath, key.Child(name));
}

TEST(SubKeyChecks, ACallAfterAStopOpensNothing) {
    ScratchKey key("stopped");
    ScratchDir dir("stopped");
    for (const char* name : {"a.exe", "b.exe"}) {
        key.SetString(name, "", dir.File("gone.exe"));
        key.SetString(name, "UninstallString", dir.File("gone.exe"));
        key.SetString(name + std::string("\\InprocServer32"), "", dir.File("gone.dll"));
    }
    CheckRun run(3);
    run.RequestStop();
    ScanInprocServers(run.scan(), key.Path());
    ScanAppPaths(run.scan(), key.Path());
    ScanUninstallEntries(run.scan(), key.Path());
    EXPECT_TRUE(run.Problems().empty());
    // Nothing was opened.
    EXPECT_EQ(run.Place(), "");
}


TEST(SubKeyChecks, ReadOnlyKeysAreReadAndKeysWithoutAccessPassedOver) {
    ScratchKey key("readonly");
    ScratchDir dir("readonly");
    key.SetString("ro.exe", "", dir.File("gone.exe"));
    key.SetString("none.exe", "", dir.File("gone.exe"));
    vsc::test::KeyAccessGuard readOnly(key.Child("ro.exe"), KEY_READ);
    vsc::test::KeyAccessGuard noAccess(key.Child("none.exe"), 0);
    ASSERT_TRUE(readOnly.ok());
    ASSERT_TRUE(noAccess.ok());

    HKEY probe = nullptr;
    const std::string roSub = key.SubKey() + "\\ro.exe";
    const LONG writeOpen = RegOpenKeyExA(HKEY_CURRENT_USER, roSub.c_str(), 0, KEY_WRITE, &probe);
    if (probe) RegCloseKey(probe);
    if (writeOpen == ERROR_SUCCESS) GTEST_SKIP() << "this Wine does not enforce registry key security";

    CheckRun run(3);
    ScanAppPaths(run.scan(), key.Path());
    const std::vector<Problem> expected = {{key.Child("ro.exe"), "", dir.File("gone.exe"), "3"}};
    EXPECT_EQ(run.Problems(), expected);
}

TEST(ScanUninstallEntries, ReadsOnlyStringKindsAndIgnoresOtherValues) {
    ScratchKey key("uninsttypes");
    ScratchDir dir("uninsttypes");
    const std::string gone = dir.File("gone.exe");
    const std::string un = "UninstallString";
    const unsigned long long qword = 1;
    key.SetBytes("bin", un, gone.data(), static_cast<DWORD>(gone.size()), REG_BINARY);
    key.SetBytes("multi", un, (gone + '\0' + '\0').data(), static_cast<DWORD>(gone.size() + 2), REG_MULTI_SZ);
    key.SetBytes("qword", un, &qword, sizeof qword, REG_QWORD);
    key.SetBytes("none", un, gone.data(), static_cast<DWORD>(gone.size()), REG_NONE);
    key.SetBytes("empty", un, "", 0, REG_SZ);
    key.SetBytes("unterminated", un, gone.data(), static_cast<DWORD>(gone.size()), REG_SZ);
    // Other values with long names and odd data sit beside the one that is read.
    std::string longName(16383, 'v');
    while (longName.size() > 200) {
        HKEY k = vsc::test::CreateKeyPath(key.Child("unterminated"));
        const LONG rc = RegSetValueExA(k, longName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
        RegCloseKey(k);
        if (rc == ERROR_SUCCESS) break;
        longName.resize(longName.size() / 2);
    }
    key.SetBytes("unterminated", "", "", 0, REG_NONE);

    CheckRun run(8);
    ScanUninstallEntries(run.scan(), key.Path());
    const std::vector<Problem> expected = {{key.Child("unterminated"), un, gone, "8"}};
    EXPECT_EQ(run.Problems(), expected);
}
