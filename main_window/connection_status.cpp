#include "main_window/connection_status.h"

#include "basics/text.h"
#include "probes/address_text.h"

namespace main_window {
namespace {

using basics::skipOnFailure;

void set(toolkit::TextBox& box, const std::string& text) {
  skipOnFailure([&] { box.setText(text); });
}

void check(toolkit::CheckBox& box) {
  skipOnFailure([&] { box.setValue(toolkit::kChecked); });
}

void caption(toolkit::CheckBox& box, const char* text) {
  skipOnFailure([&] { box.setCaption(text); });
}

void top(toolkit::CheckBox& box, int twips) {
  skipOnFailure([&] { box.setTop(twips); });
}

struct Caption {
  toolkit::CheckBox& box;
  const char* text;
};

// The three answers that light one light: the status box and the three lights
// appear in the order the light is built, one light is pressed and moved to
// `pressedTop`, and two lights are captioned.
void lightOne(const Form1Controls& c, toolkit::CheckBox& pressed, int pressedTop, Caption first,
              Caption second) {
  for (toolkit::CheckBox* box : {&c.chkstatus, &c.chkgreen, &c.chkred, &c.chkyellow}) {
    skipOnFailure([&] { box->setVisible(true); });
  }
  check(pressed);
  caption(first.box, first.text);
  caption(second.box, second.text);
  top(pressed, pressedTop);
}

}  // namespace

bool Contains(std::string_view text, std::string_view part) {
  return basics::containsIgnoringCase(text, part);
}

bool ClassifyConnection(const Form1Controls& c, const EchoEvidence& echo) {
  // The loopback address is no LAN address; "Shit!" never stays on screen, as
  // both branches without a LAN address write "Null" over it.
  skipOnFailure([&] {
    if (Contains(c.lan.text(), "127.0.0.1")) c.lan.setText("Shit!");
  });

  // Two questions, two answers each. Is the internet reachable: the probe
  // opened its page (an empty marker, when the probe got no handle, is not
  // "online"), or an echo reply gave an address only the far side of the
  // internet can have seen; either holds only while the way there has not
  // gone silent since. Does the machine have a LAN address: any IPv4 or IPv6
  // address, whatever digits it holds ("Not Found", an empty text or "Shit!"
  // are none).
  bool probeOpened = false;
  bool lan = false;
  skipOnFailure([&] { probeOpened = Contains(c.txtStatus2.text(), "online"); });
  skipOnFailure([&] { lan = probes::isIpAddress(c.lan.text()); });
  const bool online = (probeOpened || !echo.latestAddress.empty()) && !echo.wentSilent;
  // Online, the WAN box shows the latest address the echo service gave.
  const auto showAddress = [&] {
    if (!echo.latestAddress.empty()) set(c.wan, echo.latestAddress);
  };

  if (!online && lan) {
    set(c.txtStatus, "LAN Only - Offline");
    set(c.wan, "Null");
    lightOne(c, c.chkgreen, 1710, {c.chkyellow, "LAN Only"}, {c.chkred, "Offline"});
  } else if (online && lan) {
    showAddress();
    set(c.txtStatus, "LAN And WAN - Online");
    lightOne(c, c.chkred, 1710, {c.chkgreen, "Online"}, {c.chkyellow, "WAN/LAN"});
  } else if (!online) {
    set(c.lan, "Null");
    set(c.wan, "Null");
    skipOnFailure([&] { c.chkstatus.setVisible(true); });
    set(c.txtStatus, "Offline");
    for (toolkit::CheckBox* box : {&c.chkgreen, &c.chkred, &c.chkyellow}) {
      skipOnFailure([&] { box->setVisible(true); });
    }
    check(c.chkgreen);
    check(c.chkyellow);
    top(c.chkgreen, 1700);
    top(c.chkyellow, 1700);
    top(c.chkred, 1720);
    caption(c.chkred, "Offline");
  } else {
    showAddress();
    set(c.txtStatus, "WAN Only - Online");
    set(c.lan, "Null");
    lightOne(c, c.chkred, 1700, {c.chkgreen, "Online"}, {c.chkyellow, "WAN Only"});
  }
  return online;
}

}  // namespace main_window
