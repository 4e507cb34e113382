// Pictures of windows for reviewers: what the screen shows of a window, saved as a BMP file.
#pragma once

#include <windows.h>

#include <string>

namespace vsc::test {

// The build folder (the parent of the folder of the test binary, which is build/win).
std::string BuildFolder();
// Saves what the screen shows of the window as a 24-bit BMP; false when it cannot be written. At a
// DPI other than 96 the name gets the DPI before its extension (page-about-144dpi.bmp), so the
// pictures of every scale lie side by side.
bool SaveWindowPicture(HWND window, const std::string& path);

}  // namespace vsc::test
