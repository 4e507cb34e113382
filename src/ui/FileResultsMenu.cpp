#include "ui/FileResultsMenu.h"

#include <windows.h>
#include <commctrl.h>

#include "settings/IgnoreListStore.h"
#include "ui/UFrmIgnoreList.h"
#include "widgets/ContextMenu.h"

namespace vsc {

std::string FolderOfFoundFile(const TFileItem& record) {
    std::string folder = record.Path;
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

void TFileResultsMenu::Attach(HWND list, Host host) {
    list_ = list;
    host_ = std::move(host);
    SetWindowLongPtrA(list_, GWL_STYLE, GetWindowLongPtrA(list_, GWL_STYLE) & ~static_cast<LONG_PTR>(LVS_SINGLESEL));
    AttachContextMenu(list_, [this](HWND, int row, POINT screen) { OnMenu(row, screen); });
}

void TFileResultsMenu::OnMenu(int row, POINT screen) {
    std::vector<TFileItem>& files = host_.Files();
    if (row < 0 || static_cast<std::size_t>(row) >= files.size()) return;
    const TFileItem record = files[static_cast<std::size_t>(row)];
    const UINT ignoring = host_.Cleaning && host_.Cleaning() ? MF_GRAYED : 0;
    const UniqueMenu menu(CreatePopupMenu());
    if (!menu) return;
    const UINT likeThis = MaskOfFileName(record.Name).empty() ? MF_GRAYED : ignoring;
    AppendMenuA(menu.get(), MF_STRING | ignoring, cmdIgnoreFile, "Ignore this file");
    AppendMenuA(menu.get(), MF_STRING | ignoring, cmdIgnoreFolder, "Ignore this folder");
    AppendMenuA(menu.get(), MF_STRING | likeThis, cmdIgnoreLike, "Ignore files like this");
    AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu.get(), MF_STRING, cmdOpenLocation, "Open file location");
    AppendMenuA(menu.get(), MF_STRING, cmdCopyPath, "Copy path");
    const UINT command = ShowPopupMenu(GetAncestor(list_, GA_ROOT), menu.get(), screen);
    if (GetMenuState(menu.get(), command, MF_BYCOMMAND) & MF_GRAYED) return;

    const std::vector<int> rows = RowsOfCommand(list_, row);
    switch (command) {
    case cmdIgnoreFile:
    case cmdIgnoreFolder:
    case cmdIgnoreLike: Ignore(static_cast<Command>(command), rows); break;
    case cmdOpenLocation: OpenExternalView(ExternalView::FileLocation, record.Path + record.Name); break;
    case cmdCopyPath: {
        std::vector<std::string> lines;
        for (int r : rows)
            if (static_cast<std::size_t>(r) < files.size())
                lines.push_back(files[static_cast<std::size_t>(r)].Path + files[static_cast<std::size_t>(r)].Name);
        CopyLinesToClipboard(list_, lines);
        break;
    }
    default: break;
    }
}

void TFileResultsMenu::Ignore(Command command, const std::vector<int>& rows) {
    std::vector<TFileItem>& files = host_.Files();
    std::vector<IgnoreEntry> entries;
    for (int r : rows) {
        if (static_cast<std::size_t>(r) >= files.size()) continue;
        const TFileItem& f = files[static_cast<std::size_t>(r)];
        if (command == cmdIgnoreFile) entries.push_back({IgnoreKind::File, f.Path + f.Name, ""});
        if (command == cmdIgnoreFolder) entries.push_back({IgnoreKind::Folder, FolderOfFoundFile(f), ""});
        if (command == cmdIgnoreLike && !MaskOfFileName(f.Name).empty())
            entries.push_back({IgnoreKind::Mask, MaskOfFileName(f.Name), ""});
    }
    if (entries.empty()) return;
    const std::shared_ptr<const TIgnoreList> ignore = AddIgnoreEntriesOrSayWhy(host_.IniFileName(), entries);
    if (!ignore) return;
    std::vector<int>& icons = host_.Icons();
    std::vector<TFileItem> keptFiles;
    std::vector<int> keptIcons;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (ignore->IgnoresFile(files[i].Path + files[i].Name)) continue;
        keptFiles.push_back(std::move(files[i]));
        keptIcons.push_back(i < icons.size() ? icons[i] : -1);
    }
    files.swap(keptFiles);
    icons.swap(keptIcons);
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
    ListView_SetItemCountEx(list_, static_cast<int>(files.size()), LVSICF_NOSCROLL);
    InvalidateRect(list_, nullptr, TRUE);
}

}  // namespace vsc
