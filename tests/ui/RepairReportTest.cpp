// The messages after a repair whose backup could not be flushed to disk: a failure, named with the
// file, after what was left and never in place of the count.
#include <gtest/gtest.h>

#include "ui/RepairReport.h"

using namespace vsc;

TEST(RepairReport, ABackupNotOnDiskIsAFailureNamingTheFile) {
    ScanResultLists lists;
    lists.KeyPathList = {"HKEY_CURRENT_USER\\Software\\VscRun", "HKEY_CURRENT_USER\\Software\\VscRun"};
    lists.ValueNameList = {"tray", "agent"};
    lists.ValueDataList = {"C:\\VscGone\\tray.exe", "C:\\VscGone\\agent.exe"};
    lists.CategoryList = {"7", "7"};
    RepairResult result;
    result.Repaired = 1;
    result.BackupFile = "C:\\Backup\\regbackup3.txt";
    result.BackupNotOnDisk = true;

    RepairReport report = ReportOfRepair(result, lists, false);
    EXPECT_EQ(report.Error.rfind("The backup file C:\\Backup\\regbackup3.txt could not be flushed to disk.", 0), 0u)
        << report.Error;
    EXPECT_EQ(report.Closing, "Total 1 problems have been repaired successfully!");

    result.Failed = 1;
    result.Failures = {{1, "access denied"}};
    report = ReportOfRepair(result, lists, false);
    const std::size_t left = report.Error.find("value \"agent\": access denied");
    const std::size_t backup = report.Error.find("The backup file C:\\Backup\\regbackup3.txt");
    EXPECT_EQ(report.Error.rfind("there are not all selected problems have been Deleted successfully!", 0), 0u);
    ASSERT_NE(left, std::string::npos) << report.Error;
    EXPECT_LT(left, backup) << report.Error;

    result.BackupNotOnDisk = false;
    EXPECT_EQ(ReportOfRepair(result, lists, false).Error.find("flushed"), std::string::npos);
}
