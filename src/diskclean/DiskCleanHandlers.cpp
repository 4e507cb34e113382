// The disk side of the main window: the junk-file scan, the virtual results list, cleaning and the
// option dialog.
//
// How it works. Everything runs on the user-interface thread. Scan configures FindJunkFile from
// "Config.Ini" and runs its search, which dispatches pending messages as it goes: the Stop button
// and the close query run as nested handlers and ask it to stop. The search's end event shows the
// results: lstJunkFile is a virtual list whose rows are the records of FindJunkFile.FoundFiles().
// The cleaning loop also dispatches messages after each record, so a second press of its button
// (then captioned "Stop") stops it, and rows can still be toggled while it runs.
//
// The search page. The search reports every folder it enters; a folder takes the walk well under a
// millisecond, while setting six label texts costs a round trip to the display for each (and their
// repaints), which would make the page, not the disk, set the pace. So FindJunkFileProcess only
// keeps the latest figures: the page shows them when kFileScanShowMs have passed since it last
// showed any, and a window timer of the same period shows what a quiet stretch (one huge folder)
// left unshown; the end of the search shows the final figures before its message. A user sees the
// same page, drawn ten times a second instead of for every folder.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "app/UFrmMain.h"
#include "diskclean/DriveList.h"
#include "diskclean/JunkFileClean.h"
#include "diskclean/MessageLoop.h"
#include "diskclean/UFrmFileClearExp.h"
#include "diskclean/portable/FileText.h"
#include "registry/portable/Utf8Text.h"
#include "settings/IgnoreListStore.h"
#include "widgets/FlatControls.h"
#include "widgets/Messages.h"

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

void TFrmMain::DiskCleanCreated() {
    // Announce an empty result unless the user stopped the search (FlatButton7Click clears it).
    NotFoundNotice = true;
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
    JunkFileMenu.Attach(lstJunkFile, {[this]() -> std::vector<TFileItem>& { return FindJunkFile.FoundFiles(); },
                                      [this]() -> std::vector<int>& { return JunkFileIcons; }, [this] { return IniFileName; },
                                      [this] { return Cleaning; }, nullptr});
}

// ---- Scan ----

void TFrmMain::btnFileScanClick() {
    if (!FileScanIdle || Cleaning) return;
    FileScanIdle = false;
    // Every search announces an empty result unless its own Stop clears this; a stop of an earlier
    // search that found files must not silence this one.
    NotFoundNotice = true;
    const std::string drives = CheckedDriveLetters(lstPathSelect, ListedDrives);
    EnableNavigation(false);
    try {
        ShowPage(pgFileScan);
        DeleteOption = ConfigureJunkSearch(FindJunkFile, IniFileName, drives);
        FindJunkFile.FoundFiles().clear();
        JunkFileIcons.clear();
        FileScanShownAt = 0;  // the first folder shows at once
        FileScanPageTexts.Forget();
        SetTimer(kFileScanProgressTimer, kFileScanShowMs, [this] {
            if (FileScanUnshown && !Closing) ShowFileScanProgress();
        });
        FindJunkFile.Search();  // the rest happens in FindJunkFileProcess and FindJunkFileChanged
    } catch (const std::exception& e) {
        // The search could not start (an invalid mask, a switch that is not a boolean): say why
        // and give the drive page back, rather than leave the window on a scan that never runs.
        KillTimer(kFileScanProgressTimer);
        FileScanIdle = true;
        if (Closing) return;
        ShowError(e.what());
        EnableNavigation(true);
        ShowPage(pgDiskClean);
    }
}

void TFrmMain::FindJunkFileProcess(TSearchFolders& sender, const std::string& dir, int countFiles,
                                   std::int64_t sizeOfFiles, int countFilesHide, int countFilesRead,
                                   int countFilesSystem) {
    if (Closing) return;
    FileScanLatest.Dir = dir;
    FileScanLatest.Count = countFiles;
    FileScanLatest.Size = sizeOfFiles;
    FileScanLatest.Hide = countFilesHide;
    FileScanLatest.Read = countFilesRead;
    FileScanLatest.System = countFilesSystem;
    FileScanUnshown = true;
    // Outside a search (a direct call) the figures show at once.
    if (!sender.Searching() || GetTickCount64() - FileScanShownAt >= kFileScanShowMs) ShowFileScanProgress();
}

// Only this function writes the six labels, so it sets only the texts that changed, without asking
// the labels (each question is a call into the system too).
void TFrmMain::ShowFileScanProgress() {
    FileScanUnshown = false;
    FileScanShownAt = GetTickCount64();
    const FileScanFigures& f = FileScanLatest;
    FileScanPageTexts.Set(labScanPath, f.Dir);
    FileScanPageTexts.Set(labFileCount, std::to_string(f.Count) + " (All)");
    FileScanPageTexts.Set(labHideFileCount, std::to_string(f.Hide) + " (Hide)");
    FileScanPageTexts.Set(labReadFileCount, std::to_string(f.Read) + " (Read)");
    FileScanPageTexts.Set(labSystemFileCount, std::to_string(f.System) + " (System)");
    FileScanPageTexts.Set(labFileSizeCount, ScanSizeText(f.Size));
}

void TFrmMain::FindJunkFileChanged(TSearchFolders&, int countFiles, std::int64_t sizeOfFiles, int countFilesHide,
                                   int countFilesRead, int countFilesSystem) {
    KillTimer(kFileScanProgressTimer);
    FileScanIdle = true;
    if (Closing) return;
    // The final figures, beside the last folder entered.
    FileScanLatest.Count = countFiles;
    FileScanLatest.Size = sizeOfFiles;
    FileScanLatest.Hide = countFilesHide;
    FileScanLatest.Read = countFilesRead;
    FileScanLatest.System = countFilesSystem;
    ShowFileScanProgress();
    const int ignored = FindJunkFile.CountIgnored();
    if (countFiles > 0) {
        ShowInfo(WithIgnoreNotes(std::to_string(countFiles) + " files Found", ignored, FindJunkFile.Ignore.get()));
        ShowFileResults();  // navigation stays disabled until Menu
        return;
    }
    if (NotFoundNotice) ShowInfo(WithIgnoreNotes("Not found files!", ignored, FindJunkFile.Ignore.get()));
    EnableNavigation(true);
    NotFoundNotice = true;
    ShowPage(pgDiskClean);
}

void TFrmMain::FlatButton7Click() {
    FindJunkFile.StopSearch();
    NotFoundNotice = false;
}

void TFrmMain::StopFileScan() { FindJunkFile.StopSearch(); }

// ---- Results list ----

void TFrmMain::ShowFileResults() {
    const std::size_t count = FindJunkFile.FoundFiles().size();
    JunkFileIcons.assign(count, -1);
    ListView_SetItemCountEx(lstJunkFile, static_cast<int>(count), 0);
    ShowPage(pgDiskClean);
    ShowPanel(panFileDel);
}

void TFrmMain::lstJunkFileData(NMLVDISPINFOA* request) {
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

void TFrmMain::FillFileRow(LVITEMA& row, const TFileItem& record) {
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
        if (index < JunkFileIcons.size()) {
            if (JunkFileIcons[index] < 0) JunkFileIcons[index] = FileIconIndex(record.Path + record.Name);
            row.iImage = JunkFileIcons[index];
        } else {
            row.iImage = FileIconIndex(record.Path + record.Name);
        }
    }
}

void TFrmMain::lstJunkFileMouseDown(const ControlMouseEvent& event) {
    const int row = ListCheckBoxAt(lstJunkFile, event.Pos);  // any mouse button
    if (row >= 0) ToggleJunkFileRow(row);
}

void TFrmMain::lstJunkFileKeyDown(WORD key) {
    if (key != VK_SPACE) return;
    const int row = static_cast<int>(SendMessageA(lstJunkFile, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (row >= 0) ToggleJunkFileRow(row);
}

void TFrmMain::ToggleJunkFileRow(int row) {
    auto& files = FindJunkFile.FoundFiles();
    if (row < 0 || static_cast<std::size_t>(row) >= files.size()) return;
    TFileItem& record = files[static_cast<std::size_t>(row)];
    record.Checked = record.Checked == 1 ? 0 : 1;
    ListView_RedrawItems(lstJunkFile, row, row);
    UpdateWindow(lstJunkFile);
}

void TFrmMain::btnCheckAllFileClick() {
    for (TFileItem& record : FindJunkFile.FoundFiles()) record.Checked = 1;
    InvalidateRect(lstJunkFile, nullptr, FALSE);
}

void TFrmMain::btnUnCheckAllFileClick() {
    for (TFileItem& record : FindJunkFile.FoundFiles()) record.Checked = 0;
    InvalidateRect(lstJunkFile, nullptr, FALSE);
}

// ---- Cleaning ----

void TFrmMain::BeginCleaningState() {
    Cleaning = true;
    SetControlText(btnDelFile, "Stop");
    EnableWindow(backMain, FALSE);
    EnableWindow(btnCheckAllFile, FALSE);
    EnableWindow(btnUnCheckAllFile, FALSE);
    SetControlText(labFileClean, " Perform Cleaning...");
}

void TFrmMain::EndCleaningState() {
    SetControlText(btnDelFile, kCleanCaption);
    SetControlText(labFileClean, " Files Clean");
    EnableWindow(backMain, TRUE);
    EnableWindow(btnCheckAllFile, TRUE);
    EnableWindow(btnUnCheckAllFile, TRUE);
    ShowWindow(prbFileDelele, SW_HIDE);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    backMainClick();
}

// How it works. The loop goes through the records by index, up to the count taken at its start,
// and removes each checked one. After each index it dispatches pending messages: a press of the
// button (now "Stop") asks the same question, and on Yes sets CleanStopRequested and ends the
// cleaning look at once, whose Menu press clears the found files; the loop then finds no more
// records and ends without its summary. Closing the window ends it as well. Only entries that are
// really gone are counted; those that could not be removed are counted apart and reported once.
void TFrmMain::btnDelFileClick() {
    auto& files = FindJunkFile.FoundFiles();
    if (std::none_of(files.begin(), files.end(), [](const TFileItem& f) { return f.Checked == 1; })) return;
    if (!AskYesNo("Are you sure you want to clean the selected files?")) return;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    ShowWindow(prbFileDelele, SW_SHOW);
    std::string caption = ControlText(btnDelFile);
    for (char& c : caption) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (caption == "STOP") {
        CleanStopRequested = 1;
        EndCleaningState();
        return;
    }
    BeginCleaningState();
    CleanStopRequested = 0;
    const std::size_t count = files.size();
    SetProgressRange(prbFileDelele, 0, static_cast<int>(count));
    SetProgressStep(prbFileDelele, 1);
    const bool toRecycleBin = DeleteOption != "1";
    int cleaned = 0, failed = 0;
    std::string failures;  // the first few, one line each: name, folder and why
    for (std::size_t i = 0; i < count; ++i) {
        try {
            if (i < files.size() && files[i].Checked == 1) {
                if (CleanStopRequested == 1) break;
                std::string reason;
                if (RemoveFoundEntry(files[i], toRecycleBin, &reason)) {
                    ++cleaned;
                } else if (++failed <= kListedCleanFailures) {
                    failures += "\r\n" + files[i].Name + " in " + files[i].Path + ": " + reason;
                }
                SetProgressPosition(prbFileDelele, static_cast<int>(i));
            }
            if (!ProcessPendingMessages() || Closing) break;  // quitting, or the window is closing
            if (CleanStopRequested != 1) SetCursor(LoadCursor(nullptr, IDC_WAIT));
        } catch (const std::exception& e) {
            ShowError(e.what());
        }
    }
    Cleaning = false;
    if (Closing) return;
    SetProgressPosition(prbFileDelele, static_cast<int>(count));
    if (failed > kListedCleanFailures)
        failures += "\r\nand " + std::to_string(failed - kListedCleanFailures) + " more";
    if (failed > 0) ShowError(std::to_string(failed) + (failed == 1 ? " File" : " Files") + " could not be cleaned:" + failures);
    if (CleanStopRequested != 1 && cleaned > 0)
        ShowInfo("Total " + std::to_string(cleaned) + " Files have been Clean successfully!");
    EndCleaningState();
}

void TFrmMain::backMainClick() {
    ShowPanel(panRegScan);  // in front of the file results, which it covers
    ListView_SetItemCountEx(lstJunkFile, 0, 0);
    UpdateWindow(lstJunkFile);
    FindJunkFile.FoundFiles().clear();
    JunkFileIcons.clear();
    EnableNavigation(true);
    ShowPage(pgDiskClean);
}

void TFrmMain::FlatButton3Click() {
    TFrmFileClearExp dialog(IniFileName);
    dialog.ShowModal(Handle());
}

}  // namespace vsc
