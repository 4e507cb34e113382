#include "settings/Settings.h"

#include <gtest/gtest.h>

#include "platform/portable/Mask.h"
#include "settings/portable/FilterList.h"
#include "support/TestSupport.h"

using namespace vsc;
using vsc::test::ScratchDir;

TEST(Settings, MissingFileSectionsAndKeysGiveTheDefaults) {
    ScratchDir dir("ini");
    const std::string ini = dir.File("Config.Ini");
    EXPECT_EQ(ReadIniString("FileFilters", "UserExp", "", ini), "");
    EXPECT_EQ(ReadIniString("FileFilters", "UserExp", "dflt", ini), "dflt");
    DiskOptions o = ReadDiskOptions(ini);
    EXPECT_EQ(o.DleteTo, "1");  // no file: cleaning deletes for good...
    EXPECT_EQ(o.SystemFile, "0");
    EXPECT_EQ(o.ReadFile, "0");
    EXPECT_EQ(o.HideFile, "0");  // ...and system, read-only and hidden files are left out

    dir.WriteFile("Config.Ini", "[ScanOptions]\r\nHideFile=1\r\n[Other]\r\nDleteTo=0\r\n");
    o = ReadDiskOptions(ini);
    EXPECT_EQ(o.HideFile, "1");
    EXPECT_EQ(o.DleteTo, "1");  // in the wrong section
    EXPECT_EQ(o.SystemFile, "0");
}

TEST(Settings, WritesAndReadsBackTheFilterListAndSwitches) {
    ScratchDir dir("iniw");
    const std::string ini = dir.File("sub\\Config.Ini");
    dir.MakeDir("sub");
    {
        TIniFile file(ini);
        file.WriteString("FileFilters", "UserExp", FilterListText({{" *.tmp ", " Temp "}, {"*.bak", ""}}));
        file.WriteString("DeleteOptions", "DleteTo", "0");
        file.WriteString("ScanOptions", "SystemFile", "yes");
        file.WriteString("ScanOptions", "ReadFile", "1");
        file.WriteString("ScanOptions", "HideFile", "0");
    }
    const std::string stored = ReadIniString("FileFilters", "UserExp", "", ini);
    EXPECT_EQ(stored, "<*.tmp:Temp><*.bak:>");
    EXPECT_EQ(FilterMaskList(stored), "*.tmp,*.bak,");
    const DiskOptions o = ReadDiskOptions(ini);
    EXPECT_EQ(o.DleteTo, "0");
    EXPECT_EQ(o.ReadFile, "1");
    EXPECT_TRUE(StrToBool(o.ReadFile));
    EXPECT_FALSE(StrToBool(o.HideFile));
    try {
        StrToBool(o.SystemFile);
        FAIL() << "a non-boolean switch was accepted";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'yes' is not a valid boolean value");
    }

    // An empty list is written as an empty value and reads back as no entries.
    {
        TIniFile file(ini);
        file.WriteString("FileFilters", "UserExp", FilterListText({}));
    }
    EXPECT_EQ(ReadIniString("FileFilters", "UserExp", "absent", ini), "");
    EXPECT_TRUE(ParseFilterList(ReadIniString("FileFilters", "UserExp", "", ini)).empty());

    // In UTF-8 or in the legacy code page of older versions (Windows-1252 here), read the same before and after a save.
    for (const char* list : {"<*.tmp:Tempor\xC3\xA4re>", "<*.tmp:Tempor\xE4re>"}) {
        dir.WriteFile("sub\\Config.Ini", std::string("[FileFilters]\r\nUserExp=") + list + "\r\n[DeleteOptions]\r\nDleteTo=0\r\n");
        EXPECT_EQ(ReadIniString("FileFilters", "UserExp", "", ini), "<*.tmp:Tempor\xC3\xA4re>");
        TIniFile(ini).WriteString("ScanOptions", "HideFile", "1");
        EXPECT_EQ(ReadIniString("FileFilters", "UserExp", "", ini), "<*.tmp:Tempor\xC3\xA4re>");
        EXPECT_EQ(ReadDiskOptions(ini).DleteTo, "0");
    }
}

TEST(Settings, LongValuesAreCutAt9728Characters) {
    ScratchDir dir("inicut");
    const std::string ini = dir.File("Config.Ini");
    // Entries of 20 characters: "<*.xNNNNN:abcdefghi>".
    std::string list;
    for (int i = 0; list.size() < 9720; ++i) {
        char entry[32];
        snprintf(entry, sizeof entry, "<*.x%05d:abcdefghi>", i);
        list += entry;
    }
    ASSERT_EQ(list.size(), 9720u);
    const std::string exact = list + "<*.y:ab>";           // 9728 characters: read whole
    const std::string over = list + "<*.y:abc>";           // 9729: the last ">" is cut off
    {
        TIniFile file(ini);
        file.WriteString("FileFilters", "Exact", exact);
        file.WriteString("FileFilters", "Over", over);
    }
    EXPECT_EQ(ReadIniString("FileFilters", "Exact", "", ini), exact);
    const std::string cut = ReadIniString("FileFilters", "Over", "", ini);
    EXPECT_EQ(cut, over.substr(0, 9728));
    EXPECT_EQ(ParseFilterList(exact).size(), 487u);
    EXPECT_EQ(ParseFilterList(cut).size(), 486u);  // the cut entry is dropped
}

TEST(Settings, AFailedWriteRaisesUnableToWrite) {
    ScratchDir dir("iniro");
    const std::string ini = dir.WriteFile("Config.Ini", "[FileFilters]\r\nUserExp=<*.a:A>\r\n");
    ASSERT_TRUE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
    try {
        TIniFile file(ini);
        file.WriteString("FileFilters", "UserExp", "<*.b:B>");
        ADD_FAILURE() << "writing a read-only file succeeded";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + ini);
    }
    SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadIniString("FileFilters", "UserExp", "", ini), "<*.a:A>");

    // Nor can a file that another program holds open without sharing.
    {
        HANDLE lock = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        TIniFile file(ini);
        EXPECT_THROW(file.WriteString("FileFilters", "UserExp", "<*.c:C>"), EIniFileException);
        CloseHandle(lock);
    }
    EXPECT_EQ(ReadIniString("FileFilters", "UserExp", "", ini), "<*.a:A>");

    // A folder that does not exist cannot take the file either.
    TIniFile missing(dir.File("no\\such\\Config.Ini"));
    EXPECT_THROW(missing.WriteString("FileFilters", "UserExp", "x"), EIniFileException);
}

TEST(Settings, TheShippedFileHoldsACarefulDefaultList) {
    const std::string ini = DefaultIniFileName();
    ASSERT_NE(GetFileAttributesA(ini.c_str()), INVALID_FILE_ATTRIBUTES) << ini;
    const std::string defaults = ReadIniString("FileFilters", "DefaultExp", "", ini);
    EXPECT_EQ(ReadIniString("FileFilters", "UserExp", "", ini), defaults);
    const auto entries = ParseFilterList(defaults);
    ASSERT_GE(entries.size(), 5u);
    for (const auto& e : entries) {
        EXPECT_FALSE(e.Description.empty()) << e.Mask;
        EXPECT_EQ(Trim(e.Mask), e.Mask);
    }
    EXPECT_EQ(FilterListText(entries), defaults);  // stored exactly as Save would write it
    const TMaskList masks = SplitMasks(FilterMaskList(defaults));
    for (const char* junk : {"~DF1234.tmp", "setup.TMP", "Thumbs.db", "MEMORY.DMP", "FILE0000.CHK", "report.doc.bak"})
        EXPECT_TRUE(MatchesAny(masks, junk)) << junk;
    for (const char* keep : {"report.docx", "photo.jpg", "notes.txt", "Windows.old", "main.cpp", "ntuser.dat",
                             "pagefile.sys", "backup.zip", "app.log", "data.db", "mail.pst", "config.ini",
                             "project.chk", "save.old", "tmp", "temp", "Temp", "bak"})
        EXPECT_FALSE(MatchesAny(masks, keep)) << keep;
    const DiskOptions o = ReadDiskOptions(ini);
    EXPECT_EQ(o.DleteTo, "0");  // the shipped file cleans to the recycle bin
    EXPECT_FALSE(StrToBool(o.SystemFile) || StrToBool(o.ReadFile) || StrToBool(o.HideFile));
}
