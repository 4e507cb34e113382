// The registry side of the main window: the section tree's toggling, scan start, pause, stop and
// end, the results list and its buttons, repair and the restore dialog.
//
// How a scan is followed. "Scan" creates a new worker (suspended) with fresh result lists, points
// its end message at this window and starts it. The window's timer shows the worker's published
// progress while RegScanActive holds (UFrmMain.cpp). The end message carries the worker's Id: the
// end of the current worker shows the outcome (when the scan was not stopped), while the end of an
// older worker that was stopped and replaced only releases that worker.
#include "app/UFrmMain.h"

#include <exception>
#include <vector>

#include "repair/Repair.h"
#include "repair/UfrmRestore.h"
#include "repair/portable/ScanChoice.h"
#include "settings/IgnoreListStore.h"
#include "settings/UFrmIgnoreList.h"
#include "widgets/CheckStates.h"
#include "widgets/FlatControls.h"
#include "widgets/Messages.h"

namespace vsc {

namespace {

std::function<void(TRegScanThread&)>& WorkerPreparer() {
    static std::function<void(TRegScanThread&)> preparer;
    return preparer;
}

// Shows the wait cursor for the life of the object.
class WaitCursor {
public:
    WaitCursor() : old_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(old_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR old_;
};

}  // namespace

void TFrmMain::SetScanWorkerPreparer(std::function<void(TRegScanThread&)> preparer) {
    WorkerPreparer() = std::move(preparer);
}

void TFrmMain::RegistryCleanCreated() {
    BackupFolder = ExecutableFolder() + "\\backup";
    JunkRegList.Attach(*this, lstJunkReg);
    JunkRegMenu.Attach(lstJunkReg, JunkRegList,
                       {[this] { return ScanResults; }, [this] { return IniFileName; },
                        [this](std::size_t removed) { ProblemCount -= static_cast<int>(removed); }});
    OnNotify(treRegistry, TVN_KEYDOWN, [this](NMHDR* header) -> LRESULT {
        if (reinterpret_cast<NMTVKEYDOWN*>(header)->wVKey != VK_SPACE) return 0;
        if (const HTREEITEM node = TreeView_GetSelection(treRegistry)) ToggleTreeNode(node);
        return 1;  // not part of the tree's incremental search
    });
    SetControlText(btnPause, "Pause");
}

// ---- Section tree ----

int TFrmMain::ChildrenSummary(HTREEITEM parent) const {
    std::vector<int> states;
    for (HTREEITEM child = TreeView_GetChild(treRegistry, parent); child;
         child = TreeView_GetNextSibling(treRegistry, child))
        states.push_back(TreeNodeState(treRegistry, child));
    return vsc::ChildrenSummary(states);
}

void TFrmMain::treRegistryMouseUp(const ControlMouseEvent& event) {
    const HTREEITEM node = TreeView_GetSelection(treRegistry);
    if (!node) return;
    // A release beside the selected node (on another node's expand button, on empty space) would
    // otherwise tick or untick a section the user did not point at.
    TVHITTESTINFO hit = {};
    hit.pt = event.Pos;
    if (TreeView_HitTest(treRegistry, &hit) != node || !(hit.flags & TVHT_ONITEM)) return;
    ToggleTreeNode(node);
}

void TFrmMain::ToggleTreeNode(HTREEITEM node) {
    const int state = ToggledState(TreeNodeState(treRegistry, node));
    SetTreeNodeState(treRegistry, node, state);
    if (TreeView_GetChild(treRegistry, node)) SetSubtreeState(node, state);
    // Only the direct parent follows; a grandparent keeps its state.
    if (const HTREEITEM parent = TreeView_GetParent(treRegistry, node))
        SetTreeNodeState(treRegistry, parent, ChildrenSummary(parent));
}

ScanSelection TFrmMain::BuildSelection() const {
    std::vector<int> states;
    std::vector<std::string> captions;
    const int count = TreeNodeCount(treRegistry);
    for (int i = 0; i < count; ++i) {
        const HTREEITEM node = TreeNodeAt(treRegistry, i);
        states.push_back(TreeNodeState(treRegistry, node));
        captions.push_back(TreeNodeText(treRegistry, node));
    }
    return vsc::BuildSelection(states, captions);
}

// ---- Scan control ----

void TFrmMain::btnRegistryScanClick() {
    const ScanSelection selection = BuildSelection();
    if (selection.Empty()) {
        ShowInfo("Please select a section to scan before continuing!");
        return;
    }
    ProblemCount = 0;
    RegScanActive = true;
    RegScanIdle = false;
    ScanPageTexts.Forget();
    ScanResults = std::make_shared<ScanResultLists>();
    EnableNavigation(false);
    SetControlText(btnPause, "Pause");

    // A stopped worker that is still winding down is kept until its own end message arrives.
    if (ScanWorker && !ScanWorker->Finished()) RetiredWorkers.push_back(std::move(ScanWorker));
    ScanWorker = std::make_unique<TRegScanThread>(true, ScanResults, selection.Selection, selection.DriveLetters);
    ScanWorker->SetOnDone(Handle(), kScanDoneMessage);
    ScanWorker->SetIgnoreList(LoadIgnoreList(IniFileName));
    if (WorkerPreparer()) WorkerPreparer()(*ScanWorker);
    ScanWorker->Start();
    ShowPage(pgScanShow);
}

void TFrmMain::btnPauseClick() {
    if (!ScanWorker || RegScanIdle) return;
    if (ControlText(btnPause) == "Pause") {
        ScanWorker->Pause();
        SetControlText(btnPause, "Continue");
    } else {
        SetControlText(btnPause, "Pause");
        ScanWorker->Continue();
    }
}

void TFrmMain::btnScanStopClick() {
    RegScanActive = false;
    // The stop request also wakes a paused worker, which then ends.
    if (ScanWorker) ScanWorker->RequestStop();
    SetControlText(btnPause, "Pause");
    EnableNavigation(true);
    ShowPage(pgRegSelect);
    ResetScanCounters();
}

void TFrmMain::ScanFinished(unsigned workerId) {
    if (Closing) return;
    if (!ScanWorker || ScanWorker->Id() != workerId) {
        // The end of an older, stopped worker: release it, nothing else.
        for (auto it = RetiredWorkers.begin(); it != RetiredWorkers.end(); ++it) {
            if ((*it)->Id() == workerId) {
                RetiredWorkers.erase(it);
                break;
            }
        }
        return;
    }
    try {
        RegScanIdle = true;
        JunkRegList.Clear();
        if (RegScanActive) {
            ProblemCount = ScanWorker->ProblemCount();
            const int ignored = ScanWorker->IgnoredCount();
            const TIgnoreList* ignore = ScanWorker->IgnoreList().get();
            if (ScanResults->Count() == 0) {
                ShowInfo(WithIgnoreNotes("0 Problem(s) Found", ignored, ignore));
                ShowPage(pgRegSelect);
                EnableNavigation(true);
            } else {
                ShowInfo(WithIgnoreNotes(std::to_string(ProblemCount) + " Problem(s) Found", ignored, ignore));
                JunkRegList.Fill(ScanResults);
                ShowPanel(fltRegDelet);
            }
        }
        RegScanActive = false;
        ResetScanCounters();
    } catch (const std::exception& error) {
        ShowError(error.what());
    }
}

void TFrmMain::ResetScanCounters() {
    ScanPageTexts.Forget();  // the next tick sets every label it shows
    for (int k = 1; k <= kCategoryCount; ++k) SetControlText(ScanCaption[static_cast<size_t>(k)], "0");
    SetControlText(labTtoalError, "0");
}

// ---- Results ----

void TFrmMain::btnCheckClick() { JunkRegList.SetAllChecked(true); }
void TFrmMain::btnUnCheckClick() { JunkRegList.SetAllChecked(false); }

void TFrmMain::btnDeleteItemsClick() {
    const std::vector<std::size_t> rows = JunkRegList.CheckedRows();
    if (rows.empty()) return;
    RepairResult result;
    {
        WaitCursor wait;
        result = RepairProblems(*ScanResults, rows, BackupFolder);
    }
    if (result.NothingChecked) return;
    if (result.BackupFailed) {
        // Nothing was changed; the results stay for another try.
        ShowInfo("Repair failing!");
        return;
    }
    if (result.Failed > 0) ShowError("there are not all selected problems have been Deleted successfully!");
    std::string closing = "Total " + std::to_string(result.Repaired) + " problems have been repaired successfully!";
    if (result.ChangedSinceScan > 0)
        closing += "\r\n" + std::to_string(result.ChangedSinceScan) +
                   " problems were left as they are, because they changed since the scan.";
    ShowInfo(closing);
    btnBackMainClick();
}

void TFrmMain::btnIgnoreListClick() {
    TFrmIgnoreList dialog(IniFileName);
    dialog.ShowModal(Handle());
}

void TFrmMain::FlatButton1Click() {
    TfrmRestore dialog(BackupFolder);
    dialog.ShowModal(Handle());
}

}  // namespace vsc
