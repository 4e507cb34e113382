#include <gtest/gtest.h>

#include "registry/portable/TargetState.h"

using namespace vsc;

// One table: a target, what the system says its drive is, what the question about it gave, and
// the finding the results show.
TEST(TargetState, EveryAnswerOfTheSystem) {
    const LookupResult found{true, false, 0}, folder{true, true, 0}, noFile{false, false, 2}, noPath{false, false, 3},
        denied{false, false, 5}, notReady{false, false, 21}, badName{false, false, 123}, badNet{false, false, 53};
    const Existence P = Existence::Present, M = Existence::Missing, U = Existence::Unreachable;
    struct Row {
        const char* path;
        DriveKind kind;
        LookupResult result;
        bool folderCounts;
        Existence state;
        const char* reason;
    };
    const Row rows[] = {
        {"C:\\App\\app.exe", DriveKind::Fixed, found, false, P, ""},
        {"c:\\App\\gone.exe", DriveKind::Fixed, noFile, false, M, "file not found"},
        {"C:\\Gone\\app.exe", DriveKind::Fixed, noPath, false, M, "folder not found"},
        {"C:\\Windows", DriveKind::Fixed, folder, false, M, "folder, not a file"},
        {"C:\\Windows", DriveKind::Fixed, folder, true, P, ""},
        {"M:\\tmp\\gone.dat", DriveKind::Ram, noFile, false, M, "file not found"},
        {"C:\\Locked\\a.dll", DriveKind::Fixed, denied, false, U, "no access (not checked)"},
        {"C:\\a<b.dll", DriveKind::Fixed, badName, false, U, "error 123 (not checked)"},
        {"q:\\Data\\absent.dat", DriveKind::Absent, noPath, false, U, "drive Q: is not there"},
        {"R:\\Data\\usb.dat", DriveKind::Removable, noFile, false, U, "removable drive R: (not checked)"},
        {"R:\\Data\\usb.dat", DriveKind::Removable, found, false, P, ""},
        {"R:\\Data", DriveKind::Removable, folder, false, U, "removable drive R: (not checked)"},
        {"D:\\setup.exe", DriveKind::CdRom, notReady, false, U, "drive D: is not ready (not checked)"},
        {"D:\\setup.exe", DriveKind::CdRom, noFile, false, U, "CD-ROM drive D: (not checked)"},
        {"N:\\Data\\net.dat", DriveKind::Network, noFile, false, U, "network drive N: (not checked)"},
        {"N:\\Data\\net.dat", DriveKind::Network, denied, false, U, "no access (not checked)"},
        {"X:\\a.exe", DriveKind::Unknown, noFile, false, U, "drive X: of unknown type (not checked)"},
        {"\\\\server\\share\\a.exe", DriveKind::Unknown, found, false, P, ""},
        {"\\\\server\\share\\a.exe", DriveKind::Unknown, noFile, false, U, "network path (not checked)"},
        {"\\\\?\\UNC\\server\\share\\a.exe", DriveKind::Unknown, badNet, false, U, "network path (not checked)"},
        {"//server/share/a.exe", DriveKind::Unknown, noFile, false, U, "network path (not checked)"},
        {"\\\\?\\r:\\a.exe", DriveKind::Removable, noFile, false, U, "removable drive R: (not checked)"},
        {"\\\\.\\pipe\\x", DriveKind::Unknown, noFile, false, U, "device path (not checked)"},
        {"\"C:\\a.exe\"", DriveKind::Fixed, noFile, false, U, "not a full path (not checked)"},
        {"Fonts\\a.ttf", DriveKind::Unknown, noFile, false, U, "not a full path (not checked)"},
    };
    for (const Row& row : rows) {
        const TargetCheck check = JudgeLookup(RootOfPath(row.path), row.kind, row.result, row.folderCounts);
        EXPECT_EQ(check.State, row.state) << row.path;
        EXPECT_EQ(check.Reason, row.reason) << row.path;
        EXPECT_EQ(check.Certain(), row.state == M) << row.path;
    }
    EXPECT_EQ(NotOnSearchPath().State, M);
}
