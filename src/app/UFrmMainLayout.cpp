// The controls of the main window: created, placed and wired to their handlers. Geometry is in
// design pixels of the 577-by-399 window (96 DPI), which the controls scale to the window's DPI.
#include <windows.h>
#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "app/AppImages.h"
#include "app/CategoryCaptions.h"
#include "app/UFrmMain.h"
#include "VscVersion.h"
#include "diskclean/DriveList.h"
#include "widgets/Dpi.h"
#include "widgets/FlatControls.h"

namespace vsc {

namespace {

const int kClientWidth = 577;
const int kPanelWidth = 575;
const int kPanelHeight = 378;
const int kNavWidth = 131;
const int kPageLeft = 131;
const int kPageWidth = kPanelWidth - kPageLeft;
const int kButtonColumn = 352;   // left edge of the buttons in the right-hand column of a page
const int kButtonWidth = 84;
const int kBarButtonTop = 344;   // the bottom bar of the results panels
const int kTreeIndent = 19;      // the section tree's indent (the tree's own with 16-pixel images)

// Puts a control under its siblings and keeps it from painting over them.
void SendToBack(HWND control) {
    SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND FramePiece(HWND parent, int x, int y, int width, int height) {
    return CreateImage(parent, x, y, width, height,
                       [](HDC dc, const RECT& rect) { FillRect(dc, &rect, SolidBrushFor(colors::kFrame)); });
}

HWND ColumnButton(HWND page, const char* caption, int top) {
    return CreateFlatButton(page, caption, kButtonColumn, top, kButtonWidth, 25);
}

HWND PageHeader(HWND page, const char* caption) { return CreateHeaderLabel(page, caption, 8, 8, kPageWidth - 16, 20); }

HWND Text(HWND parent, const std::string& caption, int x, int y, int width, int height = 15) {
    return CreateLabel(parent, caption, x, y, width, height);
}

HWND BoldText(HWND parent, const std::string& caption, int x, int y, int width, int height = 15) {
    LabelStyle style;
    style.Font = BoldFont();
    return CreateLabel(parent, caption, x, y, width, height, style);
}

void AddColumn(HWND list, int index, const char* caption, int width) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(caption);
    column.cx = ScaledFor(list, width);
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

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

void TFrmMain::OnCreate() {
    checkImages_.reset(CreateCheckStateImages(Dpi()));
    listCheckImages_.reset(CreateListCheckImages(Dpi()));
    categoryImages_.reset(CreateCategoryImages(Dpi()));
    resultImages_.reset(CreateResultImages(Dpi()));
    CreateTitleAndFrame();
    CreateMainPanel();
    CreateRegistryResultsPanel();
    CreateFileResultsPanel();
    ShowPanel(panRegScan);
    FormCreate();
    SetTimer(kScanProgressTimer, 100, [this] { tmrScanProgressTimer(); });
    RegistryCleanCreated();
    DiskCleanCreated();
}

void TFrmMain::OnDpiChanged(int, int newDpi) {
    UniqueImageList checks(CreateCheckStateImages(newDpi)), listChecks(CreateListCheckImages(newDpi));
    UniqueImageList categories(CreateCategoryImages(newDpi)), results(CreateResultImages(newDpi));
    SendMessageA(treRegistry, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(categories.get()));
    SendMessageA(treRegistry, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(checks.get()));
    SetTreeIndent(treRegistry, kTreeIndent);
    for (HWND list : {lstPathSelect, lstJunkReg, lstJunkFile}) {
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(listChecks.get()));
    }
    SendMessageA(lstJunkReg, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(results.get()));
    // The controls show the new lists now; the old ones go.
    checkImages_ = std::move(checks);
    listCheckImages_ = std::move(listChecks);
    categoryImages_ = std::move(categories);
    resultImages_ = std::move(results);
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
    CreateRegSelectPage();
    CreateScanShowPage();
    CreateDiskCleanPage();
    CreateAboutPage();
    CreateFileScanPage();
}

HWND TFrmMain::CreateListView(HWND parent, int x, int y, int width, int height, DWORD extraStyle) {
    HWND list = CreateScaledChild(0, WC_LISTVIEWA, "",
                                  WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_NOSORTHEADER |
                                      LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_SINGLESEL | extraStyle,
                                  parent, x, y, width, height);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(listCheckImages_.get()));
    return list;
}

void TFrmMain::CreateRegSelectPage() {
    HWND page = tabRegSelect;
    PageHeader(page, " Sections to Scan");
    treRegistry = CreateScaledChild(0, WC_TREEVIEWA, "Sections to Scan",
                                    WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES |
                                        TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP,
                                    page, 8, 36, 338, 334);
    SendMessageA(treRegistry, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(categoryImages_.get()));
    SendMessageA(treRegistry, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(checkImages_.get()));
    SetTreeIndent(treRegistry, kTreeIndent);
    CategoryNodes[0] = AddNode(treRegistry, nullptr, kCategoryCaptions[0], 0);
    for (int k = 1; k <= kCategoryCount; ++k) {
        CategoryNodes[k] = AddNode(treRegistry, CategoryNodes[0], kCategoryCaptions[k], k);
    }
    OnMouse(treRegistry, [this](const ControlMouseEvent& e) {
        if (!e.Down) treRegistryMouseUp(e);
    });

    btnRegistryScan = ColumnButton(page, "Scan", 40);
    FlatButton1 = ColumnButton(page, "Restore", 216);
    btnHelp = ColumnButton(page, "Help", 256);
    OnClick(btnRegistryScan, [this] { btnRegistryScanClick(); });
    OnClick(FlatButton1, [this] { FlatButton1Click(); });
    OnClick(btnHelp, [this] { btnHelpClick(); });
}

void TFrmMain::CreateScanShowPage() {
    HWND page = tabScanShow;
    PageHeader(page, " Perform Scanning ..");
    labRootKey = BoldText(page, "", 8, 34, 338);
    LabelStyle wrap;
    wrap.WordWrap = true;
    labRegKey = CreateLabel(page, "", 8, 52, 338, 30, wrap);
    for (int k = 1; k <= kCategoryCount; ++k) {
        const int column = (k - 1) / 7;
        const int row = (k - 1) % 7;
        // Each caption is as wide as the longest of its column ("Add/Remove Programs:" in the second).
        const int x = column == 0 ? 8 : 166;
        const int captionWidth = column == 0 ? 116 : 142;
        const int y = 92 + row * 20;
        Text(page, std::string(kCategoryCaptions[k]) + ":", x, y, captionWidth);
        ScanCaption[static_cast<size_t>(k)] = BoldText(page, "0", x + captionWidth + 2, y, 36);
    }
    labTtoalError = BoldText(page, "0", 8, 246, 44);
    Text(page, "Problem(s) Found", 54, 246, 200);

    btnPause = ColumnButton(page, "Pause", 40);
    btnScanStop = ColumnButton(page, "Stop", 72);
    FlatButton5 = ColumnButton(page, "Help", 256);
    OnClick(btnPause, [this] { btnPauseClick(); });
    OnClick(btnScanStop, [this] { btnScanStopClick(); });
    OnClick(FlatButton5, [this] { btnHelpClick(); });
}

void TFrmMain::CreateDiskCleanPage() {
    HWND page = tabDiskClean;
    PageHeader(page, " Sections to Scan");
    lstPathSelect = CreateListView(page, 8, 36, 340, 334, 0);
    AddDriveListColumns(lstPathSelect);
    OnMouse(lstPathSelect, [this](const ControlMouseEvent& e) {
        if (e.Down) lstPathSelectMouseDown(e);
    });
    OnNotify(lstPathSelect, LVN_KEYDOWN, [this](NMHDR* header) {
        lstPathSelectKeyDown(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey);
        return LRESULT{0};
    });
    btnFileScan = ColumnButton(page, "Scan", 40);
    FlatButton3 = ColumnButton(page, "Option", 216);
    FlatButton9 = ColumnButton(page, "Help", 256);
    OnClick(btnFileScan, [this] { btnFileScanClick(); });
    OnClick(FlatButton3, [this] { FlatButton3Click(); });
    OnClick(FlatButton9, [this] { btnHelpClick(); });
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

void TFrmMain::CreateFileScanPage() {
    HWND page = tabFileScan;
    PageHeader(page, " Perform Scanning ..");
    LabelStyle wrap;
    wrap.WordWrap = true;
    labScanPath = CreateLabel(page, "", 8, 34, 338, 30, wrap);
    Text(page, "Total Size:", 8, 84, 80);
    labFileSizeCount = BoldText(page, "0 Kb", 92, 84, 200);
    const char* const counters[4] = {"0 (All)", "0 (Hide)", "0 (Read)", "0 (System)"};
    HWND* labels[4] = {&labFileCount, &labHideFileCount, &labReadFileCount, &labSystemFileCount};
    for (int i = 0; i < 4; ++i) {
        Text(page, "Total FIles:", 8, 106 + i * 20, 80);
        *labels[i] = BoldText(page, counters[i], 92, 106 + i * 20, 200);
    }
    FlatButton7 = ColumnButton(page, "Stop", 40);
    FlatButton8 = ColumnButton(page, "Help", 256);
    OnClick(FlatButton7, [this] { FlatButton7Click(); });
    OnClick(FlatButton8, [this] { btnHelpClick(); });
}

void TFrmMain::CreateRegistryResultsPanel() {
    HWND panel = fltRegDelet;
    labRegRepair = CreateHeaderLabel(panel, " Registry Repair", 8, 8, kPanelWidth - 16, 20);
    lstJunkReg = CreateListView(panel, 8, 34, kPanelWidth - 16, 300, LVS_OWNERDATA);  // rows: JunkRegList
    AddColumn(lstJunkReg, 0, "Registry Path", 270);
    AddColumn(lstJunkReg, 1, "Invalid Value", 265);
    SendMessageA(lstJunkReg, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(resultImages_.get()));
    // Legend.
    auto square = [](COLORREF color) {
        return [color](HDC dc, const RECT& rect) { FillRect(dc, &rect, SolidBrushFor(color)); };
    };
    CreateImage(panel, 8, 342, 10, 10, square(RGB(30, 90, 230)));
    Text(panel, "Sate to delete", 22, 340, 210);
    CreateImage(panel, 8, 360, 10, 10, square(RGB(255, 140, 0)));
    Text(panel, "No fully sate to delete", 22, 358, 210);

    btnCheck = CreateFlatButton(panel, "Check All", 244, kBarButtonTop, 73, 25);
    btnUnCheck = CreateFlatButton(panel, "Uncheck All", 324, kBarButtonTop, 73, 25);
    btnDeleteItems = CreateFlatButton(panel, "Repair", 404, kBarButtonTop, 73, 25);
    btnBackMain = CreateFlatButton(panel, "Menu", 484, kBarButtonTop, 73, 25);
    OnClick(btnCheck, [this] { btnCheckClick(); });
    OnClick(btnUnCheck, [this] { btnUnCheckClick(); });
    OnClick(btnDeleteItems, [this] { btnDeleteItemsClick(); });
    OnClick(btnBackMain, [this] { btnBackMainClick(); });
}

void TFrmMain::CreateFileResultsPanel() {
    HWND panel = panFileDel;
    labFileClean = CreateHeaderLabel(panel, " Files Clean", 8, 8, kPanelWidth - 16, 20);
    lstJunkFile = CreateListView(panel, 8, 34, kPanelWidth - 16, 300, LVS_OWNERDATA);
    AddColumn(lstJunkFile, 0, "Filename", 120);
    // "Attribute" needs 62 pixels at the window's font; the room comes from "Location", whose long
    // paths are cut anyway.
    AddColumn(lstJunkFile, 1, "Location", 183);
    AddColumn(lstJunkFile, 2, "Size(Bytes)", 85);
    AddColumn(lstJunkFile, 3, "Time", 70);
    AddColumn(lstJunkFile, 4, "Attribute", 62);
    // The rows' check boxes come from the model too.
    SendMessageA(lstJunkFile, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    OnNotify(lstJunkFile, LVN_GETDISPINFOA, [this](NMHDR* header) {
        lstJunkFileData(reinterpret_cast<NMLVDISPINFOA*>(header));
        return LRESULT{0};
    });
    OnMouse(lstJunkFile, [this](const ControlMouseEvent& e) {
        if (e.Down) lstJunkFileMouseDown(e);
    });
    OnNotify(lstJunkFile, LVN_KEYDOWN, [this](NMHDR* header) {
        lstJunkFileKeyDown(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey);
        return LRESULT{0};
    });
    // "Clean Selected" needs a wider button than its neighbours; the buttons left of it move over,
    // and the progress bar gives up the room.
    prbFileDelele = CreateProgressBar(panel, 8, kBarButtonTop + 4, 211, 17);
    ShowWindow(prbFileDelele, SW_HIDE);

    btnCheckAllFile = CreateFlatButton(panel, "Check All", 227, kBarButtonTop, 73, 25);
    btnUnCheckAllFile = CreateFlatButton(panel, "Uncheck All", 307, kBarButtonTop, 73, 25);
    btnDelFile = CreateFlatButton(panel, "Clean Selected", 387, kBarButtonTop, 90, 25);
    backMain = CreateFlatButton(panel, "Menu", 484, kBarButtonTop, 73, 25);
    OnClick(btnCheckAllFile, [this] { btnCheckAllFileClick(); });
    OnClick(btnUnCheckAllFile, [this] { btnUnCheckAllFileClick(); });
    OnClick(btnDelFile, [this] { btnDelFileClick(); });
    OnClick(backMain, [this] { backMainClick(); });
}

void TFrmMain::AddShortcutDriveNodes() {
    for (char letter : ListedDrives) {
        AddNode(treRegistry, CategoryNodes[kCategoryCount], ShortcutNodeCaption(letter), kCategoryCount);
        AddDriveRow(lstPathSelect, letter, true);
    }
}

}  // namespace vsc
