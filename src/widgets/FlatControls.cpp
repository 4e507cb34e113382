#include "widgets/FlatControls.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <atomic>
#include <stdexcept>
#include <vector>

#include "widgets/Dpi.h"

namespace vsc {

namespace {

enum class Kind { Button, Check, Radio, Group, Panel, Image, Label, Link, Header, Edit, Progress };

struct FlatStyle {
    Kind kind = Kind::Label;
    COLORREF face = colors::kButtonFace;  // button face, panel colour, opaque label background
    COLORREF text = colors::kText;
    HFONT font = nullptr;
    bool transparent = true;
    bool wordWrap = false;
    UINT align = DT_LEFT;
    bool hover = false;
    ButtonGlyph glyph = ButtonGlyph::None;
    std::function<void(HDC, const RECT&)> paint;  // images
};

const UINT_PTR kFlatSubclassId = 1;
// The style is also kept as a window property, so other windows can look it up.
const char* const kStyleProperty = "VscFlatStyle";

COLORREF Blend(COLORREF a, COLORREF b, int percentOfB) {
    auto mix = [percentOfB](int x, int y) { return static_cast<BYTE>(x + (y - x) * percentOfB / 100); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

FlatStyle* StyleOf(HWND control);

// Paints through an off-screen bitmap, so that a repaint never flickers.
void PaintBuffered(HWND control, HDC target, const std::function<void(HDC, const RECT&)>& paint) {
    RECT rect;
    GetClientRect(control, &rect);
    if (rect.right <= 0 || rect.bottom <= 0) return;
    MemoryDC memory(target);
    UniqueBitmap bitmap(CreateCompatibleBitmap(target, rect.right, rect.bottom));
    if (!memory.get() || !bitmap) {
        paint(target, rect);
        return;
    }
    ScopedSelect select(memory.get(), bitmap.get());
    paint(memory.get(), rect);
    BitBlt(target, 0, 0, rect.right, rect.bottom, memory.get(), 0, 0, SRCCOPY);
}

// The caption in UTF-16. GDI draws 8-bit text in the system's code page, not the process's (UTF-8),
// so every caption is drawn and measured with the wide calls.
std::wstring WideText(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, &text[0], static_cast<int>(text.size()))));
    return text;
}

void DrawCaption(HWND control, HDC dc, RECT rect, HFONT font, COLORREF color, UINT flags,
                 const std::wstring& text) {
    ScopedSelect selectFont(dc, font ? font : DefaultFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(control) ? color : ShownColor(colors::kDisabledText));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags | DT_NOPREFIX);
}

void DrawCaption(HWND control, HDC dc, RECT rect, HFONT font, COLORREF color, UINT flags) {
    DrawCaption(control, dc, rect, font, color, flags, WideText(control));
}

// Focused, and the window shows focus marks (they stay hidden until the keyboard is used).
bool ShowsFocus(HWND control) {
    if (GetFocus() != control) return false;
    return !(SendMessageA(control, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void FrameRectColor(HDC dc, const RECT& rect, COLORREF color) { FrameRect(dc, &rect, SolidBrushFor(color)); }

void PaintButton(HWND control, const FlatStyle& style, HDC dc, const RECT& rect) {
    const int dpi = LayoutDpi(control);
    const auto px = [dpi](int design) { return ScaleToDpi(design, dpi); };
    const LRESULT state = SendMessageA(control, BM_GETSTATE, 0, 0);
    const bool enabled = IsWindowEnabled(control) != FALSE;
    COLORREF face = style.face;
    COLORREF textColor = ShownColor(style.text);
    if (HighContrast()) {
        // System colours only; the pressed, hovered or chosen (page-coloured navigation) button is
        // marked with the selection colours.
        face = ShownColor(colors::kButtonFace);
        if (enabled && ((state & BST_PUSHED) || style.hover || style.face == colors::kPageBack)) {
            face = GetSysColor(COLOR_HIGHLIGHT);
            textColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
        }
    } else if (!enabled) {
        face = Blend(face, RGB(200, 200, 200), 50);
    } else if (state & BST_PUSHED) {
        face = Blend(face, colors::kButtonPressed, 60);
    } else if (style.hover) {
        face = Blend(face, colors::kButtonHover, 60);
    }
    FillRect(dc, &rect, SolidBrushFor(face));
    FrameRectColor(dc, rect, ShownColor(enabled ? colors::kButtonBorder : colors::kDisabledText));
    RECT textRect = rect;
    if (state & BST_PUSHED) OffsetRect(&textRect, 1, 1);
    if (style.glyph == ButtonGlyph::None || style.glyph == ButtonGlyph::LetterX) {
        // A caption wider than the button is drawn with its letters narrowed to fit.
        HFONT font = style.font ? style.font : DefaultFont();
        UniqueFont smaller;
        const std::wstring text = style.glyph == ButtonGlyph::LetterX ? std::wstring(L"x") : WideText(control);
        {
            ScopedSelect selectFont(dc, font);
            SIZE extent{};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            const int room = rect.right - rect.left - px(6);
            TEXTMETRICA metrics{};
            LOGFONTA lf{};
            if (extent.cx > room && room > 0 && GetTextMetricsA(dc, &metrics) && GetObjectA(font, sizeof(lf), &lf)) {
                lf.lfWidth = std::max<LONG>(1, metrics.tmAveCharWidth * room / extent.cx);
                smaller.reset(CreateFontIndirectA(&lf));
            }
        }
        DrawCaption(control, dc, textRect, smaller ? smaller.get() : font, textColor,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE, text);
    } else {
        const int cx = (textRect.left + textRect.right) / 2;
        const int cy = (textRect.top + textRect.bottom) / 2;
        UniquePen pen(CreatePen(PS_SOLID, px(2), enabled ? textColor : ShownColor(colors::kDisabledText)));
        ScopedSelect selectPen(dc, pen.get());
        if (style.glyph == ButtonGlyph::Minimize) {
            MoveToEx(dc, cx - px(4), cy + px(3), nullptr);
            LineTo(dc, cx + px(4), cy + px(3));
        } else {
            MoveToEx(dc, cx - px(3), cy - px(3), nullptr);
            LineTo(dc, cx + px(4), cy + px(4));
            MoveToEx(dc, cx + px(3), cy - px(3), nullptr);
            LineTo(dc, cx - px(4), cy + px(4));
        }
    }
    if (ShowsFocus(control)) {
        RECT focus = rect;
        InflateRect(&focus, -px(3), -px(3));
        SetTextColor(dc, HighContrast() ? textColor : RGB(0, 0, 0));
        SetBkColor(dc, face);
        DrawFocusRect(dc, &focus);
    }
}

void PaintCheckOrRadio(HWND control, const FlatStyle& style, HDC dc, const RECT& rect) {
    PaintParentBackground(control, dc);
    const bool checked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const bool enabled = IsWindowEnabled(control) != FALSE;
    const int dpi = LayoutDpi(control);
    const auto px = [dpi](int design) { return ScaleToDpi(design, dpi); };
    const int size = px(13);
    RECT box{rect.left, rect.top + (rect.bottom - rect.top - size) / 2, 0, 0};
    box.right = box.left + size;
    box.bottom = box.top + size;
    const bool contrast = HighContrast();
    const COLORREF border = ShownColor(enabled ? colors::kButtonBorder : colors::kDisabledText);
    const COLORREF mark = !enabled ? ShownColor(colors::kDisabledText)
                          : contrast ? GetSysColor(COLOR_WINDOWTEXT) : RGB(20, 40, 90);
    const COLORREF fill = style.hover ? ShownColor(colors::kButtonHover)
                          : contrast ? GetSysColor(COLOR_WINDOW) : RGB(255, 255, 255);
    if (style.kind == Kind::Check) {
        FillRect(dc, &box, SolidBrushFor(fill));
        FrameRectColor(dc, box, border);
        if (checked) {
            UniquePen pen(CreatePen(PS_SOLID, px(2), mark));
            ScopedSelect selectPen(dc, pen.get());
            POINT tick[3] = {{box.left + px(3), box.top + px(6)},
                             {box.left + px(5), box.top + px(9)},
                             {box.left + px(10), box.top + px(3)}};
            Polyline(dc, tick, 3);
        }
    } else {
        UniquePen pen(CreatePen(PS_SOLID, 1, border));
        ScopedSelect selectPen(dc, pen.get());
        ScopedSelect selectBrush(dc, SolidBrushFor(fill));
        Ellipse(dc, box.left, box.top, box.right, box.bottom);
        if (checked) {
            ScopedSelect dot(dc, SolidBrushFor(mark));
            UniquePen dotPen(CreatePen(PS_SOLID, 1, mark));
            ScopedSelect selectDotPen(dc, dotPen.get());
            Ellipse(dc, box.left + px(4), box.top + px(4), box.right - px(4), box.bottom - px(4));
        }
    }
    RECT textRect = rect;
    textRect.left = box.right + px(5);
    DrawCaption(control, dc, textRect, style.font, ShownColor(style.text), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (ShowsFocus(control)) {
        RECT focus = textRect;
        const std::wstring text = WideText(control);
        ScopedSelect selectFont(dc, style.font ? style.font : DefaultFont());
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &focus, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        const int height = focus.bottom - focus.top;
        focus.top = rect.top + (rect.bottom - rect.top - height) / 2 - px(1);
        focus.bottom = focus.top + height + px(2);
        focus.left -= px(2);
        focus.right += px(2);
        SetTextColor(dc, ShownColor(colors::kText));
        DrawFocusRect(dc, &focus);
    }
}

void PaintGroup(HWND control, const FlatStyle& style, HDC dc, const RECT& rect) {
    PaintParentBackground(control, dc);
    const std::wstring text = WideText(control);
    ScopedSelect selectFont(dc, style.font ? style.font : DefaultFont());
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    RECT frame = rect;
    frame.top += extent.cy / 2;
    const int dpi = LayoutDpi(control);
    const auto px = [dpi](int design) { return ScaleToDpi(design, dpi); };
    RECT textRect{rect.left + px(8), rect.top, rect.left + px(8) + extent.cx + px(4), rect.top + extent.cy};
    if (!text.empty()) ExcludeClipRect(dc, textRect.left, textRect.top, textRect.right, textRect.bottom);
    FrameRectColor(dc, frame, ShownColor(colors::kButtonBorder));
    SelectClipRgn(dc, nullptr);
    textRect.left += px(2);
    DrawCaption(control, dc, textRect, style.font, ShownColor(style.text), DT_LEFT | DT_TOP | DT_SINGLELINE);
}

void PaintLabel(HWND control, const FlatStyle& style, HDC dc, const RECT& rect) {
    if (style.transparent) PaintParentBackground(control, dc);
    else FillRect(dc, &rect, SolidBrushFor(ShownColor(style.face)));
    UINT flags = style.align | (style.wordWrap ? DT_WORDBREAK : DT_SINGLELINE);
    DrawCaption(control, dc, rect, style.font, ShownColor(style.text), flags);
}

void PaintHeader(HWND control, const FlatStyle& style, HDC dc, const RECT& rect) {
    if (HighContrast()) FillRect(dc, &rect, SolidBrushFor(ShownColor(colors::kHeaderStart)));
    else FillGradient(dc, rect, colors::kHeaderStart, style.face);
    RECT textRect = rect;
    textRect.left += ScaledFor(control, 4);
    DrawCaption(control, dc, textRect, style.font, ShownColor(colors::kHeaderText),
                DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void Paint(HWND control, FlatStyle& style, HDC dc, const RECT& rect) {
    switch (style.kind) {
    case Kind::Button: PaintButton(control, style, dc, rect); break;
    case Kind::Check:
    case Kind::Radio: PaintCheckOrRadio(control, style, dc, rect); break;
    case Kind::Group: PaintGroup(control, style, dc, rect); break;
    case Kind::Panel: FillRect(dc, &rect, SolidBrushFor(ShownColor(style.face))); break;
    case Kind::Image:
        if (style.paint) style.paint(dc, rect);
        else PaintParentBackground(control, dc);
        break;
    case Kind::Label:
    case Kind::Link: PaintLabel(control, style, dc, rect); break;
    case Kind::Header: PaintHeader(control, style, dc, rect); break;
    default: break;
    }
}

// The bar's own colours, or in high contrast the selection colour over the window colour.
void ColorProgressBar(HWND bar) {
    const bool contrast = HighContrast();
    SendMessageA(bar, PBM_SETBARCOLOR, 0, contrast ? GetSysColor(COLOR_HIGHLIGHT) : colors::kHeaderStart);
    SendMessageA(bar, PBM_SETBKCOLOR, 0, contrast ? GetSysColor(COLOR_WINDOW) : RGB(255, 255, 255));
}

bool PaintsItself(Kind kind) { return kind != Kind::Edit && kind != Kind::Progress; }
bool IsContainer(Kind kind) { return kind == Kind::Panel || kind == Kind::Image; }

// Messages after which the system would paint a button or static directly.
bool ChangesLook(UINT message) {
    switch (message) {
    case WM_SETTEXT: case WM_ENABLE: case WM_SETFOCUS: case WM_KILLFOCUS: case BM_SETSTATE:
    case BM_SETCHECK: case BM_SETSTYLE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN: case WM_KEYUP: case WM_CAPTURECHANGED: case WM_UPDATEUISTATE: case WM_SETFONT:
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK FlatProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
    auto* style = reinterpret_cast<FlatStyle*>(ref);
    try {
        switch (message) {
        case WM_NCDESTROY:
            RemoveWindowSubclass(control, FlatProc, kFlatSubclassId);
            RemovePropA(control, kStyleProperty);
            std::unique_ptr<FlatStyle>{style};  // the control's own style goes with it
            return DefSubclassProc(control, message, wParam, lParam);
        case WM_ERASEBKGND:
            if (PaintsItself(style->kind)) return 1;
            break;
        case WM_PAINT:
            if (PaintsItself(style->kind)) {
                const PaintScope paint(control);
                PaintBuffered(control, paint.dc(),
                              [&](HDC target, const RECT& rect) { Paint(control, *style, target, rect); });
                return 0;
            }
            break;
        case WM_PRINTCLIENT:
            if (PaintsItself(style->kind)) {
                RECT rect;
                GetClientRect(control, &rect);
                Paint(control, *style, reinterpret_cast<HDC>(wParam), rect);
                return 0;
            }
            break;
        case WM_MOUSEMOVE:
            if (!style->hover && (style->kind == Kind::Button || style->kind == Kind::Check || style->kind == Kind::Radio)) {
                style->hover = true;
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, control, 0};
                TrackMouseEvent(&track);
                InvalidateRect(control, nullptr, FALSE);
            }
            break;
        case WM_MOUSELEAVE:
            if (style->hover) {
                style->hover = false;
                InvalidateRect(control, nullptr, FALSE);
            }
            break;
        case WM_SETCURSOR:
            if (style->kind == Kind::Link) {
                SetCursor(LoadCursor(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_KEYDOWN:
            // Return reaching a push button itself (sent, not through the message loops, which
            // click on it before: see widgets/Window.h) clicks it too.
            if (style->kind == Kind::Button && wParam == VK_RETURN) {
                SendMessageA(control, BM_CLICK, 0, 0);
                return 0;
            }
            break;
        case WM_NCPAINT:
            if (style->kind == Kind::Edit) {
                const WindowDC dc(control, true);
                RECT rect;
                GetWindowRect(control, &rect);
                OffsetRect(&rect, -rect.left, -rect.top);
                FrameRectColor(dc.get(), rect, ShownColor(colors::kButtonBorder));
                return 0;
            }
            break;
        case WM_SYSCOLORCHANGE:
            if (style->kind == Kind::Progress) ColorProgressBar(control);
            break;
        case WM_SETFONT:
            // A new font (the window moved to a display of another DPI) is the one painted with.
            if (wParam) style->font = reinterpret_cast<HFONT>(wParam);
            break;
        case WM_COMMAND:
        case WM_NOTIFY:
            if (IsContainer(style->kind)) return SendMessageA(GetParent(control), message, wParam, lParam);
            break;
        case WM_NOTIFYFORMAT:
            // The subclass makes a panel a Unicode window, and the system's default answer would
            // then have its lists and trees send the W forms of their notifications. The program
            // handles the 8-bit forms only.
            if (IsContainer(style->kind) && lParam == NF_QUERY) return NFR_ANSI;
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (IsContainer(style->kind)) {
                return AnswerControlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                          style->face);
            }
            break;
        default:
            break;
        }
        if (PaintsItself(style->kind) && ChangesLook(message)) {
            LRESULT result = DefSubclassProc(control, message, wParam, lParam);
            if (IsWindow(control)) InvalidateRect(control, nullptr, FALSE);
            return result;
        }
    } catch (...) {
        // Painting must never throw out of a window procedure; the next paint tries again.
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

FlatStyle* StyleOf(HWND control) {
    return control ? static_cast<FlatStyle*>(GetPropA(control, kStyleProperty)) : nullptr;
}

// Every control at its design rectangle, scaled to the layout DPI of its window, with its font made
// for that DPI.
HWND MakeControl(const char* windowClass, const std::string& caption, DWORD style, DWORD exStyle, HWND parent,
                 int x, int y, int width, int height, FlatStyle flat) {
    HWND control = CreateScaledChild(exStyle, windowClass, caption, WS_VISIBLE | style, parent, x, y, width, height);
    const int dpi = LayoutDpi(parent);
    flat.font = flat.font ? FontAtDpi(flat.font, dpi) : DefaultFont(dpi);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(flat.font), FALSE);
    // The control owns its style from here on; FlatProc releases it with the control.
    auto owned = std::make_unique<FlatStyle>(std::move(flat));
    SetPropA(control, kStyleProperty, owned.get());
    SetWindowSubclass(control, FlatProc, kFlatSubclassId, reinterpret_cast<DWORD_PTR>(owned.release()));
    return control;
}

FlatStyle StyleOfKind(Kind kind) {
    FlatStyle style;
    style.kind = kind;
    return style;
}

}  // namespace

int NextControlId() {
    static std::atomic<int> next{1000};
    return next++;
}

HWND CreateFlatButton(HWND parent, const std::string& caption, int x, int y, int width, int height, COLORREF face) {
    FlatStyle style = StyleOfKind(Kind::Button);
    style.face = face;
    return MakeControl("BUTTON", caption, BS_PUSHBUTTON | WS_TABSTOP, 0, parent, x, y, width, height, std::move(style));
}

namespace {

// Changes one part of a flat control's look and paints it again; a control that is not flat is
// left alone.
template <typename Change>
void Restyle(HWND control, Change change) {
    if (FlatStyle* style = StyleOf(control)) {
        change(*style);
        InvalidateRect(control, nullptr, TRUE);
    }
}

}  // namespace

void SetFlatColor(HWND control, COLORREF color) {
    Restyle(control, [color](FlatStyle& style) { style.face = color; });
}

COLORREF FlatColor(HWND control) {
    const FlatStyle* style = StyleOf(control);
    return style ? style->face : CLR_INVALID;
}

void SetFlatTextColor(HWND control, COLORREF color) {
    Restyle(control, [color](FlatStyle& style) { style.text = color; });
}

void SetButtonGlyph(HWND button, ButtonGlyph glyph) {
    Restyle(button, [glyph](FlatStyle& style) { style.glyph = glyph; });
}

ButtonGlyph ButtonGlyphOf(HWND button) {
    const FlatStyle* style = StyleOf(button);
    return style ? style->glyph : ButtonGlyph::None;
}

HWND CreateCheckBox(HWND parent, const std::string& caption, int x, int y, int width, int height) {
    return MakeControl("BUTTON", caption, BS_AUTOCHECKBOX | WS_TABSTOP, 0, parent, x, y, width, height,
                       StyleOfKind(Kind::Check));
}

HWND CreateRadioButton(HWND parent, const std::string& caption, int x, int y, int width, int height,
                       bool firstOfGroup) {
    return MakeControl("BUTTON", caption, BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP | WS_TABSTOP : 0), 0,
                       parent, x, y, width, height, StyleOfKind(Kind::Radio));
}

bool IsChecked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND button, bool checked) {
    SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

HWND CreateGroupBox(HWND parent, const std::string& caption, int x, int y, int width, int height) {
    HWND group = MakeControl("BUTTON", caption, BS_GROUPBOX | WS_CLIPSIBLINGS, 0, parent, x, y, width, height,
                             StyleOfKind(Kind::Group));
    // Below its siblings, so the controls inside the frame are painted over it.
    SetWindowPos(group, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return group;
}

HWND CreatePanel(HWND parent, int x, int y, int width, int height, COLORREF color) {
    FlatStyle style = StyleOfKind(Kind::Panel);
    style.face = color;
    return MakeControl("STATIC", "", SS_NOTIFY | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parent, x, y, width, height,
                       std::move(style));
}

HWND CreateImage(HWND parent, int x, int y, int width, int height, std::function<void(HDC, const RECT&)> paint) {
    FlatStyle style = StyleOfKind(Kind::Image);
    style.paint = std::move(paint);
    HWND image = MakeControl("STATIC", "", SS_NOTIFY | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parent, x, y, width,
                             height, std::move(style));
    return image;
}

HWND CreateLabel(HWND parent, const std::string& caption, int x, int y, int width, int height,
                 const LabelStyle& labelStyle) {
    FlatStyle style = StyleOfKind(Kind::Label);
    style.text = labelStyle.Text;
    style.font = labelStyle.Font;
    style.transparent = labelStyle.Transparent;
    style.face = labelStyle.Back;
    style.wordWrap = labelStyle.WordWrap;
    style.align = labelStyle.Align;
    return MakeControl("STATIC", caption, labelStyle.Notify ? SS_NOTIFY : 0, 0, parent, x, y, width, height,
                       std::move(style));
}

HWND CreateLinkLabel(HWND parent, const std::string& caption, int x, int y, int width, int height) {
    FlatStyle style = StyleOfKind(Kind::Link);
    style.text = colors::kLink;
    style.font = UnderlineFont();
    return MakeControl("STATIC", caption, SS_NOTIFY, 0, parent, x, y, width, height, std::move(style));
}

HWND CreateHeaderLabel(HWND parent, const std::string& caption, int x, int y, int width, int height) {
    FlatStyle style = StyleOfKind(Kind::Header);
    style.face = colors::kPageBack;
    style.font = BoldFont();
    return MakeControl("STATIC", caption, 0, 0, parent, x, y, width, height, std::move(style));
}

HWND CreateEditBox(HWND parent, const std::string& text, int x, int y, int width, int height) {
    return MakeControl("EDIT", text, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, parent, x, y, width, height,
                       StyleOfKind(Kind::Edit));
}

HWND CreateProgressBar(HWND parent, int x, int y, int width, int height) {
    HWND bar = MakeControl(PROGRESS_CLASSA, "", PBS_SMOOTH, 0, parent, x, y, width, height,
                           StyleOfKind(Kind::Progress));
    // A themed bar ignores its colours: switch the theme off for this one control when possible.
    if (HMODULE theme = LoadLibraryA("uxtheme.dll")) {
        using SetThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
        auto setTheme = reinterpret_cast<SetThemeFn>(reinterpret_cast<void*>(GetProcAddress(theme, "SetWindowTheme")));
        if (setTheme) setTheme(bar, L"", L"");
        // uxtheme stays loaded: the control may call into it until it is destroyed.
    }
    ColorProgressBar(bar);
    SendMessageA(bar, PBM_SETRANGE32, 0, 100);
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    return bar;
}

void SetProgressRange(HWND bar, int minimum, int maximum) { SendMessageA(bar, PBM_SETRANGE32, minimum, maximum); }
void SetProgressStep(HWND bar, int step) { SendMessageA(bar, PBM_SETSTEP, step, 0); }
void SetProgressPosition(HWND bar, int position) { SendMessageA(bar, PBM_SETPOS, position, 0); }
int ProgressPosition(HWND bar) { return static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)); }
int ProgressMaximum(HWND bar) { return static_cast<int>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0)); }

std::string ControlText(HWND control) {
    const int length = GetWindowTextLengthA(control);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int got = GetWindowTextA(control, buffer.data(), length + 1);
    return std::string(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void SetControlText(HWND control, const std::string& text) {
    if (ControlText(control) != text) SetWindowTextA(control, text.c_str());
}

void TShownTexts::Set(HWND control, const std::string& text) {
    const auto shown = texts_.find(control);
    if (shown != texts_.end() && shown->second == text) return;
    SetWindowTextA(control, text.c_str());
    texts_[control] = text;
}

LRESULT AnswerControlColor(UINT message, HDC dc, HWND control, COLORREF back) {
    const FlatStyle* style = StyleOf(control);
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX || (style && style->kind == Kind::Edit)) {
        const COLORREF white = HighContrast() ? GetSysColor(COLOR_WINDOW) : RGB(255, 255, 255);
        SetTextColor(dc, ShownColor(colors::kText));
        SetBkColor(dc, white);
        return reinterpret_cast<LRESULT>(SolidBrushFor(white));
    }
    if (style && !style->transparent) back = style->face;
    back = ShownColor(back);
    SetTextColor(dc, ShownColor(style ? style->text : colors::kText));
    SetBkColor(dc, back);
    return reinterpret_cast<LRESULT>(SolidBrushFor(back));
}

void PaintParentBackground(HWND control, HDC dc) {
    HWND parent = GetParent(control);
    if (!parent) return;
    POINT origin{0, 0};
    MapWindowPoints(control, parent, &origin, 1);
    POINT old{};
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &old);
    SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

}  // namespace vsc
