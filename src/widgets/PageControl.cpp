#include "widgets/PageControl.h"

#include "widgets/FlatControls.h"
#include "widgets/Window.h"

namespace vsc {

void TPageControl::Create(HWND parent, int x, int y, int width, int height, COLORREF color) {
    container_ = CreatePanel(parent, x, y, width, height, color);
    color_ = color;
    width_ = width;
    height_ = height;
}

HWND TPageControl::AddPage() {
    HWND page = CreatePanel(container_, 0, 0, width_, height_, color_);
    ShowWindow(page, SW_HIDE);
    pages_.push_back(page);
    return page;
}

void TPageControl::SetActivePage(int index) {
    if (index < 0 || index >= PageCount()) return;
    // Show the new page before hiding the old one, so nothing flashes through and the focus has a
    // visible place to go.
    ShowWindow(pages_[static_cast<size_t>(index)], SW_SHOW);
    for (int i = 0; i < PageCount(); ++i) {
        if (i == index) continue;
        HandFocusOver(pages_[static_cast<size_t>(i)], pages_[static_cast<size_t>(index)]);
        ShowWindow(pages_[static_cast<size_t>(i)], SW_HIDE);
    }
    active_ = index;
}

void TPageControl::SetActivePage(HWND page) {
    for (int i = 0; i < PageCount(); ++i) {
        if (pages_[static_cast<size_t>(i)] == page) SetActivePage(i);
    }
}

HWND TPageControl::ActivePage() const { return Page(active_); }

HWND TPageControl::Page(int index) const {
    return index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr;
}

}  // namespace vsc
