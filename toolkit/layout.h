#pragma once

#include <optional>
#include <string>
#include <vector>

#include "toolkit/units.h"

namespace toolkit {

// A font as a layout names it. When the face is not installed the backend uses a
// stand-in face (see the backend's font table); size and style stay.
struct Font {
  std::string face = "Tahoma";
  double points = 8.25;
  int weight = 400;  // 400 regular, 700 bold
  bool italic = false;
};

enum class ControlKind {
  TextBox,
  Label,
  CheckBox,  // graphical (push-button style) check box
  CommandButton,
  PictureBox,
  Image,
  Timer,
  ProgressBar,
  TabControl,
  InternetTransfer,  // not drawn; carries fetch settings
  Winsock,           // not drawn; unused
};

enum class Alignment { Left, Right, Center };
enum class Border { None, Flat, Sunken };
enum class ScrollBars { None, Horizontal, Vertical, Both };
enum class MousePointer { Default, Hand };

// What assistive technology is told a control is, where its kind would tell
// something else: a check box that gives a command is a button, a light of a
// status light shows a state and takes no input, a label that opens a page is
// a link (and so takes the focus, as links do).
enum class AccessibleRole {
  Kind,        // as its kind: a text box, a check box, a button, a label...
  PushButton,  // gives a command when pressed, whatever draws it
  Link,        // opens a web page
  Status,      // shows a state: a pressed-in face reads as pressed, never as checked
  Text,        // static text, whatever draws it
  Picture,
};

// One control as the window creates it. Plain data, so a window's layout is a
// table that tests can read without a display.
struct ControlLayout {
  ControlKind kind = ControlKind::Label;
  std::string name;
  int index = -1;      // member of a control array when >= 0
  std::string parent;  // container's name; empty for the window itself
  int page = -1;       // page of the parent tab control, when the parent is one
  int left = 0, top = 0, width = 0, height = 0;  // twips, in the parent's coordinates
  int tabIndex = -1;
  std::string text;                  // caption or text
  std::optional<Font> font;          // the window's font when empty
  std::optional<Colour> foreColour;  // platform standard when empty
  std::optional<Colour> backColour;  // platform standard (or transparent label) when empty
  Alignment alignment = Alignment::Left;
  Border border = Border::Sunken;
  bool multiLine = false;
  ScrollBars scrollBars = ScrollBars::None;
  bool enabled = true;
  bool visible = true;
  std::string toolTip;
  // What a screen reader calls the control: the label beside a text box, what a
  // light is (see accessible_text.h for how it meets the caption).
  std::string accessibleName;
  AccessibleRole accessibleRole = AccessibleRole::Kind;
  // What a screen reader says after the name and role; the tool tip when empty.
  std::string accessibleDescription;
  MousePointer pointer = MousePointer::Default;
  int value = 0;                         // check box value, progress bar value
  std::string picture;                   // resource path of a picture (":/..."), empty for none
  int minimum = 0, maximum = 100;        // progress bar range
  int interval = 0;                      // timer interval in ms
  std::vector<std::string> tabCaptions;  // tab control pages
  int tabHeight = 0;                     // tab control: height of the tab row in twips
  int tabsPerRow = 0;
  std::optional<Font> tabFont;
  int remotePort = 0;      // internet transfer control
  int requestTimeout = 0;  // internet transfer control, seconds
};

enum class StartPosition { CenterScreen, SystemDefault };

struct WindowLayout {
  std::string caption;
  int clientWidth = 0, clientHeight = 0;  // twips
  bool minButton = false;
  bool maxButton = false;
  StartPosition startPosition = StartPosition::SystemDefault;
  std::string icon;  // resource path, empty for the platform's default
  Font font;
  std::optional<Colour> backColour;
  // Esc closes the window, as it closes a window that only shows something.
  bool closesOnEscape = false;
  std::vector<ControlLayout> controls;  // each container's children front to back
};

}  // namespace toolkit
