// The restore dialog: lists the backup files that repairs wrote, restores a chosen one into the
// registry or deletes it. Created for one showing (ShowModal) and destroyed when it closes.
#pragma once

#include <windows.h>

#include <string>

#include "repair/BackupFiles.h"
#include "widgets/Window.h"

namespace vsc {

class TfrmRestore : public TDialog {
public:
    // backupFolder: the folder whose backups are listed; the program's own by default.
    explicit TfrmRestore(std::string backupFolder = ProgramBackupFolder());

    // ---- Handlers (user-interface thread) ----
    // Fills the list: one row per backup file, name and creation date.
    void FormCreate();
    // Asks, then deletes the selected backup file; its row goes only when the file is gone.
    void btnDeleteClick();
    // Writes the selected backup back into the registry; on full success the file and its row go.
    void btnRestoreClick();
    void btnCloseClick() { EndModal(IDCANCEL); }

    // Writes one backup entry back into the registry; true on success.
    bool RestoreEntry(const std::string& keyPath, const std::string& valueName, const std::string& dataText,
                      const std::string& category);

    const std::string& BackupFolder() const { return backupFolder_; }
    // The full path of a listed backup: the folder, "\" and the file name.
    std::string FullPath(const std::string& fileName) const { return backupFolder_ + "\\" + fileName; }

    // Controls (owned by the dialog's window).
    HWND lstBackupFile = nullptr;
    HWND btnDelete = nullptr;
    HWND btnRestore = nullptr;
    HWND btnClose = nullptr;

protected:
    void OnCreate() override;

private:
    // The selected row, or -1.
    int SelectedRow() const;
    std::string RowFileName(int row) const;

    std::string backupFolder_;
};

}  // namespace vsc
