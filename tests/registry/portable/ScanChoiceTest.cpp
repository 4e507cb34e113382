#include "registry/portable/ScanChoice.h"

#include <gtest/gtest.h>

using namespace vsc;

TEST(ScanChoice, RowTextsAndIcons) {
    EXPECT_EQ(InvalidValueText("6", "C:\\s.dll", "3"), "C:\\s.dll");
    EXPECT_EQ(InvalidValueText("5", "x.hlp", "C:\\help\\"), "C:\\help\\x.hlp");
    EXPECT_EQ(InvalidValueText("7", "name", "C:\\a.exe"), "C:\\a.exe");
    EXPECT_EQ(InvalidValueText("14", "LinkFiles", "C:\\t.exe"), "C:\\t.exe");
    EXPECT_EQ(RowIconOf("C:\\gone\\a.exe"), kIconSafe);
    EXPECT_EQ(RowIconOf(""), kIconSafe);
    EXPECT_EQ(RowIconOf("C:\\v1.2\\a.exe"), kIconNotSafe);
    // What the icon shows by colour, a screen reader says in words.
    EXPECT_EQ(RowAccessibleDescription("C:\\v1.2\\a.exe", "file not found", kIconNotSafe),
              "Invalid Value: C:\\v1.2\\a.exe, Reason: file not found, not fully safe to delete");
    EXPECT_EQ(RowAccessibleDescription("C:\\a.exe", "", kIconSafe), "Invalid Value: C:\\a.exe, safe to delete");
}
