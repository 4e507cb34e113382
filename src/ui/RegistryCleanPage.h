// TRegistryCleanPage, the registry-clean workflow of the main window: the section tree and its
// buttons, the scan progress page, and the registry results panel with repair and restore.
//
// How it is built. The window (the shell) gives the page the two pages and the panel it lives on
// and the pictures it shows; the page creates its controls there, wires each to the handler named
// after it, and reaches the window only through TShellHost (pages, panels, navigation, messages).
//
// How a scan is followed. "Scan" creates a new worker (suspended) with fresh result lists, points
// its end message (kScanDoneMessage, WPARAM = the worker's Id) at the window and starts it; the
// window hands that message to ScanFinished. The worker never touches the window: it publishes its
// progress, which the scan page shows on a window timer (tmrScanProgressTimer) while a scan is
// active. The end of the current worker shows the outcome (when the scan was not stopped); the end
// of an older worker that was stopped and replaced only releases that worker.
//
// Everything here runs on the user-interface thread.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "registry/RegScanThread.h"
#include "settings/portable/IgnoreList.h"
#include "ui/portable/SectionTree.h"
#include "ui/ResultsList.h"
#include "ui/ResultsMenu.h"
#include "widgets/FlatControls.h"
#include "widgets/ShellHost.h"
#include "widgets/Window.h"

namespace vsc {

// Captions of the section tree's first nodes: 0 the top node "My Computer", k the caption of
// category k (1..14) in the category table.
const char* SectionNodeCaption(int node);

class TRegistryCleanPage {
public:
    // The scan worker's end message (WPARAM: the worker's Id()).
    static constexpr UINT kScanDoneMessage = WM_APP + 1;
    // Timer that refreshes the scan page from the worker's published progress.
    static constexpr UINT_PTR kScanProgressTimer = 1;

    // The page's controls, as the window's layout made them.
    struct Controls {
        // Sections to scan.
        HWND treRegistry = nullptr, btnRegistryScan = nullptr, FlatButton1 = nullptr, btnHelp = nullptr,
             btnIgnoreList = nullptr;
        HTREEITEM CategoryNodes[15] = {};  // [0] "My Computer", [k] category k (1..14)
        // Scan progress.
        HWND labRootKey = nullptr, labRegKey = nullptr, labTtoalError = nullptr;
        std::array<HWND, kCategoryCount + 1> ScanCaption{};  // [k]: counter of category k (1..14)
        HWND btnPause = nullptr, btnScanStop = nullptr, FlatButton5 = nullptr;
        // Registry results panel.
        HWND labRegRepair = nullptr, lstJunkReg = nullptr;
        HWND btnCheck = nullptr, btnUnCheck = nullptr, btnDeleteItems = nullptr, btnBackMain = nullptr;
    };
    // The pictures the page shows; the window owns them and keeps them for the page's life.
    struct Images {
        HIMAGELIST TreeChecks = nullptr, ListChecks = nullptr, Categories = nullptr, Results = nullptr;
    };

    TRegistryCleanPage(TWindow& window, TShellHost& shell);
    // Its handlers hold its address: never copied.
    TRegistryCleanPage(const TRegistryCleanPage&) = delete;
    TRegistryCleanPage& operator=(const TRegistryCleanPage&) = delete;

    // Creates the controls on the section page, the progress page and the results panel.
    void CreateControls(HWND sectionsPage, HWND progressPage, HWND resultsPanel, const Images& images);
    // The start-up state: a node under "Invalid Shortcuts" for each listed drive, in this order,
    // every section ticked but the drives not among tickedDrives, every node expanded; the progress
    // timer runs from here on.
    void Start(const std::string& listedDrives, const std::string& tickedDrives);

    // ---- Handlers ----
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
    // "Ignore List": the ignore-list dialog.
    void btnIgnoreListClick();
    // "Menu" of the results panel: back to the section tree.
    void btnBackMainClick();
    // Refreshes the scan page from the worker's published progress while a worker is alive.
    void tmrScanProgressTimer();

    // Toggles a node of the section tree: its subtree follows it, its direct parent sums up.
    void ToggleTreeNode(HTREEITEM node);
    // Gives every descendant of node the state (1 not ticked, 2 ticked, 3 partly ticked).
    void SetSubtreeState(HTREEITEM node, int state);
    // The selection string and drive letters of the section tree's ticked nodes.
    ScanSelection BuildSelection() const;

    // The close query's part: asks a running worker to stop and gives it 100 ms.
    void StopForClose();
    // True when a worker that was asked to stop has not ended yet.
    bool WorkerStillRunning() const;

    // Called with every new worker before it starts (tests and benchmarks point its checks at
    // scratch keys with it); empty to remove.
    static void SetScanWorkerPreparer(std::function<void(TRegScanThread&)> preparer);

    // ---- What the page shows and holds, for the window and the tests ----
    const Controls& Ui() const { return ui_; }
    // No scan runs.
    bool Idle() const { return idle_; }
    // The current worker (null before the first scan).
    TRegScanThread* Worker() const { return worker_.get(); }
    const std::shared_ptr<ScanResultLists>& ScanResults() const { return results_; }
    // The model of the results list (row i is problem i of ScanResults).
    TResultsList& ResultsList() { return junkRegList_; }
    // Where repairs write their backups and the restore dialog looks: "backup" beside the
    // executable (tests point it at a scratch folder).
    const std::string& BackupFolder() const { return backupFolder_; }
    void SetBackupFolder(std::string folder) { backupFolder_ = std::move(folder); }
    // The settings file whose ignore list the scans and the results' menu use: "Config.Ini" beside
    // the executable (tests point it at a scratch file).
    const std::string& IniFileName() const { return iniFileName_; }
    void SetIniFileName(std::string fileName) { iniFileName_ = std::move(fileName); }
    // Follows a worker made outside the page as the current one, and marks a scan as running or
    // not (tests of the progress page and of closing).
    void FollowWorker(std::unique_ptr<TRegScanThread> worker) { worker_ = std::move(worker); }
    void SetScanRunning(bool running) { idle_ = !running; active_ = running; }

private:
    void CreateSectionsPage(HWND page, const Images& images);
    void CreateProgressPage(HWND page);
    void CreateResultsPanel(HWND panel, const Images& images);
    // The pause button's state and caption: "Continue" while the scan is paused, else "Pause".
    void ShowPaused(bool paused);

    TWindow& window_;
    TShellHost& shell_;
    Controls ui_;

    bool idle_ = true;     // no worker is running a scan
    bool active_ = false;  // the current scan's outcome is still wanted (not stopped)
    bool paused_ = false;  // the user paused the current scan
    std::unique_ptr<TRegScanThread> worker_;
    // Stopped workers replaced by a newer scan before they ended; each is released when its own
    // end message arrives.
    std::vector<std::unique_ptr<TRegScanThread>> retiredWorkers_;
    std::shared_ptr<ScanResultLists> results_ = std::make_shared<ScanResultLists>();
    // What tmrScanProgressTimer last set on the scan page's labels.
    TShownTexts scanPageTexts_;
    TResultsList junkRegList_;
    // The results list's right-click menu (ignore, open in the registry editor, copy).
    TResultsMenu junkRegMenu_;
    std::string backupFolder_;
    std::string iniFileName_;
    // The ignore list the current scan passes over (its unreadable lines go into the end message).
    std::shared_ptr<const TIgnoreList> scanIgnore_;
};

}  // namespace vsc
