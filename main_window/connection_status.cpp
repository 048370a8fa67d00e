#include "main_window/connection_status.h"

#include "toolkit/text.h"

#include <algorithm>

namespace main_window {
namespace {

using toolkit::skipOnFailure;

const std::string& lastWord(const std::vector<std::string>& words) {
  if (words.empty()) throw toolkit::Error(9, "Tarnwick", "Subscript out of range");
  return words.back();
}

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
  const auto marker = [&] { return form.textBox("txtStatus2").text(); };
  const auto lan = [&] { return form.textBox("LAN").text(); };
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

  skipOnFailure([&] {
    if (Contains(lan(), "127.0.0.1")) form.textBox("LAN").setText("Shit!");
  });

  // Each test reads both texts afresh; the first that holds picks the branch.
  bool a = false, b = false, c = false;
  skipOnFailure([&] { a = Contains(marker(), "offline") && Contains(lan(), "1"); });
  if (!a) skipOnFailure([&] { b = Contains(lan(), "1") && Contains(marker(), "online"); });
  if (!a && !b)
    skipOnFailure([&] { c = Contains(marker(), "offline") && Contains(lan(), "Shit!"); });

  if (a) {
    set("txtStatus", "LAN Only - Offline");
    set("WAN", "Null");
    showLight(form);
    check("chkgreen");
    caption("chkyellow", "LAN Only");
    caption("chkred", "Offline");
    top("chkgreen", 1710);
  } else if (b) {
    set("txtStatus", "LAN And WAN - Online");
    showLight(form);
    check("chkred");
    caption("chkgreen", "Online");
    caption("chkyellow", "WAN/LAN");
    top("chkred", 1710);
  } else if (c) {
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
    skipOnFailure([&] { form.textBox("WAN").setText(lastWord(tickWords)); });
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
