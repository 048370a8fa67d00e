#include "main_window/about_text.h"

#include <array>
#include <string_view>

namespace main_window {

std::string AboutText(const MakerInfo& maker) {
  // Some lines keep a trailing space; the text is shown as written. The break after
  // the last line leaves an empty 23rd line in the text box.
  const std::array<std::string, 22> lines = {
      "",
      " WAN LAN Tarnwick v1.6",
      "",
      " By: " + maker.author,
      "",
      " Contact:",
      " " + maker.webAddress,
      " " + maker.email,
      "",
      " Depending on your current connection status it could take",
      " up to 30 sec. for this program to detect your connection",
      " and ip. This mostly happens when your connected to a ",
      " router and not online.",
      "",
      " WAN - A wide area network (WAN) is the ip address ",
      " assigned to your modem by your internet provider.",
      "",
      " LAN - A local area network (LAN) is the ip address assigned ",
      " from your router.",
      "",
      " LOCALHOST - On most computer systems, resolves to the IP address ",
      " 127.0.0.1, which is the most commonly used loopback address.",
  };
  std::string text;
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace main_window
