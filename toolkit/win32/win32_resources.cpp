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

// The picture decoded, nullptr when the path is empty, unknown or not a picture;
// the caller disposes of it.
Gdiplus::GpBitmap* decode(std::string_view path) {
  const std::string_view bytes = resourceBytes(path);
  if (bytes.empty()) return nullptr;
  IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                      static_cast<UINT>(bytes.size()));
  if (!stream) return nullptr;
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromStream(stream, &bitmap) != Gdiplus::Ok) {
    bitmap = nullptr;
  }
  stream->Release();
  return bitmap;
}

}  // namespace

std::string_view resourceBytes(std::string_view path) {
  if (path.empty()) return {};
  const std::wstring name = resourceName(path);
  return bytesOf(FindResourceW(nullptr, name.c_str(), MAKEINTRESOURCEW(10)));  // RT_RCDATA
}

Picture loadPicture(std::string_view path) {
  Picture picture;
  Gdiplus::GpBitmap* bitmap = decode(path);
  if (!bitmap) return picture;
  UINT width = 0, height = 0;
  Gdiplus::DllExports::GdipGetImageWidth(bitmap, &width);
  Gdiplus::DllExports::GdipGetImageHeight(bitmap, &height);
  // Transparent parts come out black, as the pictures' panels are.
  if (Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &picture.bitmap, 0xFF000000) ==
      Gdiplus::Ok) {
    picture.size = SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
  }
  Gdiplus::DllExports::GdipDisposeImage(bitmap);
  return picture;
}

HCURSOR loadPointer(const PointerPicture& pointer) {
  Gdiplus::GpBitmap* bitmap = decode(pointer.picture);
  if (!bitmap) return nullptr;
  // An icon keeps the picture's transparency; a cursor is an icon with a hot spot.
  HICON icon = nullptr;
  Gdiplus::DllExports::GdipCreateHICONFromBitmap(bitmap, &icon);
  Gdiplus::DllExports::GdipDisposeImage(bitmap);
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) {
    if (icon) DestroyIcon(icon);
    return nullptr;
  }
  info.fIcon = FALSE;
  info.xHotspot = static_cast<DWORD>(std::max(0, pointer.hotX));
  info.yHotspot = static_cast<DWORD>(std::max(0, pointer.hotY));
  HCURSOR cursor = CreateIconIndirect(&info);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DestroyIcon(icon);
  return cursor;
}

ProgramResources::ProgramResources(std::span<const std::string_view> fontFiles) {
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&gdiplus_, &input, nullptr);
  for (std::string_view file : fontFiles) {
    const std::string_view bytes = resourceBytes(file);
    DWORD installed = 0;
    if (!bytes.empty() &&
        AddFontMemResourceEx(const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                             nullptr, &installed)) {
      ++fonts_;
    }
  }
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
