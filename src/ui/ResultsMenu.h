// The right-click menu of the registry results list (lstJunkReg). It also opens with the
// context-menu key and Shift+F10, for the focused row.
//
// Registry rows: "Ignore this entry" (the key path and value name), "Ignore this key" (the key and
// every key below it), "Open in Registry Editor", "Copy key path". Shortcut rows (category 14):
// "Ignore this shortcut", "Open file location", "Copy path". An ignore command applies to every
// selected row when the menu's row is one of them; the entries go into the ignore list of
// "Config.Ini", and every row that the list now holds leaves the results at once (also rows the
// user did not point at, such as other values of an ignored key). Opening and copying take the
// menu's row (copying: every selected row, one a line). User-interface thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "registry/RegScanThread.h"
#include "ui/ResultsList.h"

namespace vsc {

class TResultsMenu {
public:
    // What the menu needs of its page: the scan's result lists (which it shortens) and the
    // settings file.
    struct Host {
        std::function<std::shared_ptr<ScanResultLists>()> Results;
        std::function<std::string()> IniFileName;
    };

    // Menu commands (also the menu items' identifiers).
    enum Command : unsigned {
        cmdIgnoreEntry = 1, cmdIgnoreKey, cmdOpenEditor, cmdCopyKeyPath,
        cmdIgnoreShortcut, cmdOpenLocation, cmdCopyPath,
    };

    // Hooks the list (lets it select several rows). The model and the host must outlive the list.
    void Attach(HWND list, TResultsList& model, Host host);

    // What the menu does for the row (tests call it with a command chosen beforehand).
    void OnMenu(int row, POINT screen);

private:
    void Ignore(Command command, const std::vector<int>& rows);

    HWND list_ = nullptr;
    TResultsList* model_ = nullptr;
    Host host_;
};

}  // namespace vsc
