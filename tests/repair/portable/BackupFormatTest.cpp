#include "repair/portable/BackupFormat.h"

#include <gtest/gtest.h>

using namespace vsc;

namespace {

BackupRecord Rec(const std::string& key, const std::string& name, const std::string& data, const std::string& cat,
                 std::optional<std::uint32_t> type = std::nullopt) {
    BackupRecord r;
    r.KeyPath = key;
    r.ValueName = name;
    r.DataText = data;
    r.Category = cat;
    if (type) {
        r.HasType = true;
        r.RegType = *type;
    }
    return r;
}

const std::string kSep = "--------------------";

}  // namespace

TEST(BackupFormat, WritesFiveLinesAndTheTypeLineEachEndedByCrLf) {
    std::string out;
    ASSERT_TRUE(AppendBackupRecord(out, Rec("HKEY_CURRENT_USER\\Software\\Run", "", "C:\\a b.exe", "7", 2u)));
    ASSERT_TRUE(AppendBackupRecord(out, Rec("HKEY_LOCAL_MACHINE\\X", "C:\\s.dll", "-1", "6")));
    EXPECT_EQ(out, kSep + "\r\nHKEY_CURRENT_USER\\Software\\Run\r\n\r\nC:\\a b.exe\r\n7\r\ntype=2\r\n" + kSep +
                       "\r\nHKEY_LOCAL_MACHINE\\X\r\nC:\\s.dll\r\n-1\r\n6\r\n");
}

TEST(BackupFormat, AFieldWithALineBreakCannotBeWritten) {
    std::string out = "keep";
    EXPECT_FALSE(AppendBackupRecord(out, Rec("HKEY_CURRENT_USER\\K", "a\nb", "d", "7", 1u)));
    EXPECT_FALSE(AppendBackupRecord(out, Rec("HKEY_CURRENT_USER\\K", "n", "d\r", "7", 1u)));
    EXPECT_FALSE(AppendBackupRecord(out, Rec("HKEY_CURRENT_USER\\K\r\nX", "n", "d", "7", 1u)));
    EXPECT_EQ(out, "keep");
    EXPECT_TRUE(CanWriteBackupRecord(Rec("HKEY_CURRENT_USER\\K", "", "", "3")));
}

TEST(BackupFormat, SplitsLinesOnEveryKindOfBreak) {
    EXPECT_EQ(SplitBackupLines(""), std::vector<std::string>{});
    EXPECT_EQ(SplitBackupLines("a\r\n"), std::vector<std::string>{"a"});
    EXPECT_EQ(SplitBackupLines("a\r\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitBackupLines("a\rb\nc\r\n\r\nd"), (std::vector<std::string>{"a", "b", "c", "", "d"}));
    EXPECT_EQ(SplitBackupLines("\n\r"), (std::vector<std::string>{"", ""}));
}

TEST(BackupFormat, ReadsWhatItWritesWithAndWithoutTypeLines) {
    const std::vector<BackupRecord> records = {
        Rec("HKEY_CURRENT_USER\\A", "", "x", "3", 1u), Rec("HKEY_CURRENT_USER\\B", "n", "", "6"),
        Rec("HKEY_CURRENT_USER\\C", kSep, "type=4", "12", 4294967295u),  // separator-like fields are data
        Rec("HKEY_CURRENT_USER\\D", "v", "00ff", "6", 3u)};
    std::string text;
    for (const auto& r : records) ASSERT_TRUE(AppendBackupRecord(text, r));
    const BackupContents back = ReadBackupRecords(text);
    EXPECT_FALSE(back.Truncated);
    EXPECT_EQ(back.Records, records);
}

TEST(BackupFormat, PassesOverLinesBeforeAndBetweenRecords) {
    const std::string text = "notes\r\n\r\n" + kSep + "\r\nK1\r\nN1\r\nD1\r\n4\r\ntype=1\r\njunk\r\ntype=2\r\n" + kSep +
                             "\nK2\nN2\nD2\n5\nmore junk\r" + kSep + "\rK3\rN3\rD3\r7\rtype=x\r";
    const BackupContents back = ReadBackupRecords(text);
    ASSERT_EQ(back.Records.size(), 3u);
    EXPECT_EQ(back.Records[0], Rec("K1", "N1", "D1", "4", 1u));
    EXPECT_EQ(back.Records[1], Rec("K2", "N2", "D2", "5"));  // a stray type line does not attach
    EXPECT_EQ(back.Records[2], Rec("K3", "N3", "D3", "7"));  // "type=x" is no type line
    EXPECT_FALSE(back.Truncated);
}

TEST(BackupFormat, OldFiveLineFilesAndEmptyFiles) {
    EXPECT_TRUE(ReadBackupRecords("").Records.empty());
    EXPECT_FALSE(ReadBackupRecords("").Truncated);
    EXPECT_TRUE(ReadBackupRecords("no separator\r\nat all\r\n").Records.empty());
    const std::string old = kSep + "\r\nK\r\n\r\n5\r\n6\r\n" + kSep + "\r\nK\r\nV\r\nC:\\x.hlp\r\n5\r\n";
    const BackupContents back = ReadBackupRecords(old);
    ASSERT_EQ(back.Records.size(), 2u);
    EXPECT_EQ(back.Records[0], Rec("K", "", "5", "6"));
    EXPECT_EQ(back.Records[1], Rec("K", "V", "C:\\x.hlp", "5"));
}

TEST(BackupFormat, ATruncatedRecordAtTheEndKeepsTheOnesBefore) {
    const std::string whole = kSep + "\r\nK\r\nN\r\nD\r\n7\r\n";
    // Separator on the second, third and fourth line from the end: cut off.
    for (const std::string tail : {"K\r\nN\r\nD\r\n", "K\r\nN\r\n", "K\r\n"}) {
        const BackupContents back = ReadBackupRecords(whole + kSep + "\r\n" + tail);
        EXPECT_TRUE(back.Truncated) << tail;
        ASSERT_EQ(back.Records.size(), 1u);
    }
    // A separator on the very last line is never looked at.
    const BackupContents last = ReadBackupRecords(whole + kSep + "\r\n");
    EXPECT_FALSE(last.Truncated);
    EXPECT_EQ(last.Records.size(), 1u);
}

TEST(BackupFormat, NumbersAndTypeLines) {
    EXPECT_EQ(ParseTypeLine("type=4"), 4u);
    EXPECT_EQ(ParseTypeLine("type=4294967295"), 4294967295u);
    EXPECT_FALSE(ParseTypeLine("type=4294967296"));
    EXPECT_FALSE(ParseTypeLine("type="));
    EXPECT_FALSE(ParseTypeLine("type=-1"));
    EXPECT_FALSE(ParseTypeLine("type=1 "));
    EXPECT_FALSE(ParseTypeLine("Type=1"));

    EXPECT_EQ(ParseDwordText("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseDwordText("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseDwordText("-2147483648"), 0x80000000u);
    EXPECT_FALSE(ParseDwordText("-2147483649"));
    EXPECT_FALSE(ParseDwordText("4294967296"));
    EXPECT_FALSE(ParseDwordText(""));
    EXPECT_FALSE(ParseDwordText("12a"));
    EXPECT_FALSE(ParseDwordText(" 1"));

    EXPECT_EQ(BytesToHex(std::string("\x00\xff\x10", 3)), "00ff10");
    EXPECT_EQ(HexToBytes("00FF10"), std::string("\x00\xff\x10", 3));
    EXPECT_EQ(HexToBytes(""), std::string());
    EXPECT_FALSE(HexToBytes("abc"));
    EXPECT_FALSE(HexToBytes("zz"));
}

TEST(BackupFormat, NextBackupNameTakesTheLargestNumberPlusOne) {
    EXPECT_EQ(NextBackupName({}), "regbackup1.txt");
    EXPECT_EQ(NextBackupName({"regbackup10.txt", "regbackup1.txt", "regbackup2.txt"}), "regbackup11.txt");
    EXPECT_EQ(NextBackupName({"notes.txt"}), "regbackup0.txt");
    EXPECT_EQ(NextBackupName({"notes.txt", "regbackup3.TXT", "regbackupX.txt"}), "regbackup4.txt");
    EXPECT_EQ(NextBackupName({"regbackup0.txt"}), "regbackup1.txt");
    EXPECT_EQ(NextBackupName({"regbackup007.txt"}), "regbackup8.txt");
    EXPECT_EQ(NextBackupName({"regbackup99999999999.txt"}), "regbackup0.txt");  // too large to parse
    EXPECT_EQ(BackupNumberOf("regbackup12.old.txt"), 12);
    EXPECT_FALSE(BackupNumberOf("a.b.regbackup1.txt"));
    EXPECT_FALSE(BackupNumberOf("regbackup"));
}
