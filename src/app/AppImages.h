// The pictures of the main window, drawn at run time: section-tree icons, the two result squares,
// the logo and the glyphs of the title strip's buttons.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace vsc {

// Fifteen 16-by-16 icons: 0 the computer, 1 to 13 the categories, 14 the shortcut. Caller owns it.
HIMAGELIST CreateCategoryImages();
// Two 16-by-16 squares: 0 blue (safe to delete), 1 orange (not fully safe). Caller owns it.
HIMAGELIST CreateResultImages();
// The product logo over rect.
void PaintLogo(HDC dc, const RECT& rect);
// The title strip's background.
void PaintTitleStrip(HDC dc, const RECT& rect);

}  // namespace vsc
