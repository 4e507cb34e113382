// TFrmMain, the main window: a borderless window with its own title strip, a navigation column,
// five pages that the program switches between, and two full-size results panels.
//
// How it is built. The window is the shell: it creates the title strip, the frame, the three
// panels, the navigation column and the pages (UFrmMainLayout.cpp), and keeps the About page, help,
// single-instance start-up and the close query (UFrmMain.cpp). The two workflows are pages it owns:
// TRegistryCleanPage (ui/RegistryCleanPage.h) on the section and scan pages and the registry
// results panel, and TDiskCleanPage (ui/DiskCleanPage.h) on the drive and search pages and
// the file results panel. Each builds its own controls there and talks back through TShellHost.
// Controls are plain Win32 controls from the visual component set (widgets/FlatControls.h); the
// handles are owned by the window and destroyed with it.
//
// Everything here runs on the user-interface thread.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "platform/Paths.h"
#include "ui/DiskCleanPage.h"
#include "ui/RegistryCleanPage.h"
#include "widgets/CheckStates.h"
#include "widgets/FlatControls.h"
#include "widgets/PageControl.h"
#include "widgets/ShellHost.h"
#include "widgets/Window.h"

namespace vsc {

class TFrmMain : public TWindow, private TShellHost {
public:
    // Page indices of pagMain (widgets/ShellHost.h).
    using Page = ShellPage;
    static constexpr int pgRegSelect = vsc::pgRegSelect, pgScanShow = vsc::pgScanShow, pgDiskClean = vsc::pgDiskClean,
                     pgAbout = vsc::pgAbout, pgFileScan = vsc::pgFileScan;
    // The scan worker's end message (WPARAM: the worker's Id()), handed to the registry page.
    static constexpr UINT kScanDoneMessage = TRegistryCleanPage::kScanDoneMessage;

    TFrmMain();
    ~TFrmMain() override;

    // Creates the main window (hidden), centred on the screen; FormCreate runs inside.
    void CreateMainWindow();

    // Replaces how help is opened (tests); an empty function restores the shell. The opener gets
    // the full path of the help file, and is only called when that file exists.
    static void SetHelpOpener(std::function<void(const std::string& path)> opener);

    // The two workflow pages.
    TRegistryCleanPage& Registry() { return registry_; }
    const TRegistryCleanPage& Registry() const { return registry_; }
    TDiskCleanPage& Disk() { return disk_; }
    const TDiskCleanPage& Disk() const { return disk_; }

    // ---- Handlers of the shell ----
    void FormCreate();
    void btnLeft1Click();
    void btnLeft2Click();
    void btnLeft3Click();
    // Gives every navigation button its colour, then the pressed one the page colour.
    void HighlightNavButton(HWND pressed);
    // Enables or disables the three navigation buttons together.
    void EnableNavigation(bool enabled) override;
    void btnHelpClick();
    // Key preview: F1, with any modifier keys, opens help.
    bool FormKeyDown(WPARAM key);
    void OpenHelpFile() override;
    void Image1MouseDown(const ControlMouseEvent& event);
    void SpeedButton1Click();
    void imgMinClick();
    void SpeedButton2Click();
    void imgCloseClick();
    // The close query: never refuses. Marks the window as closing, stops running work (see the .cpp).
    bool FormCloseQuery();
    void Label29Click();
    void Label30Click();
    void Label31Click();
    // Shows one of the pages of pagMain (Page) inside the main panel.
    void ShowPage(int index) override;
    // Shows exactly one of the three full-size panels: panRegScan, fltRegDelet or panFileDel.
    void ShowPanel(HWND panel);
    void ShowPanel(ShellPanel panel) override;

    // True when the process must end without running its exit handlers, because a worker thread
    // that was asked to stop has not ended yet (WinMain then ends the process at once).
    bool WorkerStillRunning() const;

    // WM_QUIT is posted when the window is destroyed (the program's end); tests that create the
    // window inside their own thread clear it.
    bool QuitOnDestroy = true;

    // True once the close query has run: late events of the workflows are then ignored.
    bool IsClosing() const override { return closing_; }
    // The drives of the drive list and of the shortcut nodes, one letter each, ascending.
    const std::string& ListedDrives() const { return listedDrives_; }

    // The shell's controls, as the layout made them.
    struct Controls {
        // Title strip, frame and the three panels.
        HWND Image1 = nullptr, Label1 = nullptr, Label38 = nullptr;
        HWND SpeedButton1 = nullptr, SpeedButton2 = nullptr, imgMin = nullptr, imgClose = nullptr;
        HWND Image2 = nullptr, Image3 = nullptr, Image4 = nullptr;
        HWND panRegScan = nullptr, fltRegDelet = nullptr, panFileDel = nullptr;
        // Navigation column.
        HWND Panel2 = nullptr, Image6 = nullptr, btnLeft1 = nullptr, btnLeft2 = nullptr, btnLeft3 = nullptr;
        HWND tabRegSelect = nullptr, tabScanShow = nullptr, tabDiskClean = nullptr, tabAbout = nullptr,
             tabFileScan = nullptr;
        // Page 3: About.
        HWND Image7 = nullptr, Label29 = nullptr, Label30 = nullptr, Label31 = nullptr;
    };
    const Controls& Ui() const { return ui_; }
    // The pages of the main panel (Page).
    const TPageControl& Pages() const { return pagMain; }

protected:
    void OnCreate() override;
    bool OnCloseQuery() override;
    void OnDestroy() override;
    bool OnKeyDown(WPARAM key) override;
    // The image lists are made again at the new DPI.
    void OnDpiChanged(int oldDpi, int newDpi) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // TShellHost: the messages go through the program's message seam (widgets/Messages.h).
    bool AskYesNo(const std::string& question) override;
    void ShowInfo(const std::string& text) override;
    void ShowError(const std::string& text) override;

    // Layout (UFrmMainLayout.cpp): creates and wires the controls of each part of the window.
    void CreateTitleAndFrame();
    void CreateMainPanel();
    void CreateAboutPage();

    bool closing_ = false;
    std::string listedDrives_;
    Controls ui_;
    TPageControl pagMain;

    UniqueImageList checkImages_;     // state images of the tree
    UniqueImageList listCheckImages_; // state images of the check-box lists
    UniqueImageList categoryImages_;  // icons of the section tree
    UniqueImageList resultImages_;    // blue and orange squares of the registry results

    TRegistryCleanPage registry_;
    TDiskCleanPage disk_;
};

}  // namespace vsc
