// The drive list against the real drives of the prefix.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include <algorithm>
#include <cctype>

#include "support/TestSupport.h"
#include "ui/DriveList.h"
#include "widgets/CheckStates.h"
#include "widgets/Window.h"

using namespace vsc;

TEST(DriveList, ListsTheFixedDrivesAndNoMissingOnes) {
    const std::string drives = ListLocalDrives();
    ASSERT_FALSE(drives.empty());
    EXPECT_NE(drives.find('C'), std::string::npos);
    EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end()));
    const DWORD mask = GetLogicalDrives();
    for (char letter : drives) {
        EXPECT_TRUE(mask & (1u << (letter - 'A'))) << letter;
        const std::string root = std::string(1, letter) + ":\\";
        const UINT type = GetDriveTypeA(root.c_str());
        EXPECT_NE(type, static_cast<UINT>(DRIVE_CDROM));
        EXPECT_NE(type, static_cast<UINT>(DRIVE_REMOVABLE));
    }
}

TEST(DriveList, LabelFollowsTheCaseOfTheLetterAndSizesAreMegabytes) {
    const std::string upper = DriveVolumeLabel('C');
    EXPECT_TRUE(std::none_of(upper.begin(), upper.end(), [](char c) { return std::islower(static_cast<unsigned char>(c)); }));
    const std::string lower = DriveVolumeLabel('c');
    EXPECT_TRUE(std::none_of(lower.begin(), lower.end(), [](char c) { return std::isupper(static_cast<unsigned char>(c)); }));
    EXPECT_EQ(lower.size(), upper.size());

    const DriveSpaceTexts space = DriveSpaceText('C');
    ASSERT_GT(space.Capacity.size(), 3u);
    EXPECT_EQ(space.Capacity.substr(space.Capacity.size() - 3), " MB");
    EXPECT_GE(std::stoull(space.Capacity), std::stoull(space.Free));
}

TEST(DriveList, AMissingDriveHasNoLabelAndUnknownSizes) {
    const DWORD mask = GetLogicalDrives();
    char missing = 0;
    for (char letter = 'Y'; letter > 'D'; --letter) {
        if (!(mask & (1u << (letter - 'A')))) { missing = letter; break; }
    }
    ASSERT_NE(missing, 0);
    EXPECT_EQ(DriveVolumeLabel(missing), "");
    const DriveSpaceTexts space = DriveSpaceText(missing);
    EXPECT_EQ(space.Capacity, "?");
    EXPECT_EQ(space.Free, "?");
    EXPECT_FALSE(IsUnixRootDrive(missing));
}

TEST(DriveList, OnlyTheUnixRootIsTheUnixRoot) {
    EXPECT_FALSE(IsUnixRootDrive('C'));
    if (test::RunningUnderWine() && (GetLogicalDrives() & (1u << ('Z' - 'A')))) {
        EXPECT_TRUE(IsUnixRootDrive('Z'));  // the default mapping of a Wine prefix
    }
}

TEST(DriveList, RowsCarryTheDriveTextsIconAndCheckBox) {
    struct THost : TWindow {} host;
    host.Create(TWindow::CreateParams());
    UniqueImageList checks(CreateListCheckImages());
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS, 0, 0,
                                400, 200, host.Handle(), nullptr, nullptr, nullptr);
    ListView_SetImageList(list, checks.get(), LVSIL_STATE);
    ListView_SetImageList(list, SystemSmallIcons(), LVSIL_SMALL);
    AddDriveListColumns(list);
    AddDriveRow(list, 'C', true);
    AddDriveRow(list, 'C', false);
    ASSERT_EQ(ListView_GetItemCount(list), 2);
    char text[128] = {};
    ListView_GetItemText(list, 0, 0, text, sizeof(text));
    EXPECT_EQ(std::string(text), DriveRowCaption(DriveVolumeLabel('C'), 'C'));
    ListView_GetItemText(list, 0, 2, text, sizeof(text));
    // Free space moves while other programs write, so the row's figure need only be near a fresh one.
    const std::string after = DriveSpaceText('C').Free;
    EXPECT_EQ(std::string(text).substr(std::string(text).find(' ')), " MB");
    EXPECT_LE(std::abs(std::atoll(text) - std::atoll(after.c_str())), 64) << text << " / " << after;
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = 0;
    ListView_GetItem(list, &item);
    EXPECT_EQ(item.iImage, FileIconIndex("C:\\"));
    EXPECT_EQ(ListCheckState(list, 0), 1);
    EXPECT_EQ(ListCheckState(list, 1), 0);
    EXPECT_EQ(CheckedDriveLetters(list, "CD"), "C");
    SetListCheckState(list, 1, 1);
    EXPECT_EQ(CheckedDriveLetters(list, "CD"), "CD");
    SetListCheckState(list, 0, 0);
    SetListCheckState(list, 1, 0);
    EXPECT_EQ(CheckedDriveLetters(list, "CD"), "");
    EXPECT_EQ(ToggleCheckBoxAt(list, 1, POINT{2, 2}), -1);  // not the left button
}
