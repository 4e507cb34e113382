// The options dialog of disk clean: the junk-file filter list (add, delete, back to the
// defaults), what cleaning does with files, and which kinds of file a scan includes. Everything is
// read from "Config.Ini" when the dialog opens and written back by Save; Close discards changes.
#pragma once

#include <string>

#include "widgets/Window.h"

namespace vsc {

class TFrmFileClearExp : public TDialog {
public:
    // iniFileName: the settings file; the executable's "Config.Ini" when empty.
    explicit TFrmFileClearExp(std::string iniFileName = std::string());

    std::string IniFileName;

    // Controls (valid while the dialog is shown).
    HWND lstFilterFile = nullptr;
    HWND btnAdd = nullptr, btnDelete = nullptr, btnDefault = nullptr;
    HWND radMoveFile = nullptr, radDelFile = nullptr;
    HWND chkSystemFile = nullptr, chkReadFile = nullptr, chkHideFile = nullptr;
    HWND btnSave = nullptr, btnClose = nullptr;
    HWND btnIgnoreList = nullptr;  // "Ignore List": the ignore-list dialog, on the same file

    // Appends the filter list stored under the key of "FileFilters" and sets the option controls
    // from the file. Errors are dropped; rows added before one stay.
    void LoadSettings(const std::string& key);
    // Appends one row per entry of a stored filter list.
    void AddFilterRows(const std::string& stored);
    // The stored form of the rows, in display order (rows with an empty mask are left out).
    std::string FilterListText() const;

    void btnAddClick();
    void btnDeleteClick();
    void btnDefaultClick();
    // Writes the list and the switches; shows "Save Successd!!". A failed write shows
    // "Unable to write to <path>" instead; values written before it stay.
    void btnSaveClick();
    void btnRestoreClick();  // Close
    void btnIgnoreListClick();

protected:
    void OnCreate() override;

private:
    void AddRow(const std::string& mask, const std::string& description);
};

}  // namespace vsc
