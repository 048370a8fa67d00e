#pragma once

#include <windows.h>

#include <map>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "toolkit/layout.h"
#include "toolkit/resources.h"
#include "toolkit/scheme_colours.h"
#include "toolkit/units.h"

namespace toolkit::win32 {

// The screen's dots per inch (96 unless the user scaled the display); the
// program is DPI-aware, so this is what twips convert against.
int systemDpi();

// The dpi a window is drawn at: its monitor's under per-monitor awareness
// (Windows 8.1 and later), the system's before.
int windowDpi(HWND window);

// A system metric (SM_CXICON, SM_CXSMICON...) for a window drawn at `dpi`.
int systemMetricAt(int index, int dpi);

// The outer size of a window whose client area is `client` pixels at `dpi`;
// the frame itself grows with the dpi where the system scales it.
SIZE frameSize(SIZE client, DWORD style, DWORD exStyle, int dpi);

// Twips to device pixels at `dpi` (15 twips a pixel at 96). Edges are rounded,
// not widths, so boxes that meet or overlap in twips do in pixels too.
int toPixels(Twips twips, int dpi);
Twips toTwips(int pixels, int dpi);
RECT toPixelRect(Twips left, Twips top, Twips width, Twips height, int dpi);

// 0x00BBGGRR is already a COLORREF; 0x800000xx asks the system for colour xx.
COLORREF toColorRef(Colour colour);

// What the system's colours are like now: high contrast as the user turned it
// on (SPI_GETHIGHCONTRAST), dark when the window text is lighter than the window.
ColourScheme systemScheme();

// The focus indicator of the controls the program draws: a ring two pixels
// wide in `colour`, `inset` pixels inside `box`, pixels of 96 dpi grown to `dpi`.
void drawFocusRing(HDC dc, const RECT& box, COLORREF colour, int inset, int dpi);

// Whether the window shows focus rectangles now: the system hides them until
// the keyboard is used, unless the user asked to see them always.
bool focusCuesShown(HWND window);

// A font as created for drawing, with the spacing its stand-in needs where the
// program draws the text itself.
struct DrawnFont {
  HFONT handle = nullptr;
  int letterSpacing = 0;  // pixels added after each character
  int wordSpacing = 0;    // pixels added to each space
};

// The fonts of one window, made on first use at the window's DPI and deleted
// with it. A face that is not installed is drawn in its stand-in, if it has one.
class FontCache {
 public:
  FontCache(int dpi, std::span<const FontStandIn> standIns) : dpi_(dpi), standIns_(standIns) {}
  ~FontCache();
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

  const DrawnFont& get(const Font& font);

 private:
  using Key = std::tuple<std::string, double, int, bool>;
  int dpi_;
  std::span<const FontStandIn> standIns_;
  std::map<Key, DrawnFont> fonts_;
};

// Whether the system knows a font family by this name.
bool faceInstalled(const std::string& face);

// Where one line of text drawn with extra letter and word spacing lies in
// `box`: the left edge of each character and, last, the end of the line.
struct SpacedLine {
  std::vector<INT> advances;
  std::vector<int> edges;
  int top = 0;
};
SpacedLine layOutSpacedText(HDC dc, const std::wstring& text, const RECT& box, Alignment alignment,
                            bool centre, const DrawnFont& font);

// Draws one line of text into `box` with extra letter and word spacing, aligned
// as asked and centred vertically when `centre` is set; the caller selects font
// and colours.
void drawSpacedText(HDC dc, const std::wstring& text, const RECT& box, Alignment alignment,
                    bool centre, const DrawnFont& font);
void drawSpacedText(HDC dc, const std::wstring& text, const RECT& box, const SpacedLine& line);

}  // namespace toolkit::win32
