#include "settings/portable/FilterList.h"

#include <gtest/gtest.h>

using namespace vsc;

namespace {

std::string Show(const std::vector<FilterEntry>& entries) {
    std::string s;
    for (const auto& e : entries) s += "(" + e.Mask + "|" + e.Description + ")";
    return s;
}

}  // namespace

TEST(FilterList, ReadingRules) {
    EXPECT_EQ(Show(ParseFilterList("<*.tmp:Temp><*.bak:>")), "(*.tmp|Temp)(*.bak|)");
    EXPECT_EQ(Show(ParseFilterList("<*.tmp>")), "");
    EXPECT_EQ(Show(ParseFilterList("junk<*.log:Logs>")), "(*.log|Logs)");
    EXPECT_EQ(Show(ParseFilterList("")), "");
    EXPECT_EQ(Show(ParseFilterList("<*.a:x")), "");                       // cut short: dropped
    EXPECT_EQ(Show(ParseFilterList("<*.a:one>two><*.b:B>")), "(*.a|one)(*.b|B)");  // ">" ends early
    EXPECT_EQ(Show(ParseFilterList("a>b<c:d>")), "(c|d)");                // ">" before "<": empty entry
    EXPECT_EQ(Show(ParseFilterList("< *.a : x y ><*.b:c:d>")), "( *.a | x y )(*.b|c:d)");  // no trimming
    EXPECT_EQ(Show(ParseFilterList("<:>")), "(|)");
    EXPECT_EQ(Show(ParseFilterList("<*.a,*.b:Two><*.c:C>xx")), "(*.a,*.b|Two)(*.c|C)");
    // The loop stops once two characters or fewer are left after an entry.
    EXPECT_EQ(Show(ParseFilterList("<a:b><>")), "(a|b)");
}

TEST(FilterList, WritingTrimsSkipsEmptyMasksAndReadsBack) {
    std::vector<FilterEntry> rows = {{" *.tmp ", "  Temporary files\t"}, {"   ", "ignored"}, {"*.bak", ""}};
    const std::string text = FilterListText(rows);
    EXPECT_EQ(text, "<*.tmp:Temporary files><*.bak:>");
    EXPECT_EQ(Show(ParseFilterList(text)), "(*.tmp|Temporary files)(*.bak|)");
    EXPECT_EQ(FilterListText({}), "");
    EXPECT_TRUE(ParseFilterList(FilterListText({})).empty());
    // A ">" typed in a description is stored as typed and ends the entry when read back.
    EXPECT_EQ(Show(ParseFilterList(FilterListText({{"*.x", "a>b"}}))), "(*.x|a)");
}

TEST(FilterList, MaskAndDescriptionRules) {
    for (const char* good : {"*.tmp", "*.a,*.b", "a b.x", "file????.chk", "[ab].x"})
        EXPECT_TRUE(ValidFilterMask(good)) << good;
    for (const char* bad : {"C:\\*.tmp", "a:b.x", "*.<x>", "a|b.x", "a/b.x", "\"a.x\"", "*", "*.", "", "a>.x"})
        EXPECT_FALSE(ValidFilterMask(bad)) << bad;
    EXPECT_TRUE(ValidFilterDescription("Temporary files: old ones"));
    EXPECT_FALSE(ValidFilterDescription("a>b"));
    EXPECT_FALSE(ValidFilterDescription("<x"));
}

TEST(FilterList, MaskListForTheSearch) {
    EXPECT_EQ(FilterMaskList("<*.tmp:Temp><*.bak:><*.a,*.b:Two>"), "*.tmp,*.bak,*.a,*.b,");
    EXPECT_EQ(FilterMaskList(""), "");
}

TEST(FilterList, TrimRemovesSpacesAndControlCharacters) {
    EXPECT_EQ(Trim(" \t\r\n x y \x01"), "x y");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // bytes above 127 are text
}

TEST(FilterList, BooleanSwitches) {
    EXPECT_TRUE(StrToBool("1"));
    EXPECT_FALSE(StrToBool("0"));
    EXPECT_TRUE(StrToBool("-1"));
    EXPECT_TRUE(StrToBool("2"));
    EXPECT_FALSE(StrToBool("0.0"));
    EXPECT_TRUE(StrToBool("0.5"));
    EXPECT_FALSE(StrToBool(" 0 "));
    EXPECT_TRUE(StrToBool("1e3"));
    EXPECT_TRUE(StrToBool("TRUE"));
    EXPECT_TRUE(StrToBool("true"));
    EXPECT_FALSE(StrToBool("False"));
    for (const char* bad : {"", "yes", " true", "1x", "e1", ".", "--1", "1e", "truee"}) {
        try {
            StrToBool(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid boolean value");
        }
    }
}
