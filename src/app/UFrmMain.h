// TFrmMain, the main window: a borderless window with its own title strip, a navigation column,
// five pages that the program switches between, and two full-size results panels.
//
// How it is built. The window creates every control in FormCreate's layout step (UFrmMainLayout.cpp),
// wires each control to the handler named after it, then runs the start-up steps (UFrmMain.cpp).
// Controls are plain Win32 controls from the visual component set (widgets/FlatControls.h); the
// handles below are owned by the window and destroyed with it.
//
// The handlers are spread over files by concern; each section of this class says where its bodies
// live. Everything here runs on the user-interface thread.
//
// The registry scan worker never touches the window: it publishes its progress, which the scan page
// shows on a window timer (tmrScanProgressTimer), and posts kScanDoneMessage (WPARAM = worker Id)
// when it has ended, which arrives in ScanFinished.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "diskclean/SFolders.h"
#include "registry/RegScanThread.h"
#include "repair/ResultsList.h"
#include "repair/portable/ScanChoice.h"
#include "widgets/CheckStates.h"
#include "widgets/FlatControls.h"
#include "widgets/PageControl.h"
#include "widgets/Window.h"

namespace vsc {

class TFrmMain : public TWindow {
public:
    // Page indices of pagMain.
    enum Page { pgRegSelect = 0, pgScanShow = 1, pgDiskClean = 2, pgAbout = 3, pgFileScan = 4 };
    // The scan worker's end message (WPARAM: the worker's Id()).
    static const UINT kScanDoneMessage = WM_APP + 1;
    // Timer that refreshes the scan page from the worker's published progress.
    static const UINT_PTR kScanProgressTimer = 1;

    TFrmMain() = default;
    ~TFrmMain() override;

    // Creates the main window (hidden), centred on the screen; FormCreate runs inside.
    void CreateMainWindow();

    // Replaces how help is opened (tests); an empty function restores the shell. The opener gets
    // the full path of the help file, and is only called when that file exists.
    static void SetHelpOpener(std::function<void(const std::string& path)> opener);

    // ======================================================================================
    // Application shell: start-up, navigation, help, About page, moving and closing.
    // Bodies: src/app/UFrmMain.cpp (handlers) and src/app/UFrmMainLayout.cpp (controls).
    // ======================================================================================
    void FormCreate();
    void btnLeft1Click();
    void btnLeft2Click();
    void btnLeft3Click();
    // Gives every navigation button its colour, then the pressed one the page colour.
    void HighlightNavButton(HWND pressed);
    // Enables or disables the three navigation buttons together.
    void EnableNavigation(bool enabled);
    void btnBackMainClick();
    void btnHelpClick();
    // Key preview: F1, with any modifier keys, opens help.
    bool FormKeyDown(WPARAM key);
    void OpenHelpFile();
    void Image1MouseDown(const ControlMouseEvent& event);
    void SpeedButton1Click();
    void imgMinClick();
    void SpeedButton2Click();
    void imgCloseClick();
    // The close query: never refuses. Sets Closing, stops running work (see the .cpp).
    bool FormCloseQuery();
    void Label29Click();
    void Label30Click();
    void Label31Click();
    // Shows one of the pages of pagMain (Page) inside the main panel.
    void ShowPage(int index);
    // Shows exactly one of the three full-size panels: panRegScan, fltRegDelet or panFileDel.
    void ShowPanel(HWND panel);
    // Gives every descendant of node the state (1 not ticked, 2 ticked, 3 partly ticked).
    void SetSubtreeState(HTREEITEM node, int state);
    // lstPathSelect: the left button on a row's check box toggles the row (the results list's own
    // model, JunkRegList, handles lstJunkReg).
    void lstPathSelectMouseDown(const ControlMouseEvent& event);
    // lstPathSelect: Space toggles the focused row, so the keyboard reaches the check boxes too.
    void lstPathSelectKeyDown(WORD key);
    // Refreshes the scan page from the worker's published progress while a worker is alive.
    void tmrScanProgressTimer();

    // True when the process must end without running its exit handlers, because a worker thread
    // that was asked to stop has not ended yet (WinMain then ends the process at once).
    bool WorkerStillRunning() const;

    // WM_QUIT is posted when the window is destroyed (the program's end); tests that create the
    // window inside their own thread clear it.
    bool QuitOnDestroy = true;

    bool Closing = false;
    bool RegScanIdle = true;
    bool FileScanIdle = true;
    std::string IniFileName;     // <executable folder>\Config.Ini
    std::string ListedDrives;    // one letter per row of lstPathSelect, ascending

    // Title strip, frame and the three panels.
    HWND Image1 = nullptr, Label1 = nullptr, Label38 = nullptr;
    HWND SpeedButton1 = nullptr, SpeedButton2 = nullptr, imgMin = nullptr, imgClose = nullptr;
    HWND Image2 = nullptr, Image3 = nullptr, Image4 = nullptr;
    HWND panRegScan = nullptr, fltRegDelet = nullptr, panFileDel = nullptr;
    // Navigation column.
    HWND Panel2 = nullptr, Image6 = nullptr, btnLeft1 = nullptr, btnLeft2 = nullptr, btnLeft3 = nullptr;
    TPageControl pagMain;
    HWND tabRegSelect = nullptr, tabScanShow = nullptr, tabDiskClean = nullptr, tabAbout = nullptr,
         tabFileScan = nullptr;
    // Page 0: sections to scan.
    HWND treRegistry = nullptr, btnRegistryScan = nullptr, FlatButton1 = nullptr, btnHelp = nullptr;
    HTREEITEM CategoryNodes[15] = {};  // [0] "My Computer", [k] category k (1..14)
    // Page 2: drives.
    HWND lstPathSelect = nullptr, btnFileScan = nullptr, FlatButton3 = nullptr, FlatButton9 = nullptr;
    // Page 3: About.
    HWND Image7 = nullptr, Label29 = nullptr, Label30 = nullptr, Label31 = nullptr;

    // ======================================================================================
    // Registry scan, results list, repair and restore.
    // Bodies: src/repair/RegistryCleanHandlers.cpp. Add the fields of this area here.
    // ======================================================================================
    // Toggles the selected node of the section tree when a mouse button is released over that node
    // (its check box, icon or caption); Space toggles it from the keyboard.
    void treRegistryMouseUp(const ControlMouseEvent& event);
    void btnRegistryScanClick();
    void btnPauseClick();
    void btnScanStopClick();
    // The worker with this Id has ended (kScanDoneMessage).
    void ScanFinished(unsigned workerId);
    void btnCheckClick();
    void btnUnCheckClick();
    void ResetScanCounters();
    void btnDeleteItemsClick();
    // "Restore": the restore dialog.
    void FlatButton1Click();
    // Called at the end of FormCreate: wiring or state this area needs beyond the above.
    void RegistryCleanCreated();
    // Toggles a node of the section tree: its subtree follows it, its direct parent sums up.
    void ToggleTreeNode(HTREEITEM node);
    // The state a parent node of the section tree gets from its direct children.
    int ChildrenSummary(HTREEITEM parent) const;
    // The selection string and drive letters of the section tree's ticked nodes.
    ScanSelection BuildSelection() const;
    // Called with every new worker before it starts (tests and benchmarks point its checks at
    // scratch keys with it); empty to remove.
    static void SetScanWorkerPreparer(std::function<void(TRegScanThread&)> preparer);

    std::unique_ptr<TRegScanThread> ScanWorker;
    // Stopped workers replaced by a newer scan before they ended; each is released when its own
    // end message arrives.
    std::vector<std::unique_ptr<TRegScanThread>> RetiredWorkers;
    std::shared_ptr<ScanResultLists> ScanResults = std::make_shared<ScanResultLists>();
    int ProblemCount = 0;
    bool RegScanActive = false;
    // What tmrScanProgressTimer last set on the scan page's labels.
    TShownTexts ScanPageTexts;
    // The model of the virtual results list lstJunkReg (row i is problem i of ScanResults).
    TResultsList JunkRegList;
    // Where repairs write their backups and the restore dialog looks: "backup" beside the
    // executable (tests point it at a scratch folder).
    std::string BackupFolder;

    // Page 1: scan progress.
    HWND labRootKey = nullptr, labRegKey = nullptr, labTtoalError = nullptr;
    std::array<HWND, kCategoryCount + 1> ScanCaption{};  // [k]: counter of category k (1..14)
    HWND btnPause = nullptr, btnScanStop = nullptr, FlatButton5 = nullptr;
    // Registry results panel.
    HWND labRegRepair = nullptr, lstJunkReg = nullptr;
    HWND btnCheck = nullptr, btnUnCheck = nullptr, btnDeleteItems = nullptr, btnBackMain = nullptr;

    // ======================================================================================
    // Disk scan, file results, cleaning and the option dialog.
    // Bodies: src/diskclean/DiskCleanHandlers.cpp. Add the fields of this area here.
    // ======================================================================================
    void btnFileScanClick();
    // "Stop" while searching.
    void FlatButton7Click();
    // Row request of the virtual list lstJunkFile (LVN_GETDISPINFO).
    void lstJunkFileData(NMLVDISPINFOA* request);
    void lstJunkFileMouseDown(const ControlMouseEvent& event);
    // Space toggles the focused row's check box, as a click on the box does.
    void lstJunkFileKeyDown(WORD key);
    void ToggleJunkFileRow(int row);
    void btnCheckAllFileClick();
    void btnUnCheckAllFileClick();
    // "Clean Selected", and "Stop" while cleaning.
    void btnDelFileClick();
    // "Menu" of the file results panel.
    void backMainClick();
    // "Option": the options dialog.
    void FlatButton3Click();
    // Asks a running disk search to stop (from the close query; FileScanIdle is false).
    void StopFileScan();
    // Called at the end of FormCreate: wiring or state this area needs beyond the above.
    void DiskCleanCreated();
    // Events of FindJunkFile: a folder is about to be read; the search has ended. The first keeps
    // the latest figures, which the page shows at a human rate (see DiskCleanHandlers.cpp); the
    // second shows the final ones.
    void FindJunkFileProcess(TSearchFolders& sender, const std::string& dir, int countFiles, std::int64_t sizeOfFiles,
                             int countFilesHide, int countFilesRead, int countFilesSystem);
    void FindJunkFileChanged(TSearchFolders& sender, int countFiles, std::int64_t sizeOfFiles, int countFilesHide,
                             int countFilesRead, int countFilesSystem);
    // Shows the latest search figures on the search page.
    void ShowFileScanProgress();
    // Shows the file results panel with one row per found file.
    void ShowFileResults();
    // Fills what the list asks for of one row from its found-file record.
    void FillFileRow(LVITEMA& row, const TFileItem& record);
    // The cleaning loop's look: "Stop" on the clean button, Menu and the check buttons disabled.
    void BeginCleaningState();
    void EndCleaningState();

    std::string DeleteOption;
    bool NotFoundNotice = false;  // set in DiskCleanCreated: an empty result is announced
    int CleanStopRequested = 0;
    bool Cleaning = false;        // the cleaning loop runs
    // The disk search; its FoundFiles are the model of lstJunkFile (row i is record i).
    TSearchFolders FindJunkFile;
    std::vector<int> JunkFileIcons;  // icon of each found record, -1 until a row asks for it
    // Timer that shows the latest search figures while a search runs.
    static const UINT_PTR kFileScanProgressTimer = 2;
    // The figures of the search page, as the search last reported them.
    struct FileScanFigures {
        std::string Dir;
        int Count = 0, Hide = 0, Read = 0, System = 0;
        std::int64_t Size = 0;
    };
    FileScanFigures FileScanLatest;
    bool FileScanUnshown = false;            // FileScanLatest holds figures the page does not show yet
    unsigned long long FileScanShownAt = 0;  // GetTickCount64 of the last showing
    // What ShowFileScanProgress last set on the search page's labels.
    TShownTexts FileScanPageTexts;

    // Page 4: search progress.
    HWND labScanPath = nullptr, labFileSizeCount = nullptr, labFileCount = nullptr, labHideFileCount = nullptr,
         labReadFileCount = nullptr, labSystemFileCount = nullptr, FlatButton7 = nullptr, FlatButton8 = nullptr;
    // File results panel.
    HWND labFileClean = nullptr, lstJunkFile = nullptr, prbFileDelele = nullptr;
    HWND btnCheckAllFile = nullptr, btnUnCheckAllFile = nullptr, btnDelFile = nullptr, backMain = nullptr;

protected:
    void OnCreate() override;
    bool OnCloseQuery() override;
    void OnDestroy() override;
    bool OnKeyDown(WPARAM key) override;
    // The image lists are made again at the new DPI.
    void OnDpiChanged(int oldDpi, int newDpi) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Layout (UFrmMainLayout.cpp): creates and wires the controls of each part of the window.
    void CreateTitleAndFrame();
    void CreateMainPanel();
    void CreateRegSelectPage();
    void CreateScanShowPage();
    void CreateDiskCleanPage();
    void CreateAboutPage();
    void CreateFileScanPage();
    void CreateRegistryResultsPanel();
    void CreateFileResultsPanel();
    HWND CreateListView(HWND parent, int x, int y, int width, int height, DWORD extraStyle);
    void AddShortcutDriveNodes();

    UniqueImageList checkImages_;     // state images of the tree
    UniqueImageList listCheckImages_; // state images of the check-box lists
    UniqueImageList categoryImages_;  // icons of the section tree
    UniqueImageList resultImages_;    // blue and orange squares of lstJunkReg
};

// The window's executable folder, without the trailing backslash.
std::string ExecutableFolder();

}  // namespace vsc
