#include "repair/portable/ScanChoice.h"

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

TEST(ScanChoice, TogglingAndChildrenSummaries) {
    EXPECT_EQ(ToggledState(kNodeUnticked), kNodeTicked);
    EXPECT_EQ(ToggledState(kNodeTicked), kNodeUnticked);
    EXPECT_EQ(ToggledState(kNodePartly), kNodeUnticked);
    EXPECT_EQ(ChildrenSummary({1, 1, 1}), kNodeUnticked);
    EXPECT_EQ(ChildrenSummary({2, 2}), kNodeTicked);
    EXPECT_EQ(ChildrenSummary({2, 3}), kNodeTicked) << "only unticked children count against";
    EXPECT_EQ(ChildrenSummary({1, 3}), kNodePartly);
    EXPECT_EQ(ChildrenSummary({2, 1, 2}), kNodePartly);
}

TEST(ScanChoice, SelectionFromTheTree) {
    std::vector<int> states;
    std::vector<std::string> captions;
    Tree(states, captions, "CD", kNodeTicked);
    ScanSelection s = BuildSelection(states, captions);
    EXPECT_EQ(s.Selection, "1111111111111");
    EXPECT_EQ(s.DriveLetters, "CD");

    // Only drive D: the shortcut pass alone; a partly ticked category does not count.
    Tree(states, captions, "CD", kNodeUnticked);
    states[16] = kNodeTicked;
    states[14] = kNodePartly;
    states[7] = kNodePartly;
    states[12] = kNodeTicked;
    s = BuildSelection(states, captions);
    EXPECT_EQ(s.Selection, "0000000000010");
    EXPECT_EQ(s.DriveLetters, "D");
    EXPECT_FALSE(s.Empty());

    // "Invalid Shortcuts" ticked with its drives unticked adds nothing.
    Tree(states, captions, "C", kNodeUnticked);
    states[14] = kNodeTicked;
    s = BuildSelection(states, captions);
    EXPECT_EQ(s.Selection, "0000000000000");
    EXPECT_TRUE(s.Empty());

    // Odd captions and short trees never reach past the text.
    states = {2, 2, 2};
    captions = {"a", "b", "c"};
    EXPECT_EQ(BuildSelection(states, captions).Selection, "1100000000000");
    Tree(states, captions, "", kNodeTicked);
    states.push_back(kNodeTicked);
    captions.push_back("no paren");
    states.push_back(kNodeTicked);
    captions.push_back("cut( ");
    EXPECT_EQ(BuildSelection(states, captions).DriveLetters, "");
}

TEST(ScanChoice, RowTextsAndIcons) {
    EXPECT_EQ(InvalidValueText("6", "C:\\s.dll", "3"), "C:\\s.dll");
    EXPECT_EQ(InvalidValueText("5", "x.hlp", "C:\\help\\"), "C:\\help\\x.hlp");
    EXPECT_EQ(InvalidValueText("7", "name", "C:\\a.exe"), "C:\\a.exe");
    EXPECT_EQ(InvalidValueText("14", "LinkFiles", "C:\\t.exe"), "C:\\t.exe");
    EXPECT_EQ(RowIconOf("C:\\gone\\a.exe"), kIconSafe);
    EXPECT_EQ(RowIconOf(""), kIconSafe);
    EXPECT_EQ(RowIconOf("C:\\v1.2\\a.exe"), kIconNotSafe);
}
