#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "toolkit/backend.h"
#include "toolkit/form.h"
#include "toolkit/resources.h"

namespace tests_support {

// The toolkit the window tests run on: Qt's offscreen platform on Linux (or
// the one TARNWICK_TEST_QT_PLATFORM names), the Win32 controls (under Wine
// and Xvfb) on Windows. Message boxes print to standard error, so tests can
// read them. Windows of the program want the program's resources
// (main_window::WindowResources()).
std::unique_ptr<toolkit::Backend> makeTestBackend(const toolkit::Resources& resources = {});

// Runs the event loop for at most `ms` milliseconds, or until `done` holds.
void pump(int ms, const std::function<bool()>& done = {});

// Lets windows that were unloaded go away, so the next test finds only its own.
void flushClosedWindows();

// Runs the events already queued, without waiting for more.
void processEvents();

// Whether a window goes where the program puts it: not on Wayland, where the
// compositor places windows and tells the program nothing of where.
bool programPlacesWindows();

// The system's colours as the user sets them, for running windows too: the
// standard light scheme, or a dark one (on Windows the colours of a dark
// high-contrast scheme; Wine never reports high contrast itself).
enum class SystemColours { Standard, Dark };
void setSystemColours(SystemColours colours);

// A box on the screen in pixels, relative to the top-left corner of the
// window's client area.
struct ScreenRect {
  int left = 0, top = 0, width = 0, height = 0;
  int right() const { return left + width; }  // one past the last column
  int bottom() const { return top + height; }
  bool intersects(const ScreenRect& o) const {
    return left < o.right() && o.left < right() && top < o.bottom() && o.top < bottom();
  }
};

// What a loaded form's window shows, read from the toolkit's own windows as a
// user would see them, and driven as a user would drive it.
class Screen {
 public:
  explicit Screen(toolkit::Form& form);
  ~Screen();
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  int clientWidth() const;  // pixels
  int clientHeight() const;
  // The dots per inch the window is laid out at: 96 where a pixel is 15 twips
  // (Qt's pixels are that size at any scale).
  int dpi() const;
  // Tells the window, as the system does, that its monitor's scale is now
  // `dpi`; false where the toolkit scales windows itself.
  bool changeDpi(int dpi);
  // Where a drawn control lies; nullopt for controls that are not drawn.
  std::optional<ScreenRect> rectOf(std::string_view name, int index = -1) const;
  // Visible, its containers and page included.
  bool shown(std::string_view name, int index = -1) const;
  // Of two overlapping siblings, whether `front` is drawn over `back`.
  bool stackedAbove(std::string_view front, int frontIndex, std::string_view back,
                    int backIndex) const;
  // Puts the focus on a control, presses Tab and names the control that has the
  // focus then ("lblYourOnline(1)" for array members); empty when none.
  std::string focusAfterTab(std::string_view name, int index = -1);
  // A click on a tab of a tab control.
  void clickTab(std::string_view tabControl, int page);
  // A click in the middle of a control, delivered to whatever window lies there.
  void click(std::string_view name, int index = -1);
  // Whether the control shows a scroll bar in that direction that has room to move.
  bool scrolls(std::string_view name, bool vertical) const;
  // What a screen reader calls the control.
  std::string accessibleName(std::string_view name, int index = -1) const;
  // Whether accessibility tools read the control as checked; nullopt when they
  // do not read it as checkable.
  std::optional<bool> checked(std::string_view name, int index = -1) const;
  // What else a screen reader is told of the control: its role in plain words
  // ("push button", "link", "status", "text", "picture", "progress bar",
  // "check box", "edit"), its description and its value, whether it reads as
  // pressed in, and whether it is there at all (a control the user cannot see
  // is not); a windowless control is asked of its container, as tools do.
  std::string accessibleRole(std::string_view name, int index = -1) const;
  std::string accessibleDescription(std::string_view name, int index = -1) const;
  std::string accessibleValue(std::string_view name, int index = -1) const;
  bool accessiblePressed(std::string_view name, int index = -1) const;
  bool accessible(std::string_view name, int index = -1) const;
  // What the window announced to screen readers since the probe was made (on
  // Qt, whose events need a listening bridge: what its live region says now).
  std::vector<std::string> announcements() const;
  // Gives a control the keyboard focus, as the Tab key would; false where the
  // display gives no window the keyboard (a compositor without input devices).
  bool focus(std::string_view name, int index = -1);
  // The control the keyboard is on ("lblYourOnline(1)" for array members);
  // empty when the focus is elsewhere.
  std::string focusedControl() const;
  // Presses keys where the focus is, as the user would: "Tab", "Shift+Tab",
  // "Enter", "Space", "Escape", "Ctrl+Tab", "Ctrl+Shift+Tab", "Ctrl+PgDn",
  // "Ctrl+PgUp". Returns once the window has taken them.
  void pressKey(std::string_view keys);
  // Whether the window's title bar shows an icon.
  bool showsIcon() const;
  // The widths in pixels of the window's own small (title bar) and large
  // (task switcher) icons; nothing where the toolkit leaves them to the system.
  std::optional<std::pair<int, int>> iconWidths() const;
  // Gives a text box the focus as a click at the end of its text would, with
  // the caret hidden so the box can be compared with itself unfocused; false
  // where the toolkit draws a box the same way focused or not.
  bool focusForReading(std::string_view name);
  // Every pixel of a control's window, row by row (0x00BBGGRR); `width` gets
  // the length of a row when asked for.
  std::vector<std::uint32_t> pixels(std::string_view name, int* width = nullptr) const;
  // The colour drawn at a point of a control, given in fractions of its size (0x00BBGGRR).
  std::uint32_t colourAt(std::string_view name, double x, double y) const;
  // What a text box's control holds, as UTF-8 with "\n" line breaks, and its
  // caret (the end of its selection) as a byte offset into that text.
  std::string shownText(std::string_view name) const;
  std::size_t shownCaret(std::string_view name) const;
  // Selects the bytes [from, to) of shownText() in the control, as the user would.
  void select(std::string_view name, std::size_t from, std::size_t to);

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace tests_support
