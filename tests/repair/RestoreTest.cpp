// The restore engine: backups written by repair go back exactly; old and damaged files are read
// as far as they go.
#include <gtest/gtest.h>

#include <regex>

#include "registry/PublicOpt.h"
#include "repair/BackupFiles.h"
#include "repair/Repair.h"
#include "repair/Restore.h"
#include "support/TestSupport.h"

using namespace vsc;
using vsc::test::ReadValue;
using vsc::test::ScratchDir;
using vsc::test::ScratchKey;
using vsc::test::ValueExists;

namespace {

struct Seeded {
    std::string Name;
    DWORD Type;
    std::string Data;
    std::string Category;
    std::string Scanned = "";  // the data text the scan records, where it is not the stored text
};

void ExpectValue(const std::string& key, const std::string& name, DWORD type, const std::string& data) {
    DWORD readType = REG_NONE;
    std::string readData;
    ASSERT_TRUE(ReadValue(key, name, readType, readData)) << name;
    EXPECT_EQ(readType, type) << name;
    EXPECT_EQ(readData, data) << name;
}

// The bytes of a string value: the text and its terminating zero.
std::string Sz(const std::string& text) { return text + '\0'; }

const std::string kSep = "--------------------\r\n";

}  // namespace

TEST(Restore, EveryCategoryGoesBackToTheSameDataAndType) {
    ScratchKey key("round");
    ScratchDir dir("round");
    const DWORD number = 0x80000001;
    const std::string dword(reinterpret_cast<const char*>(&number), 4);
    // One broken value per category, with the data text its check records where that differs.
    const std::vector<Seeded> seeded = {
        {"c1", REG_SZ, Sz("C:\\a"), "1"},
        {"c2", REG_EXPAND_SZ, Sz("%SystemRoot%\\gone.dll"), "2"},
        {"c3", REG_SZ, Sz("\"C:\\Program Files\\gone.exe\""), "3", "C:\\Program Files\\gone.exe"},
        {"c4", REG_SZ, Sz("gone.ttf"), "4"},
        {"c5", REG_SZ, Sz("C:\\help\\"), "5"},
        {"C:\\gone\\c6.dll", REG_DWORD, dword, "6", std::to_string(static_cast<int>(number))},
        {"c7", REG_EXPAND_SZ, Sz("%ProgramFiles%\\gone\\x.exe"), "7"},
        {"c8", REG_SZ, Sz("\"C:\\gone\\unins.exe\" /S"), "8"},
        {"c9", REG_SZ, Sz("x"), "9"},
        {"c10", REG_SZ, Sz("y"), "10"},
        {"c11", REG_SZ, Sz("z"), "11"},
        {"", REG_EXPAND_SZ, Sz("%SystemRoot%\\media\\gone.wav"), "12", ExpandLeadingEnvVar("%SystemRoot%\\media\\gone.wav")},
        {"c13", REG_SZ, Sz("C:\\gone\\file.dat"), "13"},
    };
    ScanResultLists lists;
    std::vector<std::size_t> rows;
    for (const Seeded& s : seeded) {
        key.SetBytes("K", s.Name, s.Data.data(), static_cast<DWORD>(s.Data.size()), s.Type);
        lists.KeyPathList.push_back(key.Child("K"));
        lists.ValueNameList.push_back(s.Name);
        lists.ValueDataList.push_back(s.Scanned.empty() ? s.Data.substr(0, s.Data.size() - 1) : s.Scanned);
        lists.CategoryList.push_back(s.Category);
        rows.push_back(rows.size());
    }
    const RepairResult repaired = RepairProblems(lists, rows, dir.File("backup"));
    ASSERT_EQ(repaired.Repaired, static_cast<int>(seeded.size()));
    ASSERT_FALSE(repaired.BackupFile.empty());
    // Restore into a key that is gone altogether: it is created again.
    ASSERT_TRUE(vsc::test::DeleteKeyTree(key.Child("K")));

    const RestoreResult restored = RestoreBackupFile(repaired.BackupFile);
    EXPECT_TRUE(restored.Succeeded());
    EXPECT_EQ(restored.Restored, static_cast<int>(seeded.size()));
    for (const Seeded& s : seeded) ExpectValue(key.Child("K"), s.Name, s.Type, s.Data);
}

TEST(Restore, OldFiveLineFilesFollowTheCategoryRule) {
    ScratchKey key("old");
    ScratchDir dir("old");
    key.SetString("", "was", "before", REG_EXPAND_SZ);
    const std::string path = dir.WriteFile(
        "regbackup1.txt", "old notes\r\n" + kSep + key.Child("Deep\\Er") + "\r\n\r\nC:\\x.exe\r\n3\r\n" + kSep +
                              "  " + key.Path() + " \r\nC:\\s.dll\r\n-2\r\n 6 \r\n" + kSep + key.Path() +
                              "\r\nwas\r\n%WinDir%\\a.exe\r\n7\r\n");
    const RestoreResult result = RestoreBackupFile(path);
    EXPECT_TRUE(result.Succeeded());
    EXPECT_EQ(result.Restored, 3);
    ExpectValue(key.Child("Deep\\Er"), "", REG_SZ, Sz("C:\\x.exe"));
    ExpectValue(key.Path(), "C:\\s.dll", REG_DWORD, std::string("\xfe\xff\xff\xff", 4));
    ExpectValue(key.Path(), "was", REG_SZ, Sz("%WinDir%\\a.exe"));

    // A backup of an older version, in the legacy code page (Windows-1252 here), goes back exactly.
    const std::string legacy = dir.WriteFile(
        "regbackup2.txt", kSep + key.Path() + "\r\nGr\xFC\xDF\r\nC:\\T\xFCr\\\xE9t\xE9.exe\r\n7\r\n");
    EXPECT_TRUE(RestoreBackupFile(legacy).Succeeded());
    ExpectValue(key.Path(), "Gr\xC3\xBC\xC3\x9F", REG_SZ, Sz("C:\\T\xC3\xBCr\\\xC3\xA9t\xC3\xA9.exe"));
}

TEST(Restore, DamagedAndEmptyFiles) {
    ScratchKey key("damaged");
    ScratchDir dir("damaged");
    // A whole record, a record with bad data, then a record cut off at the end.
    const std::string path = dir.WriteFile(
        "a.txt", kSep + key.Path() + "\r\nfirst\r\none\r\n7\r\ntype=1\r\n" + kSep + key.Path() +
                     "\r\nbad\r\nnot a number\r\n6\r\n" + kSep + key.Path() + "\r\nhex\r\nxyz\r\n6\r\ntype=3\r\n" +
                     kSep + key.Path() + "\r\ncut\r\n");
    const RestoreResult result = RestoreBackupFile(path);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_TRUE(result.Truncated);
    EXPECT_EQ(result.Restored, 1);
    EXPECT_EQ(result.Failed, 3);
    ExpectValue(key.Path(), "first", REG_SZ, Sz("one"));
    EXPECT_FALSE(ValueExists(key.Path(), "bad"));
    EXPECT_FALSE(ValueExists(key.Path(), "cut"));

    // An unknown root cannot be opened.
    EXPECT_FALSE(RestoreEntry({"HKCU\\Software\\VscTest", "v", "d", "3", true, REG_SZ}));

    // An empty file, or one without any separator, restores nothing and succeeds.
    EXPECT_TRUE(RestoreBackupFile(dir.WriteFile("empty.txt", "")).Succeeded());
    EXPECT_TRUE(RestoreBackupFile(dir.WriteFile("plain.txt", "hello\r\n")).Succeeded());
    EXPECT_TRUE(RestoreBackupFile(dir.File("missing.txt")).ReadFailed);

    // The restore of the dialog and the console: a file that holds no record or cannot be read is
    // refused and kept; a damaged one is kept; a whole one goes once everything went back.
    const BackupRestoreOutcome damaged = RestoreAndRetireBackup(path);
    EXPECT_EQ(damaged.Records, 4);
    EXPECT_FALSE(damaged.Succeeded() || damaged.FileRemoved || PathGone(path));
    for (const char* name : {"empty.txt", "plain.txt"}) {
        EXPECT_TRUE(RestoreAndRetireBackup(dir.File(name)).NoRecords) << name;
        EXPECT_FALSE(PathGone(dir.File(name))) << name;
    }
    EXPECT_TRUE(RestoreAndRetireBackup(dir.File("missing.txt")).Refused());
    const std::string whole = dir.WriteFile("whole.txt", kSep + key.Path() + "\r\nagain\r\ntwo\r\n7\r\n");
    const BackupRestoreOutcome restored = RestoreAndRetireBackup(whole);
    EXPECT_TRUE(restored.Succeeded() && restored.FileRemoved && PathGone(whole));
    EXPECT_EQ(restored.Result.Restored, 1);
    ExpectValue(key.Path(), "again", REG_SZ, Sz("two"));
}

TEST(Restore, FileDatesAreUnpaddedLocalTimes) {
    ScratchDir dir("date");
    const std::string text = FormatFileDate(dir.WriteFile("regbackup1.txt"));
    EXPECT_TRUE(std::regex_match(text, std::regex(R"(\d{4}-[1-9]\d?-[1-9]\d? [1-9]?\d:[1-9]?\d:[1-9]?\d)"))) << text;
    EXPECT_EQ(FormatFileDate(dir.File("missing.txt")), "");
}
