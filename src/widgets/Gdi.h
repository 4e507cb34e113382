// Small RAII owners for GDI handles, and the shared fonts and colours of the program's windows.
#pragma once

#include <windows.h>

#include <utility>

#include "platform/Handles.h"

namespace vsc {

// Owns one GDI object (brush, pen, font, bitmap, region); deleted on destruction. Move-only.
template <typename T>
using UniqueGdi = UniqueOf<T, NullHandleTraits<T, &DeleteObject>>;

using UniqueBrush = UniqueGdi<HBRUSH>;
using UniquePen = UniqueGdi<HPEN>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueBitmap = UniqueGdi<HBITMAP>;

// Selects an object into a device context for the lifetime of this object.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(dc_, old_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A memory device context compatible with the screen, released on destruction.
class MemoryDC {
public:
    explicit MemoryDC(HDC like = nullptr) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDC() { if (dc_) DeleteDC(dc_); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// The device context of a window's client area (GetDC; of the screen for no window), or with
// `wholeWindow` of the window with its frame (GetWindowDC); released on destruction.
class WindowDC {
public:
    explicit WindowDC(HWND window = nullptr, bool wholeWindow = false)
        : window_(window), dc_(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint around one WM_PAINT: EndPaint runs however the painting ends.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
    ~PaintScope() { EndPaint(window_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT ps_;
    HDC dc_;
};

// The window's colours. Values are COLORREF (0x00BBGGRR), the same layout as the stored numbers.
namespace colors {
constexpr COLORREF kPageBack = 15197159;     // red 231, green 227, blue 231: window and page background
constexpr COLORREF kNavColumn = 16769965;    // navigation column
constexpr COLORREF kNavButton = 16767895;    // navigation button (red 151, green 219, blue 255)
constexpr COLORREF kTitleText = 8454143;     // title text (red 255, green 255, blue 128)
constexpr COLORREF kTitleStrip = RGB(34, 86, 160);
constexpr COLORREF kTitleStripEnd = RGB(86, 150, 222);
constexpr COLORREF kFrame = RGB(40, 80, 140);
constexpr COLORREF kButtonFace = RGB(244, 246, 250);
constexpr COLORREF kButtonHover = RGB(214, 234, 255);
constexpr COLORREF kButtonPressed = RGB(178, 212, 250);
constexpr COLORREF kButtonBorder = RGB(96, 128, 176);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kDisabledText = RGB(150, 150, 150);
constexpr COLORREF kHeaderStart = RGB(44, 104, 184);
constexpr COLORREF kHeaderEnd = RGB(231, 227, 231);
constexpr COLORREF kHeaderText = RGB(255, 255, 255);
constexpr COLORREF kLink = RGB(0, 0, 220);
constexpr COLORREF kProductTitle = RGB(22, 64, 140);  // the product's name on the About page
constexpr COLORREF kFocus = RGB(40, 80, 140);
}  // namespace colors

// Process-wide fonts shared by every control (created on first use, never released before exit).
// They keep their point size, so their height in pixels follows the DPI they are made for; without
// a DPI (0), the system DPI.
HFONT DefaultFont(int dpi = 0);
HFONT BoldFont(int dpi = 0);
HFONT UnderlineFont(int dpi = 0);
HFONT TitleFont(int dpi = 0);   // bold, larger: product title on the About page
// The same font as `font` (one of the four above, at any DPI) made for another DPI; a font not
// made here comes back unchanged.
HFONT FontAtDpi(HFONT font, int dpi);

// A solid brush per colour, cached for the life of the process (for WM_CTLCOLOR* answers).
HBRUSH SolidBrushFor(COLORREF color);

// Fills rect with a horizontal (or vertical) two-colour gradient.
void FillGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to, bool vertical = false);
// The title strip of a window: the strip's gradient, or in high contrast the caption colour.
void FillTitleStrip(HDC dc, const RECT& rect);

// ---- High contrast ----
// True when the system asks for high contrast (SPI_GETHIGHCONTRAST, HCF_HIGHCONTRASTON).
bool HighContrast();
// Tests only: 1 reports high contrast whatever the system says, 0 reports none, -1 asks the system
// again. (Wine cannot switch high contrast on; a test sets a high-contrast palette with SetSysColors
// and reports the flag here.)
void SetHighContrastForTesting(int mode);
// The colour the flat controls draw for one of the program's colours (colors::k...): that colour, or
// in high contrast the system colour (GetSysColor) of the same role: page and panel backgrounds
// COLOR_WINDOW, button faces COLOR_BTNFACE, texts and frames COLOR_WINDOWTEXT, hover and press
// COLOR_HIGHLIGHT, disabled text COLOR_GRAYTEXT, title strip and headers COLOR_ACTIVECAPTION with
// COLOR_CAPTIONTEXT, links COLOR_HOTLIGHT. Colours of pictures (icons, legend squares) are not
// passed through here: they keep their own.
COLORREF ShownColor(COLORREF own);

}  // namespace vsc
