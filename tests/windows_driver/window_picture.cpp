#include "tests/windows_driver/window_picture.h"

#include <gdiplus.h>

#include <optional>
#include <vector>

namespace windows_driver {
namespace {

std::optional<CLSID> pngEncoder() {
  UINT count = 0;
  UINT bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return {};
  std::vector<unsigned char> buffer(bytes);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok) return {};
  for (UINT i = 0; i < count; ++i) {
    if (std::wstring(encoders[i].MimeType) == L"image/png") return encoders[i].Clsid;
  }
  return {};
}

// Copies the window's rectangle of the screen into a bitmap of our own.
HBITMAP copyFromScreen(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

}  // namespace

std::string saveWindowPicture(HWND window, const std::wstring& path) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return "no GDI+";
  std::string error;
  HBITMAP bitmap = copyFromScreen(window);
  {
    Gdiplus::Bitmap picture(bitmap, nullptr);
    const auto encoder = pngEncoder();
    if (!encoder) {
      error = "no PNG encoder";
    } else if (picture.Save(path.c_str(), &*encoder, nullptr) != Gdiplus::Ok) {
      error = "cannot write the picture";
    }
  }
  DeleteObject(bitmap);
  Gdiplus::GdiplusShutdown(token);
  return error;
}

}  // namespace windows_driver
