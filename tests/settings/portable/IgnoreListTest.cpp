#include "settings/portable/IgnoreList.h"

#include <gtest/gtest.h>

using namespace vsc;

namespace {

const char* const kOtherSections = "[FileFilters]\r\nUserExp=<*.tmp:Temp>\r\n[DeleteOptions]\r\nDleteTo=1\r\n";

IgnoreEntry Value(const std::string& key, const std::string& name) { return {IgnoreKind::Value, key, name}; }
IgnoreEntry Of(IgnoreKind kind, const std::string& path) { return {kind, path, ""}; }

}  // namespace

// Whatever a key path, a value name or a file path holds, it is read back as it was written, and
// the other sections of the file stay as they were.
TEST(IgnoreList, EveryNameRoundTrips) {
    const std::vector<IgnoreEntry> entries = {
        Value("HKEY_CURRENT_USER\\Software\\VscTest\\a=b;c", "name\\with=equals;semi"),
        Value("HKEY_LOCAL_MACHINE\\SOFTWARE\\[x]<y>", ""),
        Value("HKEY_USERS\\.DEFAULT\\p|q", " spaced | name %41 \r\n"),
        Value("HKEY_CURRENT_USER\\Software\\VscTest", "=;[]<>"),
        Of(IgnoreKind::Key, "HKEY_CLASSES_ROOT\\CLSID\\{00000000-1111} "),
        Of(IgnoreKind::File, "C:\\Data\\a=b;c[1]<2>.tmp"),
        Of(IgnoreKind::Folder, "\\\\server\\share\\100%\\keep"),
        Of(IgnoreKind::Mask, "*.bak"),
    };
    const std::string text = WithIgnoreEntriesAdded(kOtherSections, entries);
    EXPECT_EQ(text.substr(0, std::string(kOtherSections).size()), kOtherSections);
    const IgnoreSection section = ReadIgnoreSection(text);
    EXPECT_TRUE(section.BadLines().empty()) << BadIgnoreLinesText(section);
    const std::vector<IgnoreEntry> back = section.Entries();
    ASSERT_EQ(back.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(back[i].Kind, entries[i].Kind) << i;
        EXPECT_EQ(back[i].Path, entries[i].Path) << i;
        EXPECT_EQ(back[i].ValueName, entries[i].ValueName) << i;
    }
    // Adding again adds nothing (letter case aside); removing takes exactly the one entry.
    EXPECT_EQ(WithIgnoreEntriesAdded(text, {Of(IgnoreKind::Mask, "*.BAK")}), text);
    const std::string removed = WithIgnoreEntryRemoved(text, entries[0]);
    EXPECT_EQ(ReadIgnoreSection(removed).Entries().size(), entries.size() - 1);
    EXPECT_EQ(ReadIgnoreSection(removed).Entries()[0].Path, entries[1].Path);
    EXPECT_EQ(WithIgnoreEntriesAdded(removed, {entries[0]}).size(), text.size());
}

// A list written by hand: comments, blanks and any letter case are fine; each bad line is reported
// with its number and passed over, and stays in the file when the program adds an entry.
TEST(IgnoreList, HandWrittenSectionWithBadLines) {
    const std::string file =
        "[FileFilters]\nUserExp=<*.tmp:Temp>\n"
        "[ ignorelist ] ; entries I keep\n"  // read as the profile functions read it
        "; kept by the administrator\n"
        "\n"
        "  value = hkey_local_machine\\Software\\Fonts|Courier 10,12,15 \n"  // 6
        "Key=HKEY_NOWHERE\\Software\n"                                       // 7: bad root
        "File=relative\\path.txt\n"                                          // 8: not a full path
        "Folder=C:\\Keep\\\n"                                                // 9
        "Mask=*.\n"                                                          // 10: bad mask
        "Mask=[a.x\n"                                                        // 11: does not compile
        "Value=HKEY_CURRENT_USER\\NoBar\n"                                   // 12: no value name
        "C:\\just\\a\\path\n"                                                // 13: no kind
        "file=C:\\Data\\x=y;z.tmp\n"                                         // 14
        "[ScanOptions]\nHideFile=0\nFile=C:\\Elsewhere.txt\n";
    const IgnoreSection section = ReadIgnoreSection(file);
    const std::vector<IgnoreEntry> entries = section.Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Kind, IgnoreKind::Value);
    EXPECT_EQ(entries[0].Path, "HKEY_LOCAL_MACHINE\\Software\\Fonts");  // the root as the table spells it
    EXPECT_EQ(entries[0].ValueName, "Courier 10,12,15");
    EXPECT_EQ(entries[1].Path, "C:\\Keep");
    EXPECT_EQ(entries[2].Path, "C:\\Data\\x=y;z.tmp");
    std::vector<int> bad;
    for (const IgnoreLine& line : section.BadLines()) bad.push_back(line.Number);
    EXPECT_EQ(bad, (std::vector<int>{7, 8, 10, 11, 12, 13}));
    EXPECT_NE(BadIgnoreLinesText(section).find("Line 7: Key=HKEY_NOWHERE\\Software (the key path"), std::string::npos);

    const std::string added = WithIgnoreEntriesAdded(file, {Of(IgnoreKind::Mask, "*.old")});
    EXPECT_NE(added.find("Mask=[a.x\nValue=HKEY_CURRENT_USER\\NoBar\nC:\\just\\a\\path\nfile=C:\\Data\\x=y;z.tmp\nMask="
                         "*.old\n[ScanOptions]"),
              std::string::npos);
    EXPECT_EQ(ReadIgnoreSection(added).BadLines().size(), bad.size());

    // A file of an older version has no section: an empty list, and adding creates the section.
    EXPECT_TRUE(ReadIgnoreSection(kOtherSections).Lines.empty());
    EXPECT_TRUE(ReadIgnoreSection("").Entries().empty());
    EXPECT_EQ(WithIgnoreEntriesAdded("", {Of(IgnoreKind::File, "C:\\a.txt")}), "[IgnoreList]\r\nFile=C:\\a.txt\r\n");
}

// Matching ignores letter case and takes whole names: a key or a folder covers what lies below it,
// never a sibling whose name merely begins the same way.
TEST(IgnoreList, Matching) {
    const TIgnoreList list({Value("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fonts", "Courier"),
                            Value("HKEY_CURRENT_USER\\Run", ""), Of(IgnoreKind::Key, "HKEY_CLASSES_ROOT\\CLSID\\{AB}"),
                            Of(IgnoreKind::File, "C:\\x\\gm.dls"), Of(IgnoreKind::Folder, "C:\\A"),
                            Of(IgnoreKind::Folder, "D:\\"), Of(IgnoreKind::Mask, "*.lnk")});
    EXPECT_EQ(list.Count(), 7u);
    const struct {
        const char* key;
        const char* name;
        bool ignored;
    } values[] = {
        {"hkey_local_machine\\software\\FONTS", "courier", true},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Fonts", "Courier New", false},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Fonts\\Sub", "Courier", false},
        {"HKEY_CURRENT_USER\\Run", "", true},
        {"HKEY_CURRENT_USER\\Run", "x", false},
        {"HKEY_CLASSES_ROOT\\CLSID\\{AB}", "any", true},
        {"HKEY_CLASSES_ROOT\\CLSID\\{ab}\\InprocServer32", "", true},
        {"HKEY_CLASSES_ROOT\\CLSID\\{ABC}", "", false},
        {"HKEY_CLASSES_ROOT\\CLSID", "", false},
    };
    for (const auto& row : values)
        EXPECT_EQ(list.IgnoresValue(row.key, row.name), row.ignored) << row.key << "|" << row.name;
    const struct {
        const char* path;
        bool ignored;
    } files[] = {
        {"c:\\X\\GM.DLS", true}, {"C:\\x\\gm.dls.bak", false}, {"C:\\A", true},      {"C:\\a\\b\\c.txt", true},
        {"C:\\AB\\c.txt", false}, {"D:\\any\\where", true},     {"E:\\s\\Old.LNK", true}, {"E:\\s\\lnk", false},
    };
    for (const auto& row : files) EXPECT_EQ(list.IgnoresFile(row.path), row.ignored) << row.path;
    EXPECT_TRUE(TIgnoreList().Empty());
    EXPECT_FALSE(TIgnoreList().IgnoresFile("C:\\a"));
}

// What the dialog and the menu check before they store an entry.
TEST(IgnoreList, EntriesThatCannotBeStored) {
    const struct {
        IgnoreEntry entry;
        bool valid;
    } rows[] = {
        {Of(IgnoreKind::Key, "HKEY_LOCAL_MACHINE"), true}, {Of(IgnoreKind::Key, "HKLM\\Software"), false},
        {Of(IgnoreKind::Key, ""), false},                  {Of(IgnoreKind::Folder, "C:"), false},
        {Of(IgnoreKind::Folder, "C:\\"), true},            {Of(IgnoreKind::File, "C:\\*.tmp"), false},
        {Of(IgnoreKind::Mask, "*.tmp"), true},             {Of(IgnoreKind::Mask, "C:\\*.tmp"), false},
        {Of(IgnoreKind::Mask, "*"), false},                {Of(IgnoreKind::Mask, "*.a,*.b"), true},
    };
    for (const auto& row : rows) EXPECT_EQ(IgnoreEntryProblem(row.entry).empty(), row.valid) << row.entry.Path;
    EXPECT_EQ(NormalIgnoreEntry(Of(IgnoreKind::Key, "HKEY_LOCAL_MACHINE")).Path, "HKEY_LOCAL_MACHINE\\");
    EXPECT_EQ(MaskOfFileName("Report.Old.BAK"), "*.BAK");
    EXPECT_EQ(MaskOfFileName("thumbs"), "");
    EXPECT_EQ(MaskOfFileName("x."), "");
}
