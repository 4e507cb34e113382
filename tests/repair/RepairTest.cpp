// The repair engine on scratch keys and scratch folders: every category's action, the backup file's
// bytes, the order of backup and change, and every way a repair can fail.
#include <gtest/gtest.h>

#include <aclapi.h>

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

void AddProblem(ScanResultLists& lists, const std::string& key, const std::string& name, const std::string& data,
                const std::string& category) {
    lists.KeyPathList.push_back(key);
    lists.ValueNameList.push_back(name);
    lists.ValueDataList.push_back(data);
    lists.CategoryList.push_back(category);
}

std::vector<std::size_t> AllRows(const ScanResultLists& lists) {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < lists.Count(); ++i) rows.push_back(i);
    return rows;
}

std::string FileText(const std::string& path) {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(path, text)) << path;
    return text;
}

struct Value {
    DWORD type = REG_NONE;
    std::string data;
};

Value Read(const std::string& key, const std::string& name) {
    Value v;
    EXPECT_TRUE(ReadValue(key, name, v.type, v.data)) << key << " / " << name;
    return v;
}

const std::string kEmptySz("\0", 1);
const std::string kSep = "--------------------\r\n";

// Makes a key readable but not writable for everyone, so that deleting or setting its values is
// refused. False when the system ignores it.
bool MakeKeyReadOnly(const std::string& keyPath) {
    HKEY key = vsc::test::CreateKeyPath(keyPath);
    if (!key) return false;
    EXPLICIT_ACCESSA access = {};
    access.grfAccessPermissions = KEY_READ;
    access.grfAccessMode = SET_ACCESS;
    access.grfInheritance = NO_INHERITANCE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = const_cast<char*>("EVERYONE");
    PACL acl = nullptr;
    bool ok = SetEntriesInAclA(1, &access, nullptr, &acl) == ERROR_SUCCESS &&
              SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, acl, nullptr) == ERROR_SUCCESS;
    if (acl) LocalFree(acl);
    RegCloseKey(key);
    if (!ok) return false;
    HKEY probe = nullptr;
    const HKEY root = RootKeyHandle(keyPath);
    const std::string sub = SplitKeyPath(keyPath).subKey;
    if (RegOpenKeyExA(root, sub.c_str(), 0, KEY_SET_VALUE, &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        return false;
    }
    return true;
}

void MakeKeyWritable(const std::string& keyPath) {
    HKEY key = nullptr;
    const std::string sub = SplitKeyPath(keyPath).subKey;
    if (RegOpenKeyExA(RootKeyHandle(keyPath), sub.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return;
    SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
}

}  // namespace

TEST(Repair, EveryCategoryGetsItsActionAndTheBackupHoldsWhatWasThere) {
    ScratchKey key("rep");
    ScratchDir dir("rep");
    const std::string folder = dir.File("backup");
    ScanResultLists lists;
    // One value per category 1..13, as the scan records it (an application path unquoted, a shared
    // DLL's count named by its file, a sound as a key's default value); 4 to 8 delete, the others clear.
    struct Row {
        std::string sub, name, data, stored;
    };
    std::vector<Row> rows;
    for (int category = 1; category <= 13; ++category) {
        const std::string name = "v" + std::to_string(category), gone = "C:\\gone\\" + name + ".exe";
        Row row{"K", name, gone, category == 3 ? "\"" + gone + "\"" : gone};
        if (category == 6) row = {"K", "C:\\gone\\v6.dll", "1", "1"};
        if (category == 12) row = {"K12", "", "C:\\gone\\v12.wav", "C:\\gone\\v12.wav"};
        category == 6 ? key.SetBytes("K", row.name, "\1\0\0\0", 4, REG_DWORD) : key.SetString(row.sub, row.name, row.stored);
        AddProblem(lists, key.Child(row.sub), row.name, row.data, std::to_string(category));
        rows.push_back(row);
    }
    const std::string shortcut = dir.File("desk\\old.lnk");
    dir.MakeDir("desk");
    ASSERT_TRUE(vsc::test::WriteShortcut(shortcut, "C:\\gone\\target.exe"));
    AddProblem(lists, shortcut, "LinkFiles", "C:\\gone\\target.exe", "14");

    const RepairResult result = RepairProblems(lists, AllRows(lists), folder);
    EXPECT_FALSE(result.BackupFailed);
    EXPECT_EQ(result.Repaired, 14);
    EXPECT_EQ(result.Failed, 0);
    EXPECT_EQ(result.BackupFile, folder + "\\regbackup1.txt");

    std::string expected;
    for (int category = 1; category <= 13; ++category) {
        const Row& row = rows[static_cast<size_t>(category - 1)];
        const bool deletes = category >= 4 && category <= 8;
        if (deletes) {
            EXPECT_FALSE(ValueExists(key.Child(row.sub), row.name)) << category;
        } else {
            const Value v = Read(key.Child(row.sub), row.name);
            EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ)) << category;
            EXPECT_EQ(v.data, kEmptySz) << category;
        }
        // The data as the registry held it (not the scan's text), then the category and the type.
        expected += kSep + key.Child(row.sub) + "\r\n" + row.name + "\r\n" + row.stored + "\r\n" +
                    std::to_string(category) + (category == 6 ? "\r\ntype=4\r\n" : "\r\ntype=1\r\n");
    }
    EXPECT_EQ(FileText(result.BackupFile), expected);
    EXPECT_TRUE(PathGone(shortcut)) << "the shortcut goes to the recycle bin";
}

TEST(Repair, DefaultValuesNumbersAndExpandStringsAreRecordedWithTheirType) {
    ScratchKey key("types");
    ScratchDir dir("types");
    key.SetString("A", "", "C:\\x.exe");
    key.SetString("B", "p", "%SystemRoot%\\gone.exe", REG_EXPAND_SZ);
    const DWORD count = 0xFFFFFFFF;
    key.SetBytes("C", "C:\\shared.dll", &count, sizeof count, REG_DWORD);
    const char bytes[] = {0, 1, '\r', '\n'};
    key.SetBytes("C", "C:\\bin.dll", bytes, sizeof bytes, REG_BINARY);
    ScanResultLists lists;
    AddProblem(lists, key.Child("A"), "", "C:\\x.exe", "3");
    AddProblem(lists, key.Child("B"), "p", "%SystemRoot%\\gone.exe", "7");
    AddProblem(lists, key.Child("C"), "C:\\shared.dll", "-1", "6");
    AddProblem(lists, key.Child("C"), "C:\\bin.dll", "", "6");

    const RepairResult result = RepairProblems(lists, AllRows(lists), dir.File("backup"));
    EXPECT_EQ(result.Repaired, 3);  // no count: never the scan's problem
    EXPECT_EQ(FileText(result.BackupFile),
              kSep + key.Child("A") + "\r\n\r\nC:\\x.exe\r\n3\r\ntype=1\r\n" + kSep + key.Child("B") +
                  "\r\np\r\n%SystemRoot%\\gone.exe\r\n7\r\ntype=2\r\n" + kSep + key.Child("C") +
                  "\r\nC:\\shared.dll\r\n-1\r\n6\r\ntype=4\r\n");
}

TEST(Repair, BackupNamesFollowTheLargestNumberAndTheFolderIsCreated) {
    ScratchKey key("names");
    ScratchDir dir("names");
    const std::string folder = dir.File("backup");
    EXPECT_EQ(NextBackupFileName(folder), "regbackup1.txt") << "missing folder";
    dir.WriteFile("backup\\notes.txt");
    EXPECT_EQ(NextBackupFileName(folder), "regbackup0.txt");
    dir.WriteFile("backup\\regbackup2.txt");
    dir.WriteFile("backup\\regbackup10.TXT");
    dir.WriteFile("backup\\regbackup1.txt");
    dir.WriteFile("backup\\regbackup99.log");
    dir.MakeDir("backup\\regbackup50.txt");
    EXPECT_EQ(NextBackupFileName(folder), "regbackup11.txt");

    std::vector<std::string> names;
    ListBackupFiles(folder, names);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"notes.txt", "regbackup1.txt", "regbackup10.TXT", "regbackup2.txt"}));

    // A repair into a folder that does not exist yet creates it.
    const std::string fresh = dir.File("new\\backup");
    dir.MakeDir("new");
    key.SetString("", "v", "C:\\gone\\x.exe");
    ScanResultLists lists;
    AddProblem(lists, key.Path(), "v", "C:\\gone\\x.exe", "7");
    const RepairResult result = RepairProblems(lists, {0}, fresh);
    EXPECT_EQ(result.BackupFile, fresh + "\\regbackup1.txt");
    EXPECT_FALSE(ValueExists(key.Path(), "v"));
    names.clear();
    ListBackupFiles(fresh, names);
    EXPECT_EQ(names, std::vector<std::string>{"regbackup1.txt"}) << "no temporary file is left";

    // Each record is in the file, under its final name and readable by others, as soon as it is
    // appended: before its change, and whatever becomes of the program afterwards.
    TBackupAppender backup;
    ASSERT_TRUE(backup.Create(fresh));
    EXPECT_EQ(backup.Path(), fresh + "\\regbackup2.txt");
    ASSERT_TRUE(backup.Append("first record\r\n"));
    EXPECT_EQ(FileText(backup.Path()), "first record\r\n");
    ASSERT_TRUE(backup.Append("second\r\n"));
    EXPECT_TRUE(backup.Finish());
    EXPECT_EQ(FileText(backup.Path()), "first record\r\nsecond\r\n");
    EXPECT_FALSE(backup.Append("after the end")) << "a finished file takes nothing more";
}

TEST(Repair, ABackupThatCannotBeWrittenChangesNothing) {
    ScratchKey key("nobackup");
    ScratchDir dir("nobackup");
    const std::string blocker = dir.WriteFile("backup", "a file where the folder should be");
    key.SetString("", "del", "C:\\gone.hlp");
    key.SetString("", "clr", "C:\\gone.exe");
    const std::string shortcut = dir.WriteFile("old.lnk", "x");
    ScanResultLists lists;
    AddProblem(lists, key.Path(), "del", "C:\\gone.hlp", "5");
    AddProblem(lists, key.Path(), "clr", "C:\\gone.exe", "3");
    AddProblem(lists, shortcut, "LinkFiles", "C:\\gone", "14");

    const RepairResult result = RepairProblems(lists, AllRows(lists), blocker);
    EXPECT_TRUE(result.BackupFailed);
    EXPECT_EQ(result.Repaired, 0);
    EXPECT_EQ(Read(key.Path(), "del").data, std::string("C:\\gone.hlp\0", 12));
    EXPECT_EQ(Read(key.Path(), "clr").data, std::string("C:\\gone.exe\0", 12));
    EXPECT_FALSE(PathGone(shortcut));
}

// Just before a change each entry is read again: one that is gone, holds other data than the scan
// recorded, or whose file exists again is left as it is and counted apart.
TEST(Repair, ChangedEntriesAreLeftAndUnwritableOnesAreFailures) {
    ScratchKey key("gone");
    ScratchDir dir("gone");
    key.SetString("", "multi", "line one\r\nline two");
    key.SetString("", "ok", "C:\\gone.exe");
    key.SetString("", "x\ny", "C:\\gone.exe");
    const char hidden[] = "C:\\gone.exe\0more text";  // text past the zero byte is data too
    key.SetBytes("", "hidden", hidden, sizeof hidden, REG_SZ);
    ScanResultLists lists;
    AddProblem(lists, key.Child("NoSuchKey"), "v", "C:\\a.hlp", "5");  // key gone: left, no record
    AddProblem(lists, key.Path(), "missing", "C:\\b.exe", "3");        // value gone: left, not created
    AddProblem(lists, key.Path(), "multi", "line one", "7");           // cannot be written as lines
    AddProblem(lists, key.Path(), "ok", "C:\\gone.exe", "7");
    AddProblem(lists, key.Path(), "ok", "C:\\gone.exe", "13");         // the same value again
    AddProblem(lists, dir.File("none.lnk"), "LinkFiles", "", "14");    // no file: passed over
    AddProblem(lists, key.Path(), "ok", "", "x");                      // unreadable category
    AddProblem(lists, key.Path(), "x\ny", "", "7");                    // a name with a line break
    AddProblem(lists, key.Path(), "hidden", "C:\\gone.exe", "13");     // no line holds all its data
    const std::string folder = dir.MakeDir("now a folder.lnk");
    dir.WriteFile("now a folder.lnk\\keep.txt");
    AddProblem(lists, folder, "LinkFiles", "", "14");                  // never recycled
    const std::string back = dir.WriteFile("app.exe");
    key.SetString("", "other", "C:\\gone\\new.exe");
    key.SetString("", "back", back);
    AddProblem(lists, key.Path(), "other", "C:\\gone\\app.exe", "13");     // other data now
    AddProblem(lists, key.Path(), "back", back, "13");                      // the file is back

    const RepairResult result = RepairProblems(lists, AllRows(lists), dir.File("backup"));
    EXPECT_EQ(result.Repaired, 1);
    EXPECT_EQ(result.Failed, 4);
    EXPECT_EQ(result.ChangedSinceScanRows, (std::vector<std::size_t>{0, 1, 4, 5, 9, 10, 11}));
    EXPECT_EQ(Read(key.Path(), "other").data, std::string("C:\\gone\\new.exe") + '\0');
    EXPECT_EQ(Read(key.Path(), "back").data, back + '\0');
    EXPECT_FALSE(PathGone(folder + "\\keep.txt"));
    EXPECT_EQ(Read(key.Path(), "hidden").data, std::string(hidden, sizeof hidden));
    EXPECT_FALSE(ValueExists(key.Path(), "missing"));
    EXPECT_EQ(Read(key.Path(), "multi").data, std::string("line one\r\nline two\0", 19));
    EXPECT_FALSE(ValueExists(key.Path(), "ok")) << "a clear after the delete creates nothing";
    EXPECT_EQ(FileText(result.BackupFile), kSep + key.Path() + "\r\nok\r\nC:\\gone.exe\r\n7\r\ntype=1\r\n");

    // Nothing checked, or only rows outside the lists: nothing happens at all.
    const RepairResult none = RepairProblems(lists, {100}, dir.File("backup2"));
    EXPECT_TRUE(none.NothingChecked);
    EXPECT_TRUE(PathGone(dir.File("backup2")));
}

TEST(Repair, ARefusedChangeIsNotCountedAndLeavesNoRecord) {
    ScratchKey key("refused");
    ScratchDir dir("refused");
    key.SetString("Locked", "del", "C:\\gone.ttf");
    key.SetString("Locked", "clr", "C:\\gone.exe");
    key.SetString("Open", "del", "C:\\gone.ttf");
    if (!MakeKeyReadOnly(key.Child("Locked"))) GTEST_SKIP() << "key security is not enforced here";
    ScanResultLists lists;
    AddProblem(lists, key.Child("Locked"), "del", "C:\\gone.ttf", "4");
    AddProblem(lists, key.Child("Locked"), "clr", "C:\\gone.exe", "2");
    AddProblem(lists, key.Child("Open"), "del", "C:\\gone.ttf", "4");

    const RepairResult result = RepairProblems(lists, AllRows(lists), dir.File("backup"));
    MakeKeyWritable(key.Child("Locked"));
    EXPECT_EQ(result.Repaired, 1);
    EXPECT_EQ(result.Failed, 2);
    EXPECT_TRUE(ValueExists(key.Child("Locked"), "del"));
    EXPECT_EQ(Read(key.Child("Locked"), "clr").data, std::string("C:\\gone.exe\0", 12));
    EXPECT_EQ(FileText(result.BackupFile), kSep + key.Child("Open") + "\r\ndel\r\nC:\\gone.ttf\r\n4\r\ntype=1\r\n");

    // When nothing could be changed, no backup file stays.
    ScanResultLists lockedOnly;
    AddProblem(lockedOnly, key.Child("Locked"), "del", "C:\\gone.ttf", "4");
    ASSERT_TRUE(MakeKeyReadOnly(key.Child("Locked")));
    const RepairResult none = RepairProblems(lockedOnly, {0}, dir.File("backup"));
    MakeKeyWritable(key.Child("Locked"));
    EXPECT_EQ(none.Repaired, 0);
    EXPECT_EQ(none.Failed, 1);
    EXPECT_TRUE(none.BackupFile.empty());
    std::vector<std::string> names;
    ListBackupFiles(dir.File("backup"), names);
    EXPECT_EQ(names.size(), 1u);
}

TEST(Repair, AValueWhoseNameTheCodePageCannotShowIsNeverTakenForGone) {
    ScratchKey key("lossy");
    ScratchDir dir("lossy");
    HKEY open = vsc::test::CreateKeyPath(key.Path());
    ASSERT_TRUE(open);
    const wchar_t wideName[] = L"run\x4E2D\x6587";
    const wchar_t wideData[] = L"C:\\gone.exe";
    ASSERT_EQ(RegSetValueExW(open, wideName, 0, REG_SZ, reinterpret_cast<const BYTE*>(wideData), sizeof wideData),
              ERROR_SUCCESS);
    // The name as the scan's 8-bit calls see it.
    char name[256];
    DWORD length = sizeof name;
    const LONG listed = RegEnumValueA(open, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(listed, ERROR_SUCCESS);
    const std::string shown(name, length);
    if (shown.find('?') == std::string::npos) {
        RegCloseKey(open);
        GTEST_SKIP() << "the code page shows every character of the name";
    }
    EXPECT_FALSE(DeleteRegValue(key.Path(), shown));
    EXPECT_FALSE(ClearRegValue(key.Path(), shown));
    ScanResultLists lists;
    AddProblem(lists, key.Path(), shown, "C:\\gone.exe", "7");
    AddProblem(lists, key.Path(), shown, "C:\\gone.exe", "13");
    const RepairResult result = RepairProblems(lists, AllRows(lists), dir.File("backup"));
    EXPECT_EQ(result.Repaired, 0);
    EXPECT_EQ(result.Failed, 2);
    EXPECT_TRUE(result.BackupFile.empty());
    wchar_t data[64] = {};
    DWORD size = sizeof data;
    EXPECT_EQ(RegQueryValueExW(open, wideName, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(data), std::wstring(wideData));
    RegCloseKey(open);
}

// Entries of one key in rows apart: the key is read and changed once for all of them, in row
// order, and the backup keeps row order; a value larger than a small read buffer is kept whole.
// The backup then goes back, its records of each key written together, its failures in file order.
TEST(Repair, EntriesOfOneKeyInRowsApartKeepRowOrderAndGoBackWhole) {
    ScratchKey key("apart");
    ScratchDir dir("apart");
    const std::string longText = "setting " + std::string(600, 'x');  // category 1: the data alone tells
    key.SetString("A", "first", "C:\\gone\\first.exe");
    key.SetString("A", "long", longText);
    key.SetString("B", "only", "C:\\gone\\only.exe");
    ScanResultLists lists;
    AddProblem(lists, key.Child("A"), "first", "C:\\gone\\first.exe", "13");
    AddProblem(lists, key.Child("B"), "only", "C:\\gone\\only.exe", "13");
    AddProblem(lists, key.Child("A"), "long", longText, "1");
    AddProblem(lists, key.Child("A"), "first", "C:\\gone\\first.exe", "7");  // emptied by row 0 already

    const RepairResult result = RepairProblems(lists, AllRows(lists), dir.File("backup"));
    EXPECT_EQ(result.Repaired, 3);
    EXPECT_EQ(result.ChangedSinceScanRows, std::vector<std::size_t>{3});
    EXPECT_EQ(Read(key.Child("A"), "first").data, kEmptySz);
    EXPECT_EQ(Read(key.Child("A"), "long").data, kEmptySz);
    EXPECT_EQ(FileText(result.BackupFile),
              kSep + key.Child("A") + "\r\nfirst\r\nC:\\gone\\first.exe\r\n13\r\ntype=1\r\n" + kSep + key.Child("B") +
                  "\r\nonly\r\nC:\\gone\\only.exe\r\n13\r\ntype=1\r\n" + kSep + key.Child("A") + "\r\nlong\r\n" +
                  longText + "\r\n1\r\ntype=1\r\n");

    // Back, with a record of a key that cannot be opened and one whose data does not fit its type
    // between them: every other record still goes back, and the two fail in file order.
    std::string text = FileText(result.BackupFile);
    text.insert(text.find(kSep + key.Child("B")), kSep + "HKCU\\Nowhere\r\nv\r\nd\r\n3\r\n");
    text += kSep + key.Child("B") + "\r\nnumber\r\nnot a number\r\n6\r\ntype=4\r\n";
    const RestoreResult restored = RestoreBackupFile(dir.WriteFile("edited.txt", text));
    EXPECT_EQ(restored.Restored, 3);
    ASSERT_EQ(restored.Failures.size(), 2u);
    EXPECT_EQ(restored.Failures[0].Reason, "the key cannot be opened or created");
    EXPECT_EQ(restored.Failures[1].Reason, "the data does not fit the value's type");
    EXPECT_EQ(Read(key.Child("A"), "long").data, longText + '\0');
    EXPECT_EQ(Read(key.Child("B"), "only").data, std::string("C:\\gone\\only.exe") + '\0');
}
