#include "platform/portable/Mask.h"

#include <gtest/gtest.h>

#include <string>

using namespace vsc;

namespace {

bool M(const std::string& mask, const std::string& name) { return TMask(mask).Matches(name); }

// The 1-based position reported for an invalid mask, or 0 when it compiles.
std::size_t InvalidAt(const std::string& mask) {
    try {
        TMask m(mask);
        return 0;
    } catch (const EMaskException& e) {
        return e.Position();
    }
}

std::string Repeat(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
}

}  // namespace

TEST(Mask, LiteralsStarsAndQuestionMarks) {
    EXPECT_TRUE(M("*.tmp", "A.TMP"));
    EXPECT_TRUE(M("*.tmp", "b.tmp"));
    EXPECT_FALSE(M("*.tmp", "b.tmp1"));
    EXPECT_FALSE(M("*.tmp", "tmp"));
    EXPECT_TRUE(M("*.tmp", ".tmp"));
    EXPECT_FALSE(M("a?", "a"));
    EXPECT_TRUE(M("a?", "ab"));
    EXPECT_TRUE(M("a*?", "a"));  // the ? after * is ignored
    EXPECT_TRUE(M("*", ""));
    EXPECT_TRUE(M("*", "anything at all"));
    EXPECT_FALSE(M("", "x"));
    EXPECT_TRUE(M("", ""));
    EXPECT_TRUE(M("file????.chk", "FILE0001.CHK"));
    EXPECT_FALSE(M("file????.chk", "FILE001.CHK"));
    EXPECT_TRUE(M("* .tmp", "a .tmp"));          // inner spaces are part of the mask
    EXPECT_TRUE(M("*a*b*c", "xxaxxbxxbxxc"));    // needs a later placement of the middle star
    EXPECT_FALSE(M("*a*b*c", "xxaxxbxxbxxcx"));
    EXPECT_TRUE(M("*.*", "noext."));
    EXPECT_FALSE(M("*.*", "noext"));
}

TEST(Mask, CaseFoldsOnlyAsciiLetters) {
    EXPECT_TRUE(M("abc", "ABC"));
    EXPECT_TRUE(M("ABC", "abc"));
    EXPECT_TRUE(M("\xE9.txt", "\xE9.TXT"));
    EXPECT_FALSE(M("\xE9.txt", "\xC9.txt"));  // accented letters are not folded
}

TEST(Mask, CharacterSets) {
    EXPECT_TRUE(M("[a-c]*", "Bfile"));
    EXPECT_FALSE(M("[a-c]*", "dfile"));
    EXPECT_FALSE(M("[!a]*", "apple"));
    EXPECT_TRUE(M("[!a]*", "pear"));
    EXPECT_TRUE(M("[A-z]", "q"));           // both ends upper-cased: A..Z
    EXPECT_FALSE(M("[A-z]", "_"));
    EXPECT_TRUE(M("[z-a]", "z"));           // the empty range adds nothing, z stays
    EXPECT_FALSE(M("[z-a]", "m"));
    EXPECT_TRUE(M("[a-c-e]", "d"));         // a range keeps "a" as the previous member
    EXPECT_TRUE(M("[a-]]", "\\"));          // the "]" after "-" ends the range A..]
    EXPECT_TRUE(M("[a-]]", "Q"));
    EXPECT_TRUE(M("[!*]", "a"));            // "*" and "!" inside a set are plain members
    EXPECT_FALSE(M("[!*]", "*"));
    EXPECT_TRUE(M("[[]x", "[x"));
    EXPECT_TRUE(M("*[0-9].log", "crash7.log"));
    EXPECT_FALSE(M("*[0-9].log", "crash.log"));
    EXPECT_FALSE(M("[ab]", ""));
    EXPECT_FALSE(M("[!a]", ""));            // a negated set still needs a character
}

TEST(Mask, StarQuestionCompilesAsStar) {
    const TMask a("x*?y"), b("x*y");
    ASSERT_EQ(a.StepCount(), b.StepCount());
    for (std::size_t i = 0; i < a.StepCount(); ++i) {
        EXPECT_EQ(a.Steps()[i].AfterStar, b.Steps()[i].AfterStar);
        EXPECT_EQ(a.Steps()[i].Kind, b.Steps()[i].Kind);
        EXPECT_EQ(a.Steps()[i].Literal, b.Steps()[i].Literal);
    }
    const TMask c("ab");
    ASSERT_EQ(c.StepCount(), 3u);
    EXPECT_EQ(c.Steps().back().Kind, mskLiteral);
    EXPECT_EQ(c.Steps().back().Literal, 0);
}

TEST(Mask, InvalidMasksReportThePosition) {
    EXPECT_EQ(InvalidAt("[]"), 2u);
    EXPECT_EQ(InvalidAt("[-a]"), 2u);
    EXPECT_EQ(InvalidAt("*.[ab"), 6u);
    EXPECT_EQ(InvalidAt("[!]"), 3u);
    EXPECT_EQ(InvalidAt("x[a-"), 5u);       // the text ends inside the range
    EXPECT_EQ(InvalidAt("[a-]"), 5u);       // "]" became the range end: no closing bracket
    EXPECT_EQ(InvalidAt("[!-a]"), 3u);
    EXPECT_EQ(InvalidAt("["), 2u);
    EXPECT_EQ(InvalidAt("a]"), 0u);         // a lone "]" is a literal
    try {
        TMask m("*.[ab");
        FAIL();
    } catch (const EMaskException& e) {
        EXPECT_STREQ(e.what(), "'*.[ab' is an invalid mask at (6)");
        EXPECT_EQ(e.Mask(), "*.[ab");
    }
}

TEST(Mask, ThirtyStarredStepsCompileAndThirtyOneDoNot) {
    const std::string thirty = Repeat("*a", 30);
    EXPECT_EQ(InvalidAt(thirty), 0u);
    EXPECT_TRUE(M(thirty, Repeat("xa", 30)));
    EXPECT_FALSE(M(thirty, Repeat("xa", 29)));
    EXPECT_EQ(InvalidAt(Repeat("*a", 31)), 62u);        // the 31st starred literal
    EXPECT_EQ(InvalidAt(thirty + "*"), 62u);            // the end marker would be the 31st
    EXPECT_EQ(InvalidAt(thirty + "*[bc]"), 65u);         // a set is added at its "]"
    EXPECT_EQ(InvalidAt(thirty + "b?c"), 0u);            // unstarred steps do not count
    EXPECT_EQ(InvalidAt(thirty + "b?c*"), 65u);          // ...the starred end marker does
    EXPECT_EQ(InvalidAt(Repeat("***a", 30)), 0u);        // runs of stars count once
}

TEST(Mask, BacktrackingStaysFastOnHostileMasks) {
    // Thirty stars against a long name that almost matches: plain backtracking would try an
    // astronomical number of placements.
    const std::string mask = Repeat("*a", 29) + "*b";
    const std::string name(250, 'a');
    EXPECT_FALSE(M(mask, name));
    EXPECT_TRUE(M(mask, name + "b"));
}

TEST(MaskList, SplitsTrimsAndSkipsEmptyItems) {
    TMaskList masks = SplitMasks(" *.tmp , *.bak ,");
    ASSERT_EQ(masks.size(), 2u);
    EXPECT_EQ(masks[0].Text(), "*.tmp");
    EXPECT_EQ(masks[1].Text(), "*.bak");
    EXPECT_TRUE(MatchesAny(masks, "x.BAK"));
    EXPECT_FALSE(MatchesAny(masks, "x.bak2"));

    EXPECT_TRUE(SplitMasks("").empty());
    EXPECT_TRUE(SplitMasks(" ,, ,").empty());
    EXPECT_FALSE(MatchesAny(SplitMasks(""), "anything"));

    masks = SplitMasks("a b.x,c");
    ASSERT_EQ(masks.size(), 2u);
    EXPECT_EQ(masks[0].Text(), "a b.x");

    try {
        SplitMasks("*.a, [x");
        FAIL();
    } catch (const EMaskException& e) {
        EXPECT_STREQ(e.what(), "'[x' is an invalid mask at (3)");
    }
}
