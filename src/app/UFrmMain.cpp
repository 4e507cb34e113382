// TFrmMain: start-up, navigation, help, About links, moving, minimising and closing.
#include "app/UFrmMain.h"

#include <shellapi.h>

#include <stdexcept>
#include <vector>

#include "app/CategoryCaptions.h"
#include "diskclean/DriveList.h"
#include "widgets/FlatControls.h"
#include "widgets/Messages.h"

namespace vsc {

const char* const kCategoryCaptions[15] = {
    "My Computer",     "Registry integrity", "Custom Control",      "Software Locations", "Windows Fonts",
    "Windows Help",    "Share Programs",     "Startup Programs",    "Add/Remove Programs", "Virtual Devices",
    "Configuration Files", "Device Drivers", "Sound Appevents",     "Invalid Files Path", "Invalid Shortcuts"};

// The project has no web site or mail service of its own: the About page's links point to the
// reserved example domain, which stands for the project's addresses.
const char* const kHomePageAddress = "http://www.vsyscleaner.example.org/";
const char* const kSupportMailAddress = "support@vsyscleaner.example.org";
const char* const kInfoMailAddress = "info@vsyscleaner.example.org";

namespace {

std::function<void(const std::string&)>& HelpOpener() {
    static std::function<void(const std::string&)> opener;
    return opener;
}

void OpenThroughShell(HWND window, const std::string& target) {
    ShellExecuteA(window, "open", target.c_str(), "", "", SW_SHOWNORMAL);
}

}  // namespace

std::string ExecutableFolder() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) {
            std::string path(buffer.data(), length);
            const size_t slash = path.find_last_of("\\/");
            return slash == std::string::npos ? std::string() : path.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

TFrmMain::~TFrmMain() {
    // The worker is joined by its own destructor; the window goes first, so that nothing can
    // deliver a message to a half-destroyed object.
    Destroy();
}

void TFrmMain::SetHelpOpener(std::function<void(const std::string& path)> opener) { HelpOpener() = std::move(opener); }

void TFrmMain::CreateMainWindow() {
    CreateParams params;
    params.Caption = kAppTitle;
    params.Style = WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU;
    params.ExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
    params.ClientWidth = 577;
    params.ClientHeight = 399;
    params.Background = colors::kPageBack;
    Create(params);
}

// ---- Start-up ----

void TFrmMain::FormCreate() {
    try {
        RegScanIdle = true;
        FileScanIdle = true;
        IniFileName = ExecutableFolder() + "\\Config.Ini";
        ShowPage(pgRegSelect);
        SetTreeNodeState(treRegistry, CategoryNodes[0], tcsTicked);
        ListedDrives = ListLocalDrives();
        HIMAGELIST systemIcons = SystemSmallIcons();
        SendMessageA(lstPathSelect, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(systemIcons));
        SendMessageA(lstJunkFile, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(systemIcons));
        AddShortcutDriveNodes();
        SetSubtreeState(CategoryNodes[0], tcsTicked);
        // Under Wine a drive whose root is the Unix root folder is the whole machine: it starts
        // unticked (node and row), so that a first scan does not walk everything.
        bool anyUnticked = false;
        for (size_t i = 0; i < ListedDrives.size(); ++i) {
            if (TickedByDefault(ListedDrives[i])) continue;
            SetTreeNodeState(treRegistry, TreeNodeAt(treRegistry, 15 + static_cast<int>(i)), tcsUnticked);
            SetListCheckState(lstPathSelect, static_cast<int>(i), 0);
            anyUnticked = true;
        }
        if (anyUnticked) {
            HTREEITEM shortcuts = CategoryNodes[kCategoryCount];
            SetTreeNodeState(treRegistry, shortcuts, SummaryStateOfChildren(treRegistry, shortcuts));
            SetTreeNodeState(treRegistry, CategoryNodes[0], SummaryStateOfChildren(treRegistry, CategoryNodes[0]));
        }
        for (int i = 0, n = TreeNodeCount(treRegistry); i < n; ++i) {
            SendMessageA(treRegistry, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(TreeNodeAt(treRegistry, i)));
        }
        SendMessageA(treRegistry, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(CategoryNodes[0]));
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
    btnLeft1Click();
}

// ---- Navigation ----

void TFrmMain::btnLeft1Click() {
    HighlightNavButton(btnLeft1);
    ShowPage(pgRegSelect);
}

void TFrmMain::btnLeft2Click() {
    HighlightNavButton(btnLeft2);
    ShowPage(pgDiskClean);
}

void TFrmMain::btnLeft3Click() {
    HighlightNavButton(btnLeft3);
    ShowPage(pgAbout);
}

void TFrmMain::HighlightNavButton(HWND pressed) {
    for (HWND button : {btnLeft1, btnLeft2, btnLeft3}) SetFlatColor(button, colors::kNavButton);
    SetFlatColor(pressed, colors::kPageBack);
}

void TFrmMain::EnableNavigation(bool enabled) {
    for (HWND button : {btnLeft1, btnLeft2, btnLeft3}) EnableWindow(button, enabled ? TRUE : FALSE);
}

void TFrmMain::btnBackMainClick() {
    ShowPanel(panRegScan);
    EnableNavigation(true);
    ShowPage(pgRegSelect);
}

void TFrmMain::ShowPage(int index) { pagMain.SetActivePage(index); }

void TFrmMain::ShowPanel(HWND panel) {
    ShowWindow(panel, SW_SHOW);
    for (HWND other : {panRegScan, fltRegDelet, panFileDel}) {
        if (other != panel) ShowWindow(other, SW_HIDE);
    }
}

void TFrmMain::SetSubtreeState(HTREEITEM node, int state) { vsc::SetSubtreeState(treRegistry, node, state); }

void TFrmMain::lstPathSelectMouseDown(const ControlMouseEvent& event) {
    ToggleCheckBoxAt(event.Control, event.Button, event.Pos);
}

void TFrmMain::lstPathSelectKeyDown(WORD key) {
    if (key != VK_SPACE) return;
    const int row = static_cast<int>(SendMessageA(lstPathSelect, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (row >= 0) SetListCheckState(lstPathSelect, row, ListCheckState(lstPathSelect, row) == 1 ? 0 : 1);
}

// ---- Help ----

void TFrmMain::btnHelpClick() { OpenHelpFile(); }

bool TFrmMain::FormKeyDown(WPARAM key) {
    if (key != VK_F1) return false;
    OpenHelpFile();
    return true;
}

void TFrmMain::OpenHelpFile() {
    const std::string path = ExecutableFolder() + "\\VSysCleaner.chm";
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    if (HelpOpener()) {
        auto opener = HelpOpener();
        opener(path);
        return;
    }
    ShellExecuteA(Handle(), nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// ---- Title strip ----

void TFrmMain::Image1MouseDown(const ControlMouseEvent&) { StartWindowMove(Handle()); }
void TFrmMain::SpeedButton1Click() { ShowWindow(Handle(), SW_MINIMIZE); }
void TFrmMain::imgMinClick() { ShowWindow(Handle(), SW_MINIMIZE); }
void TFrmMain::SpeedButton2Click() { Close(); }
void TFrmMain::imgCloseClick() { Close(); }

// ---- About links ----

void TFrmMain::Label29Click() { OpenThroughShell(Handle(), kHomePageAddress); }
void TFrmMain::Label30Click() { OpenThroughShell(Handle(), std::string("mailto:") + kSupportMailAddress); }
void TFrmMain::Label31Click() { OpenThroughShell(Handle(), std::string("mailto:") + kInfoMailAddress); }

// ---- Scan progress ----

// The timer remembers what it showed and sets only the labels whose text changed: asking sixteen
// labels for their texts ten times a second cost the user-interface thread several milliseconds a
// tick under Wine, calls into the system that the worker's registry calls then waited behind.
void TFrmMain::tmrScanProgressTimer() {
    if (!ScanWorker || RegScanIdle || !RegScanActive) return;
    const ScanProgress progress = ScanWorker->Progress();
    ScanPageTexts.Set(labRootKey, progress.RootKeyText);
    ScanPageTexts.Set(labRegKey, progress.RegKeyText);
    for (int k = 1; k <= kCategoryCount; ++k) {
        ScanPageTexts.Set(ScanCaption[static_cast<size_t>(k)], std::to_string(progress.Counts[static_cast<size_t>(k)]));
    }
    ScanPageTexts.Set(labTtoalError, std::to_string(progress.Total));
}

// ---- Closing ----
//
// How closing works. The close query never refuses: it sets Closing (late end messages of a
// worker are then ignored), asks a running registry worker to stop and gives it 100 ms, and asks a
// running disk search to stop and gives it 100 ms. The window is then destroyed, which ends the
// message loop. A registry worker that is still running at that point never touches the window
// (it only publishes progress and posts its end message, which nobody reads any more) and keeps
// its result lists alive through its shared pointer; WinMain ends the process at once when
// WorkerStillRunning() says so, so no exit handler runs under a live worker thread.

bool TFrmMain::FormCloseQuery() {
    Closing = true;
    if (!RegScanIdle && ScanWorker) {
        ScanWorker->RequestStop();
        ScanWorker->WaitFor(100);
    }
    if (!FileScanIdle) {
        StopFileScan();
        Sleep(100);
    }
    return true;
}

bool TFrmMain::WorkerStillRunning() const {
    if (ScanWorker && !ScanWorker->WaitFor(0)) return true;
    for (const auto& retired : RetiredWorkers) {
        if (!retired->WaitFor(0)) return true;
    }
    return false;
}

bool TFrmMain::OnCloseQuery() { return FormCloseQuery(); }

void TFrmMain::OnDestroy() {
    KillTimer(kScanProgressTimer);
    if (QuitOnDestroy) PostQuitMessage(0);
}

bool TFrmMain::OnKeyDown(WPARAM key) { return FormKeyDown(key); }

LRESULT TFrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kScanDoneMessage) {
        ScanFinished(static_cast<unsigned>(wParam));
        return 0;
    }
    return TWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace vsc
