// The shell's controls: the title strip, the frame, the three panels, the navigation column, the
// pages and the About page, created, placed and wired to their handlers; the workflow pages then
// build their own controls on the pages and panels they are given. Geometry is in design pixels of
// the 577-by-399 window (96 DPI, widgets/PageLayout.h), which the controls scale to the window's DPI.
#include <windows.h>
#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "ui/AppImages.h"
#include "ui/CategoryCaptions.h"
#include "ui/UFrmMain.h"
#include "VscVersion.h"
#include "widgets/Dpi.h"
#include "widgets/FlatControls.h"
#include "widgets/PageLayout.h"

namespace vsc {

using namespace layout;

namespace {

// Puts a control under its siblings and keeps it from painting over them.
void SendToBack(HWND control) {
    SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND FramePiece(HWND parent, int x, int y, int width, int height) {
    return CreateImage(parent, x, y, width, height,
                       [](HDC dc, const RECT& rect) { FillRect(dc, &rect, SolidBrushFor(ShownColor(colors::kFrame))); });
}

}  // namespace

void TFrmMain::OnCreate() {
    checkImages_.reset(CreateCheckStateImages(Dpi()));
    listCheckImages_.reset(CreateListCheckImages(Dpi()));
    categoryImages_.reset(CreateCategoryImages(Dpi()));
    resultImages_.reset(CreateResultImages(Dpi()));
    CreateTitleAndFrame();
    CreateMainPanel();
    ShowPanel(ui_.panRegScan);
    FormCreate();
}

void TFrmMain::OnDpiChanged(int, int newDpi) {
    UniqueImageList checks(CreateCheckStateImages(newDpi)), listChecks(CreateListCheckImages(newDpi));
    UniqueImageList categories(CreateCategoryImages(newDpi)), results(CreateResultImages(newDpi));
    const auto& registry = registry_.Ui();
    const auto& disk = disk_.Ui();
    SendMessageA(registry.treRegistry, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(categories.get()));
    SendMessageA(registry.treRegistry, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(checks.get()));
    SetTreeIndent(registry.treRegistry, kTreeIndent);
    for (HWND list : {disk.lstPathSelect, registry.lstJunkReg, disk.lstJunkFile}) {
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(listChecks.get()));
    }
    SendMessageA(registry.lstJunkReg, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(results.get()));
    // The controls show the new lists now; the old ones go.
    checkImages_ = std::move(checks);
    listCheckImages_ = std::move(listChecks);
    categoryImages_ = std::move(categories);
    resultImages_ = std::move(results);
}

void TFrmMain::CreateTitleAndFrame() {
    HWND self = Handle();
    ui_.Image1 = CreateImage(self, 0, 0, kClientWidth, 20, PaintTitleStrip);
    // Two labels at the same place draw the title.
    LabelStyle title;
    title.Text = colors::kTitleText;
    title.Font = BoldFont();
    title.Notify = true;
    ui_.Label38 = CreateLabel(ui_.Image1, "Vemo System Cleaner", 8, 3, 300, 15, title);
    ui_.Label1 = CreateLabel(ui_.Image1, "Vemo System Cleaner", 8, 3, 300, 15, title);
    ui_.imgMin = CreateImage(ui_.Image1, 538, 2, 17, 16, nullptr);
    ui_.imgClose = CreateImage(ui_.Image1, 557, 2, 17, 16, nullptr);
    ui_.SpeedButton1 = CreateFlatButton(ui_.Image1, "Minimize", 538, 2, 17, 16, colors::kTitleStripEnd);
    ui_.SpeedButton2 = CreateFlatButton(ui_.Image1, "Close", 557, 2, 17, 16, colors::kTitleStripEnd);
    SetButtonGlyph(ui_.SpeedButton1, ButtonGlyph::Minimize);
    SetButtonGlyph(ui_.SpeedButton2, ButtonGlyph::Close);
    SetFlatTextColor(ui_.SpeedButton1, RGB(255, 255, 255));
    SetFlatTextColor(ui_.SpeedButton2, RGB(255, 255, 255));
    // The buttons are not tab stops: the title strip is for the mouse; the keyboard closes with
    // Alt+F4 and minimises through the taskbar.
    for (HWND b : {ui_.SpeedButton1, ui_.SpeedButton2}) {
        SetWindowLongPtrA(b, GWL_STYLE, GetWindowLongPtrA(b, GWL_STYLE) & ~WS_TABSTOP);
    }
    SendToBack(ui_.imgMin);
    SendToBack(ui_.imgClose);
    for (HWND part : {ui_.Image1, ui_.Label1, ui_.Label38}) {
        OnMouse(part, [this](const ControlMouseEvent& e) {
            if (e.Down) Image1MouseDown(e);
        });
    }
    OnClick(ui_.SpeedButton1, [this] { SpeedButton1Click(); });
    OnClick(ui_.SpeedButton2, [this] { SpeedButton2Click(); });
    OnClick(ui_.imgMin, [this] { imgMinClick(); });
    OnClick(ui_.imgClose, [this] { imgCloseClick(); });

    ui_.Image2 = FramePiece(self, 0, 20, 1, 379);
    ui_.Image4 = FramePiece(self, 576, 20, 1, 379);
    ui_.Image3 = FramePiece(self, 0, 398, kClientWidth, 1);

    ui_.panRegScan = CreatePanel(self, 1, 20, kPanelWidth, kPanelHeight, colors::kPageBack);
    ui_.fltRegDelet = CreatePanel(self, 1, 20, kPanelWidth, kPanelHeight, colors::kPageBack);
    ui_.panFileDel = CreatePanel(self, 1, 20, kPanelWidth, kPanelHeight, colors::kPageBack);
}

void TFrmMain::CreateMainPanel() {
    pagMain.Create(ui_.panRegScan, kPageLeft, 0, kPageWidth, kPanelHeight, colors::kPageBack);
    ui_.Panel2 = CreatePanel(ui_.panRegScan, 0, 0, kNavWidth, kPanelHeight, colors::kNavColumn);
    ui_.Image6 = CreateImage(ui_.Panel2, 0, 0, kNavWidth, 48, PaintLogo);
    ui_.btnLeft1 = CreateFlatButton(ui_.panRegScan, "Registy Clean", 0, 61, 134, 33, colors::kNavButton);
    ui_.btnLeft2 = CreateFlatButton(ui_.panRegScan, "Disk Clean", 0, 93, 134, 33, colors::kNavButton);
    ui_.btnLeft3 = CreateFlatButton(ui_.panRegScan, "About", 0, 125, 134, 33, colors::kNavButton);
    // The navigation buttons reach 3 pixels into the page, so the highlighted one joins it.
    SendToBack(ui_.Panel2);
    SendToBack(pagMain.Handle());
    OnClick(ui_.btnLeft1, [this] { btnLeft1Click(); });
    OnClick(ui_.btnLeft2, [this] { btnLeft2Click(); });
    OnClick(ui_.btnLeft3, [this] { btnLeft3Click(); });

    ui_.tabRegSelect = pagMain.AddPage();
    ui_.tabScanShow = pagMain.AddPage();
    ui_.tabDiskClean = pagMain.AddPage();
    ui_.tabAbout = pagMain.AddPage();
    ui_.tabFileScan = pagMain.AddPage();
    TRegistryCleanPage::Images images;
    images.TreeChecks = checkImages_.get();
    images.ListChecks = listCheckImages_.get();
    images.Categories = categoryImages_.get();
    images.Results = resultImages_.get();
    registry_.CreateControls(ui_.tabRegSelect, ui_.tabScanShow, ui_.fltRegDelet, images);
    disk_.CreateControls(ui_.tabDiskClean, ui_.tabFileScan, ui_.panFileDel, listCheckImages_.get());
    CreateAboutPage();
}

void TFrmMain::CreateAboutPage() {
    HWND page = ui_.tabAbout;
    ui_.Image7 = CreateImage(page, 24, 24, 180, 48, PaintLogo);
    LabelStyle title;
    title.Font = TitleFont();
    title.Text = colors::kProductTitle;
    CreateLabel(page, "Vemo System Cleaner", 24, 88, 380, 28, title);
    BoldText(page, "Current Version: " VSC_VERSION, 24, 124, 380);
    Text(page, "Developed by the Vemo System Cleaner project", 24, 150, 380);
    Text(page, "Copyright (C) the Vemo System Cleaner project. All rights reserved.", 24, 170, 400);
    Text(page, "Home Page:  ", 24, 206, 100);
    ui_.Label29 = CreateLinkLabel(page, kHomePageAddress, 124, 206, 280, 15);
    Text(page, "Support E-Mail:  ", 24, 226, 100);
    ui_.Label30 = CreateLinkLabel(page, kSupportMailAddress, 124, 226, 280, 15);
    ui_.Label31 = CreateLinkLabel(page, kInfoMailAddress, 124, 246, 280, 15);
    OnClick(ui_.Label29, [this] { Label29Click(); });
    OnClick(ui_.Label30, [this] { Label30Click(); });
    OnClick(ui_.Label31, [this] { Label31Click(); });
}

}  // namespace vsc
