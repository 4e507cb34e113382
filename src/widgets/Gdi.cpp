#include "widgets/Gdi.h"

#include <atomic>
#include <map>
#include <mutex>

#include "widgets/Dpi.h"

namespace vsc {

namespace {

enum class FontRole { Default, Bold, Underline, Title };

HFONT MakeFont(FontRole role, int dpi) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(role == FontRole::Title ? 14 : 8, dpi, 72);
    lf.lfWeight = role == FontRole::Bold || role == FontRole::Title ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = role == FontRole::Underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

struct FontCache {
    std::mutex lock;
    std::map<std::pair<FontRole, int>, UniqueFont> fonts;
    std::map<HFONT, FontRole> roles;
};

FontCache& Fonts() {
    static FontCache cache;
    return cache;
}

HFONT FontFor(FontRole role, int dpi) {
    if (dpi <= 0) dpi = SystemDpi();
    FontCache& cache = Fonts();
    std::lock_guard<std::mutex> guard(cache.lock);
    UniqueFont& font = cache.fonts[{role, dpi}];
    if (!font) {
        font.reset(MakeFont(role, dpi));
        if (font) cache.roles[font.get()] = role;
    }
    return font.get();
}

}  // namespace

HFONT DefaultFont(int dpi) { return FontFor(FontRole::Default, dpi); }
HFONT BoldFont(int dpi) { return FontFor(FontRole::Bold, dpi); }
HFONT UnderlineFont(int dpi) { return FontFor(FontRole::Underline, dpi); }
HFONT TitleFont(int dpi) { return FontFor(FontRole::Title, dpi); }

HFONT FontAtDpi(HFONT font, int dpi) {
    FontRole role;
    {
        FontCache& cache = Fonts();
        std::lock_guard<std::mutex> guard(cache.lock);
        const auto known = cache.roles.find(font);
        if (known == cache.roles.end()) return font;
        role = known->second;
    }
    return FontFor(role, dpi);
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

void FillTitleStrip(HDC dc, const RECT& rect) {
    if (HighContrast()) FillRect(dc, &rect, SolidBrushFor(GetSysColor(COLOR_ACTIVECAPTION)));
    else FillGradient(dc, rect, colors::kTitleStrip, colors::kTitleStripEnd);
}

namespace {
std::atomic<int> g_highContrastForTesting{-1};
}  // namespace

bool HighContrast() {
    const int forced = g_highContrastForTesting.load();
    if (forced >= 0) return forced != 0;
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof(contrast);
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

void SetHighContrastForTesting(int mode) { g_highContrastForTesting = mode < 0 ? -1 : (mode ? 1 : 0); }

COLORREF ShownColor(COLORREF own) {
    if (!HighContrast()) return own;
    int role = COLOR_WINDOW;
    switch (own) {
    case colors::kPageBack: case colors::kNavColumn: role = COLOR_WINDOW; break;
    case colors::kButtonFace: case colors::kNavButton: role = COLOR_BTNFACE; break;
    case colors::kButtonHover: case colors::kButtonPressed: role = COLOR_HIGHLIGHT; break;
    case colors::kButtonBorder: case colors::kText: case colors::kFrame: case colors::kProductTitle:
        role = COLOR_WINDOWTEXT;
        break;
    case colors::kDisabledText: role = COLOR_GRAYTEXT; break;
    case colors::kTitleStrip: case colors::kTitleStripEnd: case colors::kHeaderStart: role = COLOR_ACTIVECAPTION; break;
    case colors::kTitleText: case colors::kHeaderText: role = COLOR_CAPTIONTEXT; break;
    case colors::kLink: role = COLOR_HOTLIGHT; break;
    default: return own;
    }
    return GetSysColor(role);
}

}  // namespace vsc
