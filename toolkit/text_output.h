#pragma once

#include <string>
#include <string_view>

namespace toolkit {

// Text the program prints may come from the network. Every C0 or C1 control
// character except tab and line feed (and DEL) is written as \xNN, so a hostile
// reply cannot drive the user's terminal. Invalid UTF-8 bytes are escaped too,
// and the text-direction controls U+202A..U+202E and U+2066..U+2069 are
// written as \uNNNN, so a reply cannot make an address read back to front.
std::string escapeControlCharacters(std::string_view text);

// A message box as text for standard error: the title, then the text with its
// "\r\n" line ends as plain line feeds, both escaped as above.
std::string printableMessageBox(std::string_view title, std::string_view text);

// True when there is a display to draw on: DISPLAY or WAYLAND_DISPLAY is set.
bool hasDisplay(const char* display, const char* waylandDisplay);

}  // namespace toolkit
