#include "ui/RegistryCleanPage.h"

#include <exception>
#include <stdexcept>
#include <vector>

#include "diskclean/portable/DriveText.h"
#include "platform/Paths.h"
#include "repair/Repair.h"
#include "settings/IgnoreListStore.h"
#include "ui/RepairReport.h"
#include "ui/UFrmIgnoreList.h"
#include "ui/UfrmRestore.h"
#include "widgets/CheckStates.h"
#include "widgets/Dpi.h"
#include "widgets/PageLayout.h"

namespace vsc {

const char* SectionNodeCaption(int node) { return node == 0 ? "My Computer" : CategoryCaption(node); }

using namespace layout;

// How often the scan page shows the worker's progress. Four times a second follows a scan closely
// enough; each showing repaints labels, and under Wine every repaint asks the system server, which
// the worker's own calls then wait behind.
constexpr UINT kScanProgressMs = 250;

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

HTREEITEM AddNode(HWND tree, HTREEITEM parent, const std::string& caption, int image) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    insert.item.pszText = const_cast<char*>(caption.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    insert.item.state = INDEXTOSTATEIMAGEMASK(tcsUnticked);
    auto node = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!node) throw std::runtime_error("Cannot add the tree node \"" + caption + "\"");
    return node;
}

}  // namespace

TRegistryCleanPage::TRegistryCleanPage(TWindow& window, TShellHost& shell)
    : window_(window), shell_(shell), backupFolder_(ProgramBackupFolder()), iniFileName_(DefaultIniFileName()) {}

void TRegistryCleanPage::SetScanWorkerPreparer(std::function<void(TRegScanThread&)> preparer) {
    WorkerPreparer() = std::move(preparer);
}

// ---- Controls ----

void TRegistryCleanPage::CreateControls(HWND sectionsPage, HWND progressPage, HWND resultsPanel,
                                        const Images& images) {
    CreateSectionsPage(sectionsPage, images);
    CreateProgressPage(progressPage);
    CreateResultsPanel(resultsPanel, images);
}

void TRegistryCleanPage::CreateSectionsPage(HWND page, const Images& images) {
    PageHeader(page, " Sections to Scan");
    HWND& tree = ui_.treRegistry;
    tree = CreateScaledChild(0, WC_TREEVIEWA, "Sections to Scan",
                             WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                 TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP,
                             page, 8, 36, 338, 334);
    SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images.Categories));
    SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(images.TreeChecks));
    ShowTicksToScreenReaders(tree);
    SetTreeIndent(tree, kTreeIndent);
    ui_.CategoryNodes[0] = AddNode(tree, nullptr, SectionNodeCaption(0), 0);
    for (int k = 1; k <= kCategoryCount; ++k) {
        ui_.CategoryNodes[k] = AddNode(tree, ui_.CategoryNodes[0], SectionNodeCaption(k), k);
    }
    // The mouse and Space toggle the selected node.
    window_.OnMouse(tree, [this](const ControlMouseEvent& e) {
        if (!e.Down) treRegistryMouseUp(e);
    });
    window_.OnNotify(tree, TVN_KEYDOWN, [this](NMHDR* header) -> LRESULT {
        if (reinterpret_cast<NMTVKEYDOWN*>(header)->wVKey != VK_SPACE) return 0;
        if (const HTREEITEM node = TreeView_GetSelection(ui_.treRegistry)) ToggleTreeNode(node);
        return 1;  // not part of the tree's incremental search
    });

    ui_.btnRegistryScan = ColumnButton(page, "Scan", 40);
    ui_.btnIgnoreList = ColumnButton(page, "Ignore List", 176);
    ui_.FlatButton1 = ColumnButton(page, "Restore", 216);
    ui_.btnHelp = ColumnButton(page, "Help", 256);
    window_.OnClick(ui_.btnRegistryScan, [this] { btnRegistryScanClick(); });
    window_.OnClick(ui_.btnIgnoreList, [this] { btnIgnoreListClick(); });
    window_.OnClick(ui_.FlatButton1, [this] { FlatButton1Click(); });
    window_.OnClick(ui_.btnHelp, [this] { shell_.OpenHelpFile(); });
}

void TRegistryCleanPage::CreateProgressPage(HWND page) {
    PageHeader(page, " Perform Scanning ..");
    ui_.labRootKey = BoldText(page, "", 8, 34, 338);
    LabelStyle wrap;
    wrap.WordWrap = true;
    ui_.labRegKey = CreateLabel(page, "", 8, 52, 338, 30, wrap);
    for (int k = 1; k <= kCategoryCount; ++k) {
        const int column = (k - 1) / 7;
        const int row = (k - 1) % 7;
        // Each caption is as wide as the longest of its column ("Add/Remove Programs:" in the second).
        const int x = column == 0 ? 8 : 166;
        const int captionWidth = column == 0 ? 116 : 142;
        const int y = 92 + row * 20;
        Text(page, std::string(CategoryCaption(k)) + ":", x, y, captionWidth);
        ui_.ScanCaption[static_cast<size_t>(k)] = BoldText(page, "0", x + captionWidth + 2, y, 36);
    }
    ui_.labTtoalError = BoldText(page, "0", 8, 246, 44);
    Text(page, "Problem(s) Found", 54, 246, 200);

    ui_.btnPause = ColumnButton(page, "Pause", 40);
    ui_.btnScanStop = ColumnButton(page, "Stop", 72);
    ui_.FlatButton5 = ColumnButton(page, "Help", 256);
    window_.OnClick(ui_.btnPause, [this] { btnPauseClick(); });
    window_.OnClick(ui_.btnScanStop, [this] { btnScanStopClick(); });
    window_.OnClick(ui_.FlatButton5, [this] { shell_.OpenHelpFile(); });
}

void TRegistryCleanPage::CreateResultsPanel(HWND panel, const Images& images) {
    ui_.labRegRepair = CreateHeaderLabel(panel, " Registry Repair", 8, 8, kPanelWidth - 16, 20);
    ui_.lstJunkReg = CreateListView(panel, "Registry Repair", 8, 34, kPanelWidth - 16, 300, LVS_OWNERDATA, images.ListChecks);
    AddColumn(ui_.lstJunkReg, 0, "Registry Path", 180);
    AddColumn(ui_.lstJunkReg, 1, "Invalid Value", 157);
    AddColumn(ui_.lstJunkReg, 2, "Reason", 200);  // "removable drive R: (not checked)" whole
    SendMessageA(ui_.lstJunkReg, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.Results));
    junkRegList_.Attach(window_, ui_.lstJunkReg);
    junkRegMenu_.Attach(ui_.lstJunkReg, junkRegList_, {[this] { return results_; }, [this] { return iniFileName_; }});
    // Legend.
    auto square = [](COLORREF color) {
        return [color](HDC dc, const RECT& rect) { FillRect(dc, &rect, SolidBrushFor(color)); };
    };
    CreateImage(panel, 8, 342, 10, 10, square(RGB(30, 90, 230)));
    Text(panel, "Sate to delete", 22, 340, 210);
    CreateImage(panel, 8, 360, 10, 10, square(RGB(255, 140, 0)));
    Text(panel, "No fully sate to delete", 22, 358, 210);

    ui_.btnCheck = CreateFlatButton(panel, "Check All", 244, kBarButtonTop, 73, 25);
    ui_.btnUnCheck = CreateFlatButton(panel, "Uncheck All", 324, kBarButtonTop, 73, 25);
    ui_.btnDeleteItems = CreateFlatButton(panel, "Repair", 404, kBarButtonTop, 73, 25);
    ui_.btnBackMain = CreateFlatButton(panel, "Menu", 484, kBarButtonTop, 73, 25);
    window_.OnClick(ui_.btnCheck, [this] { btnCheckClick(); });
    window_.OnClick(ui_.btnUnCheck, [this] { btnUnCheckClick(); });
    window_.OnClick(ui_.btnDeleteItems, [this] { btnDeleteItemsClick(); });
    window_.OnClick(ui_.btnBackMain, [this] { btnBackMainClick(); });
}

// ---- Start-up ----

void TRegistryCleanPage::Start(const std::string& listedDrives, const std::string& tickedDrives) {
    HWND tree = ui_.treRegistry;
    SetTreeNodeState(tree, ui_.CategoryNodes[0], tcsTicked);
    for (char letter : listedDrives)
        AddNode(tree, ui_.CategoryNodes[kCategoryCount], ShortcutNodeCaption(CategoryCaption(kShortcutCategory), letter), kCategoryCount);
    SetSubtreeState(ui_.CategoryNodes[0], tcsTicked);
    bool anyUnticked = false;
    const std::vector<HTREEITEM> nodes = TreeNodesInOrder(tree);
    for (size_t i = 0; i < listedDrives.size() && 15 + i < nodes.size(); ++i) {
        if (tickedDrives.find(listedDrives[i]) != std::string::npos) continue;
        SetTreeNodeState(tree, nodes[15 + i], tcsUnticked);
        anyUnticked = true;
    }
    if (anyUnticked) {
        HTREEITEM shortcuts = ui_.CategoryNodes[kCategoryCount];
        SetTreeNodeState(tree, shortcuts, SummaryStateOfChildren(tree, shortcuts));
        SetTreeNodeState(tree, ui_.CategoryNodes[0], SummaryStateOfChildren(tree, ui_.CategoryNodes[0]));
    }
    for (HTREEITEM node : TreeNodesInOrder(tree))
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(ui_.CategoryNodes[0]));
    window_.SetTimer(kScanProgressTimer, kScanProgressMs, [this] { tmrScanProgressTimer(); });
    ShowPaused(false);
}

// ---- Section tree ----

void TRegistryCleanPage::treRegistryMouseUp(const ControlMouseEvent& event) {
    const HTREEITEM node = TreeView_GetSelection(ui_.treRegistry);
    if (!node) return;
    // A release beside the selected node (on another node's expand button, on empty space) would
    // otherwise tick or untick a section the user did not point at.
    TVHITTESTINFO hit = {};
    hit.pt = event.Pos;
    if (TreeView_HitTest(ui_.treRegistry, &hit) != node || !(hit.flags & TVHT_ONITEM)) return;
    ToggleTreeNode(node);
}

void TRegistryCleanPage::ToggleTreeNode(HTREEITEM node) {
    HWND tree = ui_.treRegistry;
    const int state = ToggledState(TreeNodeState(tree, node));
    SetTreeNodeState(tree, node, state);
    if (TreeView_GetChild(tree, node)) SetSubtreeState(node, state);
    // Only the direct parent follows; a grandparent keeps its state.
    if (const HTREEITEM parent = TreeView_GetParent(tree, node))
        SetTreeNodeState(tree, parent, SummaryStateOfChildren(tree, parent));
}

void TRegistryCleanPage::SetSubtreeState(HTREEITEM node, int state) {
    vsc::SetSubtreeState(ui_.treRegistry, node, state);
}

ScanSelection TRegistryCleanPage::BuildSelection() const {
    std::vector<int> states;
    std::vector<std::string> captions;
    for (HTREEITEM node : TreeNodesInOrder(ui_.treRegistry)) {
        states.push_back(TreeNodeState(ui_.treRegistry, node));
        captions.push_back(TreeNodeText(ui_.treRegistry, node));
    }
    return vsc::BuildSelection(states, captions);
}

// ---- Scan control ----

void TRegistryCleanPage::btnRegistryScanClick() {
    const ScanSelection selection = BuildSelection();
    if (selection.Empty()) {
        shell_.ShowInfo("Please select a section to scan before continuing!");
        return;
    }
    active_ = true;
    idle_ = false;
    scanPageTexts_.Forget();
    results_ = std::make_shared<ScanResultLists>();
    shell_.EnableNavigation(false);
    ShowPaused(false);

    // A stopped worker that is still winding down is kept until its own end message arrives.
    if (worker_ && !worker_->Finished()) retiredWorkers_.push_back(std::move(worker_));
    worker_ = std::make_unique<TRegScanThread>(true, results_, selection.Selection, selection.DriveLetters);
    worker_->SetOnDone(window_.Handle(), kScanDoneMessage);
    scanIgnore_ = LoadIgnoreList(iniFileName_);
    worker_->SetPassOver(PassOverTestOf(scanIgnore_));
    if (WorkerPreparer()) WorkerPreparer()(*worker_);
    worker_->Start();
    shell_.ShowPage(pgScanShow);
}

void TRegistryCleanPage::btnPauseClick() {
    if (!worker_ || idle_) return;
    if (!paused_) {
        worker_->Pause();
        ShowPaused(true);
    } else {
        ShowPaused(false);
        worker_->Continue();
    }
}

void TRegistryCleanPage::ShowPaused(bool paused) {
    paused_ = paused;
    SetControlText(ui_.btnPause, paused ? "Continue" : "Pause");
}

void TRegistryCleanPage::btnScanStopClick() {
    active_ = false;
    // The stop request also wakes a paused worker, which then ends.
    if (worker_) worker_->RequestStop();
    ShowPaused(false);
    shell_.EnableNavigation(true);
    shell_.ShowPage(pgRegSelect);
    ResetScanCounters();
}

void TRegistryCleanPage::ScanFinished(unsigned workerId) {
    if (shell_.IsClosing()) return;
    if (!worker_ || worker_->Id() != workerId) {
        // The end of an older, stopped worker: release it, nothing else.
        for (auto it = retiredWorkers_.begin(); it != retiredWorkers_.end(); ++it) {
            if ((*it)->Id() == workerId) {
                retiredWorkers_.erase(it);
                break;
            }
        }
        return;
    }
    try {
        idle_ = true;
        junkRegList_.Clear();
        if (active_) {
            const int problemCount = worker_->ProblemCount();
            const int ignored = worker_->IgnoredCount();
            const TIgnoreList* ignore = scanIgnore_.get();
            const bool none = results_->Count() == 0;
            std::string found = std::to_string(none ? 0 : problemCount) + " Problem(s) Found";
            const std::size_t uncertain = results_->UncertainCount();
            if (uncertain > 0) found += " (" + std::to_string(uncertain) + " not certain)";
            found = WithIgnoreNotes(found, ignored, ignore);
            // A scan that an error cut short says which sections it could not finish, beside what
            // it found: the count alone would pass for a clean registry.
            if (results_->Failures.empty())
                shell_.ShowInfo(found);
            else
                shell_.ShowError(found + "\r\n\r\n" + UnfinishedText(results_->Failures));
            if (none) {
                shell_.ShowPage(pgRegSelect);
                shell_.EnableNavigation(true);
            } else {
                junkRegList_.Fill(results_);
                shell_.ShowPanel(ShellPanel::RegistryResults);
                window_.FocusControl(ui_.lstJunkReg);  // the problems are what the user turns to next
            }
        }
        active_ = false;
        ResetScanCounters();
    } catch (const std::exception& error) {
        shell_.ShowError(error.what());
    }
}

void TRegistryCleanPage::ResetScanCounters() {
    scanPageTexts_.Forget();  // the next tick sets every label it shows
    for (int k = 1; k <= kCategoryCount; ++k) SetControlText(ui_.ScanCaption[static_cast<size_t>(k)], "0");
    SetControlText(ui_.labTtoalError, "0");
}

// The timer remembers what it showed and sets only the labels whose text changed: asking sixteen
// labels for their texts ten times a second cost the user-interface thread several milliseconds a
// tick under Wine, calls into the system that the worker's registry calls then waited behind.
void TRegistryCleanPage::tmrScanProgressTimer() {
    if (!worker_ || idle_ || !active_) return;
    const ScanProgress progress = worker_->Progress();
    scanPageTexts_.Set(ui_.labRootKey, progress.RootKeyText);
    scanPageTexts_.Set(ui_.labRegKey, progress.RegKeyText);
    for (int k = 1; k <= kCategoryCount; ++k) {
        scanPageTexts_.Set(ui_.ScanCaption[static_cast<size_t>(k)],
                           std::to_string(progress.Counts[static_cast<size_t>(k)]));
    }
    scanPageTexts_.Set(ui_.labTtoalError, std::to_string(progress.Total));
}

// ---- Closing ----

void TRegistryCleanPage::StopForClose() {
    if (idle_ || !worker_) return;
    worker_->RequestStop();
    worker_->WaitFor(100);
}

bool TRegistryCleanPage::WorkerStillRunning() const {
    if (worker_ && !worker_->WaitFor(0)) return true;
    for (const auto& retired : retiredWorkers_) {
        if (!retired->WaitFor(0)) return true;
    }
    return false;
}

// ---- Results ----

void TRegistryCleanPage::btnCheckClick() { junkRegList_.SetAllChecked(true); }
void TRegistryCleanPage::btnUnCheckClick() { junkRegList_.SetAllChecked(false); }

void TRegistryCleanPage::btnDeleteItemsClick() {
    const std::vector<std::size_t> rows = junkRegList_.CheckedRows();
    if (rows.empty()) return;
    RepairResult result;
    {
        WaitCursor wait;
        result = RepairProblems(*results_, rows, backupFolder_);
    }
    if (result.NothingChecked) return;
    if (result.BackupFailed) {
        // Nothing was changed; the results stay for another try.
        shell_.ShowInfo("Repair failing!");
        return;
    }
    const RepairReport report = ReportOfRepair(result, *results_, RunningAsAdministrator());
    if (!report.Error.empty()) shell_.ShowError(report.Error);
    shell_.ShowInfo(report.Closing);
    btnBackMainClick();
}

void TRegistryCleanPage::btnBackMainClick() {
    shell_.ShowPanel(ShellPanel::Main);
    shell_.EnableNavigation(true);
    shell_.ShowPage(pgRegSelect);
}

void TRegistryCleanPage::btnIgnoreListClick() {
    TFrmIgnoreList dialog(iniFileName_);
    dialog.ShowModal(window_.Handle());
}

void TRegistryCleanPage::FlatButton1Click() {
    TfrmRestore dialog(backupFolder_);
    dialog.ShowModal(window_.Handle());
}

}  // namespace vsc
