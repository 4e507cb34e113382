#include "widgets/Dpi.h"

#include <commctrl.h>

#include <stdexcept>

#include "widgets/FlatControls.h"
#include "widgets/Gdi.h"
#include "widgets/Window.h"

namespace vsc {

namespace {

const char* const kLayoutDpiProperty = "VscLayoutDpi";
// A design rectangle as two properties of two 16-bit halves each, offset so that no value is 0
// (GetProp's answer for "none").
const char* const kDesignPosProperty = "VscDesignPos";
const char* const kDesignSizeProperty = "VscDesignSize";
const UINT_PTR kDesignSubclassId = 7;

HANDLE Pack(int low, int high) {
    const auto half = [](int v) { return static_cast<UINT_PTR>((v + 0x8000) & 0xFFFF); };
    return reinterpret_cast<HANDLE>(half(low) | (half(high) << 16));
}

void Unpack(HANDLE packed, LONG& low, LONG& high) {
    const auto bits = reinterpret_cast<UINT_PTR>(packed);
    low = static_cast<LONG>(bits & 0xFFFF) - 0x8000;
    high = static_cast<LONG>((bits >> 16) & 0xFFFF) - 0x8000;
}

template <typename Fn>
Fn User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// Removes the remembered design rectangle with the control.
LRESULT CALLBACK DesignRectProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        RemovePropA(control, kDesignPosProperty);
        RemovePropA(control, kDesignSizeProperty);
        RemoveWindowSubclass(control, DesignRectProc, kDesignSubclassId);
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

bool IsClass(HWND window, const char* name) {
    char buffer[64] = {};
    return GetClassNameA(window, buffer, sizeof buffer) && lstrcmpiA(buffer, name) == 0;
}

struct Rescale {
    int oldDpi;
    int newDpi;
};

void RescaleOne(HWND control, const Rescale& r) {
    RECT design{};
    if (DesignRectOf(control, design)) {
        const RECT at = ScaleRectToDpi(design, r.newDpi);
        SetWindowPos(control, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    const HFONT scaled = font ? FontAtDpi(font, r.newDpi) : nullptr;
    if (scaled && scaled != font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), FALSE);
    if (IsClass(control, WC_LISTVIEWA)) {
        HWND header = reinterpret_cast<HWND>(SendMessageA(control, LVM_GETHEADER, 0, 0));
        const int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
        for (int i = 0; i < columns; ++i) {
            const int width = static_cast<int>(SendMessageA(control, LVM_GETCOLUMNWIDTH, i, 0));
            SendMessageA(control, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(MulDiv(width, r.newDpi, r.oldDpi), 0));
        }
    } else if (IsClass(control, WC_TREEVIEWA)) {
        const int indent = static_cast<int>(SendMessageA(control, TVM_GETINDENT, 0, 0));
        SendMessageA(control, TVM_SETINDENT, MulDiv(indent, r.newDpi, r.oldDpi), 0);
    }
}

BOOL CALLBACK RescaleChild(HWND child, LPARAM data) {
    return GuardCallback<BOOL>(child, FALSE, [child, data] {
        RescaleOne(child, *reinterpret_cast<const Rescale*>(data));
        return TRUE;
    });
}

}  // namespace

RECT ScaleRectToDpi(const RECT& design, int dpi) {
    RECT r;
    r.left = ScaleToDpi(design.left, dpi);
    r.top = ScaleToDpi(design.top, dpi);
    r.right = r.left + ScaleToDpi(design.right - design.left, dpi);
    r.bottom = r.top + ScaleToDpi(design.bottom - design.top, dpi);
    return r;
}

int SystemDpi() {
    using Fn = UINT(WINAPI*)();
    static const Fn forSystem = User32Function<Fn>("GetDpiForSystem");
    if (forSystem) {
        if (const UINT dpi = forSystem()) return static_cast<int>(dpi);
    }
    const WindowDC screen;
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : kDesignDpi;
    return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND window) {
    using Fn = UINT(WINAPI*)(HWND);
    static const Fn forWindow = User32Function<Fn>("GetDpiForWindow");
    if (forWindow && window) {
        if (const UINT dpi = forWindow(window)) return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int DpiForNewWindow(HWND owner) {
    if (owner && IsWindow(owner)) return LayoutDpi(owner);
    // GetDpiForMonitor answers per display for a per-monitor aware process, the system DPI otherwise.
    using Fn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const Fn forMonitor = [] {
        HMODULE shcore = LoadLibraryA("shcore.dll");  // stays loaded for the process
        return shcore ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    if (forMonitor) {
        RECT area{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        const POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
        UINT x = 0, y = 0;
        if (SUCCEEDED(forMonitor(MonitorFromPoint(middle, MONITOR_DEFAULTTOPRIMARY), 0 /* effective */, &x, &y)) && y)
            return static_cast<int>(y);
    }
    return SystemDpi();
}

int LayoutDpi(HWND window) {
    HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    if (!root) return SystemDpi();
    if (HANDLE kept = GetPropA(root, kLayoutDpiProperty)) return static_cast<int>(reinterpret_cast<UINT_PTR>(kept));
    return WindowDpi(root);
}

void SetLayoutDpi(HWND topLevel, int dpi) {
    if (dpi <= 0) {
        RemovePropA(topLevel, kLayoutDpiProperty);
        return;
    }
    SetPropA(topLevel, kLayoutDpiProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(dpi)));
}

int ScaledFor(HWND control, int designValue) { return ScaleToDpi(designValue, LayoutDpi(control)); }

HWND CreateScaledChild(DWORD exStyle, const char* windowClass, const std::string& caption, DWORD style, HWND parent,
                       int x, int y, int width, int height) {
    const int dpi = LayoutDpi(parent);
    const RECT at = ScaleRectToDpi(RECT{x, y, x + width, y + height}, dpi);
    HWND control = CreateWindowExA(exStyle, windowClass, caption.c_str(), WS_CHILD | style, at.left, at.top,
                                   at.right - at.left, at.bottom - at.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextControlId())),
                                   GetModuleHandleA(nullptr), nullptr);
    if (!control) throw std::runtime_error(std::string("Cannot create the control \"") + caption + "\"");
    RememberDesignRect(control, x, y, width, height);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFont(dpi)), FALSE);
    return control;
}

void SetTreeIndent(HWND tree, int designIndent) {
    SendMessageA(tree, TVM_SETINDENT, ScaledFor(tree, designIndent), 0);
}

void RememberDesignRect(HWND control, int x, int y, int width, int height) {
    SetPropA(control, kDesignPosProperty, Pack(x, y));
    SetPropA(control, kDesignSizeProperty, Pack(width, height));
    SetWindowSubclass(control, DesignRectProc, kDesignSubclassId, 0);
}

bool DesignRectOf(HWND control, RECT& design) {
    HANDLE pos = GetPropA(control, kDesignPosProperty);
    HANDLE size = GetPropA(control, kDesignSizeProperty);
    if (!pos || !size) return false;
    LONG width = 0, height = 0;
    Unpack(pos, design.left, design.top);
    Unpack(size, width, height);
    design.right = design.left + width;
    design.bottom = design.top + height;
    return true;
}

void RescaleDescendants(HWND window, int oldDpi, int newDpi) {
    if (oldDpi <= 0 || newDpi <= 0 || oldDpi == newDpi) return;
    Rescale r{oldDpi, newDpi};
    EnumChildWindows(window, RescaleChild, reinterpret_cast<LPARAM>(&r));
}

}  // namespace vsc
