// UTF-8 or legacy code page: how a backup or settings file is told apart.
#include <gtest/gtest.h>

#include "registry/portable/Utf8Text.h"

using namespace vsc;

TEST(IsValidUtf8, WellFormedTextOnlyAndEveryKindOfFault) {
    const struct {
        std::string bytes;
        bool valid;
    } rows[] = {
        {"", true},
        {"HKEY_CURRENT_USER\\Run", true},
        {"\xD0\xBF\xD1\x83.lnk", true},                // Cyrillic
        {"\xE6\x97\xA5\xE6\x9C\xAC.tmp", true},        // CJK
        {"\xF0\x9F\x98\x80.tmp", true},                // emoji, four bytes
        {"\xF4\x8F\xBF\xBF", true},                    // U+10FFFF
        {"Gr\xFC\xDF" "e", false},                     // Windows-1252 text
        {"\xC4\xEE\xEA", false},                       // Windows-1251 text
        {"\x80", false},                               // stray continuation byte
        {"\xD0", false},                               // cut short at the end
        {"\xE6\x97", false},
        {"\xE6\x97" "a", false},                       // cut short by a plain byte
        {"\xC0\xAF", false},                           // over-long forms
        {"\xE0\x80\xAF", false},
        {"\xF0\x80\x80\xAF", false},
        {"\xED\xA0\x80", false},                       // surrogate half
        {"\xF4\x90\x80\x80", false},                   // above U+10FFFF
        {"\xFF", false},
    };
    for (const auto& row : rows) EXPECT_EQ(IsValidUtf8(row.bytes), row.valid) << row.bytes;
    // A cut for a list's text buffer never splits a character.
    const std::string word = "a\xD0\xBF\xE6\x97\xA5";
    for (const auto& [room, length] : {std::pair<std::size_t, std::size_t>{0, 0}, {1, 1}, {2, 1}, {3, 3}, {4, 3}, {5, 3},
                                       {6, 6}, {9, 6}})
        EXPECT_EQ(Utf8CutLength(word, room), length) << room;
    EXPECT_TRUE(IsAscii("plain.tmp"));
    EXPECT_FALSE(IsAscii("\xD0\xBF"));
}
