#include "toolkit/win32/win32_drawing.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {

namespace {

// A user32 function of newer systems, nullptr where it is missing.
template <class Function>
Function user32Function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

int systemDpi() {
  // GetDpiForSystem exists from Windows 10 on; older systems and Wine builds
  // without it give the same answer through the screen's device context.
  using GetDpi = UINT(WINAPI*)();
  static const auto getDpi = user32Function<GetDpi>("GetDpiForSystem");
  if (getDpi) return static_cast<int>(getDpi());
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

namespace {

// The effective dpi of a monitor, from the shell's scaling library of Windows
// 8.1; 0 where there is none. Loaded from System32 alone, as every DLL here.
int monitorDpi(HMONITOR monitor) {
  using GetDpi = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto getDpi = [] {
    HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return shcore ? reinterpret_cast<GetDpi>(
                        reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
  }();
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  UINT x = 0;
  UINT y = 0;
  if (!getDpi || !monitor || FAILED(getDpi(monitor, kEffectiveDpi, &x, &y))) return 0;
  return static_cast<int>(y);
}

}  // namespace

int windowDpi(HWND window) {
  // Windows 10 1607 on; on 8.1 the dpi of the monitor the window is on.
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto getDpi = user32Function<GetDpi>("GetDpiForWindow");
  int dpi = getDpi && window ? static_cast<int>(getDpi(window)) : 0;
  if (dpi <= 0 && window) dpi = monitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
  return dpi > 0 ? dpi : systemDpi();
}

int systemMetricAt(int index, int dpi) {
  using ForDpi = int(WINAPI*)(int, UINT);
  static const auto forDpi = user32Function<ForDpi>("GetSystemMetricsForDpi");
  if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
  // Before Windows 10 1607 metrics are the system dpi's: scaled to the window's.
  return MulDiv(GetSystemMetrics(index), dpi, systemDpi());
}

SIZE frameSize(SIZE client, DWORD style, DWORD exStyle, int dpi) {
  using Adjust = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = user32Function<Adjust>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, client.cx, client.cy};
  if (!adjustForDpi || !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

int toPixels(Twips twips, int dpi) {
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

Twips toTwips(int pixels, int dpi) {
  return static_cast<Twips>(pixels) * 1440.0 / dpi;
}

RECT toPixelRect(Twips left, Twips top, Twips width, Twips height, int dpi) {
  RECT r;
  r.left = toPixels(left, dpi);
  r.top = toPixels(top, dpi);
  r.right = std::max<LONG>(r.left, toPixels(left + width, dpi));
  r.bottom = std::max<LONG>(r.top, toPixels(top + height, dpi));
  return r;
}

COLORREF toColorRef(Colour colour) {
  if (isSystemColour(colour)) return GetSysColor(systemColourIndex(colour));
  return static_cast<COLORREF>(colour & 0x00FFFFFFu);
}

ColourScheme systemScheme() {
  ColourScheme scheme;
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)) {
    scheme.highContrast = (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
  }
  scheme.dark = isDarkScheme(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW));
  return scheme;
}

void drawFocusRing(HDC dc, const RECT& box, COLORREF colour, int inset, int dpi) {
  const int width = std::max(2, MulDiv(2, dpi, 96));
  inset = MulDiv(inset, dpi, 96);
  RECT r = box;
  InflateRect(&r, -inset, -inset);
  if (r.right - r.left < 2 * width || r.bottom - r.top < 2 * width) return;
  HBRUSH brush = CreateSolidBrush(colour);
  const RECT edges[] = {{r.left, r.top, r.right, r.top + width},
                        {r.left, r.bottom - width, r.right, r.bottom},
                        {r.left, r.top, r.left + width, r.bottom},
                        {r.right - width, r.top, r.right, r.bottom}};
  for (const RECT& edge : edges) FillRect(dc, &edge, brush);
  DeleteObject(brush);
}

bool focusCuesShown(HWND window) {
  return (SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

namespace {

int CALLBACK noteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

HFONT createFont(const std::wstring& face, int height, int width, int weight, bool italic) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfWeight = weight;
  lf.lfItalic = italic ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

int averageWidth(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return metrics.tmAveCharWidth;
}

}  // namespace

bool faceInstalled(const std::string& face) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, widen(face).c_str(), LF_FACESIZE);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &lf, noteFamily, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

FontCache::~FontCache() {
  for (auto& [key, font] : fonts_) DeleteObject(font.handle);
}

const DrawnFont& FontCache::get(const Font& font) {
  const Key key{font.face, font.points, font.weight, font.italic};
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
  std::string face = font.face;
  double points = font.points;
  int stretch = 0;
  double letter = 0, word = 0;
  if (!faceInstalled(face)) {
    if (const FontStandIn* s = findFontStandIn(standIns_, face)) {
      face.assign(s->standIn);
      points *= s->sizeScale;
      stretch = s->stretch;
      letter = s->letterSpacing;
      word = s->wordSpacing;
    }
  }
  const std::wstring wide = widen(face);
  const int pixels = static_cast<int>(std::lround(points * dpi_ / 72.0));
  DrawnFont drawn;
  drawn.handle = createFont(wide, -pixels, 0, font.weight, font.italic);
  if (stretch > 0 && stretch != 100 && drawn.handle) {
    const int width = averageWidth(drawn.handle) * stretch / 100;
    DeleteObject(drawn.handle);
    drawn.handle = createFont(wide, -pixels, std::max(1, width), font.weight, font.italic);
  }
  drawn.letterSpacing = static_cast<int>(std::lround(letter * pixels));
  drawn.wordSpacing = static_cast<int>(std::lround(word * pixels));
  return fonts_.emplace(key, drawn).first->second;
}

SpacedLine layOutSpacedText(HDC dc, const std::wstring& text, const RECT& box, Alignment alignment,
                            bool centre, const DrawnFont& font) {
  SpacedLine line;
  line.advances.resize(text.size());
  int total = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    SIZE size{};
    GetTextExtentPoint32W(dc, &text[i], 1, &size);
    int advance = size.cx + font.letterSpacing;
    if (text[i] == L' ') advance += font.wordSpacing;
    line.advances[i] = advance;
    total += advance;
  }
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  int x = box.left;
  if (alignment == Alignment::Right) x = box.right - total;
  if (alignment == Alignment::Center) x = box.left + (box.right - box.left - total) / 2;
  line.edges.reserve(text.size() + 1);
  for (INT advance : line.advances) {
    line.edges.push_back(x);
    x += advance;
  }
  line.edges.push_back(x);
  line.top = box.top;
  if (centre) line.top = box.top + (box.bottom - box.top - metrics.tmHeight) / 2;
  return line;
}

void drawSpacedText(HDC dc, const std::wstring& text, const RECT& box, const SpacedLine& line) {
  if (text.empty() || line.edges.empty()) return;
  ExtTextOutW(dc, line.edges.front(), line.top, ETO_CLIPPED, &box, text.c_str(),
              static_cast<UINT>(text.size()), line.advances.data());
}

void drawSpacedText(HDC dc, const std::wstring& text, const RECT& box, Alignment alignment,
                    bool centre, const DrawnFont& font) {
  if (text.empty()) return;
  drawSpacedText(dc, text, box, layOutSpacedText(dc, text, box, alignment, centre, font));
}

}  // namespace toolkit::win32
