#include "app/Pictures.h"

#include <fstream>
#include <vector>

#include "ui/UFrmMain.h"
#include "widgets/Dpi.h"
#include "widgets/Gdi.h"

namespace vsc::test {

std::string BuildFolder() {
    std::string folder = ExecutableFolder();
    return folder.substr(0, folder.find_last_of('\\'));
}

bool SaveWindowPicture(HWND window, const std::string& name) {
    std::string path = name;
    if (SystemDpi() != kDesignDpi) path.insert(path.rfind('.'), "-" + std::to_string(SystemDpi()) + "dpi");
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    MemoryDC memory(screen);
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen, width, height));
    {
        ScopedSelect select(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    }
    BITMAPINFOHEADER info{sizeof(info), width, height, 1, 24, BI_RGB};
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(screen, bitmap.get(), 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return out.good();
}

}  // namespace vsc::test
