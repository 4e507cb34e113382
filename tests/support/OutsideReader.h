// Reads a window the way assistive technology does: only through the controls' own messages
// (WM_GETTEXT, LVM_*, TVM_*, HDM_*), with the buffers those messages need placed in the process that
// owns the window. It never looks at the program's objects, so what it reads is what a screen
// reader or UI automation gets, whether the window lives in this process or in another one.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vsc::test {

class OutsideReader {
public:
    // Reads the windows of the process that owns `anyWindow`.
    explicit OutsideReader(HWND anyWindow);
    ~OutsideReader();
    OutsideReader(const OutsideReader&) = delete;
    OutsideReader& operator=(const OutsideReader&) = delete;

    bool Usable() const { return process_ != nullptr; }
    DWORD ProcessId() const { return processId_; }

    // ---- Captions and labels ----
    struct Control {
        HWND Handle;
        std::string Class;
        std::string Text;
        bool Visible;
    };
    // Every descendant of a window, in the order the system lists them.
    std::vector<Control> Controls(HWND window) const;
    // The first visible descendant of that class with exactly that caption, or null.
    HWND Find(HWND window, const std::string& cls, const std::string& text) const;
    // The captions of the visible STATIC and BUTTON descendants.
    std::vector<std::string> VisibleCaptions(HWND window) const;

    // ---- List views ----
    struct ListRow {
        std::vector<std::string> Columns;  // one text per header column
        int Check = -1;                    // 0 unchecked, 1 checked (state image 1 or 2); -1 none
        int Image = -1;                    // the small icon's index
    };
    int RowCount(HWND list) const;
    std::vector<std::string> Headers(HWND list) const;
    ListRow Row(HWND list, int row) const;
    std::vector<ListRow> Rows(HWND list) const;
    // The visible list whose first header caption is `firstHeader`, or null.
    HWND FindList(HWND window, const std::string& firstHeader) const;
    // Where a row's cell lies in the list's client area (the text part of column 0), and the point
    // at the middle of the row's check box (x -1 when the row shows none).
    RECT CellRect(HWND list, int row, int column) const;
    POINT CheckBoxPoint(HWND list, int row) const;

    // ---- Tree views ----
    struct TreeNode {
        std::string Text;
        int Depth = 0;   // 0 for a top node
        int State = 0;   // state image index (1 not ticked, 2 ticked, 3 partly ticked)
        bool Expanded = false;
    };
    // Every node in display order (pre-order), folded ones included.
    std::vector<TreeNode> Nodes(HWND tree) const;

    // ---- Focus and check boxes, as screen readers meet them ----
    // The control with the keyboard focus in the thread that owns `window`, or null.
    HWND Focus(HWND window) const;
    // The control says it has check boxes, where the system's accessibility proxies look: a tree
    // by TVS_CHECKBOXES and TVS_EX_PARTIALCHECKBOXES, a list by LVS_EX_CHECKBOXES. The proxies then
    // read the state images (Nodes' State, Row's Check) as checked, unchecked and mixed.
    bool SaysCheckBoxes(HWND control) const;
    // The control's name as MSAA gives it (AccessibleObjectFromWindow, get_accName).
    std::string AccessibleName(HWND control) const;

    // ---- Message boxes ----
    struct MessageBoxInfo {
        HWND Handle = nullptr;            // null when none is open
        std::string Title;
        std::string Text;
        char Icon = 0;                    // 'i' information, 'e' error, 'q' question, 'w' warning, 0 none
        std::vector<std::string> Buttons; // captions, "&" removed
    };
    // The message box the process shows now (a visible top-level dialog of class #32770).
    MessageBoxInfo OpenMessageBox() const;
    // Waits up to `ms` for a message box, pumping this thread's messages meanwhile.
    MessageBoxInfo WaitForMessageBox(DWORD ms) const;
    // Presses the box's button with that caption, as a click would; false when there is none.
    bool Press(const MessageBoxInfo& box, const std::string& button) const;

private:
    // A block of memory in the owning process.
    class Remote;
    std::string ReadListText(HWND list, int row, int column) const;
    ListRow Row(HWND list, int row, size_t columns) const;

    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// The class name and the caption of a window.
std::string ClassOf(HWND window);
std::string TextOf(HWND window);

}  // namespace vsc::test
