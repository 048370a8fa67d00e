#include "main_window/form1_layout.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "main_window/about_text.h"
#include "reports/report_windows.h"

namespace main_window {
namespace {

using reports::kAdapterInfoCaption;
using reports::kAdditionalAdapterInfoCaption;
using toolkit::Alignment;
using toolkit::Border;
using toolkit::Colour;
using toolkit::ControlKind;
using toolkit::ControlLayout;
using toolkit::Font;
using toolkit::MousePointer;
using toolkit::rgb;
namespace system_colour = toolkit::system_colour;

constexpr Colour kBlack = rgb(0, 0, 0);
constexpr Colour kGreen = rgb(0, 255, 0);
constexpr Colour kLegendGreen = rgb(0, 192, 0);

constexpr const char* kTab = "SSTTab0";
constexpr const char* kPanel = "Picture1";

struct Box {
  int left, top, width, height;
};

ControlLayout control(ControlKind kind, std::string name, std::string parent, Box box,
                      int tabIndex) {
  ControlLayout c;
  c.kind = kind;
  c.name = std::move(name);
  c.parent = std::move(parent);
  c.left = box.left;
  c.top = box.top;
  c.width = box.width;
  c.height = box.height;
  c.tabIndex = tabIndex;
  // Only text boxes and picture boxes draw an edge; each row says which.
  c.border = Border::None;
  return c;
}

ControlLayout onPage(ControlLayout c, int page) {
  c.page = page;
  return c;
}

// The green-on-black seven-segment boxes of the first page: flat, right-aligned.
ControlLayout digitalBox(std::string name, std::string parent, Box box, int tabIndex, Colour back) {
  ControlLayout c =
      control(ControlKind::TextBox, std::move(name), std::move(parent), box, tabIndex);
  c.font = kD14;
  c.foreColour = kGreen;
  c.backColour = back;
  c.border = Border::Flat;
  c.alignment = Alignment::Right;
  return c;
}

// A transparent label; no background colour means the parent shows through.
ControlLayout label(std::string name, std::string parent, Box box, int tabIndex,
                    std::string caption, const Font& font, Colour fore) {
  ControlLayout c = control(ControlKind::Label, std::move(name), std::move(parent), box, tabIndex);
  c.text = std::move(caption);
  c.font = font;
  c.foreColour = fore;
  return c;
}

// A graphical check box: a push-button face filled with its background colour.
ControlLayout toggle(std::string name, Box box, int tabIndex, std::string caption,
                     std::optional<Colour> fore, Colour back) {
  ControlLayout c = control(ControlKind::CheckBox, std::move(name), kPanel, box, tabIndex);
  c.text = std::move(caption);
  c.font = kT8B;
  c.foreColour = fore;
  c.backColour = back;
  c.alignment = Alignment::Center;
  c.value = toolkit::kUnchecked;
  return c;
}

// A light of the status light shows a state: a screen reader calls it by its
// colour and its caption ("Green light: Online") and reads it pressed in or not.
ControlLayout light(ControlLayout c, std::string colourName) {
  c.accessibleName = std::move(colourName);
  c.accessibleRole = toolkit::AccessibleRole::Status;
  return c;
}

ControlLayout role(ControlLayout c, toolkit::AccessibleRole role) {
  c.accessibleRole = role;
  return c;
}

ControlLayout described(ControlLayout c, std::string description) {
  c.accessibleDescription = std::move(description);
  return c;
}

// A result box is called by the label beside it, as a sighted user reads it.
void nameAfterLabel(std::vector<ControlLayout>& controls, std::string_view box,
                    std::string_view label) {
  std::string text;
  for (const auto& c : controls) {
    if (c.name == label) text = c.text;
  }
  for (auto& c : controls) {
    if (c.name == box) c.accessibleName = text;
  }
}

ControlLayout disabled(ControlLayout c) {
  c.enabled = false;
  return c;
}

ControlLayout handPointer(ControlLayout c) {
  c.pointer = MousePointer::Hand;
  return c;
}

ControlLayout button(std::string name, std::string parent, Box box, int tabIndex,
                     std::string caption) {
  ControlLayout c =
      control(ControlKind::CommandButton, std::move(name), std::move(parent), box, tabIndex);
  c.text = std::move(caption);
  c.font = kT8;
  c.alignment = Alignment::Center;
  return c;
}

// A sentence of the legend; what the row of the picture under it shows is its
// description, so a screen reader reads the row with it.
ControlLayout legendLabel(std::string name, int index, Box box, int tabIndex, std::string caption,
                          std::string row) {
  ControlLayout c =
      onPage(label(std::move(name), kTab, box, tabIndex, std::move(caption), kD12, kLegendGreen),
             kLegendPage);
  c.index = index;
  c.alignment = Alignment::Center;
  c.accessibleDescription = std::move(row);
  return c;
}

// The black panel of the first page and everything on it, front to back.
void addPanelControls(std::vector<ControlLayout>& out) {
  ControlLayout bar =
      control(ControlKind::ProgressBar, "ProgressBar1", kPanel, {240, 2280, 5025, 165}, 24);
  bar.minimum = 0;
  bar.maximum = 100;
  bar.value = 0;
  out.push_back(bar);

  // Reload is a check box only in how it is drawn: it gives a command.
  out.push_back(
      role(handPointer(toggle("chkReload", {2240, 2040, 3030, 340}, 18, "Reload", kGreen, kBlack)),
           toolkit::AccessibleRole::PushButton));
  // The heading of the buttons "1" and "2".
  out.push_back(role(handPointer(disabled(toggle("chkAdp", {240, 2040, 1335, 340}, 23,
                                                 "Adapter Info", kGreen, kBlack))),
                     toolkit::AccessibleRole::Text));
  out.push_back(light(
      disabled(toggle("chkred", {4260, 1720, 1010, 340}, 16, "", std::nullopt, rgb(255, 0, 0))),
      "Red light"));
  out.push_back(light(disabled(toggle("chkyellow", {3260, 1720, 1030, 340}, 15, "", std::nullopt,
                                      rgb(255, 255, 0))),
                      "Yellow light"));
  out.push_back(light(disabled(toggle("chkgreen", {2250, 1720, 1040, 340}, 14, "",
                                      system_colour::kWindowText, kGreen)),
                      "Green light"));
  // The status box: the status the light shows is its value (status_announcement.h).
  out.push_back(role(
      disabled(toggle("chkstatus", {240, 1720, 2055, 340}, 17, "Online Status:", kGreen, kBlack)),
      toolkit::AccessibleRole::Status));

  out.push_back(digitalBox("txtLocal", kPanel, {2250, 1200, 3015, 405}, 9, kBlack));

  ControlLayout inet = control(ControlKind::InternetTransfer, "Inet1", kPanel, {}, -1);
  inet.remotePort = 80;
  inet.requestTimeout = 60;
  out.push_back(inet);
  out.push_back(control(ControlKind::Winsock, "Winsock1", kPanel, {}, -1));
  ControlLayout timer = control(ControlKind::Timer, "Timer1", kPanel, {}, -1);
  timer.enabled = true;
  timer.interval = 0;  // no ticks until the start-up sets an interval
  out.push_back(timer);

  // "1" and "2" are described by the windows they open.
  out.push_back(described(handPointer(button("Ainfo1", kPanel, {1580, 2040, 350, 340}, 25, "1")),
                          kAdapterInfoCaption));
  out.push_back(described(handPointer(button("Ainfo2", kPanel, {1920, 2040, 350, 340}, 26, "2")),
                          kAdditionalAdapterInfoCaption));

  out.push_back(label("lblLocal", kPanel, {240, 1240, 1410, 285}, 10, "Localhost:", kD14, kGreen));
  out.push_back(label("lblWorking", kPanel, {480, 120, 4515, 435}, 7, "Gathering Information...",
                      kD21, kGreen));
  out.push_back(label("LAN2", kPanel, {240, 745, 1740, 285}, 6, "Your Lan Ip Is:", kD14, kGreen));
  ControlLayout wanLabel =
      label("WAN2", kPanel, {240, 270, 1740, 285}, 5, "Your Wan Ip Is:", kD14, kGreen);
  wanLabel.toolTip = "WAN IP NOT SHOWING UP - CLICK HERE.";
  // A click on it opens a web page: a link, which the keyboard reaches too.
  out.push_back(role(wanLabel, toolkit::AccessibleRole::Link));
}

// Page 0, "WAN LAN", front to back. The address boxes lie over the panel's rows.
void addWanLanPage(std::vector<ControlLayout>& out) {
  out.push_back(
      onPage(digitalBox("txtStatus", kTab, {5280, 600, 3015, 405}, 3, kBlack), kWanLanPage));
  out.push_back(onPage(
      digitalBox("LAN", kTab, {2280, 1090, 3015, 405}, 2, system_colour::kMenuText), kWanLanPage));
  out.push_back(onPage(
      digitalBox("WAN", kTab, {2280, 600, 3015, 405}, 1, system_colour::kWindowText), kWanLanPage));

  ControlLayout panel = control(ControlKind::PictureBox, kPanel, kTab, {0, 360, 5520, 2625}, 4);
  panel.page = kWanLanPage;
  panel.border = Border::Flat;
  panel.picture = kPanelPicture;
  out.push_back(panel);
  addPanelControls(out);
}

// Page 1, "Legend": each sentence stands above the row of the picture it explains.
void addLegendPage(std::vector<ControlLayout>& out) {
  out.push_back(legendLabel("lblYourOffline", 1, {2040, 2320, 1380, 240}, 22, "Your offline.",
                            "Green light pressed, yellow light pressed, red light: Offline."));
  out.push_back(legendLabel("lblYourOffline", 0, {720, 1720, 4140, 240}, 21,
                            "Your offline connected to router only.",
                            "Green light pressed, yellow light: LAN Only, red light: Offline."));
  out.push_back(legendLabel("lblYourOnline", 1, {960, 1120, 3615, 240}, 20,
                            "Your online with modem and router.",
                            "Green light: Online, yellow light: LAN /WAN, red light pressed."));
  out.push_back(legendLabel("lblYourOnline", 0, {1320, 520, 2955, 240}, 19,
                            "Your online with modem only.",
                            "Green light: Online, yellow light: WAN Only, red light pressed."));

  ControlLayout legend =
      onPage(control(ControlKind::Image, "Image1", kTab, {0, 360, 5580, 2670}, -1), kLegendPage);
  legend.picture = kLegendPicture;
  legend.accessibleName = "Legend of the status light";
  out.push_back(legend);
}

// Page 2, "About / Help": the text, the logo in its top-right corner, the Visit button.
void addAboutPage(std::vector<ControlLayout>& out, const MakerInfo& maker) {
  ControlLayout visit = onPage(
      button("Brevan", kTab, {0, 2740, 5535, 240}, 12, "Visit " + maker.webAddress), kAboutPage);
  visit.toolTip = "Click to visit Quillsey";
  out.push_back(role(visit, toolkit::AccessibleRole::Link));

  ControlLayout logo = onPage(
      control(ControlKind::PictureBox, "Picture4", kTab, {4320, 360, 900, 825}, 13), kAboutPage);
  logo.picture = kLogoPicture;
  out.push_back(logo);

  ControlLayout text =
      onPage(control(ControlKind::TextBox, "txtText1", kTab, {0, 360, 5490, 2400}, 11), kAboutPage);
  text.text = AboutText(maker);
  text.font = kT8;
  text.foreColour = kGreen;
  text.backColour = kBlack;
  text.border = Border::Flat;
  text.multiLine = true;
  text.scrollBars = toolkit::ScrollBars::Vertical;
  out.push_back(text);
}

}  // namespace

toolkit::WindowLayout Form1Layout(const MakerInfo& maker) {
  toolkit::WindowLayout window;
  window.caption = kForm1Caption;
  window.clientWidth = 5490;
  window.clientHeight = 2940;
  window.minButton = false;
  window.maxButton = false;
  window.startPosition = toolkit::StartPosition::CenterScreen;
  window.icon = kIconPicture;
  window.font = kT8;
  window.backColour = kBlack;

  auto& out = window.controls;
  // Right of the client area, so never seen: it only carries the reachability marker.
  ControlLayout marker = control(ControlKind::TextBox, "txtStatus2", "", {5640, 1080, 735, 285}, 8);
  marker.font = kT8;
  marker.border = Border::Sunken;
  out.push_back(marker);

  // Runs 45 twips past the right and 75 past the bottom of the client area; the
  // frame cuts that off.
  ControlLayout tab = control(ControlKind::TabControl, kTab, "", {0, 0, 5535, 3015}, 0);
  tab.tabCaptions = {"WAN LAN", "Legend", "About / Help"};
  tab.tabsPerRow = 3;
  tab.tabHeight = 295;  // 5.20 mm
  tab.tabFont = kD12;
  tab.backColour = system_colour::kButtonFace;
  tab.value = kWanLanPage;
  out.push_back(tab);

  addWanLanPage(out);
  addLegendPage(out);
  addAboutPage(out, maker);
  nameAfterLabel(out, "WAN", "WAN2");
  nameAfterLabel(out, "LAN", "LAN2");
  nameAfterLabel(out, "txtLocal", "lblLocal");
  nameAfterLabel(out, "ProgressBar1", "lblWorking");
  return window;
}

}  // namespace main_window
