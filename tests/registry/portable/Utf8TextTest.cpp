// UTF-8 or legacy code page: how a backup or settings file is told apart.
#include <gtest/gtest.h>

#include "registry/portable/Utf8Text.h"

using namespace vsc;

TEST(IsValidUtf8, WellFormedTextOnlyAndCutsBetweenCharacters) {
    // Valid: ASCII, Cyrillic, CJK, an emoji, U+10FFFF. Not: Windows-1252 text, a stray continuation
    // byte, sequences cut short, over-long forms, a surrogate half, beyond U+10FFFF.
    for (const char* valid : {"", "Run", "\xD0\xBF\xD1\x83", "\xE6\x97\xA5", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(IsValidUtf8(valid)) << valid;
    for (const char* invalid : {"Gr\xFC\xDF" "e", "\x80", "\xD0", "\xE6\x97" "a", "\xC0\xAF", "\xE0\x80\xAF",
                                "\xF0\x80\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"})
        EXPECT_FALSE(IsValidUtf8(invalid)) << invalid;
    const std::string word = "a\xD0\xBF\xE6\x97\xA5";
    const std::size_t cut[] = {0, 1, 1, 3, 3, 3, 6, 6};  // for room 0 to 7
    for (std::size_t room = 0; room < 8; ++room) EXPECT_EQ(Utf8CutLength(word, room), cut[room]) << room;
}
