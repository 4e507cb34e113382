#include "widgets/Gdi.h"

#include <map>
#include <mutex>

namespace vsc {

namespace {

HFONT MakeFont(int pointSize, int weight, bool underline) {
    LOGFONTA lf{};
    HDC screen = GetDC(nullptr);
    lf.lfHeight = -MulDiv(pointSize, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    lf.lfWeight = weight;
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

}  // namespace

HFONT DefaultFont() {
    static UniqueFont font(MakeFont(8, FW_NORMAL, false));
    return font.get();
}

HFONT BoldFont() {
    static UniqueFont font(MakeFont(8, FW_BOLD, false));
    return font.get();
}

HFONT UnderlineFont() {
    static UniqueFont font(MakeFont(8, FW_NORMAL, true));
    return font.get();
}

HFONT TitleFont() {
    static UniqueFont font(MakeFont(14, FW_BOLD, false));
    return font.get();
}

HBRUSH SolidBrushFor(COLORREF color) {
    static std::mutex lock;
    static std::map<COLORREF, UniqueBrush> brushes;
    std::lock_guard<std::mutex> guard(lock);
    auto& brush = brushes[color];
    if (!brush) brush.reset(CreateSolidBrush(color));
    return brush.get();
}

void FillGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to, bool vertical) {
    TRIVERTEX v[2] = {};
    v[0].x = rect.left;
    v[0].y = rect.top;
    v[0].Red = static_cast<COLOR16>(GetRValue(from) << 8);
    v[0].Green = static_cast<COLOR16>(GetGValue(from) << 8);
    v[0].Blue = static_cast<COLOR16>(GetBValue(from) << 8);
    v[1].x = rect.right;
    v[1].y = rect.bottom;
    v[1].Red = static_cast<COLOR16>(GetRValue(to) << 8);
    v[1].Green = static_cast<COLOR16>(GetGValue(to) << 8);
    v[1].Blue = static_cast<COLOR16>(GetBValue(to) << 8);
    GRADIENT_RECT g{0, 1};
    if (!GradientFill(dc, v, 2, &g, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H)) {
        FillRect(dc, &rect, SolidBrushFor(from));
    }
}

}  // namespace vsc
