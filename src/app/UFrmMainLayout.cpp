// The shell's controls: the title strip, the frame, the three panels, the navigation column, the
// pages and the About page, created, placed and wired to their handlers; the workflow pages then
// build their own controls on the pages and panels they are given. Geometry is in client pixels of
// the 577-by-399 window (widgets/PageLayout.h).
#include <windows.h>
#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "app/AppImages.h"
#include "app/CategoryCaptions.h"
#include "app/UFrmMain.h"
#include "VscVersion.h"
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
                       [](HDC dc, const RECT& rect) { FillRect(dc, &rect, SolidBrushFor(colors::kFrame)); });
}

}  // namespace

void TFrmMain::OnCreate() {
    checkImages_.reset(CreateCheckStateImages());
    listCheckImages_.reset(CreateListCheckImages());
    categoryImages_.reset(CreateCategoryImages());
    resultImages_.reset(CreateResultImages());
    CreateTitleAndFrame();
    CreateMainPanel();
    ShowPanel(panRegScan);
    FormCreate();
}

void TFrmMain::CreateTitleAndFrame() {
    HWND self = Handle();
    Image1 = CreateImage(self, 0, 0, kClientWidth, 20, PaintTitleStrip);
    // Two labels at the same place draw the title.
    LabelStyle title;
    title.Text = colors::kTitleText;
    title.Font = BoldFont();
    title.Notify = true;
    Label38 = CreateLabel(Image1, "Vemo System Cleaner", 8, 3, 300, 15, title);
    Label1 = CreateLabel(Image1, "Vemo System Cleaner", 8, 3, 300, 15, title);
    imgMin = CreateImage(Image1, 538, 2, 17, 16, nullptr);
    imgClose = CreateImage(Image1, 557, 2, 17, 16, nullptr);
    SpeedButton1 = CreateFlatButton(Image1, "Minimize", 538, 2, 17, 16, colors::kTitleStripEnd);
    SpeedButton2 = CreateFlatButton(Image1, "Close", 557, 2, 17, 16, colors::kTitleStripEnd);
    SetButtonGlyph(SpeedButton1, ButtonGlyph::Minimize);
    SetButtonGlyph(SpeedButton2, ButtonGlyph::Close);
    SetFlatTextColor(SpeedButton1, RGB(255, 255, 255));
    SetFlatTextColor(SpeedButton2, RGB(255, 255, 255));
    // The buttons are not tab stops: the title strip is for the mouse; the keyboard closes with
    // Alt+F4 and minimises through the taskbar.
    for (HWND b : {SpeedButton1, SpeedButton2}) {
        SetWindowLongPtrA(b, GWL_STYLE, GetWindowLongPtrA(b, GWL_STYLE) & ~WS_TABSTOP);
    }
    SendToBack(imgMin);
    SendToBack(imgClose);
    for (HWND part : {Image1, Label1, Label38}) {
        OnMouse(part, [this](const ControlMouseEvent& e) {
            if (e.Down) Image1MouseDown(e);
        });
    }
    OnClick(SpeedButton1, [this] { SpeedButton1Click(); });
    OnClick(SpeedButton2, [this] { SpeedButton2Click(); });
    OnClick(imgMin, [this] { imgMinClick(); });
    OnClick(imgClose, [this] { imgCloseClick(); });

    Image2 = FramePiece(self, 0, 20, 1, 379);
    Image4 = FramePiece(self, 576, 20, 1, 379);
    Image3 = FramePiece(self, 0, 398, kClientWidth, 1);

    panRegScan = CreatePanel(self, 1, 20, kPanelWidth, kPanelHeight, colors::kPageBack);
    fltRegDelet = CreatePanel(self, 1, 20, kPanelWidth, kPanelHeight, colors::kPageBack);
    panFileDel = CreatePanel(self, 1, 20, kPanelWidth, kPanelHeight, colors::kPageBack);
}

void TFrmMain::CreateMainPanel() {
    pagMain.Create(panRegScan, kPageLeft, 0, kPageWidth, kPanelHeight, colors::kPageBack);
    Panel2 = CreatePanel(panRegScan, 0, 0, kNavWidth, kPanelHeight, colors::kNavColumn);
    Image6 = CreateImage(Panel2, 0, 0, kNavWidth, 48, PaintLogo);
    btnLeft1 = CreateFlatButton(panRegScan, "Registy Clean", 0, 61, 134, 33, colors::kNavButton);
    btnLeft2 = CreateFlatButton(panRegScan, "Disk Clean", 0, 93, 134, 33, colors::kNavButton);
    btnLeft3 = CreateFlatButton(panRegScan, "About", 0, 125, 134, 33, colors::kNavButton);
    // The navigation buttons reach 3 pixels into the page, so the highlighted one joins it.
    SendToBack(Panel2);
    SendToBack(pagMain.Handle());
    OnClick(btnLeft1, [this] { btnLeft1Click(); });
    OnClick(btnLeft2, [this] { btnLeft2Click(); });
    OnClick(btnLeft3, [this] { btnLeft3Click(); });

    tabRegSelect = pagMain.AddPage();
    tabScanShow = pagMain.AddPage();
    tabDiskClean = pagMain.AddPage();
    tabAbout = pagMain.AddPage();
    tabFileScan = pagMain.AddPage();
    TRegistryCleanPage::Images images;
    images.TreeChecks = checkImages_.get();
    images.ListChecks = listCheckImages_.get();
    images.Categories = categoryImages_.get();
    images.Results = resultImages_.get();
    registry_.CreateControls(tabRegSelect, tabScanShow, fltRegDelet, images);
    disk_.CreateControls(tabDiskClean, tabFileScan, panFileDel, listCheckImages_.get());
    CreateAboutPage();
}

void TFrmMain::CreateAboutPage() {
    HWND page = tabAbout;
    Image7 = CreateImage(page, 24, 24, 180, 48, PaintLogo);
    LabelStyle title;
    title.Font = TitleFont();
    title.Text = RGB(22, 64, 140);
    CreateLabel(page, "Vemo System Cleaner", 24, 88, 380, 28, title);
    BoldText(page, "Current Version: " VSC_VERSION, 24, 124, 380);
    Text(page, "Developed by the Vemo System Cleaner project", 24, 150, 380);
    Text(page, "Copyright (C) the Vemo System Cleaner project. All rights reserved.", 24, 170, 400);
    Text(page, "Home Page:  ", 24, 206, 100);
    Label29 = CreateLinkLabel(page, kHomePageAddress, 124, 206, 280, 15);
    Text(page, "Support E-Mail:  ", 24, 226, 100);
    Label30 = CreateLinkLabel(page, kSupportMailAddress, 124, 226, 280, 15);
    Label31 = CreateLinkLabel(page, kInfoMailAddress, 124, 246, 280, 15);
    OnClick(Label29, [this] { Label29Click(); });
    OnClick(Label30, [this] { Label30Click(); });
    OnClick(Label31, [this] { Label31Click(); });
}

}  // namespace vsc
