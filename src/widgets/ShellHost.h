// What a workflow page of the main window asks of the window around it. The window (the shell)
// owns the title strip, the navigation column, the pages and the full-size panels; a workflow page
// builds its controls on the pages and panels it is given and reaches the rest through this
// interface, so that the workflows never depend on the window's own class.
#pragma once

#include <windows.h>

#include <string>

namespace vsc {

// The pages of the main panel, in the order they are added.
enum ShellPage { pgRegSelect = 0, pgScanShow = 1, pgDiskClean = 2, pgAbout = 3, pgFileScan = 4 };

// The three full-size panels, of which exactly one is shown: the main panel with the navigation
// and the pages, the registry results and the file results.
enum class ShellPanel { Main, RegistryResults, FileResults };

class TShellHost {
public:
    // Shows one of the pages (ShellPage) inside the main panel.
    virtual void ShowPage(int index) = 0;
    // Shows exactly one of the full-size panels.
    virtual void ShowPanel(ShellPanel panel) = 0;
    // Enables or disables the navigation buttons together.
    virtual void EnableNavigation(bool enabled) = 0;
    // The program's Yes/No question; true for Yes.
    virtual bool AskYesNo(const std::string& question) = 0;
    // The program's information and error messages.
    virtual void ShowInfo(const std::string& text) = 0;
    virtual void ShowError(const std::string& text) = 0;
    // Opens the help file (the pages' Help buttons).
    virtual void OpenHelpFile() = 0;
    // True once the window has begun to close: late events are then ignored.
    virtual bool IsClosing() const = 0;

protected:
    ~TShellHost() = default;
};

}  // namespace vsc
