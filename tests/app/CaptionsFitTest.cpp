// Every caption the user can see, on every page and panel of the main window and in every dialog,
// fits its control when measured with the control's own font: no clipped words, no squeezed
// letters. Runs at every DPI the tests are run at (scripts/test: 96, 120, 144 and 192), and after
// the window has moved to a display of another DPI. Also leaves pictures of the dialogs in the build
// folder (build/dialog-*.bmp).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/Pictures.h"
#include "platform/Files.h"
#include "support/OutsideReader.h"
#include "support/TestSupport.h"
#include "ui/UFrmAddFilter.h"
#include "ui/UFrmFileClearExp.h"
#include "ui/UFrmIgnoreList.h"
#include "ui/UFrmMain.h"
#include "ui/UfrmRestore.h"
#include "widgets/Dpi.h"
#include "widgets/FlatControls.h"
#include "widgets/Window.h"

using namespace vsc;
using namespace vsc::test;

namespace {

// The width a single line of text takes in a font.
int TextWidth(HWND control, HFONT font, const std::string& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return extent.cx;
}

// The captions of the visible controls of a window that do not fit, as "where: caption (needs N,
// has M)".
std::vector<std::string> Misfits(HWND window, const std::string& where) {
    std::vector<std::string> misfits;
    auto report = [&](const std::string& text, int need, int room) {
        if (need > room) {
            misfits.push_back(where + ": \"" + text + "\" needs " + std::to_string(need) + ", has " + std::to_string(room));
        }
    };
    const auto px = [window](int design) { return ScaledFor(window, design); };
    for (const auto& c : OutsideReader(window).Controls(window)) {
        if (!c.Visible) continue;
        auto font = reinterpret_cast<HFONT>(SendMessageA(c.Handle, WM_GETFONT, 0, 0));
        RECT client{};
        GetClientRect(c.Handle, &client);
        if (c.Class == "Button" && !c.Text.empty()) {
            if (ButtonGlyphOf(c.Handle) != ButtonGlyph::None) continue;  // drawn as a picture
            const LONG_PTR type = GetWindowLongPtrA(c.Handle, GWL_STYLE) & BS_TYPEMASK;
            const int frame = px(type == BS_GROUPBOX ? 16 : (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON) ? 18 : 6);
            report(c.Text, TextWidth(c.Handle, font, c.Text), client.right - frame);
        } else if (c.Class == "Static" && !c.Text.empty()) {
            // Measured as the label draws it: wrapped where the label is tall enough for more lines.
            HDC dc = GetDC(c.Handle);
            HGDIOBJ old = SelectObject(dc, font);
            RECT need{0, 0, client.right, 0};
            DrawTextA(dc, c.Text.c_str(), static_cast<int>(c.Text.size()), &need,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            SelectObject(dc, old);
            ReleaseDC(c.Handle, dc);
            report(c.Text, need.right, client.right);
            if (need.bottom > client.bottom) report(c.Text + " (height)", need.bottom, client.bottom);
        } else if (c.Class == "SysListView32") {
            HWND header = reinterpret_cast<HWND>(SendMessageA(c.Handle, LVM_GETHEADER, 0, 0));
            auto headerFont = reinterpret_cast<HFONT>(SendMessageA(header, WM_GETFONT, 0, 0));
            const auto headers = OutsideReader(window).Headers(c.Handle);
            for (size_t i = 0; i < headers.size(); ++i) {
                const int width = static_cast<int>(SendMessageA(c.Handle, LVM_GETCOLUMNWIDTH, i, 0));
                report(headers[i] + " (column)", TextWidth(header, headerFont, headers[i]) + px(12), width);
            }
        }
    }
    return misfits;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    return all;
}

// The misfits of every page and both results panels of the main window.
std::vector<std::string> MainWindowMisfits(TFrmMain& form, const std::string& when) {
    std::vector<std::string> misfits;
    const char* const pages[] = {"sections", "scan progress", "drives", "about", "search progress"};
    for (int page = TFrmMain::pgRegSelect; page <= TFrmMain::pgFileScan; ++page) {
        form.ShowPanel(form.Ui().panRegScan);
        form.ShowPage(page);
        for (const auto& m : Misfits(form.Handle(), when + pages[page])) misfits.push_back(m);
    }
    form.ShowPanel(form.Ui().fltRegDelet);
    for (const auto& m : Misfits(form.Handle(), when + "registry results")) misfits.push_back(m);
    form.ShowPanel(form.Ui().panFileDel);
    for (const auto& m : Misfits(form.Handle(), when + "file results")) misfits.push_back(m);
    form.ShowPanel(form.Ui().panRegScan);
    return misfits;
}

}  // namespace

TEST(CaptionsFit, OnEveryPageAndPanelOfTheMainWindow) {
    TFrmMain form;
    form.QuitOnDestroy = false;
    form.CreateMainWindow();
    form.Show();
    EXPECT_EQ(form.Dpi(), SystemDpi());
    const auto misfits = MainWindowMisfits(form, "");
    EXPECT_TRUE(misfits.empty()) << Joined(misfits);
    form.Destroy();
}

namespace {

// Where every control of a window lies in its parent's client area, as the outside sees it (list
// headers, which their lists place, left out).
std::map<HWND, RECT> Places(HWND window) {
    std::map<HWND, RECT> places;
    for (const auto& c : OutsideReader(window).Controls(window)) {
        if (c.Class == "SysHeader32") continue;
        RECT r{};
        GetWindowRect(c.Handle, &r);
        MapWindowPoints(nullptr, GetParent(c.Handle), reinterpret_cast<POINT*>(&r), 2);
        places[c.Handle] = r;
    }
    return places;
}

// The height in pixels of the font a control draws with (0 without one).
int FontHeight(HWND control) {
    LOGFONTA font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    return handle && GetObjectA(handle, sizeof font, &font) ? std::abs(font.lfHeight) : 0;
}

std::string Named(HWND control) { return ClassOf(control) + " \"" + TextOf(control) + "\""; }

// The first control of a class (whether shown or not), and the first list with that first header.
HWND FirstOfClass(HWND window, const std::string& cls) {
    for (const auto& c : OutsideReader(window).Controls(window))
        if (c.Class == cls) return c.Handle;
    return nullptr;
}

HWND ListHeaded(HWND window, const std::string& firstHeader) {
    OutsideReader reader(window);
    for (const auto& c : reader.Controls(window)) {
        if (c.Class != "SysListView32") continue;
        const auto headers = reader.Headers(c.Handle);
        if (!headers.empty() && headers[0] == firstHeader) return c.Handle;
    }
    return nullptr;
}

int IconSize(HIMAGELIST list) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    return cy;
}

}  // namespace

// The system moves the window to a display of another DPI (WM_DPICHANGED with the new DPI and a
// suggested rectangle): the window takes the rectangle, every control its place scaled by the
// ratio of the two DPIs, its font made for the new DPI, list columns, tree indent and pictures
// scaled alike, and every caption still fits. Moved back, every control is where it was.
TEST(CaptionsFit, AfterTheWindowMovesToADisplayOfAnotherDpi) {
    TFrmMain form;
    form.QuitOnDestroy = false;
    form.CreateMainWindow();
    form.Show();
    const int before = SystemDpi();
    const int after = before == 96 ? 144 : 96;
    const auto placesBefore = Places(form.Handle());
    std::map<HWND, int> fontsBefore;
    for (const auto& [control, place] : placesBefore) fontsBefore[control] = FontHeight(control);
    HWND tree = FirstOfClass(form.Handle(), "SysTreeView32");
    HWND files = ListHeaded(form.Handle(), "Filename");
    ASSERT_TRUE(tree && files);
    const int columnBefore = static_cast<int>(SendMessageA(files, LVM_GETCOLUMNWIDTH, 1, 0));
    const int indentBefore = static_cast<int>(SendMessageA(tree, TVM_GETINDENT, 0, 0));
    const int rowBefore = static_cast<int>(SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0));
    RECT window{};
    GetWindowRect(form.Handle(), &window);

    auto moveTo = [&](int dpi) {
        RECT suggested{window.left, window.top, window.left + ScaleToDpi(577, dpi), window.top + ScaleToDpi(399, dpi)};
        SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        PumpMessagesFor(100);
    };
    moveTo(after);
    RECT client{};
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, ScaleToDpi(577, after));
    EXPECT_EQ(client.bottom, ScaleToDpi(399, after));
    const auto placesAfter = Places(form.Handle());
    ASSERT_EQ(placesAfter.size(), placesBefore.size());
    for (const auto& [control, b] : placesBefore) {
        const RECT& a = placesAfter.at(control);
        EXPECT_NEAR(a.left, MulDiv(b.left, after, before), 1) << Named(control);
        EXPECT_NEAR(a.top, MulDiv(b.top, after, before), 1) << Named(control);
        EXPECT_NEAR(a.right - a.left, MulDiv(b.right - b.left, after, before), 1) << Named(control);
        EXPECT_NEAR(a.bottom - a.top, MulDiv(b.bottom - b.top, after, before), 1) << Named(control);
        // The same point size: the height in pixels follows the DPI.
        EXPECT_NEAR(FontHeight(control), MulDiv(fontsBefore[control], after, before), 1) << Named(control);
    }
    EXPECT_NEAR(SendMessageA(files, LVM_GETCOLUMNWIDTH, 1, 0), MulDiv(columnBefore, after, before), 1);
    EXPECT_NEAR(SendMessageA(tree, TVM_GETINDENT, 0, 0), MulDiv(indentBefore, after, before), 1);
    EXPECT_NEAR(SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0), MulDiv(rowBefore, after, before), 1);
    auto treeImages = [&](int which) {
        return reinterpret_cast<HIMAGELIST>(SendMessageA(tree, TVM_GETIMAGELIST, which, 0));
    };
    EXPECT_EQ(IconSize(treeImages(TVSIL_STATE)), ScaleToDpi(16, after));
    EXPECT_EQ(IconSize(treeImages(TVSIL_NORMAL)), ScaleToDpi(16, after));
    const auto misfits = MainWindowMisfits(form, "moved: ");
    EXPECT_TRUE(misfits.empty()) << Joined(misfits);

    moveTo(before);
    const auto placesBack = Places(form.Handle());
    ASSERT_EQ(placesBack.size(), placesBefore.size());
    for (const auto& [control, b] : placesBefore) {
        EXPECT_TRUE(EqualRect(&placesBack.at(control), &b)) << Named(control);
    }
    EXPECT_EQ(IconSize(treeImages(TVSIL_STATE)), ScaleToDpi(16, before));
    form.Destroy();
}

TEST(CaptionsFit, InEveryDialog) {
    ScratchDir dir("captions");
    dir.WriteFile("backup\\regbackup1.txt", "--------------------\r\nHKEY_CURRENT_USER\\Software\\VscTest\r\nv\r\nx\r\n7\r\n");
    std::vector<std::string> misfits;
    auto look = [&](TDialog& dialog, const std::string& name) {
        PumpMessagesFor(150);
        for (const auto& m : Misfits(dialog.Handle(), name)) misfits.push_back(m);
        SaveWindowPicture(dialog.Handle(), BuildFolder() + "\\dialog-" + name + ".bmp");
    };
    // The options work on a copy of the program's settings that also holds an ignore list.
    std::string settings;
    vsc::ReadWholeFile(ExecutableFolder() + "\\Config.Ini", settings);
    const std::string ini = dir.WriteFile("Config.Ini", settings + "\r\n[IgnoreList]\r\n"
                                          "Value=HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts|"
                                          "Courier 10,12,15\r\nKey=HKEY_CURRENT_USER\\Software\\Keep\r\n"
                                          "File=C:\\Data\\a=b;c.tmp\r\nFolder=C:\\Projects\r\nMask=*.log\r\n");
    TDialog::SetShownHook([&](TDialog& dialog) {
        if (auto* options = dynamic_cast<TFrmFileClearExp*>(&dialog)) {
            look(dialog, "options");
            SendMessageA(options->btnAdd, BM_CLICK, 0, 0);  // the add-filter dialog, over the options
            SendMessageA(options->btnIgnoreList, BM_CLICK, 0, 0);  // and the ignore list
        } else if (dynamic_cast<TFrmIgnoreList*>(&dialog)) {
            look(dialog, "ignore-list");
        } else if (dynamic_cast<TFrmAddFilter*>(&dialog)) {
            SetWindowTextA(static_cast<TFrmAddFilter&>(dialog).edtFileExpName, "*.old");
            SetWindowTextA(static_cast<TFrmAddFilter&>(dialog).edtDesc, "Old copies");
            look(dialog, "add-filter");
        } else {
            look(dialog, "restore");
        }
        dialog.EndModal(IDCANCEL);
    });
    TWindow owner;
    TWindow::CreateParams params;
    params.Caption = "Owner";
    params.Style = WS_POPUP;
    owner.Create(params);
    TfrmRestore restore(dir.File("backup"));
    restore.ShowModal(owner.Handle());
    TFrmFileClearExp options(ini);
    options.ShowModal(owner.Handle());
    TDialog::SetShownHook(nullptr);
    EXPECT_TRUE(misfits.empty()) << Joined(misfits);
}
