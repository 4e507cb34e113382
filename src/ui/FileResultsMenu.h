// The right-click menu of the file results list (lstJunkFile). It also opens with the
// context-menu key and Shift+F10, for the focused row.
//
// "Ignore this file", "Ignore this folder" (the file's folder and everything below it), "Ignore
// files like this" (the file's extension as a mask: "*.tmp"; not offered for a name without one),
// "Open file location" (the folder, with the file selected) and "Copy path". An ignore command
// applies to every selected row when the menu's row is one of them; the entries go into the
// ignore list of "Config.Ini", and every found file that the list now holds leaves the results at
// once. While the cleaning loop runs, which goes through the rows by position, nothing is ignored.
// User-interface thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "diskclean/SFolders.h"

namespace vsc {

class TFileResultsMenu {
public:
    // What the menu needs of its page: the found files (the list's rows), the rows' icons (kept in
    // step with them), the settings file, and whether the cleaning runs.
    struct Host {
        std::function<std::vector<TFileItem>&()> Files;
        std::function<std::vector<int>&()> Icons;
        std::function<std::string()> IniFileName;
        std::function<bool()> Cleaning;
    };

    enum Command : unsigned { cmdIgnoreFile = 1, cmdIgnoreFolder, cmdIgnoreLike, cmdOpenLocation, cmdCopyPath };

    // Hooks the list (lets it select several rows). The host must outlive the list.
    void Attach(HWND list, Host host);
    void OnMenu(int row, POINT screen);

private:
    void Ignore(Command command, const std::vector<int>& rows);

    HWND list_ = nullptr;
    Host host_;
};

// The folder entry of a found file: its folder without the last backslash ("C:\" for a drive's root).
std::string FolderOfFoundFile(const TFileItem& record);

}  // namespace vsc
