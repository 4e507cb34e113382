#include "registry/portable/PathText.h"
#include "platform/portable/Utf8Text.h"

#include <gtest/gtest.h>

using namespace vsc;

TEST(PathText, LastCharPosCountsFromOneAndGivesZeroWhenAbsent) {
    EXPECT_EQ(LastCharPos(':', "C:\\a:b"), 5u);
    EXPECT_EQ(LastCharPos(':', "C:"), 2u);
    EXPECT_EQ(LastCharPos(':', "abc"), 0u);
    EXPECT_EQ(LastCharPos(':', ""), 0u);
}

TEST(PathText, ExtractPathByExtCutsTheDriveQualifiedPath) {
    EXPECT_EQ(ExtractPathByExt(".exe", "\"C:\\Program Files\\App\\unins000.exe\" /SILENT"),
              "C:\\Program Files\\App\\unins000.exe");
    EXPECT_EQ(ExtractPathByExt(".dll", "rundll32.exe C:\\App\\setup.dll,Remove"), "C:\\App\\setup.dll");
    EXPECT_EQ(ExtractPathByExt(".exe", "C:\\a.exe"), "C:\\a.exe");
    // The last colon in front of the extension decides.
    EXPECT_EQ(ExtractPathByExt(".exe", "D:\\x C:\\a.exe"), "C:\\a.exe");
}

TEST(PathText, ExtractPathByExtGivesNothingWithoutADriveOrTheExactExtension) {
    EXPECT_EQ(ExtractPathByExt(".exe", "MsiExec.exe /X{12345678-1234-1234-1234-123456789012}"), "");
    EXPECT_EQ(ExtractPathByExt(".EXE", "C:\\App\\a.exe"), "");  // case-sensitive
    // Only the first occurrence counts, even when a later one would give a path.
    EXPECT_EQ(ExtractPathByExt(".exe", "run.exe C:\\App\\b.exe"), "");
    EXPECT_EQ(ExtractPathByExt(".exe", ""), "");
    EXPECT_EQ(ExtractPathByExt(".exe", ".exe"), "");
    // A colon with no drive letter in front of it, or one standing after the extension, ends no path.
    EXPECT_EQ(ExtractPathByExt(".exe", ":\\a.exe"), "");
    EXPECT_EQ(ExtractPathByExt(".exe", "a.exe:"), "");
    EXPECT_EQ(ExtractPathByExt(".exe", "a.exe:stream C:\\b.exe"), "");
}

TEST(PathText, KeyNotExcludedMatchesWholePathsIgnoringCase) {
    EXPECT_FALSE(KeyNotExcluded("hkey_local_machine\\software\\microsoft\\windows\\help"));
    EXPECT_TRUE(KeyNotExcluded("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help\\Sub"));
    EXPECT_TRUE(KeyNotExcluded("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows"));
    for (const char* row : ExcludedKeyPaths) EXPECT_FALSE(KeyNotExcluded(row)) << row;
    EXPECT_TRUE(KeyNotExcluded(""));
    // Windows Installer's records, and the 32-bit twins of every excluded key.
    EXPECT_FALSE(KeyNotExcluded("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer"));
    EXPECT_FALSE(KeyNotExcluded("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Installer"));
    EXPECT_FALSE(KeyNotExcluded("HKEY_LOCAL_MACHINE\\SOFTWARE\\wow6432node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    EXPECT_FALSE(KeyNotExcluded("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Wow6432Node\\CLSID"));
    EXPECT_TRUE(KeyNotExcluded("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion"));
    EXPECT_TRUE(KeyNotExcluded("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432NodeX\\Microsoft\\Windows\\Help"));
    EXPECT_EQ(WithoutWow64Node("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node"), "HKEY_LOCAL_MACHINE\\SOFTWARE");
    EXPECT_EQ(WithoutWow64Node("A\\Wow6432Node\\B\\WOW6432NODE\\C"), "A\\B\\C");
    EXPECT_EQ(WithoutWow64Node("Wow6432Node\\B"), "Wow6432Node\\B");
}

TEST(PathText, ShortTextTests) {
    EXPECT_FALSE(HasDriveRoot("C:"));
    EXPECT_FALSE(HasDriveRoot("c:/x"));
    EXPECT_FALSE(HasDriveRoot(""));
    EXPECT_TRUE(HasDriveRoot("C:\\"));

    EXPECT_TRUE(HasExtDot("a.exe"));
    EXPECT_TRUE(HasExtDot(".abc"));
    EXPECT_FALSE(HasExtDot("a.ex"));
    EXPECT_FALSE(HasExtDot("abc"));
    EXPECT_FALSE(HasExtDot(""));

    EXPECT_TRUE(EndsWithExt("a.exe", ".EXE"));
    EXPECT_TRUE(EndsWithExt("A.ExE", ".EXE"));
    EXPECT_FALSE(EndsWithExt("a.exe /s", ".EXE"));
    EXPECT_FALSE(EndsWithExt("exe", ".EXE"));
    EXPECT_FALSE(EndsWithExt("", ".EXE"));

    EXPECT_EQ(StripQuotes("\"C:\\a b\\x.exe\" /s \"q\""), "C:\\a b\\x.exe /s q");
    EXPECT_EQ(StripQuotes("\"\""), "");
}

TEST(PathText, BlankTrimAndUpperTreatBytesAboveAsciiAsText) {
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank(" \t\r\n\x01"));
    EXPECT_FALSE(IsBlank(" x "));
    EXPECT_FALSE(IsBlank("\xA0"));  // a code-page byte, not a control character
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(UpperAscii("abc\xE4z"), "ABC\xE4Z");
    EXPECT_TRUE(EqualsNoCaseAscii("Hkey_Users\\x\xE4", "HKEY_USERS\\X\xE4"));
    EXPECT_FALSE(EqualsNoCaseAscii("\xE4", "\xC4"));  // only ASCII letters fold
    EXPECT_FALSE(EqualsNoCaseAscii("ab", "abc"));
    EXPECT_TRUE(StartsWithNoCaseAscii("\\Registry\\Machine\\x", "\\REGISTRY\\MACHINE"));
    EXPECT_FALSE(StartsWithNoCaseAscii("\\REG", "\\REGISTRY"));
    EXPECT_EQ(HexDigitValue('7') * 1000 + HexDigitValue('b') * 10 + HexDigitValue('F'), 7125);
    EXPECT_EQ(HexDigitValue('g') + HexDigitValue('G') + HexDigitValue('%'), -3);
    EXPECT_TRUE(Contains("C:\\x", ':'));
    EXPECT_FALSE(Contains("abc", "B"));
}

TEST(IsValidUtf8, WellFormedTextOnlyAndCutsBetweenCharacters) {
    // Valid: ASCII, Cyrillic, CJK, emoji, U+10FFFF. Not: Windows-1252, stray, cut, over-long, surrogate, > U+10FFFF.
    for (const char* valid : {"", "Run", "\xD0\xBF\xD1\x83", "\xE6\x97\xA5", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(IsValidUtf8(valid)) << valid;
    for (const char* invalid : {"Gr\xFC\xDF" "e", "\x80", "\xD0", "\xE6\x97" "a", "\xC0\xAF", "\xE0\x80\xAF",
                                "\xF0\x80\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"})
        EXPECT_FALSE(IsValidUtf8(invalid)) << invalid;
    const std::string word = "a\xD0\xBF\xE6\x97\xA5";
    const std::size_t cut[] = {0, 1, 1, 3, 3, 3, 6, 6};  // for room 0 to 7
    for (std::size_t room = 0; room < 8; ++room) EXPECT_EQ(Utf8CutLength(word, room), cut[room]) << room;
}
