#pragma once

#include <windows.h>

#include <string>

namespace windows_driver {

// Saves what the screen shows of `window`, frame included, as a PNG file.
// Returns an error text, empty on success.
std::string saveWindowPicture(HWND window, const std::wstring& path);

}  // namespace windows_driver
