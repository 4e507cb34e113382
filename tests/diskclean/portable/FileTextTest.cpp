#include "diskclean/portable/FileText.h"

#include <gtest/gtest.h>

using namespace vsc;

TEST(FileText, AttributeStrings) {
    EXPECT_EQ(AttrString(kAttrArchive | kAttrHidden), "A-H---");
    EXPECT_EQ(AttrString(kAttrDirectory), "-D----");
    EXPECT_EQ(AttrString(0), "------");
    EXPECT_EQ(AttrString(0x3F), "ADHRSV");
    EXPECT_EQ(AttrString(kAttrReadOnly | kAttrSystem | kAttrReparsePoint), "---RS-");
}

TEST(FileText, JoinPath) {
    EXPECT_EQ(JoinPath("", "x"), "");
    EXPECT_EQ(JoinPath("C:", "*.*"), "C:\\*.*");
    EXPECT_EQ(JoinPath("C:\\", "*.*"), "C:\\*.*");
    EXPECT_EQ(JoinPath("C:\\Temp", ""), "C:\\Temp\\");
    EXPECT_EQ(JoinPath("C:", ""), "C:\\");
}

TEST(FileText, ScanSizeTextSwitchesToMbAt1024000) {
    EXPECT_EQ(ScanSizeText(0), "0 Kb");
    EXPECT_EQ(ScanSizeText(1023), "0 Kb");
    EXPECT_EQ(ScanSizeText(1023999), "999 Kb");
    EXPECT_EQ(ScanSizeText(1024000), "1 Mb");
    EXPECT_EQ(ScanSizeText(5000000), "4 Mb");
    EXPECT_EQ(ScanSizeText(3LL << 30), "3145 Mb");  // sizes past 2 GiB do not wrap
}
