// TDiskCleanPage, the disk-clean workflow of the main window: the drive list, the search and its
// progress page, the file results panel with the clean, and the options dialog.
//
// How it is built. The window (the shell) gives the page the two pages and the panel it lives on;
// the page creates its controls there, wires each to the handler named after it, and reaches the
// window only through TShellHost (pages, panels, navigation, messages).
//
// How it works. Everything runs on the user-interface thread. Scan configures FindJunkFile from
// "Config.Ini" and runs its search, which dispatches pending messages as it goes: the Stop button
// and the close query run as nested handlers and ask it to stop. The search's end event shows the
// results: lstJunkFile is a virtual list whose rows are the records of FindJunkFile.FoundFiles().
// The cleaning (CleanFoundFiles) dispatches messages after each record, so a second press of its
// button (then captioned "Stop") stops it, and rows can still be toggled while it runs.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "diskclean/SFolders.h"
#include "ui/FileResultsMenu.h"
#include "widgets/FlatControls.h"
#include "widgets/ShellHost.h"
#include "widgets/Window.h"

namespace vsc {

class TDiskCleanPage {
public:
    // The page's controls, as the window's layout made them.
    struct Controls {
        // Drives.
        HWND lstPathSelect = nullptr, btnFileScan = nullptr, FlatButton3 = nullptr, FlatButton9 = nullptr;
        // Search progress.
        HWND labScanPath = nullptr, labFileSizeCount = nullptr, labFileCount = nullptr, labHideFileCount = nullptr,
             labReadFileCount = nullptr, labSystemFileCount = nullptr, FlatButton7 = nullptr, FlatButton8 = nullptr;
        // File results panel.
        HWND labFileClean = nullptr, lstJunkFile = nullptr, prbFileDelele = nullptr;
        HWND btnCheckAllFile = nullptr, btnUnCheckAllFile = nullptr, btnDelFile = nullptr, backMain = nullptr;
    };

    TDiskCleanPage(TWindow& window, TShellHost& shell);
    // Its handlers hold its address: never copied.
    TDiskCleanPage(const TDiskCleanPage&) = delete;
    TDiskCleanPage& operator=(const TDiskCleanPage&) = delete;

    // Creates the controls on the drive page, the search page and the results panel; both lists
    // take the check pictures as their state images.
    void CreateControls(HWND drivesPage, HWND searchPage, HWND resultsPanel, HIMAGELIST listChecks);
    // The start-up state: one row per listed drive, in this order, ticked when among tickedDrives;
    // both lists show the system's small icons.
    void Start(const std::string& listedDrives, const std::string& tickedDrives, HIMAGELIST systemIcons);

    // ---- Handlers ----
    void btnFileScanClick();
    // "Stop" while searching.
    void FlatButton7Click();
    // lstPathSelect: the left button on a row's check box toggles the row.
    void lstPathSelectMouseDown(const ControlMouseEvent& event);
    // lstPathSelect: Space toggles the focused row, so the keyboard reaches the check boxes too.
    void lstPathSelectKeyDown(WORD key);
    // Row request of the virtual list lstJunkFile (LVN_GETDISPINFO).
    void lstJunkFileData(NMLVDISPINFOA* request);
    void lstJunkFileMouseDown(const ControlMouseEvent& event);
    // Space toggles the focused row's check box, as a click on the box does.
    void lstJunkFileKeyDown(WORD key);
    void ToggleJunkFileRow(int row);
    // Gives every found file the check state (1 or 0); each change is told to screen readers.
    void SetAllFilesChecked(int checked);
    void btnCheckAllFileClick();
    void btnUnCheckAllFileClick();
    // "Clean Selected", and "Stop" while cleaning.
    void btnDelFileClick();
    // "Menu" of the file results panel.
    void backMainClick();
    // "Option": the options dialog.
    void FlatButton3Click();
    // Asks a running disk search to stop.
    void StopFileScan();
    // The close query's part: asks a running search to stop and gives it 100 ms.
    void StopForClose();
    // Events of FindJunkFile: a folder is about to be read; the search has ended. The first keeps
    // the latest figures, which the page shows at a human rate (see DiskCleanPage.cpp); the
    // second shows the final ones.
    void FindJunkFileProcess(TSearchFolders& sender, const std::string& dir, int countFiles, std::int64_t sizeOfFiles,
                             int countFilesHide, int countFilesRead, int countFilesSystem);
    void FindJunkFileChanged(TSearchFolders& sender, int countFiles, std::int64_t sizeOfFiles, int countFilesHide,
                             int countFilesRead, int countFilesSystem);

    // ---- What the page shows and holds, for the window and the tests ----
    const Controls& Ui() const { return ui_; }
    // No search runs.
    bool Idle() const { return fileScanIdle_; }
    // The disk search; its FoundFiles are the model of lstJunkFile (row i is record i).
    TSearchFolders& Search() { return FindJunkFile; }
    // The settings file the search and the options dialog use: "Config.Ini" beside the executable
    // (tests point it at a scratch file).
    const std::string& IniFileName() const { return iniFileName_; }
    void SetIniFileName(std::string fileName) { iniFileName_ = std::move(fileName); }
    // The "DleteTo" switch the last search read.
    const std::string& DeleteOption() const { return deleteOption_; }

private:
    void CreateDrivesPage(HWND page, HIMAGELIST listChecks);
    void CreateSearchPage(HWND page);
    void CreateResultsPanel(HWND panel, HIMAGELIST listChecks);
    // Shows the latest search figures on the search page.
    void ShowFileScanProgress();
    // Shows the file results panel with one row per found file.
    void ShowFileResults();
    // Fills what the list asks for of one row from its found-file record.
    void FillFileRow(LVITEMA& row, const TFileItem& record);
    // The cleaning's look: "Stop" on the clean button, Menu and the check buttons disabled.
    void BeginCleaningState();
    void EndCleaningState();

    // Timer that shows the latest search figures while a search runs.
    static constexpr UINT_PTR kFileScanProgressTimer = 2;

    TWindow& window_;
    TShellHost& shell_;
    Controls ui_;

    std::string listedDrives_;  // one letter per row of lstPathSelect, ascending
    std::string iniFileName_;
    std::string deleteOption_;
    bool fileScanIdle_ = true;
    bool notFoundNotice_ = true;  // an empty result is announced unless the user stopped the search
    int cleanStopRequested_ = 0;
    bool cleaning_ = false;       // the cleaning runs
    bool cleanButtonStops_ = false;  // the clean button reads "Stop" (from the cleaning's start to its end or stop)
    TSearchFolders FindJunkFile;
    std::vector<int> junkFileIcons_;  // icon of each found record, -1 until a row asks for it
    // The right-click menu of lstJunkFile (ignore, open the file's folder, copy).
    TFileResultsMenu junkFileMenu_;
    // The figures of the search page, as the search last reported them.
    struct FileScanFigures {
        std::string Dir;
        int Count = 0, Hide = 0, Read = 0, System = 0;
        std::int64_t Size = 0;
        void SetCounts(int count, std::int64_t size, int hide, int read, int system) {
            Count = count, Size = size, Hide = hide, Read = read, System = system;
        }
    };
    FileScanFigures fileScanLatest_;
    bool fileScanUnshown_ = false;            // fileScanLatest_ holds figures the page does not show yet
    unsigned long long fileScanShownAt_ = 0;  // GetTickCount64 of the last showing
    // What ShowFileScanProgress last set on the search page's labels.
    TShownTexts fileScanPageTexts_;
};

}  // namespace vsc
