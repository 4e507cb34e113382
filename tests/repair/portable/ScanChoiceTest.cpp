#include "repair/portable/ScanChoice.h"
#include "repair/portable/RefusedChanges.h"

#include <gtest/gtest.h>

#include <algorithm>

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
    EXPECT_EQ(ToggledState(tcsUnticked), tcsTicked);
    EXPECT_EQ(ToggledState(tcsTicked), tcsUnticked);
    EXPECT_EQ(ToggledState(tcsPartly), tcsUnticked);
    EXPECT_EQ(ChildrenSummary({1, 1, 1}), tcsUnticked);
    EXPECT_EQ(ChildrenSummary({2, 2}), tcsTicked);
    EXPECT_EQ(ChildrenSummary({2, 3}), tcsTicked) << "only unticked children count against";
    EXPECT_EQ(ChildrenSummary({1, 3}), tcsPartly);
    EXPECT_EQ(ChildrenSummary({2, 1, 2}), tcsPartly);
}

TEST(ScanChoice, SelectionFromTheTree) {
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

TEST(ScanChoice, RowTextsAndIcons) {
    EXPECT_EQ(InvalidValueText("6", "C:\\s.dll", "3"), "C:\\s.dll");
    EXPECT_EQ(InvalidValueText("5", "x.hlp", "C:\\help\\"), "C:\\help\\x.hlp");
    EXPECT_EQ(InvalidValueText("7", "name", "C:\\a.exe"), "C:\\a.exe");
    EXPECT_EQ(InvalidValueText("14", "LinkFiles", "C:\\t.exe"), "C:\\t.exe");
    EXPECT_EQ(RowIconOf("C:\\gone\\a.exe"), kIconSafe);
    EXPECT_EQ(RowIconOf(""), kIconSafe);
    EXPECT_EQ(RowIconOf("C:\\v1.2\\a.exe"), kIconNotSafe);
}

// The end message of a repair names ten refused entries, counts the rest, and asks for the
// administrator only when access to a machine-wide key was denied to a program that lacks the right.
TEST(RefusedChanges, TenNamedTheRestCountedAdministratorWhenItHelps) {
    std::vector<RefusedEntry> refused;
    refused.push_back({"C:\\Desktop\\Old.lnk", "LinkFiles", true, "the file could not be moved to the recycle bin"});
    refused.push_back({"HKEY_CURRENT_USER\\Software\\Run", "", false, "the value's data cannot be kept in a backup file"});
    for (int i = 0; i < 10; ++i)
        refused.push_back({"hkey_local_machine\\SOFTWARE\\Run", "App" + std::to_string(i), false, RefusalReason(5, "x")});
    const std::string text = RefusedChangesText(refused, false);
    EXPECT_EQ(text.rfind("C:\\Desktop\\Old.lnk: the file could not be moved to the recycle bin\r\n"
                         "HKEY_CURRENT_USER\\Software\\Run, default value: the value's data cannot be kept in a backup file\r\n"
                         "hkey_local_machine\\SOFTWARE\\Run, value \"App0\": access denied\r\n",
                         0),
              0u)
        << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 13) << text;  // ten, "and 2 more", the note
    EXPECT_NE(text.find("App7\": access denied\r\nand 2 more\r\n\r\nRepairing entries of HKEY_LOCAL_MACHINE needs"),
              std::string::npos)
        << text;
    EXPECT_EQ(RefusedChangesText(refused, true).find("administrator"), std::string::npos);
    EXPECT_EQ(RefusedChangesText({refused[1]}, false).find("administrator"), std::string::npos);
    EXPECT_EQ(RefusalReason(1234, "the value could not be deleted"), "the value could not be deleted (error 1234)");
}
