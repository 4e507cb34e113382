#include "widgets/Window.h"

#include <stdexcept>

#include "widgets/Dpi.h"
#include "widgets/FlatControls.h"
#include "widgets/Messages.h"

namespace vsc {

namespace {

const char* const kWindowClass = "VscWindow";
#ifndef WM_GETDPISCALEDSIZE
const UINT WM_GETDPISCALEDSIZE = 0x02E4;
#endif

void RegisterWindowClass(WNDPROC proc) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw std::runtime_error("Cannot register the window class");
    }
    registered = true;
}

// Turns the control's mouse buttons into kControlMouseMessage for the window `target`.
bool SendMouseEvent(HWND control, UINT message, WPARAM wParam, LPARAM lParam, HWND target) {
    int button = -1;
    bool down = true;
    switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: button = 0; break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: button = 1; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: button = 2; break;
    case WM_LBUTTONUP: button = 0; down = false; break;
    case WM_RBUTTONUP: button = 1; down = false; break;
    case WM_MBUTTONUP: button = 2; down = false; break;
    default: break;
    }
    if (button >= 0 && IsWindow(target)) {
        ControlMouseEvent event;
        event.Control = control;
        event.Button = button;
        event.Down = down;
        event.Pos = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        event.Keys = wParam;
        SendMessageA(target, TWindow::kControlMouseMessage, 0, reinterpret_cast<LPARAM>(&event));
        if (!IsWindow(control)) return false;  // the handler destroyed the control
    }
    return true;
}

LRESULT CALLBACK MouseHookProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR target) {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(control, MouseHookProc, 1);
    const bool goOn = GuardCallback(control, false, [&] {
        return SendMouseEvent(control, message, wParam, lParam, reinterpret_cast<HWND>(target));
    });
    return goOn ? DefSubclassProc(control, message, wParam, lParam) : 0;
}

// Mouse movement with the left button held over a title strip starts moving the dialog.
LRESULT CALLBACK MoveOnDragProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR dialog) {
    if (message == WM_MOUSEMOVE && (wParam & MK_LBUTTON))
        GuardCallback(control, false, [dialog] {
            StartWindowMove(reinterpret_cast<HWND>(dialog));
            return true;
        });
    if (message == WM_NCDESTROY) RemoveWindowSubclass(control, MoveOnDragProc, 3);
    return DefSubclassProc(control, message, wParam, lParam);
}

const char* const kLastFocusProperty = "VscLastFocus";

bool IsPushButton(HWND control) {
    char name[16];
    if (!GetClassNameA(control, name, sizeof(name)) || lstrcmpiA(name, "Button") != 0) return false;
    const LONG_PTR type = GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Keys that move or use the focus show the focus marks, which stay hidden until the keyboard is used.
void ShowFocusMarks(HWND root, WPARAM key) {
    switch (key) {
    case VK_TAB: case VK_RETURN: case VK_SPACE: case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
        if (SendMessageA(root, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)
            SendMessageA(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        break;
    default:
        break;
    }
}

std::function<void(TDialog&)>& ShownHook() {
    static std::function<void(TDialog&)> hook;
    return hook;
}

}  // namespace

TWindow::~TWindow() { Destroy(); }

void TWindow::Create(const CreateParams& params) {
    // Every loop of the thread offers key presses to the windows first (see PreTranslateMessage).
    SetMessageFilter(&PreTranslateMessage);
    RegisterWindowClass(&TWindow::WndProc);
    background_ = params.Background;
    dpi_ = DpiForNewWindow(params.Owner);
    designWidth_ = params.ClientWidth;
    designHeight_ = params.ClientHeight;
    RECT rect{0, 0, ScaleToDpi(params.ClientWidth, dpi_), ScaleToDpi(params.ClientHeight, dpi_)};
    AdjustWindowRectEx(&rect, params.Style, FALSE, params.ExStyle);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    RECT area{};
    if (params.Owner && IsWindow(params.Owner)) {
        GetWindowRect(params.Owner, &area);
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    HWND window = CreateWindowExA(params.ExStyle, kWindowClass, params.Caption.c_str(), params.Style, x, y, width,
                                  height, params.Owner, nullptr, GetModuleHandleA(nullptr), this);
    if (!window) throw std::runtime_error("Cannot create the window \"" + params.Caption + "\"");
    // Focus marks follow the last input: hidden until the keyboard is used.
    SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
}

void TWindow::Show(int command) {
    if (handle_) ShowWindow(handle_, command);
}

void TWindow::Close() {
    if (handle_) SendMessageA(handle_, WM_CLOSE, 0, 0);
}

void TWindow::FocusControl(HWND control) {
    savedFocus_ = control;
    if (handle_ && GetActiveWindow() == handle_ && CanTakeFocus(control)) SetFocus(control);
}

void TWindow::KeepFocusVisible() {
    const HWND focus = GetFocus();
    if (focus && focus != handle_ && IsChild(handle_, focus) && CanTakeFocus(focus)) return;
    if (const HWND target = FocusTarget()) SetFocus(target);
}

void TWindow::SaveFocus() {
    const HWND focus = GetFocus();
    if (focus && focus != handle_ && IsChild(handle_, focus)) savedFocus_ = focus;
}

HWND TWindow::FocusTarget() const {
    if (savedFocus_ && IsChild(handle_, savedFocus_) && CanTakeFocus(savedFocus_)) return savedFocus_;
    return FirstTabStop(handle_);
}

void TWindow::Destroy() {
    if (handle_) DestroyWindow(handle_);
}

TWindow* TWindow::FromHandle(HWND window) {
    if (!window) return nullptr;
    char name[32];
    if (!GetClassNameA(window, name, sizeof(name)) || lstrcmpA(name, kWindowClass) != 0) return nullptr;
    return reinterpret_cast<TWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void TWindow::OnClick(HWND control, std::function<void()> handler) { clicks_[control] = std::move(handler); }

void TWindow::OnNotify(HWND control, UINT code, std::function<LRESULT(NMHDR*)> handler) {
    notifies_[{control, code}] = std::move(handler);
}

void TWindow::OnMouse(HWND control, std::function<void(const ControlMouseEvent&)> handler) {
    mice_[control] = std::move(handler);
    SetWindowSubclass(control, MouseHookProc, 1, reinterpret_cast<DWORD_PTR>(handle_));
}

void TWindow::SetTimer(UINT_PTR id, UINT milliseconds, std::function<void()> handler) {
    timers_[id] = std::move(handler);
    ::SetTimer(handle_, id, milliseconds, nullptr);
}

void TWindow::KillTimer(UINT_PTR id) {
    if (handle_) ::KillTimer(handle_, id);
    timers_.erase(id);
}

void TWindow::OnError(const std::string& message) { ShowError(message); }

void ReportCallbackError(HWND place, const char* what) noexcept {
    try {
        const std::string message = what ? what : "Unexpected error";
        if (TWindow* window = place ? TWindow::FromHandle(GetAncestor(place, GA_ROOT)) : nullptr) {
            window->OnError(message);
        } else {
            ShowError(message);
        }
    } catch (...) {
        // Nothing is left to report with.
    }
}

LRESULT TWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT CALLBACK TWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->handle_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        SetLayoutDpi(window, self->dpi_);  // before WM_CREATE, whose controls are made at it
    } else {
        self = reinterpret_cast<TWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        SetLayoutDpi(window, 0);
        self->handle_ = nullptr;
        self->timers_.clear();
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return GuardCallback<LRESULT>(window, 0, [&] { return self->HandleMessage(message, wParam, lParam); });
}

LRESULT TWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) { return Dispatch(message, wParam, lParam); }

LRESULT TWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFont(dpi_)), FALSE);
        try {
            OnCreate();
        } catch (const std::exception& e) {
            OnError(e.what());
        }
        return 0;
    case WM_CLOSE:
        if (OnCloseQuery()) DestroyWindow(handle_);
        return 0;
    case WM_ACTIVATE:
        // As a dialog does: the focused control is kept while another window is active, and gets
        // the focus back when this one is activated again.
        if (LOWORD(wParam) == WA_INACTIVE) {
            SaveFocus();
        } else if (!HIWORD(wParam)) {
            if (const HWND target = FocusTarget()) {
                SetFocus(target);
                return 0;
            }
        }
        return DefaultProc(message, wParam, lParam);
    case WM_CANCELMODE:
        // Sent when the window is disabled (a dialog or a message box opens over it), before the
        // system takes the focus away.
        SaveFocus();
        return DefaultProc(message, wParam, lParam);
    case WM_SETFOCUS:
        // The window itself holds no focus of use: it goes on to a control.
        if (const HWND target = FocusTarget()) SetFocus(target);
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // New system colours or high contrast switched: the common controls keep copies of the
        // colours and hear of a change only from their window; everything is drawn again.
        if (message == WM_SYSCOLORCHANGE) {
            EnumChildWindows(handle_, [](HWND child, LPARAM) -> BOOL {
                return GuardCallback<BOOL>(child, FALSE, [child] {
                    SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
                    char name[32] = {};
                    GetClassNameA(child, name, sizeof(name));
                    if (lstrcmpiA(name, WC_LISTVIEWA) == 0) {
                        // A list view keeps the window colours it was made with (so does Wine's).
                        SendMessageA(child, LVM_SETBKCOLOR, 0, GetSysColor(COLOR_WINDOW));
                        SendMessageA(child, LVM_SETTEXTBKCOLOR, 0, GetSysColor(COLOR_WINDOW));
                        SendMessageA(child, LVM_SETTEXTCOLOR, 0, GetSysColor(COLOR_WINDOWTEXT));
                    }
                    return TRUE;
                });
            }, 0);
        }
        RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        return DefaultProc(message, wParam, lParam);
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_GETDPISCALEDSIZE: {
        // The size at the new DPI is the design size scaled, not the old size stretched.
        RECT rect{0, 0, ScaleToDpi(designWidth_, static_cast<int>(wParam)),
                  ScaleToDpi(designHeight_, static_cast<int>(wParam))};
        AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrA(handle_, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrA(handle_, GWL_EXSTYLE)));
        auto* size = reinterpret_cast<SIZE*>(lParam);
        size->cx = rect.right - rect.left;
        size->cy = rect.bottom - rect.top;
        return TRUE;
    }
    case WM_DPICHANGED: {
        // Moved to a display of another DPI: take the suggested rectangle, lay out again.
        const int oldDpi = dpi_;
        const int newDpi = LOWORD(wParam);
        if (newDpi > 0 && newDpi != oldDpi) {
            dpi_ = newDpi;
            SetLayoutDpi(handle_, newDpi);
            SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFont(newDpi)), FALSE);
            RescaleDescendants(handle_, oldDpi, newDpi);
            OnDpiChanged(oldDpi, newDpi);
        }
        if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
            SetWindowPos(handle_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    }
    case WM_ERASEBKGND: {
        RECT rect;
        GetClientRect(handle_, &rect);
        FillRect(reinterpret_cast<HDC>(wParam), &rect, SolidBrushFor(ShownColor(background_)));
        return 1;
    }
    case WM_PRINTCLIENT: {
        RECT rect;
        GetClientRect(handle_, &rect);
        FillRect(reinterpret_cast<HDC>(wParam), &rect, SolidBrushFor(ShownColor(background_)));
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return AnswerControlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                  background_);
    case WM_COMMAND: {
        HWND control = reinterpret_cast<HWND>(lParam);
        const int code = HIWORD(wParam);
        if (control && code == BN_CLICKED) {
            auto it = clicks_.find(control);
            if (it != clicks_.end()) {
                auto handler = it->second;  // a handler may rewire its own control
                handler();
                return 0;
            }
        }
        OnCommand(LOWORD(wParam), code, control);
        return 0;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        auto it = notifies_.find({header->hwndFrom, header->code});
        if (it != notifies_.end()) {
            auto handler = it->second;
            return handler(header);
        }
        return 0;
    }
    case WM_NOTIFYFORMAT:
        // Lists and trees placed here send their notifications in the 8-bit form, whatever the
        // window's own character set has become (a subclass can make it Unicode).
        if (lParam == NF_QUERY) return NFR_ANSI;
        return DefaultProc(message, wParam, lParam);
    case WM_TIMER: {
        auto it = timers_.find(wParam);
        if (it != timers_.end()) {
            auto handler = it->second;
            handler();
        }
        return 0;
    }
    case kControlMouseMessage: {
        auto* event = reinterpret_cast<const ControlMouseEvent*>(lParam);
        auto it = mice_.find(event->Control);
        if (it != mice_.end()) {
            auto handler = it->second;
            handler(*event);
        }
        return 0;
    }
    default:
        return DefaultProc(message, wParam, lParam);
    }
}

// ---- TDialog ----

TDialog::TDialog(std::string caption, int clientWidth, int clientHeight)
    : caption_(std::move(caption)), width_(clientWidth), height_(clientHeight) {}

void TDialog::SetShownHook(std::function<void(TDialog&)> hook) { ShownHook() = std::move(hook); }

int TDialog::ShowModal(HWND owner) {
    if (owner) owner = GetAncestor(owner, GA_ROOT);
    ended_ = false;
    result_ = IDCANCEL;
    CreateParams params;
    params.Caption = caption_;
    // No system menu: under Wine an owned popup without one is not handed to the window manager,
    // so it opens and closes at once and always stays over its owner.
    params.Style = WS_POPUP | WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_CONTROLPARENT;
    params.ClientWidth = width_;
    params.ClientHeight = height_;
    params.Owner = owner;
    Create(params);

    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    inModal_ = true;
    if (!ended_ && Handle()) {
        ShowWindow(Handle(), SW_SHOW);
        SetForegroundWindow(Handle());
        // The focus starts on the first control of the dialog's own, not on its title strip's close
        // button (Escape closes the dialog anyway).
        HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE);
        if (first && first == closeButton_) first = GetNextDlgTabItem(Handle(), first, FALSE);
        if (first) SetFocus(first);
        if (ShownHook()) {
            auto hook = ShownHook();
            hook(*this);
        }
    }
    MSG msg;
    while (!ended_ && Handle()) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        DispatchThroughFilter(msg);
    }
    inModal_ = false;
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
    Destroy();
    return result_;
}

void TDialog::EndModal(int result) {
    result_ = result;
    ended_ = true;
    if (Handle()) PostMessageA(Handle(), WM_NULL, 0, 0);  // wake the modal loop
}

HWND TDialog::AddTitleStrip(bool moveOnMouseMove) {
    HWND strip = CreateImage(Handle(), 0, 0, width_, 20, [](HDC dc, const RECT& rect) { FillTitleStrip(dc, rect); });
    LabelStyle style;
    style.Text = colors::kTitleText;
    style.Font = BoldFont();
    style.Transparent = true;
    HWND label = CreateLabel(strip, caption_, 6, 3, width_ - 40, 15, style);
    // Named "Close" for screen readers; it shows the letter x.
    HWND close = CreateFlatButton(Handle(), "Close", width_ - 19, 2, 17, 16, colors::kButtonFace);
    SetButtonGlyph(close, ButtonGlyph::LetterX);
    closeButton_ = close;
    OnClick(close, [this] { EndModal(IDCANCEL); });
    for (HWND part : {strip, label}) {
        OnMouse(part, [this](const ControlMouseEvent& e) {
            if (e.Down) StartWindowMove(Handle());
        });
    }
    if (moveOnMouseMove) {
        // Mouse movement over the strip with a button held also starts the move.
        for (HWND part : {strip, label}) {
            SetWindowSubclass(part, MoveOnDragProc, 3, reinterpret_cast<DWORD_PTR>(Handle()));
        }
    }
    return strip;
}

bool TDialog::OnKeyDown(WPARAM key) {
    if (key == VK_ESCAPE) {
        EndModal(IDCANCEL);
        return true;
    }
    return false;
}

bool TDialog::OnCloseQuery() {
    EndModal(IDCANCEL);
    return false;  // the modal loop destroys the dialog
}

LRESULT TDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // The dialog manager turns Escape into IDCANCEL and Enter into IDOK, without a control.
    if (message == WM_COMMAND && lParam == 0 && LOWORD(wParam) == IDCANCEL) {
        EndModal(IDCANCEL);
        return 0;
    }
    return TWindow::HandleMessage(message, wParam, lParam);
}

// ---- Message loops ----

void StartWindowMove(HWND window) {
    ReleaseCapture();
    SendMessageA(window, WM_SYSCOMMAND, 0xF017, 0);
}

bool CanTakeFocus(HWND control) {
    if (!control || !IsWindow(control) || !IsWindowVisible(control)) return false;
    for (HWND w = control; w; w = GetParent(w)) {
        if (!IsWindowEnabled(w)) return false;
        if (!(GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD)) break;
    }
    return true;
}

HWND FirstTabStop(HWND container) {
    struct Search { HWND found = nullptr; } search;
    EnumChildWindows(container, [](HWND child, LPARAM p) -> BOOL {
        return GuardCallback<BOOL>(child, FALSE, [child, p] {
            auto* s = reinterpret_cast<Search*>(p);
            if ((GetWindowLongPtrA(child, GWL_STYLE) & WS_TABSTOP) && CanTakeFocus(child)) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        });
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void HandFocusOver(HWND leaving, HWND entering) {
    const HWND focus = GetFocus();
    if (!focus || !leaving || !entering || (focus != leaving && !IsChild(leaving, focus))) return;
    SetPropA(leaving, kLastFocusProperty, focus);
    HWND target = static_cast<HWND>(GetPropA(entering, kLastFocusProperty));
    if (!target || !IsChild(entering, target) || !CanTakeFocus(target)) target = FirstTabStop(entering);
    SetFocus(target ? target : GetAncestor(entering, GA_ROOT));
}

bool PreTranslateMessage(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    TWindow* window = TWindow::FromHandle(root);
    if (!window) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        // A key whose handler failed counts as handled.
        if (GuardCallback(root, true, [&] { return window->OnKeyDown(msg.wParam); })) return true;
    }
    if (!IsWindow(root)) return true;
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.hwnd != root && IsWindowVisible(root) &&
        !CanTakeFocus(msg.hwnd)) {
        // A key for a control that is hidden or disabled goes no further; the focus moves to one
        // that is seen.
        window->KeepFocusVisible();
        return true;
    }
    if (msg.message == WM_KEYDOWN) {
        ShowFocusMarks(root, msg.wParam);
        if (msg.wParam == VK_RETURN && IsPushButton(msg.hwnd)) {
            // Clicked on the press, once however long the key is held; never translated, so its
            // character does not follow the click.
            if (!(msg.lParam & (1L << 30))) SendMessageA(msg.hwnd, BM_CLICK, 0, 0);
            return true;
        }
    }
    return IsDialogMessageA(root, &msg) != FALSE;
}

}  // namespace vsc
