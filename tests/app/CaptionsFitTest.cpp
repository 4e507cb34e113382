// Every caption the user can see, on every page and panel of the main window and in every dialog,
// fits its control when measured with the control's own font: no clipped words, no squeezed
// letters. Also leaves pictures of the dialogs in the build folder (build/dialog-*.bmp).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Pictures.h"
#include "app/UFrmMain.h"
#include "diskclean/UFrmAddFilter.h"
#include "diskclean/UFrmFileClearExp.h"
#include "repair/UfrmRestore.h"
#include "support/OutsideReader.h"
#include "support/TestSupport.h"
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
    for (const auto& c : OutsideReader(window).Controls(window)) {
        if (!c.Visible) continue;
        auto font = reinterpret_cast<HFONT>(SendMessageA(c.Handle, WM_GETFONT, 0, 0));
        RECT client{};
        GetClientRect(c.Handle, &client);
        if (c.Class == "Button" && !c.Text.empty()) {
            if (ButtonGlyphOf(c.Handle) != ButtonGlyph::None) continue;  // drawn as a picture
            const LONG_PTR type = GetWindowLongPtrA(c.Handle, GWL_STYLE) & BS_TYPEMASK;
            const int frame = type == BS_GROUPBOX ? 16 : (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON) ? 18 : 6;
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
                report(headers[i] + " (column)", TextWidth(header, headerFont, headers[i]) + 12, width);
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

}  // namespace

TEST(CaptionsFit, OnEveryPageAndPanelOfTheMainWindow) {
    TFrmMain form;
    form.QuitOnDestroy = false;
    form.CreateMainWindow();
    form.Show();
    std::vector<std::string> misfits;
    const char* const pages[] = {"sections", "scan progress", "drives", "about", "search progress"};
    for (int page = TFrmMain::pgRegSelect; page <= TFrmMain::pgFileScan; ++page) {
        form.ShowPanel(form.Ui().panRegScan);
        form.ShowPage(page);
        for (const auto& m : Misfits(form.Handle(), pages[page])) misfits.push_back(m);
    }
    form.ShowPanel(form.Ui().fltRegDelet);
    for (const auto& m : Misfits(form.Handle(), "registry results")) misfits.push_back(m);
    form.ShowPanel(form.Ui().panFileDel);
    for (const auto& m : Misfits(form.Handle(), "file results")) misfits.push_back(m);
    EXPECT_TRUE(misfits.empty()) << Joined(misfits);
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
    TDialog::SetShownHook([&](TDialog& dialog) {
        if (auto* options = dynamic_cast<TFrmFileClearExp*>(&dialog)) {
            look(dialog, "options");
            SendMessageA(options->btnAdd, BM_CLICK, 0, 0);  // the add-filter dialog, over the options
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
    TFrmFileClearExp options(ExecutableFolder() + "\\Config.Ini");
    options.ShowModal(owner.Handle());
    TDialog::SetShownHook(nullptr);
    EXPECT_TRUE(misfits.empty()) << Joined(misfits);
}
