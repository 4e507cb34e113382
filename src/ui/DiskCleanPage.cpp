// The disk-clean page (see DiskCleanPage.h).
//
// The search page. The search reports every folder it enters; a folder takes the walk well under a
// millisecond, while setting six label texts costs a round trip to the display for each (and their
// repaints), which would make the page, not the disk, set the pace. So FindJunkFileProcess only
// keeps the latest figures: the page shows them when kFileScanShowMs have passed since it last
// showed any, and a window timer of the same period shows what a quiet stretch (one huge folder)
// left unshown; the end of the search shows the final figures before its message. A user sees the
// same page, drawn ten times a second instead of for every folder.
#include "ui/DiskCleanPage.h"

#include <algorithm>
#include <cstring>

#include "diskclean/JunkFileClean.h"
#include "diskclean/portable/FileText.h"
#include "platform/MessagePump.h"
#include "platform/Paths.h"
#include "platform/portable/Utf8Text.h"
#include "settings/IgnoreListStore.h"
#include "ui/DriveList.h"
#include "ui/UFrmFileClearExp.h"
#include "widgets/CheckStates.h"
#include "widgets/PageLayout.h"

namespace vsc {

namespace {

const char* const kCleanCaption = "Clean Selectd";
// The shortest time between two showings of the search figures.
constexpr unsigned kFileScanShowMs = 100;
// The files a cleaning names in its failure message; the rest are counted.
constexpr int kListedCleanFailures = 10;

void CopyText(LVITEMA& row, const std::string& text) {
    if (!row.pszText || row.cchTextMax <= 0) return;
    // Cut, if at all, between two characters, never inside one.
    const std::size_t room = static_cast<std::size_t>(row.cchTextMax) - 1;
    const std::size_t length = GetACP() == CP_UTF8 ? Utf8CutLength(text, room) : std::min(text.size(), room);
    std::copy_n(text.data(), length, row.pszText);
    row.pszText[length] = '\0';
}

}  // namespace

using namespace layout;

TDiskCleanPage::TDiskCleanPage(TWindow& window, TShellHost& shell)
    : window_(window), shell_(shell), iniFileName_(DefaultIniFileName()) {
    // An empty result is announced unless the user stopped the search (FlatButton7Click clears it).
    FindJunkFile.FileMask = "*";
    FindJunkFile.UpdateList = true;
    FindJunkFile.ScanOptions = soSpecifiedDir;
    FindJunkFile.ScanDir = "C:\\";
    FindJunkFile.Messages = true;
    FindJunkFile.ScanHideFile = FindJunkFile.ScanReadFile = FindJunkFile.ScanSystemFile = false;
    FindJunkFile.DoRecursive = true;
    FindJunkFile.OnProcess = [this](TSearchFolders& sender, const std::string& dir, int count, std::int64_t size,
                                    int hide, int read, int system) {
        FindJunkFileProcess(sender, dir, count, size, hide, read, system);
    };
    FindJunkFile.OnChanged = [this](TSearchFolders& sender, int count, std::int64_t size, int hide, int read,
                                    int system) { FindJunkFileChanged(sender, count, size, hide, read, system); };
}

// ---- Controls ----

void TDiskCleanPage::CreateControls(HWND drivesPage, HWND searchPage, HWND resultsPanel, HIMAGELIST listChecks) {
    CreateDrivesPage(drivesPage, listChecks);
    CreateSearchPage(searchPage);
    CreateResultsPanel(resultsPanel, listChecks);
}

void TDiskCleanPage::CreateDrivesPage(HWND page, HIMAGELIST listChecks) {
    PageHeader(page, " Sections to Scan");
    ui_.lstPathSelect = CreateListView(page, "Sections to Scan", 8, 36, 340, 334, 0, listChecks);
    AddDriveListColumns(ui_.lstPathSelect);
    window_.OnMouse(ui_.lstPathSelect, [this](const ControlMouseEvent& e) {
        if (e.Down) lstPathSelectMouseDown(e);
    });
    window_.OnNotify(ui_.lstPathSelect, LVN_KEYDOWN, [this](NMHDR* header) {
        lstPathSelectKeyDown(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey);
        return LRESULT{0};
    });
    ui_.btnFileScan = ColumnButton(page, "Scan", 40);
    ui_.FlatButton3 = ColumnButton(page, "Option", 216);
    ui_.FlatButton9 = ColumnButton(page, "Help", 256);
    window_.OnClick(ui_.btnFileScan, [this] { btnFileScanClick(); });
    window_.OnClick(ui_.FlatButton3, [this] { FlatButton3Click(); });
    window_.OnClick(ui_.FlatButton9, [this] { shell_.OpenHelpFile(); });
}

void TDiskCleanPage::CreateSearchPage(HWND page) {
    PageHeader(page, " Perform Scanning ..");
    LabelStyle wrap;
    wrap.WordWrap = true;
    ui_.labScanPath = CreateLabel(page, "", 8, 34, 338, 30, wrap);
    Text(page, "Total Size:", 8, 84, 80);
    ui_.labFileSizeCount = BoldText(page, "0 Kb", 92, 84, 200);
    const char* const counters[4] = {"0 (All)", "0 (Hide)", "0 (Read)", "0 (System)"};
    HWND* labels[4] = {&ui_.labFileCount, &ui_.labHideFileCount, &ui_.labReadFileCount, &ui_.labSystemFileCount};
    for (int i = 0; i < 4; ++i) {
        Text(page, "Total FIles:", 8, 106 + i * 20, 80);
        *labels[i] = BoldText(page, counters[i], 92, 106 + i * 20, 200);
    }
    ui_.FlatButton7 = ColumnButton(page, "Stop", 40);
    ui_.FlatButton8 = ColumnButton(page, "Help", 256);
    window_.OnClick(ui_.FlatButton7, [this] { FlatButton7Click(); });
    window_.OnClick(ui_.FlatButton8, [this] { shell_.OpenHelpFile(); });
}

void TDiskCleanPage::CreateResultsPanel(HWND panel, HIMAGELIST listChecks) {
    ui_.labFileClean = CreateHeaderLabel(panel, " Files Clean", 8, 8, kPanelWidth - 16, 20);
    HWND& list = ui_.lstJunkFile;
    list = CreateListView(panel, "Files Clean", 8, 34, kPanelWidth - 16, 300, LVS_OWNERDATA, listChecks);
    AddColumn(list, 0, "Filename", 120);
    // "Attribute" needs 62 pixels at the window's font; the room comes from "Location", whose long
    // paths are cut anyway.
    AddColumn(list, 1, "Location", 183);
    AddColumn(list, 2, "Size(Bytes)", 85);
    AddColumn(list, 3, "Time", 70);
    AddColumn(list, 4, "Attribute", 62);
    // The rows' check boxes come from the model too.
    SendMessageA(list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    window_.OnNotify(list, LVN_GETDISPINFOA, [this](NMHDR* header) {
        lstJunkFileData(reinterpret_cast<NMLVDISPINFOA*>(header));
        return LRESULT{0};
    });
    window_.OnMouse(list, [this](const ControlMouseEvent& e) {
        if (e.Down) lstJunkFileMouseDown(e);
    });
    window_.OnNotify(list, LVN_KEYDOWN, [this](NMHDR* header) {
        lstJunkFileKeyDown(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey);
        return LRESULT{0};
    });
    junkFileMenu_.Attach(list, {[this]() -> std::vector<TFileItem>& { return FindJunkFile.FoundFiles(); },
                                [this]() -> std::vector<int>& { return junkFileIcons_; },
                                [this] { return iniFileName_; }, [this] { return cleaning_; }});
    // "Clean Selected" needs a wider button than its neighbours; the buttons left of it move over,
    // and the progress bar gives up the room.
    ui_.prbFileDelele = CreateProgressBar(panel, 8, kBarButtonTop + 4, 211, 17);
    ShowWindow(ui_.prbFileDelele, SW_HIDE);

    ui_.btnCheckAllFile = CreateFlatButton(panel, "Check All", 227, kBarButtonTop, 73, 25);
    ui_.btnUnCheckAllFile = CreateFlatButton(panel, "Uncheck All", 307, kBarButtonTop, 73, 25);
    ui_.btnDelFile = CreateFlatButton(panel, "Clean Selected", 387, kBarButtonTop, 90, 25);
    ui_.backMain = CreateFlatButton(panel, "Menu", 484, kBarButtonTop, 73, 25);
    window_.OnClick(ui_.btnCheckAllFile, [this] { btnCheckAllFileClick(); });
    window_.OnClick(ui_.btnUnCheckAllFile, [this] { btnUnCheckAllFileClick(); });
    window_.OnClick(ui_.btnDelFile, [this] { btnDelFileClick(); });
    window_.OnClick(ui_.backMain, [this] { backMainClick(); });
}

// ---- Start-up and the drive list ----

void TDiskCleanPage::Start(const std::string& listedDrives, const std::string& tickedDrives, HIMAGELIST systemIcons) {
    listedDrives_ = listedDrives;
    SendMessageA(ui_.lstPathSelect, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(systemIcons));
    SendMessageA(ui_.lstJunkFile, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(systemIcons));
    for (char letter : listedDrives) AddDriveRow(ui_.lstPathSelect, letter, true);
    for (size_t i = 0; i < listedDrives.size(); ++i) {
        if (tickedDrives.find(listedDrives[i]) == std::string::npos)
            SetListCheckState(ui_.lstPathSelect, static_cast<int>(i), 0);
    }
}

void TDiskCleanPage::lstPathSelectMouseDown(const ControlMouseEvent& event) {
    ToggleCheckBoxAt(event.Control, event.Button, event.Pos);
}

void TDiskCleanPage::lstPathSelectKeyDown(WORD key) {
    if (key != VK_SPACE) return;
    HWND list = ui_.lstPathSelect;
    const int row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (row >= 0) SetListCheckState(list, row, ListCheckState(list, row) == 1 ? 0 : 1);
}

// ---- Scan ----

void TDiskCleanPage::btnFileScanClick() {
    if (!fileScanIdle_ || cleaning_) return;
    fileScanIdle_ = false;
    // Every search announces an empty result unless its own Stop clears this; a stop of an earlier
    // search that found files must not silence this one.
    notFoundNotice_ = true;
    const std::string drives = CheckedDriveLetters(ui_.lstPathSelect, listedDrives_);
    shell_.EnableNavigation(false);
    try {
        shell_.ShowPage(pgFileScan);
        deleteOption_ = ConfigureJunkSearch(FindJunkFile, iniFileName_, drives);
        FindJunkFile.FoundFiles().clear();
        junkFileIcons_.clear();
        fileScanShownAt_ = 0;  // the first folder shows at once
        fileScanPageTexts_.Forget();
        window_.SetTimer(kFileScanProgressTimer, kFileScanShowMs, [this] {
            if (fileScanUnshown_ && !shell_.IsClosing()) ShowFileScanProgress();
        });
        FindJunkFile.Search();  // the rest happens in FindJunkFileProcess and FindJunkFileChanged
    } catch (const std::exception& e) {
        // The search could not start (an invalid mask, a switch that is not a boolean): say why
        // and give the drive page back, rather than leave the window on a scan that never runs.
        window_.KillTimer(kFileScanProgressTimer);
        fileScanIdle_ = true;
        if (shell_.IsClosing()) return;
        shell_.ShowError(e.what());
        shell_.EnableNavigation(true);
        shell_.ShowPage(pgDiskClean);
    }
}

void TDiskCleanPage::FindJunkFileProcess(TSearchFolders& sender, const std::string& dir, int countFiles,
                                         std::int64_t sizeOfFiles, int countFilesHide, int countFilesRead,
                                         int countFilesSystem) {
    if (shell_.IsClosing()) return;
    fileScanLatest_.Dir = dir;
    fileScanLatest_.SetCounts(countFiles, sizeOfFiles, countFilesHide, countFilesRead, countFilesSystem);
    fileScanUnshown_ = true;
    // Outside a search (a direct call) the figures show at once.
    if (!sender.Searching() || GetTickCount64() - fileScanShownAt_ >= kFileScanShowMs) ShowFileScanProgress();
}

// Only this function writes the six labels, so it sets only the texts that changed, without asking
// the labels (each question is a call into the system too).
void TDiskCleanPage::ShowFileScanProgress() {
    fileScanUnshown_ = false;
    fileScanShownAt_ = GetTickCount64();
    const FileScanFigures& f = fileScanLatest_;
    fileScanPageTexts_.Set(ui_.labScanPath, f.Dir);
    fileScanPageTexts_.Set(ui_.labFileCount, std::to_string(f.Count) + " (All)");
    fileScanPageTexts_.Set(ui_.labHideFileCount, std::to_string(f.Hide) + " (Hide)");
    fileScanPageTexts_.Set(ui_.labReadFileCount, std::to_string(f.Read) + " (Read)");
    fileScanPageTexts_.Set(ui_.labSystemFileCount, std::to_string(f.System) + " (System)");
    fileScanPageTexts_.Set(ui_.labFileSizeCount, ScanSizeText(f.Size));
}

void TDiskCleanPage::FindJunkFileChanged(TSearchFolders&, int countFiles, std::int64_t sizeOfFiles,
                                         int countFilesHide, int countFilesRead, int countFilesSystem) {
    window_.KillTimer(kFileScanProgressTimer);
    fileScanIdle_ = true;
    if (shell_.IsClosing()) return;
    // The final figures, beside the last folder entered.
    fileScanLatest_.SetCounts(countFiles, sizeOfFiles, countFilesHide, countFilesRead, countFilesSystem);
    ShowFileScanProgress();
    const int ignored = FindJunkFile.CountIgnored();
    if (countFiles > 0) {
        shell_.ShowInfo(
            WithIgnoreNotes(std::to_string(countFiles) + " files Found", ignored, FindJunkFile.Ignore.get()));
        ShowFileResults();  // navigation stays disabled until Menu
        return;
    }
    if (notFoundNotice_) shell_.ShowInfo(WithIgnoreNotes("Not found files!", ignored, FindJunkFile.Ignore.get()));
    shell_.EnableNavigation(true);
    notFoundNotice_ = true;
    shell_.ShowPage(pgDiskClean);
}

void TDiskCleanPage::FlatButton7Click() {
    FindJunkFile.StopSearch();
    notFoundNotice_ = false;
}

void TDiskCleanPage::StopFileScan() { FindJunkFile.StopSearch(); }

void TDiskCleanPage::StopForClose() {
    if (fileScanIdle_) return;
    StopFileScan();
    Sleep(100);
}

// ---- Results list ----

void TDiskCleanPage::ShowFileResults() {
    const std::size_t count = FindJunkFile.FoundFiles().size();
    junkFileIcons_.assign(count, -1);
    ListView_SetItemCountEx(ui_.lstJunkFile, static_cast<int>(count), 0);
    shell_.ShowPage(pgDiskClean);
    shell_.ShowPanel(ShellPanel::FileResults);
    window_.FocusControl(ui_.lstJunkFile);  // the found files are what the user turns to next
}

void TDiskCleanPage::lstJunkFileData(NMLVDISPINFOA* request) {
    if (!request) return;
    const auto& files = FindJunkFile.FoundFiles();
    const int index = request->item.iItem;
    if (index < 0 || static_cast<std::size_t>(index) >= files.size()) return;
    try {
        FillFileRow(request->item, files[static_cast<std::size_t>(index)]);
    } catch (...) {
        // A row that cannot be filled stays partly filled.
    }
}

void TDiskCleanPage::FillFileRow(LVITEMA& row, const TFileItem& record) {
    if (row.mask & LVIF_TEXT) {
        switch (row.iSubItem) {
        case 0: CopyText(row, record.Name); break;
        case 1: CopyText(row, record.Path); break;
        case 2: CopyText(row, FileSizeColumn(record)); break;
        case 3: CopyText(row, FileDateColumn(record.Time)); break;
        case 4: CopyText(row, record.FileAttrStr); break;
        default: CopyText(row, ""); break;
        }
    }
    if (row.mask & LVIF_STATE) {
        // State image 1 is the empty box, 2 the ticked one (see widgets/CheckStates.h).
        row.state = (row.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(record.Checked == 1 ? 2 : 1);
        row.stateMask |= LVIS_STATEIMAGEMASK;
    }
    if (row.mask & LVIF_IMAGE) {
        const std::size_t index = static_cast<std::size_t>(row.iItem);
        if (index < junkFileIcons_.size()) {
            if (junkFileIcons_[index] < 0) junkFileIcons_[index] = FileIconIndex(record.Path + record.Name);
            row.iImage = junkFileIcons_[index];
        } else {
            row.iImage = FileIconIndex(record.Path + record.Name);
        }
    }
}

void TDiskCleanPage::lstJunkFileMouseDown(const ControlMouseEvent& event) {
    const int row = ListCheckBoxAt(ui_.lstJunkFile, event.Pos);  // any mouse button
    if (row >= 0) ToggleJunkFileRow(row);
}

void TDiskCleanPage::lstJunkFileKeyDown(WORD key) {
    if (key != VK_SPACE) return;
    const int row =
        static_cast<int>(SendMessageA(ui_.lstJunkFile, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (row >= 0) ToggleJunkFileRow(row);
}

void TDiskCleanPage::ToggleJunkFileRow(int row) {
    auto& files = FindJunkFile.FoundFiles();
    if (row < 0 || static_cast<std::size_t>(row) >= files.size()) return;
    TFileItem& record = files[static_cast<std::size_t>(row)];
    record.Checked = record.Checked == 1 ? 0 : 1;
    ListView_RedrawItems(ui_.lstJunkFile, row, row);
    UpdateWindow(ui_.lstJunkFile);
    NotifyRowTickChanged(ui_.lstJunkFile, row);
}

void TDiskCleanPage::SetAllFilesChecked(int checked) {
    auto& files = FindJunkFile.FoundFiles();
    for (std::size_t row = 0; row < files.size(); ++row) {
        if (files[row].Checked == checked) continue;
        files[row].Checked = checked;
        NotifyRowTickChanged(ui_.lstJunkFile, static_cast<int>(row));
    }
    InvalidateRect(ui_.lstJunkFile, nullptr, FALSE);
}

void TDiskCleanPage::btnCheckAllFileClick() { SetAllFilesChecked(1); }

void TDiskCleanPage::btnUnCheckAllFileClick() { SetAllFilesChecked(0); }

// ---- Cleaning ----

void TDiskCleanPage::BeginCleaningState() {
    cleaning_ = true;
    cleanButtonStops_ = true;
    SetControlText(ui_.btnDelFile, "Stop");
    EnableWindow(ui_.backMain, FALSE);
    EnableWindow(ui_.btnCheckAllFile, FALSE);
    EnableWindow(ui_.btnUnCheckAllFile, FALSE);
    SetControlText(ui_.labFileClean, " Perform Cleaning...");
}

void TDiskCleanPage::EndCleaningState() {
    cleanButtonStops_ = false;
    SetControlText(ui_.btnDelFile, kCleanCaption);
    SetControlText(ui_.labFileClean, " Files Clean");
    EnableWindow(ui_.backMain, TRUE);
    EnableWindow(ui_.btnCheckAllFile, TRUE);
    EnableWindow(ui_.btnUnCheckAllFile, TRUE);
    ShowWindow(ui_.prbFileDelele, SW_HIDE);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    backMainClick();
}

// How it works. The loop goes through the records by index, up to the count taken at its start,
// and removes each checked one. After each index it dispatches pending messages: a press of the
// button (now "Stop") asks the same question, and on Yes sets cleanStopRequested_ and ends the
// cleaning look at once, whose Menu press clears the found files; the loop then finds no more
// records and ends without its summary. Closing the window ends it as well. Only entries that are
// really gone are counted; those that could not be removed are counted apart and reported once.
void TDiskCleanPage::btnDelFileClick() {
    auto& files = FindJunkFile.FoundFiles();
    if (std::none_of(files.begin(), files.end(), [](const TFileItem& f) { return f.Checked == 1; })) return;
    if (!shell_.AskYesNo("Are you sure you want to clean the selected files?")) return;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    ShowWindow(ui_.prbFileDelele, SW_SHOW);
    if (cleanButtonStops_) {
        cleanStopRequested_ = 1;
        EndCleaningState();
        return;
    }
    BeginCleaningState();
    cleanStopRequested_ = 0;
    const std::size_t count = files.size();
    SetProgressRange(ui_.prbFileDelele, 0, static_cast<int>(count));
    SetProgressStep(ui_.prbFileDelele, 1);
    CleanHooks hooks;
    hooks.Stopped = [this] { return cleanStopRequested_ == 1; };
    hooks.Tried = [this](std::size_t i) { SetProgressPosition(ui_.prbFileDelele, static_cast<int>(i)); };
    hooks.Between = [this] {
        if (!ProcessPendingMessages() || shell_.IsClosing()) return false;  // quitting, or the window is closing
        if (cleanStopRequested_ != 1) SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return true;
    };
    hooks.Error = [this](const std::exception& e) { shell_.ShowError(e.what()); };
    const CleanOutcome outcome = CleanFoundFiles(files, deleteOption_ != "1", hooks);
    cleaning_ = false;
    if (shell_.IsClosing()) return;
    SetProgressPosition(ui_.prbFileDelele, static_cast<int>(count));
    const int cleaned = outcome.Cleaned, failed = outcome.Failed();
    std::string failures;  // the first few, one line each: name, folder and why
    for (int i = 0; i < failed && i < kListedCleanFailures; ++i) {
        const CleanFailure& f = outcome.Failures[static_cast<std::size_t>(i)];
        failures += "\r\n" + f.Name + " in " + f.Folder + ": " + f.Reason;
    }
    if (failed > kListedCleanFailures)
        failures += "\r\nand " + std::to_string(failed - kListedCleanFailures) + " more";
    if (failed > 0)
        shell_.ShowError(std::to_string(failed) + (failed == 1 ? " File" : " Files") + " could not be cleaned:" +
                         failures);
    if (cleanStopRequested_ != 1 && cleaned > 0)
        shell_.ShowInfo("Total " + std::to_string(cleaned) + " Files have been Clean successfully!");
    EndCleaningState();
}

void TDiskCleanPage::backMainClick() {
    shell_.ShowPanel(ShellPanel::Main);  // in front of the file results, which it covers
    ListView_SetItemCountEx(ui_.lstJunkFile, 0, 0);
    UpdateWindow(ui_.lstJunkFile);
    FindJunkFile.FoundFiles().clear();
    junkFileIcons_.clear();
    shell_.EnableNavigation(true);
    shell_.ShowPage(pgDiskClean);
}

void TDiskCleanPage::FlatButton3Click() {
    TFrmFileClearExp dialog(iniFileName_);
    dialog.ShowModal(window_.Handle());
}

}  // namespace vsc
