// The pictures of the main window, drawn at run time: section-tree icons, the two result squares,
// the logo and the glyphs of the title strip's buttons.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace vsc {

// Fifteen icons of 16 by 16 design pixels, made at a DPI: 0 the computer, 1 to 13 the categories,
// 14 the shortcut. Caller owns it.
HIMAGELIST CreateCategoryImages(int dpi = 96);
// Two squares of 16 by 16 design pixels: 0 blue (safe to delete), 1 orange (not fully safe).
HIMAGELIST CreateResultImages(int dpi = 96);
// The product logo over rect, 48 design pixels high: a higher rect draws it finer at that scale.
void PaintLogo(HDC dc, const RECT& rect);
// The title strip's background.
void PaintTitleStrip(HDC dc, const RECT& rect);

}  // namespace vsc
