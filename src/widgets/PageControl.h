// A page control without tabs: a container panel holding pages (panels of the same size), of which
// exactly one is shown. Pages are chosen only by the program.
#pragma once

#include <windows.h>

#include <vector>

namespace vsc {

class TPageControl {
public:
    TPageControl() = default;
    // Creates the container on parent (a design rectangle, as every control); throws std::runtime_error when the system refuses.
    void Create(HWND parent, int x, int y, int width, int height, COLORREF color);
    // Adds a hidden page filling the container and returns it (controls go on it).
    HWND AddPage();
    // Shows page index and hides the others; out-of-range indices change nothing.
    void SetActivePage(int index);
    void SetActivePage(HWND page);
    int ActivePageIndex() const { return active_; }
    HWND ActivePage() const;
    HWND Page(int index) const;
    int PageCount() const { return static_cast<int>(pages_.size()); }
    HWND Handle() const { return container_; }

private:
    HWND container_ = nullptr;
    COLORREF color_ = 0;
    int width_ = 0;   // the container's design size, which each page fills
    int height_ = 0;
    std::vector<HWND> pages_;  // children of the container, destroyed with it
    int active_ = -1;
};

}  // namespace vsc
