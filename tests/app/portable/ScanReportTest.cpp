// The command line and the report of VSysScan.exe, without the system: the finer rules of the
// arguments, what a run scans, and the report read back through a strict JSON reader.
#include <gtest/gtest.h>

#include "JsonRead.h"
#include "app/portable/ScanCommand.h"
#include "app/portable/ScanReport.h"
#include "VscVersion.h"

using namespace vsc;
using vsc::test::Json;
using vsc::test::JsonReader;

namespace {

ScanCommand Parse(std::vector<std::string> args) { return ParseScanCommand(args); }

std::string UsageErrorOf(std::vector<std::string> args) {
    try {
        ParseScanCommand(args);
    } catch (const EUsageError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(ScanCommand, ReadsTheCommandsAndWhatTheyScan) {
    ScanCommand all = Parse({"registry"});
    EXPECT_EQ(all.Kind, ScanCommandKind::Registry);
    EXPECT_FALSE(all.Json || all.Change || all.HasDrives);
    EXPECT_EQ(SelectionString(all), "1111111111111");
    EXPECT_EQ(ChosenDrives(all, "CDS", "CS"), "CS");  // the window's ticked drives by default

    ScanCommand some = Parse({"registry", "--only=7,3,3,14", "--drives", "sd", "--json", "--repair"});
    EXPECT_EQ(some.Categories, (std::vector<int>{3, 7, 14}));
    EXPECT_EQ(SelectionString(some), "0010001000000");
    EXPECT_EQ(ChosenDrives(some, "CDS", "C"), "SD");  // upper-cased, in the order given
    EXPECT_TRUE(some.Json && some.Change);

    // Without category 14 no drive is searched; an empty --drives means no drive at all.
    EXPECT_EQ(ChosenDrives(Parse({"registry", "--only", "2", "--drives", "C"}), "C", "C"), "");
    ScanCommand none = Parse({"registry", "--only", "14", "--drives="});
    EXPECT_TRUE(none.HasDrives);
    EXPECT_EQ(ChosenDrives(none, "C", "C"), "");

    ScanCommand junk = Parse({"junk", "--clean", "--drives", "s"});
    EXPECT_EQ(junk.Kind, ScanCommandKind::Junk);
    EXPECT_TRUE(junk.Change);
    EXPECT_EQ(ChosenDrives(Parse({"junk"}), "CS", "C"), "C");

    ScanCommand restore = Parse({"restore", "C:\\b\\regbackup3.txt", "--json"});
    EXPECT_EQ(restore.RestoreFile, "C:\\b\\regbackup3.txt");
    EXPECT_TRUE(restore.Change && restore.Json);
}

TEST(ScanCommand, RefusesBadInputNamingIt) {
    EXPECT_NE(UsageErrorOf({"registry", "--clean"}).find("unknown option '--clean'"), std::string::npos);
    EXPECT_NE(UsageErrorOf({"junk", "--only", "3"}).find("unknown option '--only'"), std::string::npos);
    for (const char* bad : {"0", "15", "x", "3,", ",3", "1,,2", "", "-1", "007"})
        EXPECT_NE(UsageErrorOf({"registry", "--only", bad}).find("from 1 to 14"), std::string::npos) << bad;
    EXPECT_NE(UsageErrorOf({"registry", "--json", "--json"}).find("twice"), std::string::npos);
    EXPECT_NE(UsageErrorOf({"registry", "--json=1"}).find("takes no value"), std::string::npos);
    EXPECT_NE(UsageErrorOf({"junk", "--drives", "C:"}).find("':' in --drives"), std::string::npos);
    EXPECT_NE(UsageErrorOf({"restore", "a.txt", "b.txt"}).find("'b.txt'"), std::string::npos);
    EXPECT_NE(UsageErrorOf({"--version", "x"}).find("no further"), std::string::npos);
    EXPECT_NE(UsageErrorOf({"registry", "--include-uncertain"}).find("goes with --repair"), std::string::npos);
    EXPECT_TRUE(Parse({"registry", "--include-uncertain", "--repair"}).IncludeUncertain);
}

TEST(ScanReport, JsonReadsBackFieldByFieldAndTextKeepsOneLinePerEntry) {
    ScanReport registry;
    registry.Kind = ReportKind::Registry;
    registry.Count = 2;
    registry.Problems.push_back({5, "Windows Help", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help",
                                 "a\"b.hlp", "C:\\x\\", "C:\\x\\a\"b.hlp", "delete value", false,
                                 "drive X: is not there"});
    // Problems that are not certain alone ask for no repair; a certain one does.
    EXPECT_EQ(ReportExitCode(registry), 0);
    registry.Problems.push_back({7, "Startup Programs", "HKEY_CURRENT_USER\\Run", "tab\there", "line\r\nbreak\x01",
                                 "line\r\nbreak\x01", "delete value", true, "file not found"});
    EXPECT_EQ(ReportExitCode(registry), 1);

    // Every text goes through the conversion; here it marks what it was given.
    const auto mark = [](const std::string& s) { return s.empty() ? s : s + "\xC3\xA9"; };
    const Json doc = JsonReader::Parse(ReportJson(registry, mark));
    EXPECT_EQ(doc.keys, (std::vector<std::string>{"tool", "version", "kind", "count", "ignored", "problems"}));
    EXPECT_EQ(doc["ignored"].number, 0);
    EXPECT_EQ(doc["version"].text, VSC_VERSION);
    EXPECT_EQ(doc["count"].number, 2);
    ASSERT_EQ(doc["problems"].items.size(), 2u);
    const Json& second = doc["problems"][1];
    EXPECT_EQ(second.keys, (std::vector<std::string>{"category", "categoryName", "keyPath", "valueName", "data",
                                                     "invalidValue", "action", "certain", "reason"}));
    EXPECT_EQ(second["certain"].text, "true");
    EXPECT_EQ(doc["problems"][0]["certain"].text, "false");
    EXPECT_EQ(doc["problems"][0]["reason"].text, "drive X: is not there\xC3\xA9");
    EXPECT_EQ(second["category"].number, 7);
    EXPECT_EQ(second["valueName"].text, "tab\there\xC3\xA9");
    EXPECT_EQ(second["data"].text, "line\r\nbreak\x01\xC3\xA9");
    EXPECT_EQ(doc["problems"][0]["valueName"].text, "a\"b.hlp\xC3\xA9");

    EXPECT_EQ(ReportText(registry),
              "5\tWindows Help\tHKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help\ta\"b.hlp\tC:\\x\\\t"
              "C:\\x\\a\"b.hlp\tdelete value\tdrive X: is not there\r\n"
              "7\tStartup Programs\tHKEY_CURRENT_USER\\Run\ttab here\tline  break \tline  break \tdelete value\t"
              "file not found\r\n"
              "2 Problem(s) Found (1 not certain)\r\n");

    // A repair: the backup, what changed and what did not.
    registry.Changes = true;
    registry.Backup = "regbackup4.txt";
    registry.Changed = 1;
    registry.Failed.push_back({"HKEY_CURRENT_USER\\Run", "tab\there", "", "", "the value could not be deleted"});
    registry.ChangedSinceScan.push_back({"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help", "a\"b.hlp", "", "", ""});
    EXPECT_EQ(ReportExitCode(registry), 3);
    const Json repaired = JsonReader::Parse(ReportJson(registry, [](const std::string& s) { return s; }));
    EXPECT_EQ(repaired["backup"].text, "regbackup4.txt");
    EXPECT_EQ(repaired["changed"].number, 1);
    ASSERT_EQ(repaired["failed"].items.size(), 1u);
    EXPECT_EQ(repaired["failed"][0].keys, (std::vector<std::string>{"keyPath", "valueName", "reason"}));
    ASSERT_EQ(repaired["changedSinceScan"].items.size(), 1u);
    EXPECT_EQ(repaired["changedSinceScan"][0].keys, (std::vector<std::string>{"keyPath", "valueName"}));
    const std::string text = ReportText(registry);
    EXPECT_NE(text.find("2 Problem(s) Found (1 not certain)\r\nbackup\tregbackup4.txt\r\nfailed\tHKEY_CURRENT_USER\\Run\ttab here\t"
                        "the value could not be deleted\r\nchanged\tHKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help\t"
                        "a\"b.hlp\r\n1 repaired, 1 failed\r\n"),
              std::string::npos);

    // A clean with nothing found: no backup (null), exit code 0.
    ScanReport junk;
    junk.Kind = ReportKind::Junk;
    junk.Changes = true;
    const Json cleaned = JsonReader::Parse(ReportJson(junk, [](const std::string& s) { return s; }));
    EXPECT_EQ(cleaned.keys, (std::vector<std::string>{"tool", "version", "kind", "count", "ignored", "files", "backup",
                                                      "changed", "failed"}));
    EXPECT_EQ(cleaned["backup"].type, Json::Null);
    EXPECT_EQ(ReportExitCode(junk), 0);
    junk.Changes = false;
    junk.Count = 1;
    junk.Files.push_back({"a.tmp", "S:\\t\\", 5000000000LL, PackedTimeText(0x5A6B4C2Fu), "A-----"});
    EXPECT_EQ(ReportExitCode(junk), 1);
    EXPECT_EQ(ReportText(junk), "a.tmp\tS:\\t\\\t5000000000\t2025-03-11 09:33:30\tA-----\r\n1 files Found\r\n");
    // Files the ignore list holds are counted on the count line and in the JSON.
    junk.Ignored = 2;
    EXPECT_NE(ReportText(junk).find("\r\n1 files Found (2 ignored)\r\n"), std::string::npos);
    EXPECT_EQ(JsonReader::Parse(ReportJson(junk, [](const std::string& s) { return s; }))["ignored"].number, 2);
}

TEST(ScanReport, EscapesEveryControlCharacterAndDecodesPackedTimes) {
    std::string all;
    for (int c = 1; c < 0x80; ++c) all.push_back(static_cast<char>(c));
    const std::string literal = JsonString(all);
    for (char c : literal) EXPECT_GE(static_cast<unsigned char>(c), 0x20);
    EXPECT_EQ(JsonReader::Parse(literal).text, all);
    EXPECT_EQ(JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");

    EXPECT_EQ(PackedTimeText((((2024 - 1980) << 9 | 3 << 5 | 7) << 16) | (9 << 11 | 5 << 5 | 1)), "2024-03-07 09:05:02");
    EXPECT_EQ(PackedTimeText((13u << 5 | 1) << 16), "");    // month 13
    EXPECT_EQ(PackedTimeText(((1u << 5 | 1) << 16) | (24u << 11)), "");  // hour 24
}
