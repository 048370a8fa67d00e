#include "toolkit/win32/win32_resources.h"

// clang-format off
// GDI+'s headers want min and max in their namespace and objidl.h before them.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <objidl.h>
#include <gdiplus.h>
#include <shlwapi.h>
// clang-format on

namespace toolkit::win32 {

std::wstring resourceName(std::string_view path) {
  while (!path.empty() && (path.front() == ':' || path.front() == '/')) path.remove_prefix(1);
  std::wstring name;
  for (char c : path) {
    if (c >= 'a' && c <= 'z') {
      name += static_cast<wchar_t>(c - 'a' + 'A');
    } else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      name += static_cast<wchar_t>(c);
    } else {
      name += L'_';
    }
  }
  return name;
}

namespace {

std::string_view bytesOf(HRSRC found) {
  if (!found) return {};
  HGLOBAL loaded = LoadResource(nullptr, found);
  const DWORD size = SizeofResource(nullptr, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  return {static_cast<const char*>(data), size};
}

BOOL CALLBACK addFont(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR count) {
  const std::string_view bytes = bytesOf(FindResourceW(module, name, type));
  if (bytes.empty()) return TRUE;
  DWORD installed = 0;
  if (AddFontMemResourceEx(const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                           nullptr, &installed)) {
    ++*reinterpret_cast<int*>(count);
  }
  return TRUE;
}

}  // namespace

std::string_view resourceBytes(std::string_view path) {
  if (path.empty()) return {};
  const std::wstring name = resourceName(path);
  return bytesOf(FindResourceW(nullptr, name.c_str(), MAKEINTRESOURCEW(10)));  // RT_RCDATA
}

Picture loadPicture(std::string_view path) {
  Picture picture;
  const std::string_view bytes = resourceBytes(path);
  if (bytes.empty()) return picture;
  IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                      static_cast<UINT>(bytes.size()));
  if (!stream) return picture;
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromStream(stream, &bitmap) == Gdiplus::Ok) {
    UINT width = 0, height = 0;
    Gdiplus::DllExports::GdipGetImageWidth(bitmap, &width);
    Gdiplus::DllExports::GdipGetImageHeight(bitmap, &height);
    // Transparent parts come out black, as the pictures' panels are.
    if (Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &picture.bitmap, 0xFF000000) ==
        Gdiplus::Ok) {
      picture.size = SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
    }
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
  }
  stream->Release();
  return picture;
}

ProgramResources::ProgramResources() {
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&gdiplus_, &input, nullptr);
  EnumResourceNamesW(nullptr, L"FONTFILE", addFont, reinterpret_cast<LONG_PTR>(&fonts_));
}

ProgramResources::~ProgramResources() {
  if (gdiplus_) Gdiplus::GdiplusShutdown(gdiplus_);
}

HICON programIcon(int size) {
  auto* icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
  if (icon) return icon;
  return static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(32512), IMAGE_ICON, size, size,
                                       LR_SHARED));  // IDI_APPLICATION
}

}  // namespace toolkit::win32
