#include "ui/UFrmIgnoreList.h"

#include <windows.h>
#include <commctrl.h>

#include <exception>

#include "platform/portable/Text.h"
#include "settings/IgnoreListStore.h"
#include "widgets/FlatControls.h"
#include "widgets/Messages.h"
#include "widgets/PageLayout.h"

namespace vsc {

TFrmIgnoreList::TFrmIgnoreList(std::string iniFileName)
    : TDialog("Ignore List", 520, 334), IniFileName(std::move(iniFileName)) {}

void TFrmIgnoreList::OnCreate() {
    AddTitleStrip(true);
    CreateLabel(Handle(), "The scans pass over these entries:", 8, 28, 400, 15);
    lstIgnoreList = layout::CreateDialogList(Handle(), "Ignore List", 8, 46, 410, 180,
                                             {{"Kind", 92}, {"Entry", 214}, {"Value name", 100}});
    btnRemove = CreateFlatButton(Handle(), "Remove", 426, 46, 86, 25);
    labUnread = CreateLabel(Handle(), "", 8, 230, 504, 15);
    CreateLabel(Handle(), "Key path, folder or mask (e.g. *.bak) to add:", 8, 254, 410, 15);
    edtEntry = CreateEditBox(Handle(), "", 8, 272, 410, 21);
    SendMessageA(edtEntry, EM_LIMITTEXT, 2048, 0);
    btnAddKey = CreateFlatButton(Handle(), "Add Key", 8, 302, 86, 25);
    btnAddFolder = CreateFlatButton(Handle(), "Add Folder", 100, 302, 86, 25);
    btnAddMask = CreateFlatButton(Handle(), "Add Mask", 192, 302, 86, 25);
    btnClose = CreateFlatButton(Handle(), "Close", 426, 302, 86, 25);
    OnClick(btnRemove, [this] { btnRemoveClick(); });
    OnClick(btnAddKey, [this] { AddTyped(IgnoreKind::Key); });
    OnClick(btnAddFolder, [this] { AddTyped(IgnoreKind::Folder); });
    OnClick(btnAddMask, [this] { AddTyped(IgnoreKind::Mask); });
    OnClick(btnClose, [this] { btnCloseClick(); });
    LoadRows();
}

void TFrmIgnoreList::LoadRows() {
    ListView_DeleteAllItems(lstIgnoreList);
    rows_.clear();
    int unread = 0;
    for (const IgnoreLine& line : ReadIgnoreListFile(IniFileName).Lines) {
        if (!line.IsEntry && line.Problem.empty()) continue;  // blank lines and comments
        const std::string kind = line.IsEntry ? IgnoreKindCaption(line.Entry.Kind)
                                              : "Unreadable (line " + std::to_string(line.Number) + ")";
        const std::string entry = line.IsEntry ? line.Entry.Path : Trim(line.Text);
        const std::string third = line.IsEntry ? line.Entry.ValueName : line.Problem;
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(rows_.size());
        item.pszText = const_cast<char*>(kind.c_str());
        const int row = ListView_InsertItem(lstIgnoreList, &item);
        if (row < 0) break;
        ListView_SetItemText(lstIgnoreList, row, 1, const_cast<char*>(entry.c_str()));
        ListView_SetItemText(lstIgnoreList, row, 2, const_cast<char*>(third.c_str()));
        rows_.push_back(line);
        if (!line.IsEntry) ++unread;
    }
    SetControlText(labUnread, unread == 0 ? std::string()
                                          : std::to_string(unread) + (unread == 1 ? " line" : " lines") +
                                                " of the list cannot be read: the scans pass over them.");
}

void TFrmIgnoreList::btnRemoveClick() {
    const int row = ListView_GetNextItem(lstIgnoreList, -1, LVNI_SELECTED);
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
    const IgnoreLine& line = rows_[static_cast<std::size_t>(row)];
    if (!line.IsEntry) {
        ShowInfo("This line cannot be read (" + line.Problem + "). Mend or remove it in " + IniFileName + ".");
        return;
    }
    try {
        RemoveIgnoreEntry(IniFileName, line.Entry);
    } catch (const std::exception& e) {
        ShowError(e.what());
        return;
    }
    LoadRows();
}

void TFrmIgnoreList::AddTyped(IgnoreKind kind) {
    const IgnoreEntry entry{kind, Trim(ControlText(edtEntry)), ""};
    const std::string problem = IgnoreEntryProblem(entry);
    if (!problem.empty()) {
        ShowInfo(kind == IgnoreKind::Mask ? problem : "'" + entry.Path + "': " + problem);
        return;
    }
    if (!AddIgnoreEntriesOrSayWhy(IniFileName, {entry})) return;
    SetControlText(edtEntry, "");
    LoadRows();
}

std::shared_ptr<const TIgnoreList> AddIgnoreEntriesOrSayWhy(const std::string& iniFileName,
                                                            const std::vector<IgnoreEntry>& entries) {
    try {
        AddIgnoreEntries(iniFileName, entries);
    } catch (const std::exception& e) {
        ShowError(e.what());
        return nullptr;
    }
    return LoadIgnoreList(iniFileName);
}

}  // namespace vsc
