#include "repair/portable/RefusedChanges.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vsc;

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
