#include "ui/UFrmFileClearExp.h"

#include <vector>

#include "settings/portable/FilterList.h"
#include "settings/Settings.h"
#include "ui/UFrmAddFilter.h"
#include "ui/UFrmIgnoreList.h"
#include "widgets/FlatControls.h"
#include "widgets/Messages.h"
#include "widgets/PageLayout.h"

namespace vsc {

namespace {

// The whole text of a cell: rows loaded from the file can be far longer than an edit box allows
// (up to the 9728 characters of a read), and Save must write them back uncut.
std::string ListText(HWND list, int row, int column) {
    std::vector<char> buffer(1024);
    for (;;) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const std::size_t n = static_cast<std::size_t>(
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (n + 1 < buffer.size()) return std::string(item.pszText, n);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

TFrmFileClearExp::TFrmFileClearExp(std::string iniFileName)
    : TDialog("Option", 460, 330), IniFileName(iniFileName.empty() ? DefaultIniFileName() : std::move(iniFileName)) {}

void TFrmFileClearExp::OnCreate() {
    AddTitleStrip(true);

    CreateGroupBox(Handle(), "Filters", 8, 28, 444, 176);
    lstFilterFile =
        layout::CreateDialogList(Handle(), "Filters", 16, 46, 354, 150, {{"File Type", 100}, {"Description", 232}});
    btnAdd = CreateFlatButton(Handle(), "Add", 376, 50, 73, 25);
    btnDelete = CreateFlatButton(Handle(), "Delete", 376, 82, 73, 25);
    btnDefault = CreateFlatButton(Handle(), "Default", 376, 114, 73, 25);

    CreateGroupBox(Handle(), "On Clean Files ", 8, 210, 216, 76);
    radMoveFile = CreateRadioButton(Handle(), "Move Files To Recycle Bin", 18, 232, 200, 20, true);
    radDelFile = CreateRadioButton(Handle(), "Delete Files", 18, 256, 200, 20, false);

    CreateGroupBox(Handle(), "On Scan Files", 232, 210, 220, 76);
    chkSystemFile = CreateCheckBox(Handle(), "Include System File", 242, 226, 200, 18);
    chkReadFile = CreateCheckBox(Handle(), "Include Read File", 242, 245, 200, 18);
    chkHideFile = CreateCheckBox(Handle(), "Include Hide File", 242, 264, 200, 18);

    btnSave = CreateFlatButton(Handle(), "Save", 300, 296, 73, 25);
    btnClose = CreateFlatButton(Handle(), "Close", 379, 296, 73, 25);
    btnIgnoreList = CreateFlatButton(Handle(), "Ignore List", 8, 296, 90, 25);

    OnClick(btnAdd, [this] { btnAddClick(); });
    OnClick(btnDelete, [this] { btnDeleteClick(); });
    OnClick(btnDefault, [this] { btnDefaultClick(); });
    OnClick(btnSave, [this] { btnSaveClick(); });
    OnClick(btnClose, [this] { btnRestoreClick(); });
    OnClick(btnIgnoreList, [this] { btnIgnoreListClick(); });

    LoadSettings("UserExp");
}

void TFrmFileClearExp::AddRow(const std::string& mask, const std::string& description) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListView_GetItemCount(lstFilterFile);
    item.pszText = const_cast<char*>(mask.c_str());
    const int row = ListView_InsertItem(lstFilterFile, &item);
    if (row < 0) throw std::runtime_error("Cannot add a filter row");
    ListView_SetItemText(lstFilterFile, row, 1, const_cast<char*>(description.c_str()));
}

void TFrmFileClearExp::AddFilterRows(const std::string& stored) {
    for (const FilterEntry& e : ParseFilterList(stored)) AddRow(e.Mask, e.Description);
}

std::string TFrmFileClearExp::FilterListText() const {
    std::vector<FilterEntry> rows;
    const int count = ListView_GetItemCount(lstFilterFile);
    for (int i = 0; i < count; ++i) rows.push_back({ListText(lstFilterFile, i, 0), ListText(lstFilterFile, i, 1)});
    return vsc::FilterListText(rows);
}

void TFrmFileClearExp::LoadSettings(const std::string& key) {
    try {
        AddFilterRows(ReadIniString("FileFilters", key, "", IniFileName));
        const DiskOptions o = ReadDiskOptions(IniFileName);
        const bool deleteForGood = o.DleteTo == "1";
        SetChecked(radDelFile, deleteForGood);
        SetChecked(radMoveFile, !deleteForGood);
        SetChecked(chkSystemFile, o.SystemFile == "1");
        SetChecked(chkReadFile, o.ReadFile == "1");
        SetChecked(chkHideFile, o.HideFile == "1");
    } catch (...) {
        // A settings file that cannot be read leaves the dialog as far as it got.
    }
}

void TFrmFileClearExp::btnAddClick() {
    TFrmAddFilter dialog;
    if (dialog.ShowModal(Handle()) == IDOK && !dialog.FilterMask.empty()) AddRow(dialog.FilterMask, dialog.FilterDesc);
}

void TFrmFileClearExp::btnDeleteClick() {
    const int row = ListView_GetNextItem(lstFilterFile, -1, LVNI_SELECTED);
    if (row >= 0) ListView_DeleteItem(lstFilterFile, row);
}

void TFrmFileClearExp::btnDefaultClick() {
    ListView_DeleteAllItems(lstFilterFile);
    LoadSettings("DefaultExp");
}

void TFrmFileClearExp::btnSaveClick() {
    try {
        TIniFile file(IniFileName);  // flushed when released, before the confirmation
        file.WriteString("FileFilters", "UserExp", FilterListText());
        file.WriteString("DeleteOptions", "DleteTo", IsChecked(radMoveFile) ? "0" : "1");
        file.WriteString("ScanOptions", "SystemFile", IsChecked(chkSystemFile) ? "1" : "0");
        file.WriteString("ScanOptions", "ReadFile", IsChecked(chkReadFile) ? "1" : "0");
        file.WriteString("ScanOptions", "HideFile", IsChecked(chkHideFile) ? "1" : "0");
    } catch (const std::exception& e) {
        ShowError(e.what());
        return;
    }
    ShowInfo("Save Successd!!");
}

void TFrmFileClearExp::btnRestoreClick() { EndModal(IDCANCEL); }

void TFrmFileClearExp::btnIgnoreListClick() {
    TFrmIgnoreList dialog(IniFileName);
    dialog.ShowModal(Handle());
}

}  // namespace vsc
