#include "ui/portable/SectionTree.h"
#include "widgets/portable/TickStates.h"

#include <gtest/gtest.h>

using namespace vsc;

namespace {

// A tree of "My Computer", the fourteen categories and the given drives, every node in `state`.
void Tree(std::vector<int>& states, std::vector<std::string>& captions, const std::string& drives, int state) {
    states.assign(15 + drives.size(), state);
    captions.assign(15, "category");
    captions[0] = "My Computer";
    captions[14] = "Invalid Shortcuts";
    for (char d : drives) captions.push_back(std::string("Invalid Shortcuts( ") + d + ":\\");
}

}  // namespace

TEST(SectionTree, TogglingAndChildrenSummaries) {
    EXPECT_EQ(ToggledState(tcsUnticked), tcsTicked);
    EXPECT_EQ(ToggledState(tcsTicked), tcsUnticked);
    EXPECT_EQ(ToggledState(tcsPartly), tcsUnticked);
    EXPECT_EQ(ChildrenSummary({1, 1, 1}), tcsUnticked);
    EXPECT_EQ(ChildrenSummary({2, 2}), tcsTicked);
    EXPECT_EQ(ChildrenSummary({2, 3}), tcsTicked) << "only unticked children count against";
    EXPECT_EQ(ChildrenSummary({1, 3}), tcsPartly);
    EXPECT_EQ(ChildrenSummary({2, 1, 2}), tcsPartly);
}

TEST(SectionTree, SelectionFromTheTree) {
    std::vector<int> states;
    std::vector<std::string> captions;
    Tree(states, captions, "CD", tcsTicked);
    ScanSelection s = BuildSelection(states, captions);
    EXPECT_EQ(s.Selection, "1111111111111");
    EXPECT_EQ(s.DriveLetters, "CD");

    // Only drive D: the shortcut pass alone; a partly ticked category does not count.
    Tree(states, captions, "CD", tcsUnticked);
    states[16] = tcsTicked;
    states[14] = tcsPartly;
    states[7] = tcsPartly;
    states[12] = tcsTicked;
    s = BuildSelection(states, captions);
    EXPECT_EQ(s.Selection, "0000000000010");
    EXPECT_EQ(s.DriveLetters, "D");
    EXPECT_FALSE(s.Empty());

    // "Invalid Shortcuts" ticked with its drives unticked adds nothing.
    Tree(states, captions, "C", tcsUnticked);
    states[14] = tcsTicked;
    s = BuildSelection(states, captions);
    EXPECT_EQ(s.Selection, "0000000000000");
    EXPECT_TRUE(s.Empty());

    // Odd captions and short trees never reach past the text.
    states = {2, 2, 2};
    captions = {"a", "b", "c"};
    EXPECT_EQ(BuildSelection(states, captions).Selection, "1100000000000");
    Tree(states, captions, "", tcsTicked);
    states.push_back(tcsTicked);
    captions.push_back("no paren");
    states.push_back(tcsTicked);
    captions.push_back("cut( ");
    EXPECT_EQ(BuildSelection(states, captions).DriveLetters, "");
}
