// The visual component set: standard Win32 controls (BUTTON, STATIC, EDIT, msctls_progress32)
// drawn flat. Each control keeps its class, caption and state, so screen readers and UI automation
// read it as usual and the keyboard reaches it (Tab, Space, Enter); only its painting is ours.
//
// How it works. Every control made here is subclassed with one window procedure that holds the
// control's FlatStyle (kind, colours, font) and paints the whole control itself on WM_PAINT. State
// changes that the system would paint directly (focus, press, check, enable, hover, text) only
// invalidate the control, so the next WM_PAINT shows the flat look. Controls that let their parent
// show through (labels, check boxes, group boxes) ask the parent to paint its background into
// their device context (WM_PRINTCLIENT), which panels, images and TWindow answer.
//
// Panels are containers: a control placed on a panel sends its notifications to the panel, and the
// panel passes WM_COMMAND and WM_NOTIFY on to its own parent, up to the TWindow that wires them.
//
// Every creation function makes the control visible, a child of `parent`, with the program's
// font, at the given place in the parent's client coordinates; it throws std::runtime_error when
// the system refuses to create it.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "widgets/Gdi.h"

namespace vsc {

// A fresh control identifier (the program dispatches by window handle; ids only need to differ).
int NextControlId();

// ---- Buttons ----
// Push button with a caption; clicks with the mouse, Space and Enter (when focused).
HWND CreateFlatButton(HWND parent, const std::string& caption, int x, int y, int width, int height,
                      COLORREF face = colors::kButtonFace);
// Face colour of a flat button (or the colour of a panel or label); repaints.
void SetFlatColor(HWND control, COLORREF color);
COLORREF FlatColor(HWND control);
void SetFlatTextColor(HWND control, COLORREF color);
// A flat button can show a drawn glyph instead of its caption (the caption stays its name, which
// screen readers read): a minimise bar, a cross, or the letter x (the dialogs' close buttons).
enum class ButtonGlyph { None, Minimize, Close, LetterX };
void SetButtonGlyph(HWND button, ButtonGlyph glyph);
ButtonGlyph ButtonGlyphOf(HWND button);

// Check box (BS_AUTOCHECKBOX): toggles itself on click and Space.
HWND CreateCheckBox(HWND parent, const std::string& caption, int x, int y, int width, int height);
// Radio button (BS_AUTORADIOBUTTON). The first button of a group passes firstOfGroup, so the arrow
// keys move within the group and Tab leaves it.
HWND CreateRadioButton(HWND parent, const std::string& caption, int x, int y, int width, int height,
                       bool firstOfGroup);
bool IsChecked(HWND button);
void SetChecked(HWND button, bool checked);

// Group box with a caption (a frame; the controls inside it are its siblings, not its children).
HWND CreateGroupBox(HWND parent, const std::string& caption, int x, int y, int width, int height);

// ---- Containers and pictures ----
// A flat panel of one colour; controls created on it are its children.
HWND CreatePanel(HWND parent, int x, int y, int width, int height, COLORREF color);
// A picture: a STATIC (SS_NOTIFY, so it takes mouse presses) painted by `paint` over the whole
// client rectangle; children placed on it show it through.
HWND CreateImage(HWND parent, int x, int y, int width, int height, std::function<void(HDC, const RECT&)> paint);

// ---- Labels ----
struct LabelStyle {
    COLORREF Text = colors::kText;
    HFONT Font = nullptr;          // null: the default font
    bool Transparent = true;       // parent shows through; otherwise filled with Back
    COLORREF Back = colors::kPageBack;
    bool WordWrap = false;
    UINT Align = DT_LEFT;          // DT_LEFT, DT_CENTER or DT_RIGHT
    bool Notify = false;           // takes mouse presses and sends STN_CLICKED
};
HWND CreateLabel(HWND parent, const std::string& caption, int x, int y, int width, int height,
                 const LabelStyle& style = LabelStyle());
// A link: underlined, blue, the hand cursor while the mouse is over it, STN_CLICKED on a click.
HWND CreateLinkLabel(HWND parent, const std::string& caption, int x, int y, int width, int height);
// The gradient header label of a page: a bold white caption over a gradient that fades into the
// page colour.
HWND CreateHeaderLabel(HWND parent, const std::string& caption, int x, int y, int width, int height);

// ---- Edit and progress ----
// Single-line edit box with a flat one-pixel frame.
HWND CreateEditBox(HWND parent, const std::string& text, int x, int y, int width, int height);
// Smooth progress bar without frame; range 0..100 and step 1 until set otherwise.
HWND CreateProgressBar(HWND parent, int x, int y, int width, int height);
void SetProgressRange(HWND bar, int minimum, int maximum);
void SetProgressStep(HWND bar, int step);
void SetProgressPosition(HWND bar, int position);
int ProgressPosition(HWND bar);
int ProgressMaximum(HWND bar);

// ---- Text ----
std::string ControlText(HWND control);
// Sets the caption (window text); the control repaints.
void SetControlText(HWND control, const std::string& text);

// The texts one owner last set on labels that only it writes, so that setting an unchanged text
// costs no call into the system, not even reading the label (pages that show a running count ten
// times a second). After Forget, the next Set of each label writes it again.
class TShownTexts {
public:
    void Set(HWND control, const std::string& text);
    void Forget() { texts_.clear(); }

private:
    std::map<HWND, std::string> texts_;
};

// Answers WM_CTLCOLOR* for a child of a window or panel whose background is `back`: the colours of
// a flat label, white for edit boxes, otherwise the parent's background. Used by TWindow and panels.
LRESULT AnswerControlColor(UINT message, HDC dc, HWND control, COLORREF back);

// Paints the parent's background into dc, as seen under `control` (WM_PRINTCLIENT to the parent).
void PaintParentBackground(HWND control, HDC dc);

}  // namespace vsc
