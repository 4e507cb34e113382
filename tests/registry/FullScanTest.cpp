// One scan over the real key paths of the category table, every category selected, with a seeded
// problem in each category that records problems. Writes to HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT
// and HKEY_USERS of the prefix, so it runs only in the build's own Wine prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "CheckTestSupport.h"
#include "support/TestSupport.h"

using namespace vsc;
using namespace vsc::test;

namespace {

const std::string kSeed = "vscseed";  // every seeded text holds it
const std::string kGone = "C:\\vscseed-missing";
const std::string kClsid = "{5EED0000-0000-4000-8000-00000000C0DE}";

// Seeded keys and values, removed again on every way out of the test.
class Seeds {
public:
    ~Seeds() {
        for (const auto& [keyPath, name] : values_) {
            TNTRegistry reg;
            if (OpenKeyPath(keyPath, reg, false)) reg.RemoveValue(name);
        }
        for (auto it = keys_.rbegin(); it != keys_.rend(); ++it) DeleteKeyTree(*it);
        for (const auto& file : files_) DeleteFileA(file.c_str());
    }
    // A key of our own: deleted with everything below it.
    void Key(const std::string& keyPath) { keys_.push_back(keyPath); }
    // A value in a key that may hold other data: only the value is removed.
    void Value(const std::string& keyPath, const std::string& name, const std::string& data, DWORD type = REG_SZ) {
        Write(keyPath, name, data.c_str(), static_cast<DWORD>(data.size() + 1), type);
    }
    void Number(const std::string& keyPath, const std::string& name, std::int32_t number) {
        Write(keyPath, name, &number, sizeof number, REG_DWORD);
    }
    void File(const std::string& path) { files_.push_back(path); }

private:
    void Write(const std::string& keyPath, const std::string& name, const void* data, DWORD size, DWORD type) {
        HKEY key = CreateKeyPath(keyPath);
        ASSERT_NE(key, nullptr) << keyPath;
        values_.emplace_back(keyPath, name);
        EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    std::vector<std::pair<std::string, std::string>> values_;
    std::vector<std::string> keys_;
    std::vector<std::string> files_;
};

std::string Windir() {
    char buffer[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("windir", buffer, MAX_PATH);
    return n && n < MAX_PATH ? std::string(buffer, n) : std::string();
}

}  // namespace

TEST(FullScan, FindsEverySeededProblemOncePerKeyPathThatReachesIt) {
    SKIP_UNLESS_BUILD_PREFIX();
    const char drive = FixtureDrive();
    ASSERT_NE(drive, 0) << "the fixture drive is made by scripts/test";

    const std::string hklmSoft = "HKEY_LOCAL_MACHINE\\SOFTWARE";
    const std::string cv = "\\Microsoft\\Windows\\CurrentVersion";
    Seeds seeds;
    std::vector<Problem> expected;

    // 2: a COM class whose server is gone. HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\SOFTWARE\Classes,
    // whose classes the file-path walk of category 13 leaves to this category: listed once.
    const std::string server = kGone + "\\server.dll";
    seeds.Key("HKEY_CLASSES_ROOT\\CLSID\\" + kClsid);
    seeds.Value("HKEY_CLASSES_ROOT\\CLSID\\" + kClsid + "\\InprocServer32", "", server);
    expected.push_back({"HKEY_CLASSES_ROOT\\CLSID\\" + kClsid + "\\InprocServer32", "", server, "2"});
    seeds.Key("HKEY_CURRENT_USER\\CLSID\\" + kClsid);
    seeds.Value("HKEY_CURRENT_USER\\CLSID\\" + kClsid + "\\InprocServer32", "", server);
    expected.push_back({"HKEY_CURRENT_USER\\CLSID\\" + kClsid + "\\InprocServer32", "", server, "2"});

    // 3: an application path, quoted (the problem shows it unquoted). App Paths is left to 3.
    const std::string appPaths = hklmSoft + cv + "\\App Paths\\" + kSeed + ".exe";
    seeds.Key(appPaths);
    seeds.Value(appPaths, "", "\"" + kGone + "\\app.exe\"");
    expected.push_back({appPaths, "", kGone + "\\app.exe", "3"});

    // 4: one font in each font key.
    const std::string fontsNt = hklmSoft + "\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    seeds.Value(fontsNt, "Vscseed (TrueType)", kSeed + "-missing.ttf");
    expected.push_back({fontsNt, "Vscseed (TrueType)", kSeed + "-missing.ttf", "4"});
    const std::string fonts = "HKEY_LOCAL_MACHINE\\Software" + cv + "\\Fonts";
    seeds.Value(fonts, "Vscseed Other", kGone + "\\other.ttf");
    expected.push_back({fonts, "Vscseed Other", kGone + "\\other.ttf", "4"});

    // 5: a help file.
    const std::string help = hklmSoft + "\\Microsoft\\Windows\\Help";
    seeds.Value(help, kSeed + ".hlp", kGone);
    expected.push_back({help, kSeed + ".hlp", kGone, "5"});

    // 6: a shared file in each key; the second key also lies under the sound-event walk of 12,
    // which looks only at default values.
    const std::string shared = hklmSoft + cv + "\\SharedDLLs";
    seeds.Number(shared, kGone + "\\shared.dll", 3);
    expected.push_back({shared, kGone + "\\shared.dll", "3", "6"});
    const std::string ccselect = "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\.Default\\CCSelect\\.current";
    seeds.Number(ccselect, kGone + "\\select.dll", -1);
    expected.push_back({ccselect, kGone + "\\select.dll", "-1", "6"});

    // 7: startup entries. The unquoted one is a full path too, but the file-path walk never
    // enters Run; the RunOnceEx one sits in a sub-key.
    const std::string run = hklmSoft + cv + "\\Run";
    seeds.Value(run, "VscseedQuoted", "\"" + kGone + "\\start.exe\"");
    expected.push_back({run, "VscseedQuoted", "\"" + kGone + "\\start.exe\"", "7"});
    seeds.Value(run, "VscseedPlain", kGone + "\\plain.exe");
    expected.push_back({run, "VscseedPlain", kGone + "\\plain.exe", "7"});
    const std::string runOnceEx = "HKEY_CURRENT_USER\\SOFTWARE" + cv + "\\RunOnceEx\\" + kSeed;
    seeds.Key(runOnceEx);
    seeds.Value(runOnceEx, "Step", kGone + "\\step.dll");
    expected.push_back({runOnceEx, "Step", kGone + "\\step.dll", "7"});

    // 8: an uninstall entry.
    const std::string uninstall = "HKEY_LOCAL_MACHINE\\Software" + cv + "\\Uninstall\\" + kSeed;
    seeds.Key(uninstall);
    seeds.Value(uninstall, "UninstallString", "\"" + kGone + "\\unins000.exe\" /SILENT");
    expected.push_back({uninstall, "UninstallString", "\"" + kGone + "\\unins000.exe\" /SILENT", "8"});

    // 12: a sound event in each scheme tree.
    for (const std::string apps : {"HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps",
                                   "HKEY_USERS\\.DEFAULT\\AppEvents\\Schemes\\Apps"}) {
        const std::string event = apps + "\\.Default\\" + kSeed + "Event";
        seeds.Key(event);
        seeds.Value(event + "\\.Current", "", kSeed + "-missing.wav");
        expected.push_back({event + "\\.Current", "", Windir() + "\\Media\\" + kSeed + "-missing.wav", "12"});
    }

    // 13: full paths under a key of our own, one of them the default value.
    const std::string own = hklmSoft + "\\" + kSeed + "\\Deep";
    seeds.Key(hklmSoft + "\\" + kSeed);
    seeds.Value(own, "Readme", kGone + "\\readme.txt");
    seeds.Value(own, "", kGone + "\\default.ini");
    expected.push_back({own, "", kGone + "\\default.ini", "13"});
    expected.push_back({own, "Readme", kGone + "\\readme.txt", "13"});

    // 14: a broken shortcut on the fixture drive.
    const std::string link = std::string(1, drive) + ":\\" + kSeed + ".lnk";
    const std::string target = std::string(1, drive) + ":\\" + kSeed + "-target.exe";
    CloseHandle(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    seeds.File(link);
    ASSERT_TRUE(WriteShortcut(link, target));
    DeleteFileA(target.c_str());
    expected.push_back({link, "LinkFiles", target, "14"});

    auto lists = std::make_shared<ScanResultLists>();
    TRegScanThread worker(true, lists, std::string(kSelectionLength, '1'), std::string(1, drive));
    worker.Start();
    ASSERT_TRUE(worker.WaitFor(100000));

    std::vector<Problem> seeded;
    for (const Problem& p : ProblemsOf(*lists))
        if ((p.KeyPath + p.ValueName + p.ValueData).find(kSeed) != std::string::npos) seeded.push_back(p);
    EXPECT_EQ(SortedByName(seeded), SortedByName(expected));

    // Categories 1, 9, 10 and 11 never record; the counters agree with the lists.
    const ScanProgress progress = worker.Progress();
    std::map<std::string, int> perCategory;
    for (const std::string& c : lists->CategoryList) ++perCategory[c];
    for (int k = 1; k <= kCategoryCount; ++k)
        EXPECT_EQ(progress.Counts[static_cast<size_t>(k)], perCategory[std::to_string(k)]) << "category " << k;
    for (const char* silent : {"1", "9", "10", "11"}) EXPECT_EQ(perCategory[silent], 0) << silent;
    EXPECT_EQ(progress.Total, static_cast<int>(lists->Count()));
    EXPECT_EQ(worker.ProblemCount(), static_cast<int>(lists->Count()));
    EXPECT_EQ(lists->ValueNameList.size(), lists->Count());
    EXPECT_EQ(lists->ValueDataList.size(), lists->Count());
    EXPECT_EQ(lists->CategoryList.size(), lists->Count());
}
