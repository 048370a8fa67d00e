#include "toolkit/win32/win32_resources.h"

#include "toolkit/win32/win32_drawing.h"

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

namespace {

// `source` redrawn at width x height with the smoothest filter GDI+ has. The
// edges are mirrored outwards while filtering, so they keep their colour
// instead of fading into transparency. nullptr when GDI+ fails.
Gdiplus::GpBitmap* scaled(Gdiplus::GpBitmap* source, UINT width, UINT height, SIZE size) {
  using namespace Gdiplus;
  GpBitmap* target = nullptr;
  if (DllExports::GdipCreateBitmapFromScan0(size.cx, size.cy, 0, PixelFormat32bppARGB, nullptr,
                                            &target) != Ok) {
    return nullptr;
  }
  GpGraphics* graphics = nullptr;
  GpImageAttributes* attributes = nullptr;
  bool drawn = DllExports::GdipGetImageGraphicsContext(target, &graphics) == Ok &&
               DllExports::GdipCreateImageAttributes(&attributes) == Ok;
  if (drawn) {
    DllExports::GdipSetInterpolationMode(graphics, InterpolationModeHighQualityBicubic);
    DllExports::GdipSetPixelOffsetMode(graphics, PixelOffsetModeHighQuality);
    DllExports::GdipSetCompositingMode(graphics, CompositingModeSourceCopy);
    DllExports::GdipSetImageAttributesWrapMode(attributes, WrapModeTileFlipXY, 0, FALSE);
    drawn = DllExports::GdipDrawImageRectRectI(graphics, source, 0, 0, size.cx, size.cy, 0, 0,
                                               static_cast<INT>(width), static_cast<INT>(height),
                                               UnitPixel, attributes, nullptr, nullptr) == Ok;
  }
  if (attributes) DllExports::GdipDisposeImageAttributes(attributes);
  if (graphics) DllExports::GdipDeleteGraphics(graphics);
  if (!drawn) {
    DllExports::GdipDisposeImage(target);
    return nullptr;
  }
  return target;
}

}  // namespace

Picture loadPicture(std::string_view path, SIZE size) {
  Picture picture;
  Gdiplus::GpBitmap* bitmap = decode(path);
  if (!bitmap) return picture;
  UINT width = 0, height = 0;
  Gdiplus::DllExports::GdipGetImageWidth(bitmap, &width);
  Gdiplus::DllExports::GdipGetImageHeight(bitmap, &height);
  SIZE drawn{static_cast<LONG>(width), static_cast<LONG>(height)};
  if (size.cx > 0 && size.cy > 0 && (size.cx != drawn.cx || size.cy != drawn.cy)) {
    if (Gdiplus::GpBitmap* resized = scaled(bitmap, width, height, size)) {
      Gdiplus::DllExports::GdipDisposeImage(bitmap);
      bitmap = resized;
      drawn = size;
    }
  }
  // Transparent parts come out black, as the pictures' panels are.
  if (Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &picture.bitmap, 0xFF000000) ==
      Gdiplus::Ok) {
    picture.size = drawn;
  }
  Gdiplus::DllExports::GdipDisposeImage(bitmap);
  return picture;
}

ScaledPicture::ScaledPicture(std::string path) : path_(std::move(path)) {
  if (path_.empty()) return;
  scaled_ = loadPicture(path_);
  natural_ = scaled_.size;
}

ScaledPicture::~ScaledPicture() {
  if (scaled_.bitmap) DeleteObject(scaled_.bitmap);
}

void ScaledPicture::draw(HDC dc, Twips left, Twips top, POINT origin, const RECT& clip, int dpi) {
  if (!scaled_.bitmap) return;
  constexpr Twips kTwipsPerPixel = 15;  // at 96 dpi
  RECT box =
      toPixelRect(left, top, natural_.cx * kTwipsPerPixel, natural_.cy * kTwipsPerPixel, dpi);
  OffsetRect(&box, origin.x, origin.y);
  const SIZE size{box.right - box.left, box.bottom - box.top};
  if (size.cx <= 0 || size.cy <= 0) return;
  if (size.cx != scaled_.size.cx || size.cy != scaled_.size.cy) {
    Picture fresh = loadPicture(path_, size);
    if (!fresh.bitmap) return;
    DeleteObject(scaled_.bitmap);
    scaled_ = fresh;
  }
  RECT shown;
  if (!IntersectRect(&shown, &box, &clip)) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, scaled_.bitmap);
  BitBlt(dc, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top, source,
         shown.left - box.left, shown.top - box.top, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
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
  // A copy of its own at this size, not the shared one: the window destroys it.
  return static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(32512), IMAGE_ICON, size, size,
                                       0));  // IDI_APPLICATION
}

}  // namespace toolkit::win32
