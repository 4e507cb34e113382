#include "ui/UfrmRestore.h"

#include <commctrl.h>

#include <stdexcept>
#include <vector>

#include "repair/Restore.h"
#include "widgets/FlatControls.h"
#include "widgets/Gdi.h"
#include "widgets/Messages.h"
#include "widgets/PageLayout.h"

namespace vsc {

namespace {

constexpr int kWidth = 364;
constexpr int kHeight = 314;

}  // namespace

TfrmRestore::TfrmRestore(std::string backupFolder)
    : TDialog("Restore", kWidth, kHeight), backupFolder_(std::move(backupFolder)) {}

void TfrmRestore::OnCreate() {
    // The title strip carries the caption "Restore" and the close button; the dialog moves with
    // the mouse moving over it.
    AddTitleStrip(true);
    lstBackupFile = layout::CreateDialogList(Handle(), "Backup files", 8, 28, kWidth - 16, 240,
                                             {{"File Name", 200}, {"Date", 126}}, LVS_EX_GRIDLINES);

    btnDelete = CreateFlatButton(Handle(), "Delete", 120, 280, 73, 25);
    btnRestore = CreateFlatButton(Handle(), "Restore", 200, 280, 73, 25);
    btnClose = CreateFlatButton(Handle(), "Close", 280, 280, 73, 25);
    OnClick(btnDelete, [this] { btnDeleteClick(); });
    OnClick(btnRestore, [this] { btnRestoreClick(); });
    OnClick(btnClose, [this] { btnCloseClick(); });
    FormCreate();
}

void TfrmRestore::FormCreate() {
    ListView_DeleteAllItems(lstBackupFile);
    std::vector<std::string> names;
    ListBackupFiles(backupFolder_, names);
    int row = 0;
    for (const std::string& name : names) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>(name.c_str());
        row = static_cast<int>(SendMessageA(lstBackupFile, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0) break;
        const std::string date = FormatFileDate(FullPath(name));
        LVITEMA sub = {};
        sub.iSubItem = 1;
        sub.pszText = const_cast<char*>(date.c_str());
        SendMessageA(lstBackupFile, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&sub));
        ++row;
    }
}

int TfrmRestore::SelectedRow() const {
    return static_cast<int>(SendMessageA(lstBackupFile, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::string TfrmRestore::RowFileName(int row) const {
    char buffer[MAX_PATH * 4] = {};  // a whole name of 255 characters in UTF-8
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(lstBackupFile, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

void TfrmRestore::btnDeleteClick() {
    const int row = SelectedRow();
    if (row < 0) return;
    const std::string name = RowFileName(row);
    if (!AskYesNo("Are you sure you want to delete \r\n\"" + name + "\"?")) return;
    const std::string path = FullPath(name);
    if (DeleteFileA(path.c_str()) || PathGone(path)) {
        ListView_DeleteItem(lstBackupFile, row);
    } else {
        ShowError("The backup file \"" + name + "\" could not be deleted!");
    }
}

void TfrmRestore::btnRestoreClick() {
    const int row = SelectedRow();
    if (row < 0) return;
    const std::string path = FullPath(RowFileName(row));
    // A file without records is refused and kept, as one that could not be read or restored.
    const BackupRestoreOutcome outcome = RestoreAndRetireBackup(path);
    if (!outcome.Succeeded()) {
        ShowError("Error restoring selected backups!");
        return;
    }
    // Restored: the backup has done its work. Its row stays only if the file could not go.
    if (outcome.FileRemoved) ListView_DeleteItem(lstBackupFile, row);
    ShowInfo("Selected backups were restored");
}

bool TfrmRestore::RestoreEntry(const std::string& keyPath, const std::string& valueName,
                               const std::string& dataText, const std::string& category) {
    BackupRecord record;
    record.KeyPath = keyPath;
    record.ValueName = valueName;
    record.DataText = dataText;
    record.Category = category;
    return vsc::RestoreEntry(record);
}

}  // namespace vsc
