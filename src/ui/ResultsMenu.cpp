#include "ui/ResultsMenu.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "settings/IgnoreListStore.h"
#include "ui/UFrmIgnoreList.h"
#include "widgets/ContextMenu.h"

namespace vsc {

namespace {

bool IsShortcutRow(const ScanResultLists& lists, std::size_t row) {
    return row < lists.CategoryList.size() && lists.CategoryList[row] == std::to_string(kShortcutCategory);
}

void AddItem(HMENU menu, UINT command, const char* caption) { AppendMenuA(menu, MF_STRING, command, caption); }

// Takes the rows the list now ignores out of the result lists; returns their positions.
std::vector<std::size_t> DropIgnoredRows(ScanResultLists& lists, const TIgnoreList& ignore) {
    std::vector<std::size_t> gone;
    ScanResultLists kept;
    for (std::size_t i = 0; i < lists.Count(); ++i) {
        if (ignore.IgnoresProblem(std::atoi(lists.CategoryList[i].c_str()), lists.KeyPathList[i],
                                  lists.ValueNameList[i])) {
            gone.push_back(i);
            continue;
        }
        kept.KeyPathList.push_back(std::move(lists.KeyPathList[i]));
        kept.ValueNameList.push_back(std::move(lists.ValueNameList[i]));
        kept.ValueDataList.push_back(std::move(lists.ValueDataList[i]));
        kept.CategoryList.push_back(std::move(lists.CategoryList[i]));
        kept.CertainList.push_back(lists.Certain(i) ? 1 : 0);
        kept.ReasonList.push_back(lists.Reason(i));
    }
    lists = std::move(kept);
    return gone;
}

}  // namespace

void TResultsMenu::Attach(HWND list, TResultsList& model, Host host) {
    list_ = list;
    model_ = &model;
    host_ = std::move(host);
    SetWindowLongPtrA(list_, GWL_STYLE, GetWindowLongPtrA(list_, GWL_STYLE) & ~static_cast<LONG_PTR>(LVS_SINGLESEL));
    AttachContextMenu(list_, [this](HWND, int row, POINT screen) { OnMenu(row, screen); });
}

void TResultsMenu::OnMenu(int row, POINT screen) {
    const std::shared_ptr<ScanResultLists> lists = host_.Results ? host_.Results() : nullptr;
    if (!lists || row < 0 || static_cast<std::size_t>(row) >= lists->Count()) return;
    const bool shortcut = IsShortcutRow(*lists, static_cast<std::size_t>(row));
    const UniqueMenu menu(CreatePopupMenu());
    if (!menu) return;
    if (shortcut) {
        AddItem(menu.get(), cmdIgnoreShortcut, "Ignore this shortcut");
        AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
        AddItem(menu.get(), cmdOpenLocation, "Open file location");
        AddItem(menu.get(), cmdCopyPath, "Copy path");
    } else {
        AddItem(menu.get(), cmdIgnoreEntry, "Ignore this entry");
        AddItem(menu.get(), cmdIgnoreKey, "Ignore this key");
        AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
        AddItem(menu.get(), cmdOpenEditor, "Open in Registry Editor");
        AddItem(menu.get(), cmdCopyKeyPath, "Copy key path");
    }
    const UINT command = ShowPopupMenu(GetAncestor(list_, GA_ROOT), menu.get(), screen);

    const std::vector<int> rows = RowsOfCommand(list_, row);
    const std::string& path = lists->KeyPathList[static_cast<std::size_t>(row)];
    switch (command) {
    case cmdIgnoreEntry:
    case cmdIgnoreKey:
    case cmdIgnoreShortcut: Ignore(static_cast<Command>(command), rows); break;
    case cmdOpenEditor: OpenExternalView(ExternalView::RegistryEditor, path); break;
    case cmdOpenLocation: OpenExternalView(ExternalView::FileLocation, path); break;
    case cmdCopyKeyPath:
    case cmdCopyPath: {
        std::vector<std::string> lines;
        for (int r : rows) lines.push_back(lists->KeyPathList[static_cast<std::size_t>(r)]);
        CopyLinesToClipboard(list_, lines);
        break;
    }
    default: break;
    }
}

void TResultsMenu::Ignore(Command command, const std::vector<int>& rows) {
    const std::shared_ptr<ScanResultLists> lists = host_.Results();
    std::vector<IgnoreEntry> entries;
    for (int r : rows) {
        const std::size_t i = static_cast<std::size_t>(r);
        if (i >= lists->Count()) continue;
        if (IsShortcutRow(*lists, i)) {
            // A shortcut is ignored by its path; "Ignore this key" passes shortcuts over.
            if (command != cmdIgnoreKey) entries.push_back({IgnoreKind::File, lists->KeyPathList[i], ""});
        } else if (command == cmdIgnoreKey) {
            entries.push_back({IgnoreKind::Key, lists->KeyPathList[i], ""});
        } else {
            entries.push_back({IgnoreKind::Value, lists->KeyPathList[i], lists->ValueNameList[i]});
        }
    }
    if (entries.empty()) return;
    const std::shared_ptr<const TIgnoreList> ignore = AddIgnoreEntriesOrSayWhy(host_.IniFileName(), entries);
    if (!ignore) return;
    const std::vector<std::size_t> gone = DropIgnoredRows(*lists, *ignore);
    model_->RowsRemoved(gone);
}

}  // namespace vsc
