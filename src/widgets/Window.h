// The window base class of the program, and its message loop.
//
// How to use it. Derive a window (or a dialog, below) from TWindow, create its controls in
// OnCreate, and wire each control to a member handler:
//
//     class TFrmExample : public vsc::TDialog {
//     public:
//         TFrmExample() : TDialog("Example", 300, 200) {}
//     protected:
//         void OnCreate() override {
//             AddTitleStrip();                                   // caption, close button, dragging
//             btnOk = vsc::CreateFlatButton(Handle(), "Ok", 100, 160, 73, 25);
//             OnClick(btnOk, [this] { btnOkClick(); });
//         }
//     private:
//         void btnOkClick() { EndModal(IDOK); }
//         HWND btnOk = nullptr;
//     };
//
//     TFrmExample dialog;
//     if (dialog.ShowModal(ownerWindow) == IDOK) { ... }       // created, shown, destroyed
//
// The window procedure stores `this` in the window (GWLP_USERDATA at WM_NCCREATE) and dispatches
// to the virtual handlers and to the handlers wired with OnClick, OnNotify, OnMouse and SetTimer.
// Notifications of controls that sit on panels reach the window too: panels pass WM_COMMAND and
// WM_NOTIFY up to their parent.
//
// No exception leaves the window procedure: one thrown by a handler is caught there and passed to
// OnError, which shows its message with ShowError (the message box of widgets/Messages.h). The
// other places the system calls (subclass procedures, enumeration callbacks, the key preview) run
// their bodies through GuardCallback, which reports the same way.
//
// Keyboard: the message loops (platform/MessagePump.h and the modal loop) first offer
// every key press to the OnKeyDown of the window it is meant for, so a window sees keys before its
// controls do; then the dialog manager moves the focus with Tab and the arrows, flat buttons click
// on Enter and Space, and Escape closes a dialog.
//
// Focus. The focus is always on a visible, enabled control, never on a hidden one:
// - Return on a push button clicks it on the key press, as the system's dialog manager does, and the
//   press goes no further: no character of it is made, so nothing of the key reaches a control that
//   the click hid (the dialog manager, given a character for a hidden control, searches the window
//   for a mnemonic from there and never finds its way back).
// - Code that hides a page or panel holding the focus first hands it over (HandFocusOver).
// - A window remembers its focused control when it loses activation or is disabled (a dialog or a
//   message box opens over it) and gives the focus back when it is activated again; a key meant
//   for a hidden control is dropped and the focus moved to a visible one.
//
// Lifetime: the wiring functions (OnClick, OnNotify, OnMouse, SetTimer) need the window, so call
// them from OnCreate or later. A class that overrides OnDestroy should call Destroy() in its own
// destructor: by the time ~TWindow runs, the derived part is gone and only the base's handlers run.
//
// Scale: the sizes given here and every control's place are design pixels (96 DPI); the window is
// made at the DPI of the display it opens on (a dialog at its owner's) and lays itself out again
// when the system moves it to a display of another DPI (WM_DPICHANGED). See widgets/Dpi.h.
//
// Everything here runs on the user-interface thread; nothing may be called from a worker.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <functional>
#include <map>
#include <string>

#include "platform/MessagePump.h"
#include "widgets/Gdi.h"

namespace vsc {

// A mouse button pressed or released on a control hooked with TWindow::OnMouse.
struct ControlMouseEvent {
    HWND Control = nullptr;
    int Button = 0;       // 0 left, 1 right, 2 middle
    bool Down = true;     // pressed (true) or released (false)
    POINT Pos{};          // in the control's client coordinates
    WPARAM Keys = 0;      // MK_* flags as the message carried them
};

class TWindow {
public:
    struct CreateParams {
        std::string Caption;                  // window text (the title Windows shows in the taskbar)
        DWORD Style = WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU;
        DWORD ExStyle = WS_EX_CONTROLPARENT;
        int ClientWidth = 300;                // design pixels, scaled to the window's DPI
        int ClientHeight = 200;
        HWND Owner = nullptr;                 // centred on the owner, or on the screen without one
        COLORREF Background = colors::kPageBack;
    };

    TWindow() = default;
    // Destroys the window if it still exists.
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    // Creates the window (hidden); OnCreate runs before this returns. Throws std::runtime_error
    // when the system refuses to create it.
    void Create(const CreateParams& params);
    HWND Handle() const { return handle_; }
    COLORREF Background() const { return background_; }
    // The DPI the window is laid out at.
    int Dpi() const { return dpi_; }
    void Show(int command = SW_SHOW);
    // Asks the window to close, as the user would (OnCloseQuery decides).
    void Close();
    // Puts the focus on a control of this window, now when the window is active, else as soon as it
    // is activated.
    void FocusControl(HWND control);
    // Moves the focus to a visible control when it is on none: the control that had it last, or the
    // first tab stop.
    void KeepFocusVisible();
    void Destroy();

    // The TWindow behind a window handle, or null.
    static TWindow* FromHandle(HWND window);

    // ---- Wiring ----
    // Click of a button, or of a label with SS_NOTIFY. A new handler replaces the old one.
    void OnClick(HWND control, std::function<void()> handler);
    // A WM_NOTIFY code of a control; the handler's result is the message's result.
    void OnNotify(HWND control, UINT code, std::function<LRESULT(NMHDR*)> handler);
    // Mouse buttons pressed and released over a control, before the control itself reacts.
    void OnMouse(HWND control, std::function<void(const ControlMouseEvent&)> handler);
    // A window timer; replaces a timer of the same id.
    void SetTimer(UINT_PTR id, UINT milliseconds, std::function<void()> handler);
    void KillTimer(UINT_PTR id);

    // Message sent to the window by hooked controls; LPARAM points to a ControlMouseEvent.
    static const UINT kControlMouseMessage = WM_APP + 0x3F0;

protected:
    // Creates the controls. An exception thrown here is shown by OnError; the window stays.
    virtual void OnCreate() {}
    // The user or the program asks to close; return false to keep the window.
    virtual bool OnCloseQuery() { return true; }
    // The window is being destroyed; its children still exist.
    virtual void OnDestroy() {}
    // Key preview: every WM_KEYDOWN/WM_SYSKEYDOWN meant for this window or one of its controls
    // comes here first; return true to swallow it.
    virtual bool OnKeyDown(WPARAM key) { return false; }
    // The window has been laid out again for a new DPI (its controls are placed and have their
    // fonts); remake what only the derived window knows, such as image lists.
    virtual void OnDpiChanged(int oldDpi, int newDpi) {}
    // WM_COMMAND from a control that has no click handler (or carries another code).
    virtual void OnCommand(int id, int code, HWND control) {}
    // An exception escaped a handler. Default: ShowError with its message.
    virtual void OnError(const std::string& message);
    // Every message; override to see messages the base does not dispatch, and call the base.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend bool PreTranslateMessage(MSG& msg);
    friend void ReportCallbackError(HWND place, const char* what) noexcept;
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void SaveFocus();
    // The control that is to get the focus back: the saved one while it can take it, else the first
    // tab stop; null when there is none.
    HWND FocusTarget() const;

    HWND handle_ = nullptr;
    HWND savedFocus_ = nullptr;
    COLORREF background_ = colors::kPageBack;
    int dpi_ = 96;
    int designWidth_ = 0;   // the client size in design pixels
    int designHeight_ = 0;
    std::map<HWND, std::function<void()>> clicks_;
    std::map<std::pair<HWND, UINT>, std::function<LRESULT(NMHDR*)>> notifies_;
    std::map<HWND, std::function<void(const ControlMouseEvent&)>> mice_;
    std::map<UINT_PTR, std::function<void()>> timers_;
};

// A borderless modal dialog: created for one showing, centred on its owner, destroyed when it
// closes. Escape, the close button of its title strip and WM_CLOSE end it with IDCANCEL.
class TDialog : public TWindow {
public:
    TDialog(std::string caption, int clientWidth, int clientHeight);

    // Creates the dialog, disables the owner, shows the dialog and runs a message loop until
    // EndModal is called (or the dialog is destroyed, or WM_QUIT arrives, which is posted again
    // for the outer loop); then re-enables and activates the owner and destroys the dialog.
    // Returns the value given to EndModal (IDCANCEL when it ended otherwise).
    int ShowModal(HWND owner);
    // Ends the modal loop with a result (IDOK, IDCANCEL...). Safe to call before ShowModal runs
    // its loop (from OnCreate): the dialog then closes at once.
    void EndModal(int result);
    bool InModalLoop() const { return inModal_; }
    int ModalResult() const { return result_; }

    // Called after the dialog has been created and shown, inside the modal loop's first turn;
    // tests use it to drive a dialog. Applies to every dialog shown afterwards; empty to remove.
    static void SetShownHook(std::function<void(TDialog&)> hook);

protected:
    // A title strip across the top (20 pixels, gradient, the caption in bold) with a close button
    // at its right end. Pressing a mouse button on the strip (or, with moveOnMouseMove, moving the
    // mouse over it) starts moving the dialog. Returns the strip; its label is a child of it.
    HWND AddTitleStrip(bool moveOnMouseMove = false);
    bool OnKeyDown(WPARAM key) override;
    bool OnCloseQuery() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    const std::string caption_;
    const int width_;
    const int height_;

private:
    HWND closeButton_ = nullptr;  // the title strip's, when there is one
    bool inModal_ = false;
    bool ended_ = false;
    int result_ = IDCANCEL;
};

// A control can take the focus: it exists, and it and its parents are visible and enabled.
bool CanTakeFocus(HWND control);
// The first visible, enabled tab stop inside a container (in tab order), or null.
HWND FirstTabStop(HWND container);
// Before `leaving` (a page or panel) is hidden: when the focus is inside it, it moves into
// `entering`, which must already be shown, to the control that had it when `entering` was last left
// or else to its first tab stop. `leaving` remembers its focused control for its next showing.
void HandFocusOver(HWND leaving, HWND entering);

// Starts the system's move of a window, as if its caption had been dragged (releases the mouse
// capture first).
void StartWindowMove(HWND window);

// ---- Callbacks the system calls ----
// Reports an exception that reached a place the system calls (a window or subclass procedure, an
// enumeration callback, the key preview) as the windows report errors: through OnError of the
// program's window that `place` belongs to, else with ShowError. `what` null: "Unexpected error".
// Never throws.
void ReportCallbackError(HWND place, const char* what) noexcept;

// Runs the body of such a callback so that no exception unwinds through the system's frames: what
// escapes the body is reported (ReportCallbackError) and `fallback` is returned instead.
template <typename R, typename Body>
R GuardCallback(HWND place, R fallback, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::exception& e) {
        ReportCallbackError(place, e.what());
    } catch (...) {
        ReportCallbackError(place, nullptr);
    }
    return fallback;
}

// Offers a message to the key preview and the dialog manager; true when it was handled and must
// not be translated and dispatched again.
bool PreTranslateMessage(MSG& msg);

}  // namespace vsc
