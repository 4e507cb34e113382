// The restore dialog shown modally and driven from its shown hook, with the message boxes
// answered by a test presenter.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "repair/BackupFiles.h"
#include "support/TestSupport.h"
#include "ui/UfrmRestore.h"
#include "widgets/Messages.h"

using namespace vsc;
using vsc::test::ScratchDir;
using vsc::test::ScratchKey;

namespace {

struct Shown {
    std::string Text;
    UINT Flags;
};

// Records every message and answers questions with `answer`.
class PresenterGuard {
public:
    explicit PresenterGuard(int answer = IDYES) {
        old_ = SetMessagePresenter([this, answer](HWND, const std::string& text, UINT flags) {
            shown.push_back({text, flags});
            return (flags & MB_YESNO) ? answer : IDOK;
        });
    }
    ~PresenterGuard() { SetMessagePresenter(old_); }
    std::vector<Shown> shown;

private:
    MessagePresenter old_;
};

// Shows the dialog on the folder and runs `drive` once it is up; returns the modal result.
// With endAfter the dialog is then ended with IDOK, otherwise `drive` must end it.
int Drive(const std::string& folder, std::function<void(TfrmRestore&)> drive, bool endAfter = true) {
    TDialog::SetShownHook([&](TDialog& d) {
        TfrmRestore& dialog = static_cast<TfrmRestore&>(d);
        drive(dialog);
        if (endAfter) dialog.EndModal(IDOK);
    });
    TfrmRestore dialog(folder);
    const int result = dialog.ShowModal(nullptr);
    TDialog::SetShownHook(nullptr);
    return result;
}

std::vector<std::string> Rows(HWND list) {
    std::vector<std::string> rows;
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        char name[260] = {}, date[64] = {};
        ListView_GetItemText(list, i, 0, name, sizeof name);
        ListView_GetItemText(list, i, 1, date, sizeof date);
        rows.push_back(std::string(name) + "|" + (date[0] ? "date" : ""));
    }
    return rows;
}

int RowOf(HWND list, const std::string& name) {
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        char text[260] = {};
        ListView_GetItemText(list, i, 0, text, sizeof text);
        if (name == text) return i;
    }
    return -1;
}

void Select(HWND list, const std::string& name) {
    const int row = RowOf(list, name);
    ASSERT_GE(row, 0) << name;
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

const std::string kSep = "--------------------\r\n";

}  // namespace

TEST(RestoreDialog, ListsTheBackupFilesWithTheirDates) {
    ScratchDir dir("dlglist");
    dir.WriteFile("regbackup1.txt");
    dir.WriteFile("regbackup2.TXT");
    dir.WriteFile("notes.log");
    dir.MakeDir("sub.txt");
    std::vector<std::string> rows;
    Drive(dir.Path(), [&](TfrmRestore& d) { rows = Rows(d.lstBackupFile); });
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{"regbackup1.txt|date", "regbackup2.TXT|date"}));

    Drive(dir.File("missing"), [&](TfrmRestore& d) { rows = Rows(d.lstBackupFile); });
    EXPECT_TRUE(rows.empty());
}

TEST(RestoreDialog, DeleteAsksAndRemovesTheRowOnlyWhenTheFileIsGone) {
    ScratchDir dir("dlgdel");
    const std::string keep = dir.WriteFile("regbackup1.txt");
    const std::string locked = dir.WriteFile("regbackup2.txt");
    {
        PresenterGuard no(IDNO);
        Drive(dir.Path(), [&](TfrmRestore& d) {
            Click(d.btnDelete);  // nothing selected: nothing asked
            Select(d.lstBackupFile, "regbackup1.txt");
            Click(d.btnDelete);
            EXPECT_EQ(ListView_GetItemCount(d.lstBackupFile), 2);
        });
        ASSERT_EQ(no.shown.size(), 1u);
        EXPECT_EQ(no.shown[0].Text, "Are you sure you want to delete \r\n\"regbackup1.txt\"?");
        EXPECT_EQ(no.shown[0].Flags & (MB_YESNO | MB_ICONQUESTION), static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        EXPECT_FALSE(PathGone(keep));
    }
    {
        PresenterGuard yes(IDYES);
        // A file held open without delete sharing cannot be deleted.
        UniqueFile hold(CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(hold);
        Drive(dir.Path(), [&](TfrmRestore& d) {
            Select(d.lstBackupFile, "regbackup1.txt");
            Click(d.btnDelete);
            EXPECT_EQ(RowOf(d.lstBackupFile, "regbackup1.txt"), -1);
            Select(d.lstBackupFile, "regbackup2.txt");
            Click(d.btnDelete);
            EXPECT_GE(RowOf(d.lstBackupFile, "regbackup2.txt"), 0) << "the row stays with its file";
        });
        EXPECT_TRUE(PathGone(keep));
        EXPECT_FALSE(PathGone(locked));
        ASSERT_EQ(yes.shown.size(), 3u);
        EXPECT_EQ(yes.shown[2].Flags & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
        EXPECT_NE(yes.shown[2].Text.find("regbackup2.txt"), std::string::npos);
    }
}

TEST(RestoreDialog, RestoreWritesBackAndRemovesTheBackupOnlyOnFullSuccess) {
    ScratchKey key("dlgrest");
    ScratchDir dir("dlgrest");
    const std::string good = dir.WriteFile(
        "regbackup1.txt", kSep + key.Child("New") + "\r\nrun\r\n%SystemRoot%\\a.exe\r\n7\r\ntype=2\r\n");
    const std::string cut =
        dir.WriteFile("regbackup2.txt", kSep + key.Path() + "\r\nfirst\r\nx\r\n3\r\n" + kSep + key.Path() + "\r\n");
    // A file without any record restores nothing: it is refused and kept, never silently deleted.
    const std::string empty = dir.WriteFile("regbackup3.txt", "no records here\r\n");
    PresenterGuard messages;
    Drive(dir.Path(), [&](TfrmRestore& d) {
        Click(d.btnRestore);  // nothing selected: nothing happens
        Select(d.lstBackupFile, "regbackup3.txt");
        Click(d.btnRestore);
        EXPECT_GE(RowOf(d.lstBackupFile, "regbackup3.txt"), 0);
        Select(d.lstBackupFile, "regbackup2.txt");
        Click(d.btnRestore);
        EXPECT_GE(RowOf(d.lstBackupFile, "regbackup2.txt"), 0);
        Select(d.lstBackupFile, "regbackup1.txt");
        Click(d.btnRestore);
        EXPECT_EQ(RowOf(d.lstBackupFile, "regbackup1.txt"), -1);
    });
    ASSERT_EQ(messages.shown.size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_EQ(messages.shown[i].Text, "Error restoring selected backups!");
        EXPECT_EQ(messages.shown[i].Flags & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
    }
    EXPECT_EQ(messages.shown[2].Text, "Selected backups were restored");
    EXPECT_EQ(messages.shown[2].Flags & MB_ICONINFORMATION, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_FALSE(PathGone(empty));
    EXPECT_TRUE(PathGone(good));
    EXPECT_FALSE(PathGone(cut));
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(vsc::test::ReadValue(key.Child("New"), "run", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(data, std::string("%SystemRoot%\\a.exe\0", 19));
    EXPECT_TRUE(vsc::test::ValueExists(key.Path(), "first")) << "entries before the cut are written";
}

TEST(RestoreDialog, CloseButtonsEndTheDialog) {
    ScratchDir dir("dlgclose");
    EXPECT_EQ(Drive(dir.Path(), [](TfrmRestore& d) { PostMessageA(d.btnClose, BM_CLICK, 0, 0); }, false), IDCANCEL);
}
