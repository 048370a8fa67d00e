#include "main_window/connection_status.h"

#include "probes/address_text.h"
#include "probes/word_list.h"
#include "toolkit/text.h"

namespace main_window {
namespace {

using toolkit::skipOnFailure;

// Shows the status box and the three lights in the order the light is built.
void showLight(toolkit::Form& form) {
  for (const char* name : {"chkstatus", "chkgreen", "chkred", "chkyellow"}) {
    skipOnFailure([&] { form.control(name).setVisible(true); });
  }
}

}  // namespace

bool Contains(std::string_view text, std::string_view part) {
  return toolkit::containsIgnoringCase(text, part);
}

void ClassifyConnection(toolkit::Form& form, const std::vector<std::string>& tickWords) {
  const auto set = [&](const char* name, const std::string& text) {
    skipOnFailure([&] { form.textBox(name).setText(text); });
  };
  const auto check = [&](const char* name) {
    skipOnFailure([&] { form.checkBox(name).setValue(toolkit::kChecked); });
  };
  const auto caption = [&](const char* name, const char* text) {
    skipOnFailure([&] { form.checkBox(name).setCaption(text); });
  };
  const auto top = [&](const char* name, int twips) {
    skipOnFailure([&] { form.checkBox(name).setTop(twips); });
  };

  // The loopback address is no LAN address; "Shit!" never stays on screen, as
  // both branches without a LAN address write "Null" over it.
  skipOnFailure([&] {
    if (Contains(form.textBox("LAN").text(), "127.0.0.1")) form.textBox("LAN").setText("Shit!");
  });

  // Two questions, two answers each: is the internet reachable (the probe's
  // marker; an empty one, when the probe got no handle, is not "online"), and
  // does the machine have a LAN address (any IPv4 or IPv6 address, whatever
  // digits it holds; "Not Found", an empty text or "Shit!" are none).
  bool online = false;
  bool lan = false;
  skipOnFailure([&] { online = Contains(form.textBox("txtStatus2").text(), "online"); });
  skipOnFailure([&] { lan = probes::isIpAddress(form.textBox("LAN").text()); });

  if (!online && lan) {
    set("txtStatus", "LAN Only - Offline");
    set("WAN", "Null");
    showLight(form);
    check("chkgreen");
    caption("chkyellow", "LAN Only");
    caption("chkred", "Offline");
    top("chkgreen", 1710);
  } else if (online && lan) {
    set("txtStatus", "LAN And WAN - Online");
    showLight(form);
    check("chkred");
    caption("chkgreen", "Online");
    caption("chkyellow", "WAN/LAN");
    top("chkred", 1710);
  } else if (!online) {
    set("LAN", "Null");
    set("WAN", "Null");
    skipOnFailure([&] { form.control("chkstatus").setVisible(true); });
    set("txtStatus", "Offline");
    for (const char* name : {"chkgreen", "chkred", "chkyellow"}) {
      skipOnFailure([&] { form.control(name).setVisible(true); });
    }
    check("chkgreen");
    check("chkyellow");
    top("chkgreen", 1700);
    top("chkyellow", 1700);
    top("chkred", 1720);
    caption("chkred", "Offline");
  } else {
    skipOnFailure([&] { form.textBox("WAN").setText(probes::lastWord(tickWords)); });
    set("txtStatus", "WAN Only - Online");
    set("LAN", "Null");
    showLight(form);
    check("chkred");
    caption("chkgreen", "Online");
    caption("chkyellow", "WAN Only");
    top("chkred", 1700);
  }
}

}  // namespace main_window
