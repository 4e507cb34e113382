// The display's scale. Every window and control of the program is laid out in design pixels, that
// is at 96 DPI (100 %), and made at the DPI of the display it opens on: each position and size is
// scaled by dpi / 96 when the control is created. At 96 DPI every value is the design value itself.
//
// How it works. TWindow keeps the DPI it lays out at on its top-level window (LayoutDpi). The
// creation functions of the visual component set (FlatControls.h), and CreateScaledChild below for
// the common controls they do not wrap (lists, trees), scale the design rectangle by that DPI and
// remember the design rectangle on the control. When the window moves to a display with another
// DPI (WM_DPICHANGED, per-monitor awareness), RescaleDescendants places every remembered control
// again from its design rectangle, gives it the same font made for the new DPI, and scales list
// columns and tree indents by the ratio of the two DPIs.
//
// The system functions for per-monitor DPI are loaded when present: where they are missing
// (Windows before 10, some Wine versions), the system DPI holds for every window.
#pragma once

#include <windows.h>

#include <string>

namespace vsc {

constexpr int kDesignDpi = 96;

// A design value at a DPI, rounded to the nearest pixel; unchanged at 96.
inline int ScaleToDpi(int value, int dpi) { return dpi == kDesignDpi ? value : MulDiv(value, dpi, kDesignDpi); }
RECT ScaleRectToDpi(const RECT& design, int dpi);

// The system DPI (GetDpiForSystem, or the screen's LOGPIXELSY where it is missing).
int SystemDpi();
// The DPI of the display a window is on (GetDpiForWindow), or the system DPI.
int WindowDpi(HWND window);
// The DPI a new top-level window lays out at: its owner's, or that of the display at the middle of
// the primary work area.
int DpiForNewWindow(HWND owner);

// The DPI a window's controls are laid out at: the value its top-level window keeps (TWindow sets
// it), else the DPI of that window's display.
int LayoutDpi(HWND window);
// Keeps the layout DPI on a top-level window; 0 removes it (before the window is gone).
void SetLayoutDpi(HWND topLevel, int dpi);
// A design value at the layout DPI of the window the control is on.
int ScaledFor(HWND control, int designValue);

// A child window at a design rectangle (in the parent's design coordinates), made at the parent's
// layout DPI, with the program's default font for that DPI; the design rectangle is remembered.
// Throws std::runtime_error when the system refuses to create it.
HWND CreateScaledChild(DWORD exStyle, const char* windowClass, const std::string& caption, DWORD style, HWND parent,
                       int x, int y, int width, int height);
// Gives a tree its indent, a design value, at the tree's layout DPI. A tree computes its indent
// afresh from a new image list, so call it after setting the tree's images.
void SetTreeIndent(HWND tree, int designIndent);
// Remembers a control's design rectangle; RescaleDescendants places the control from it.
void RememberDesignRect(HWND control, int x, int y, int width, int height);
bool DesignRectOf(HWND control, RECT& design);

// Lays out every descendant of a window again for newDpi: places, fonts, list columns, tree indents.
void RescaleDescendants(HWND window, int oldDpi, int newDpi);

}  // namespace vsc
