// The window base class: dispatch to wired handlers, exceptions kept inside the window procedure,
// key preview, keyboard use of flat controls, panels passing notifications up, modal dialogs.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "support/TestSupport.h"
#include "widgets/ContextMenu.h"
#include "widgets/FlatControls.h"
#include "widgets/Messages.h"
#include "widgets/Window.h"

using namespace vsc;

namespace {

class TTestWindow : public TWindow {
public:
    HWND button1 = nullptr, button2 = nullptr, panel = nullptr, panelButton = nullptr, thrower = nullptr;
    int clicks1 = 0, clicks2 = 0, panelClicks = 0;
    std::vector<WPARAM> keys;
    std::vector<std::string> errors;
    bool swallowF1 = true;

    void Open() {
        CreateParams params;
        params.Caption = "Widget test window";
        params.Style = WS_POPUP | WS_CLIPCHILDREN;  // not handed to a window manager: quick to close
        params.ClientWidth = 320;
        params.ClientHeight = 200;
        Create(params);
        Show();
        SetForegroundWindow(Handle());
    }

protected:
    void OnCreate() override {
        button1 = CreateFlatButton(Handle(), "One", 10, 10, 73, 25);
        button2 = CreateFlatButton(Handle(), "Two", 90, 10, 73, 25);
        panel = CreatePanel(Handle(), 10, 50, 200, 80, colors::kNavColumn);
        panelButton = CreateFlatButton(panel, "On panel", 5, 5, 73, 25);
        thrower = CreateFlatButton(Handle(), "Throw", 170, 10, 73, 25);
        OnClick(button1, [this] { ++clicks1; });
        OnClick(button2, [this] { ++clicks2; });
        OnClick(panelButton, [this] { ++panelClicks; });
        OnClick(thrower, [] { throw std::runtime_error("handler failed"); });
    }
    bool OnKeyDown(WPARAM key) override {
        keys.push_back(key);
        if (key == VK_F2) throw 7;  // not a std::exception
        return key == VK_F1 && swallowF1;
    }
    void OnError(const std::string& message) override { errors.push_back(message); }
};

// Pumps as the program's own loops do (key preview and dialog manager included).
template <typename Pred>
bool PumpUi(Pred done, DWORD timeoutMs = 2000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        ProcessPendingMessages();
        if (done()) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PostKey(HWND target, WPARAM key) {
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

TEST(TWindow, WiredClicksReachTheirHandlersAlsoFromPanels) {
    TTestWindow window;
    window.Open();
    SendMessageA(window.button1, BM_CLICK, 0, 0);
    SendMessageA(window.panelButton, BM_CLICK, 0, 0);
    EXPECT_EQ(window.clicks1, 1);
    EXPECT_EQ(window.clicks2, 0);
    EXPECT_EQ(window.panelClicks, 1);
    EXPECT_EQ(TWindow::FromHandle(window.Handle()), &window);
    EXPECT_EQ(TWindow::FromHandle(window.button1), nullptr);
}

TEST(TWindow, AnExceptionInAHandlerIsReportedAndStaysInside) {
    TTestWindow window;
    window.Open();
    SendMessageA(window.thrower, BM_CLICK, 0, 0);
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(window.errors[0], "handler failed");
    // The window goes on working.
    SendMessageA(window.button1, BM_CLICK, 0, 0);
    EXPECT_EQ(window.clicks1, 1);
}

// Whatever a handler throws stops at the border the system called: the click's window procedure,
// the key preview, a list's context-menu subclass. Each reports through the window's OnError.
TEST(TWindow, NoExceptionOfAnyKindLeavesACallbackOfTheSystem) {
    TTestWindow window;
    window.Open();
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 140, 200, 50,
                                window.Handle(), nullptr, nullptr, nullptr);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ListView_InsertColumn(list, 0, &column);
    LVITEMA row{};
    row.mask = LVIF_TEXT;
    row.pszText = const_cast<char*>("row");
    ListView_InsertItem(list, &row);
    ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);

    window.OnClick(window.button2, [] { throw 1; });
    AttachContextMenu(list, [](HWND, int, POINT) { throw std::runtime_error("menu failed"); });
    SendMessageA(window.button2, BM_CLICK, 0, 0);
    SendMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1);  // the context-menu key
    AttachContextMenu(list, [](HWND, int, POINT) { throw 'x'; });
    SendMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1);
    PostKey(window.button1, VK_F2);
    ASSERT_TRUE(PumpUi([&] { return window.errors.size() == 4; }, 2000));
    EXPECT_EQ(window.errors, (std::vector<std::string>{"Unexpected error", "menu failed", "Unexpected error",
                                                       "Unexpected error"}));
    // The window goes on working; a key whose preview failed went no further.
    SendMessageA(window.button1, BM_CLICK, 0, 0);
    EXPECT_EQ(window.clicks1, 1);
}

TEST(TWindow, DefaultErrorHandlerShowsTheMessage) {
    struct TPlain : TWindow {
        HWND b = nullptr;
        void OnCreate() override {
            b = CreateFlatButton(Handle(), "x", 0, 0, 20, 20);
            OnClick(b, [] { throw std::runtime_error("shown to the user"); });
        }
    } window;
    std::vector<std::string> shown;
    std::vector<UINT> flags;
    auto old = SetMessagePresenter([&](HWND, const std::string& text, UINT f) {
        shown.push_back(text);
        flags.push_back(f);
        return IDOK;
    });
    TWindow::CreateParams params;
    window.Create(params);
    SendMessageA(window.b, BM_CLICK, 0, 0);
    SetMessagePresenter(old);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "shown to the user");
    EXPECT_TRUE(flags[0] & MB_ICONERROR);
}

TEST(TWindow, KeysGoToTheWindowFirstAndTheKeyboardDrivesButtons) {
    TTestWindow window;
    window.Open();
    SetFocus(window.button1);
    ASSERT_EQ(GetFocus(), window.button1);

    // F1 is previewed by the window and swallowed; the button never sees it.
    PostKey(window.button1, VK_F1);
    PumpUi([] { return false; }, 50);
    ASSERT_FALSE(window.keys.empty());
    EXPECT_EQ(window.keys.front(), static_cast<WPARAM>(VK_F1));

    // Enter clicks the focused button.
    PostKey(window.button1, VK_RETURN);
    ASSERT_TRUE(PumpUi([&] { return window.clicks1 == 1; }, 2000));

    // Tab moves the focus to the next button; Space clicks it.
    PostKey(window.button1, VK_TAB);
    ASSERT_TRUE(PumpUi([&] { return GetFocus() == window.button2; }, 2000));
    PostKey(window.button2, VK_SPACE);
    ASSERT_TRUE(PumpUi([&] { return window.clicks2 == 1; }, 2000));
    EXPECT_EQ(window.clicks1, 1);
}

TEST(TWindow, MouseHookReportsPressAndReleaseOnAControl) {
    TTestWindow window;
    window.Open();
    std::vector<ControlMouseEvent> events;
    window.OnMouse(window.button2, [&](const ControlMouseEvent& e) { events.push_back(e); });
    SendMessageA(window.button2, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(7, 9));
    SendMessageA(window.button2, WM_RBUTTONUP, 0, MAKELPARAM(7, 9));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].Button, 1);
    EXPECT_TRUE(events[0].Down);
    EXPECT_EQ(events[0].Pos.x, 7);
    EXPECT_EQ(events[0].Pos.y, 9);
    EXPECT_FALSE(events[1].Down);
}

TEST(TWindow, TimersRunTheirHandlerUntilKilled) {
    TTestWindow window;
    window.Open();
    int ticks = 0;
    window.SetTimer(7, 10, [&] { ++ticks; });
    ASSERT_TRUE(PumpUi([&] { return ticks >= 2; }, 3000));
    window.KillTimer(7);
    const int after = ticks;
    test::PumpMessagesFor(60);
    EXPECT_EQ(ticks, after);
}

TEST(TWindow, CloseQueryCanKeepTheWindow) {
    struct TKeeper : TWindow {
        bool allow = false;
        int asked = 0;
        bool OnCloseQuery() override { ++asked; return allow; }
    } window;
    window.Create(TWindow::CreateParams());
    window.Close();
    EXPECT_TRUE(IsWindow(window.Handle()));
    window.allow = true;
    HWND handle = window.Handle();
    window.Close();
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(window.asked, 2);
}

// ---- Modal dialogs ----

namespace {

class TTestDialog : public TDialog {
public:
    TTestDialog() : TDialog("Test dialog", 200, 120) {}
    HWND ok = nullptr;
    HWND strip = nullptr;
    bool endInCreate = false;

protected:
    void OnCreate() override {
        strip = AddTitleStrip();
        ok = CreateFlatButton(Handle(), "Ok", 60, 80, 73, 25);
        OnClick(ok, [this] { EndModal(IDOK); });
        if (endInCreate) EndModal(IDRETRY);
    }
};

struct ShownHookGuard {
    explicit ShownHookGuard(std::function<void(TDialog&)> hook) { TDialog::SetShownHook(std::move(hook)); }
    ~ShownHookGuard() { TDialog::SetShownHook(nullptr); }
};

}  // namespace

TEST(TDialog, ReturnsTheResultOfEndModalAndReleasesTheOwner) {
    TTestWindow owner;
    owner.Open();
    TTestDialog dialog;
    bool ownerDisabledWhileShown = false;
    HWND dialogHandle = nullptr;
    ShownHookGuard guard([&](TDialog& d) {
        ownerDisabledWhileShown = !IsWindowEnabled(owner.Handle());
        dialogHandle = d.Handle();
        EXPECT_EQ(GetWindow(d.Handle(), GW_OWNER), owner.Handle());
        PostMessageA(static_cast<TTestDialog&>(d).ok, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(dialog.ShowModal(owner.Handle()), IDOK);
    EXPECT_TRUE(ownerDisabledWhileShown);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_FALSE(IsWindow(dialogHandle));
    EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST(TDialog, EscapeCloseButtonAndCloseMessageCancel) {
    TTestWindow owner;
    owner.Open();
    {
        ShownHookGuard guard([](TDialog& d) { PostKey(d.Handle(), VK_ESCAPE); });
        TTestDialog dialog;
        EXPECT_EQ(dialog.ShowModal(owner.Handle()), IDCANCEL);
    }
    {
        ShownHookGuard guard([](TDialog& d) { PostMessageA(d.Handle(), WM_CLOSE, 0, 0); });
        TTestDialog dialog;
        EXPECT_EQ(dialog.ShowModal(owner.Handle()), IDCANCEL);
    }
    {
        // The close button is the last button at the right end of the title strip: named "Close" for
        // screen readers, it shows the letter x.
        ShownHookGuard guard([](TDialog& d) {
            HWND close = nullptr;
            for (HWND c = GetWindow(d.Handle(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                if (ControlText(c) == "Close" && ButtonGlyphOf(c) == ButtonGlyph::LetterX) close = c;
            }
            ASSERT_NE(close, nullptr);
            PostMessageA(close, BM_CLICK, 0, 0);
        });
        TTestDialog dialog;
        EXPECT_EQ(dialog.ShowModal(owner.Handle()), IDCANCEL);
    }
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
}

TEST(TDialog, EndModalDuringCreationClosesAtOnceAndQuitIsPassedOn) {
    TTestDialog early;
    early.endInCreate = true;
    EXPECT_EQ(early.ShowModal(nullptr), IDRETRY);

    ShownHookGuard guard([](TDialog&) { PostQuitMessage(3); });
    TTestDialog dialog;
    EXPECT_EQ(dialog.ShowModal(nullptr), IDCANCEL);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}
