#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

#include "toolkit/resources.h"
#include "toolkit/units.h"

namespace toolkit::win32 {

// Layouts and the resource registry name files by resource path
// (":/pictures/panel.png"); the program's resource script holds each file as
// RCDATA under the path's letters and digits, upper-cased, the rest as '_'
// ("PICTURES_PANEL_PNG").
std::wstring resourceName(std::string_view path);

// The bytes of a resource of the running program, or empty when it has none.
std::string_view resourceBytes(std::string_view path);

// A picture decoded into a bitmap, nullptr when the path is empty or unknown;
// smoothly scaled to `size` when that is given. Transparent parts are black.
struct Picture {
  HBITMAP bitmap = nullptr;
  SIZE size{0, 0};
};
Picture loadPicture(std::string_view path, SIZE size = {0, 0});

// A picture of the program's drawn at a window's dpi. Its pixels are those of
// a 96-dpi screen, as the layout's twips assume, so it grows with the dpi as
// the controls do and stays under the controls laid out over it. The scaled
// copy is made on first use at a size and kept until the size changes.
class ScaledPicture {
 public:
  explicit ScaledPicture(std::string path = {});
  ~ScaledPicture();
  ScaledPicture(const ScaledPicture&) = delete;
  ScaledPicture& operator=(const ScaledPicture&) = delete;

  // Draws it with its top-left corner at (left, top) twips from `origin`,
  // cut off at `clip`; nothing when there is no picture.
  void draw(HDC dc, Twips left, Twips top, POINT origin, const RECT& clip, int dpi);

 private:
  std::string path_;
  SIZE natural_{0, 0};
  Picture scaled_;
};

// A picture as a mouse pointer, nullptr when it has none; the caller destroys
// it (DestroyCursor). Needs the image decoder started (ProgramResources).
HCURSOR loadPointer(const PointerPicture& pointer);

// Starts the image decoder and makes the font files named (resources of the
// running program) known to this process only; the system's font list is
// untouched.
class ProgramResources {
 public:
  explicit ProgramResources(std::span<const std::string_view> fontFiles);
  ~ProgramResources();
  ProgramResources(const ProgramResources&) = delete;
  ProgramResources& operator=(const ProgramResources&) = delete;
  int privateFonts() const { return fonts_; }

 private:
  ULONG_PTR gdiplus_ = 0;
  int fonts_ = 0;
};

// The program's icon (resource 1), or the system's application icon, at
// `size` pixels; the caller destroys it.
HICON programIcon(int size);

}  // namespace toolkit::win32
