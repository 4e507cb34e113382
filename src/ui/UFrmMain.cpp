// TFrmMain, the shell: start-up, navigation, help, About links, moving, minimising and closing.
#include "ui/UFrmMain.h"

#include <shellapi.h>

#include <stdexcept>
#include <vector>

#include "ui/CategoryCaptions.h"
#include "ui/DriveList.h"
#include "widgets/FlatControls.h"
#include "widgets/Messages.h"

namespace vsc {

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

TFrmMain::TFrmMain() : registry_(*this, *this), disk_(*this, *this) {}

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
        ShowPage(pgRegSelect);
        listedDrives_ = ListLocalDrives();
        // Under Wine a drive whose root is the Unix root folder is the whole machine: it starts
        // unticked (node and row), so that a first scan does not walk everything.
        const std::string ticked = DefaultTickedDrives(listedDrives_);
        registry_.Start(listedDrives_, ticked);
        disk_.Start(listedDrives_, ticked, SystemSmallIcons());
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
    btnLeft1Click();
    // A keyboard user starts on the sections to scan.
    FocusControl(registry_.Ui().treRegistry);
}

// ---- Navigation ----

void TFrmMain::btnLeft1Click() {
    HighlightNavButton(ui_.btnLeft1);
    ShowPage(pgRegSelect);
}

void TFrmMain::btnLeft2Click() {
    HighlightNavButton(ui_.btnLeft2);
    ShowPage(pgDiskClean);
}

void TFrmMain::btnLeft3Click() {
    HighlightNavButton(ui_.btnLeft3);
    ShowPage(pgAbout);
}

void TFrmMain::HighlightNavButton(HWND pressed) {
    for (HWND button : {ui_.btnLeft1, ui_.btnLeft2, ui_.btnLeft3}) SetFlatColor(button, colors::kNavButton);
    SetFlatColor(pressed, colors::kPageBack);
}

void TFrmMain::EnableNavigation(bool enabled) {
    for (HWND button : {ui_.btnLeft1, ui_.btnLeft2, ui_.btnLeft3}) EnableWindow(button, enabled ? TRUE : FALSE);
}

void TFrmMain::ShowPage(int index) { pagMain.SetActivePage(index); }

void TFrmMain::ShowPanel(HWND panel) {
    ShowWindow(panel, SW_SHOW);
    for (HWND other : {ui_.panRegScan, ui_.fltRegDelet, ui_.panFileDel}) {
        if (other == panel) continue;
        HandFocusOver(other, panel);
        ShowWindow(other, SW_HIDE);
    }
}

void TFrmMain::ShowPanel(ShellPanel panel) {
    switch (panel) {
    case ShellPanel::Main: ShowPanel(ui_.panRegScan); break;
    case ShellPanel::RegistryResults: ShowPanel(ui_.fltRegDelet); break;
    case ShellPanel::FileResults: ShowPanel(ui_.panFileDel); break;
    }
}

bool TFrmMain::AskYesNo(const std::string& question) { return vsc::AskYesNo(question); }
void TFrmMain::ShowInfo(const std::string& text) { vsc::ShowInfo(text); }
void TFrmMain::ShowError(const std::string& text) { vsc::ShowError(text); }

// ---- Help ----

void TFrmMain::btnHelpClick() { OpenHelpFile(); }

bool TFrmMain::FormKeyDown(WPARAM key) {
    if (key != VK_F1) return false;
    OpenHelpFile();
    return true;
}

void TFrmMain::OpenHelpFile() {
    const std::string path = HelpFileName();
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
    closing_ = true;
    registry_.StopForClose();
    disk_.StopForClose();
    return true;
}

bool TFrmMain::WorkerStillRunning() const { return registry_.WorkerStillRunning(); }

bool TFrmMain::OnCloseQuery() { return FormCloseQuery(); }

void TFrmMain::OnDestroy() {
    KillTimer(TRegistryCleanPage::kScanProgressTimer);
    if (QuitOnDestroy) PostQuitMessage(0);
}

bool TFrmMain::OnKeyDown(WPARAM key) { return FormKeyDown(key); }

LRESULT TFrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kScanDoneMessage) {
        registry_.ScanFinished(static_cast<unsigned>(wParam));
        return 0;
    }
    return TWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace vsc
