#include "ui/AppImages.h"

#include <string>

#include "widgets/CheckStates.h"
#include "widgets/Gdi.h"

namespace vsc {

namespace {

void RoundBox(HDC dc, const RECT& r, COLORREF fill, COLORREF edge) {
    UniquePen pen(CreatePen(PS_SOLID, 1, edge));
    ScopedSelect selectPen(dc, pen.get());
    ScopedSelect selectBrush(dc, SolidBrushFor(fill));
    RoundRect(dc, r.left, r.top, r.right, r.bottom, 4, 4);
}

void DrawComputer(HDC dc, int x) {
    RECT screen{x + 1, 1, x + 15, 11};
    RoundBox(dc, screen, RGB(60, 110, 190), RGB(30, 50, 90));
    RECT glass{x + 3, 3, x + 13, 9};
    FillRect(dc, &glass, SolidBrushFor(RGB(170, 215, 255)));
    RECT stand{x + 6, 11, x + 10, 13};
    FillRect(dc, &stand, SolidBrushFor(RGB(90, 90, 90)));
    RECT base{x + 3, 13, x + 13, 15};
    FillRect(dc, &base, SolidBrushFor(RGB(60, 60, 60)));
}

void DrawShortcut(HDC dc, int x) {
    RECT page{x + 2, 1, x + 14, 15};
    RoundBox(dc, page, RGB(255, 255, 255), RGB(90, 90, 90));
    UniquePen pen(CreatePen(PS_SOLID, 2, RGB(20, 90, 200)));
    ScopedSelect select(dc, pen.get());
    POINT arrow[3] = {{x + 5, 12}, {x + 5, 7}, {x + 11, 7}};
    Polyline(dc, arrow, 3);
    POINT head[3] = {{x + 9, 5}, {x + 11, 7}, {x + 9, 9}};
    Polyline(dc, head, 3);
}

// A coloured tile with one letter, one per category.
void DrawCategory(HDC dc, int x, int category) {
    static const char* const letters = "RCSFHPSAVCDSI";
    static const COLORREF tiles[13] = {
        RGB(70, 110, 200), RGB(40, 150, 140), RGB(200, 120, 40), RGB(150, 70, 180), RGB(40, 140, 60),
        RGB(190, 60, 60),  RGB(220, 150, 20), RGB(60, 120, 170), RGB(110, 110, 110), RGB(120, 90, 60),
        RGB(90, 70, 170),  RGB(200, 70, 140), RGB(30, 110, 90)};
    RECT tile{x + 1, 1, x + 15, 15};
    RoundBox(dc, tile, tiles[category - 1], RGB(40, 40, 40));
    const char text[2] = {letters[category - 1], 0};
    ScopedSelect font(dc, BoldFont(96));  // design pixels: the list's transform scales it
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextA(dc, text, 1, &tile, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

HIMAGELIST CreateCategoryImages(int dpi) {
    return MakeImageList(15, [](HDC dc, int x, int index) {
        if (index == 0) DrawComputer(dc, x);
        else if (index == 14) DrawShortcut(dc, x);
        else DrawCategory(dc, x, index);
    }, dpi);
}

HIMAGELIST CreateResultImages(int dpi) {
    return MakeImageList(2, [](HDC dc, int x, int index) {
        RECT square{x + 3, 3, x + 13, 13};
        FillRect(dc, &square, SolidBrushFor(index == 0 ? RGB(30, 90, 230) : RGB(255, 140, 0)));
    }, dpi);
}

void PaintLogo(HDC dc, const RECT& area) {
    // Drawn in design pixels (48 high) and scaled by a world transform to the rect's height.
    const int designHeight = 48;
    const int height = area.bottom - area.top;
    RECT rect = area;
    int oldMode = 0;
    XFORM oldTransform{};
    if (height != designHeight && height > 0) {
        const float scale = static_cast<float>(height) / designHeight;
        oldMode = SetGraphicsMode(dc, GM_ADVANCED);
        GetWorldTransform(dc, &oldTransform);
        const XFORM stretch{scale, 0.0f, 0.0f, scale, static_cast<float>(area.left), static_cast<float>(area.top)};
        SetWorldTransform(dc, &stretch);
        rect = RECT{0, 0, MulDiv(area.right - area.left, designHeight, height), designHeight};
    }
    FillGradient(dc, rect, RGB(22, 64, 140), RGB(70, 140, 220), true);
    const int h = rect.bottom - rect.top;
    // A shield with a tick: the mark of a tool that keeps the machine clean.
    const int size = h - 20;
    const int left = rect.left + 5;
    const int top = rect.top + 10;
    POINT shield[5] = {{left, top + 2},
                       {left + size / 2, top},
                       {left + size, top + 2},
                       {left + size, top + size / 2},
                       {left + size / 2, top + size}};
    {
        UniquePen edge(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
        ScopedSelect selectPen(dc, edge.get());
        ScopedSelect selectBrush(dc, SolidBrushFor(RGB(90, 190, 90)));
        POINT outline[6] = {shield[0], shield[1], shield[2], shield[3], shield[4], {left, top + size / 2}};
        Polygon(dc, outline, 6);
        UniquePen tick(CreatePen(PS_SOLID, 3, RGB(255, 255, 255)));
        ScopedSelect selectTick(dc, tick.get());
        POINT mark[3] = {{left + size / 4, top + size / 2}, {left + size / 2 - 1, top + size * 3 / 4 - 2},
                         {left + size * 3 / 4 + 1, top + size / 4}};
        Polyline(dc, mark, 3);
    }
    SetBkMode(dc, TRANSPARENT);
    RECT text = rect;
    text.left = left + size + 5;
    text.top += 7;
    {
        ScopedSelect font(dc, BoldFont(96));
        SetTextColor(dc, colors::kTitleText);
        DrawTextA(dc, "Vemo", -1, &text, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    text.top += 16;
    {
        ScopedSelect font(dc, DefaultFont(96));
        SetTextColor(dc, RGB(255, 255, 255));
        DrawTextA(dc, "System Cleaner", -1, &text, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (oldMode) {
        SetWorldTransform(dc, &oldTransform);
        SetGraphicsMode(dc, oldMode);
    }
}

void PaintTitleStrip(HDC dc, const RECT& rect) { FillTitleStrip(dc, rect); }

}  // namespace vsc
