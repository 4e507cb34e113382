// The flat controls keep the behaviour of the standard controls they are made of.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "support/TestSupport.h"
#include "widgets/Gdi.h"
#include "widgets/FlatControls.h"
#include "widgets/Window.h"

using namespace vsc;

namespace {

struct THost : TWindow {
    THost() {
        CreateParams params;
        params.Caption = "Flat controls test";
        params.Style = WS_POPUP | WS_CLIPCHILDREN;  // not handed to a window manager: quick to close
        params.ClientWidth = 400;
        params.ClientHeight = 300;
        Create(params);
        Show();
    }
};

}  // namespace

// GDI draws 8-bit text in the system's code page, not in the process's UTF-8: a Cyrillic caption
// drawn so would come out as twice as many Latin letters ("Ð’Ñ€..."), and wider. It is drawn as itself.
TEST(FlatControls, CaptionsBeyondTheSystemCodePageAreDrawnAsThemselves) {
    THost host;
    HWND label = CreateLabel(host.Handle(), "\xD0\x92\xD1\x80\xD0\xB5\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5", 0, 0, 300, 20);
    MemoryDC dc;
    UniqueBitmap bitmap(CreateBitmap(300, 20, 1, 32, nullptr));
    ScopedSelect selectBitmap(dc.get(), bitmap.get()), selectFont(dc.get(), DefaultFont());
    PatBlt(dc.get(), 0, 0, 300, 20, WHITENESS);
    SIZE extent{};  // of "Временные"
    GetTextExtentPoint32W(dc.get(), L"\x0412\x0440\x0435\x043C\x0435\x043D\x043D\x044B\x0435", 9, &extent);
    SendMessageA(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    int inked = 0;  // the rightmost column with dark ink
    for (int x = 0; x < 300; ++x)
        for (int y = 0; y < 20; ++y) inked = GetRValue(GetPixel(dc.get(), x, y)) < 75 ? x : inked;
    EXPECT_NEAR(inked, extent.cx, 3);
}

TEST(FlatControls, CheckBoxesAndRadioButtonsKeepTheirState) {
    THost host;
    HWND check = CreateCheckBox(host.Handle(), "Include Hide File", 10, 10, 150, 17);
    HWND radio1 = CreateRadioButton(host.Handle(), "Move Files To Recycle Bin", 10, 40, 200, 17, true);
    HWND radio2 = CreateRadioButton(host.Handle(), "Delete Files", 10, 60, 200, 17, false);
    EXPECT_FALSE(IsChecked(check));
    SendMessageA(check, BM_CLICK, 0, 0);
    EXPECT_TRUE(IsChecked(check));
    SendMessageA(check, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsChecked(check));

    SetChecked(radio1, true);
    SendMessageA(radio2, BM_CLICK, 0, 0);
    EXPECT_TRUE(IsChecked(radio2));
    EXPECT_FALSE(IsChecked(radio1));
    // Still standard controls, so assistive technology reads their kind and caption.
    EXPECT_EQ(SendMessageA(check, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON, DLGC_BUTTON);
    EXPECT_EQ(ControlText(radio2), "Delete Files");
    test::PumpMessagesFor(20);  // paints without failing
}

TEST(FlatControls, TextColourAndProgressRoundTrip) {
    THost host;
    HWND edit = CreateEditBox(host.Handle(), "*.tmp", 10, 10, 100, 20);
    HWND label = CreateLabel(host.Handle(), "Total FIles:", 10, 40, 100, 15);
    HWND button = CreateFlatButton(host.Handle(), "Scan", 10, 60, 73, 25, colors::kNavButton);
    HWND bar = CreateProgressBar(host.Handle(), 10, 100, 200, 16);
    EXPECT_EQ(ControlText(edit), "*.tmp");
    SetControlText(label, "0 (All)");
    EXPECT_EQ(ControlText(label), "0 (All)");
    EXPECT_EQ(FlatColor(button), colors::kNavButton);
    SetFlatColor(button, colors::kPageBack);
    EXPECT_EQ(FlatColor(button), colors::kPageBack);
    EXPECT_EQ(FlatColor(edit), colors::kButtonFace);  // made here, but no face of its own
    EXPECT_EQ(FlatColor(host.Handle()), CLR_INVALID);

    SetProgressRange(bar, 0, 20);
    SetProgressPosition(bar, 5);
    EXPECT_EQ(ProgressPosition(bar), 5);
    EXPECT_EQ(ProgressMaximum(bar), 20);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    EXPECT_EQ(ProgressPosition(bar), 6);
    test::PumpMessagesFor(20);
}

TEST(FlatControls, ControlIdsDiffer) {
    const int a = NextControlId();
    const int b = NextControlId();
    EXPECT_NE(a, b);
}
