#pragma once

#include <string>
#include <string_view>

namespace basics {

// Text the program prints may come from the network. What must never reach
// the reader raw: every C0 or C1 control character except tab and line feed,
// and DEL, so that a hostile reply cannot drive the user's terminal; and the
// text-direction controls U+202A..U+202E and U+2066..U+2069, so that a reply
// cannot make an address read back to front.
bool mustEscape(char32_t codePoint);

// `text` with each character that mustEscape names replaced by what `escape`
// makes of its code point. A byte that is not part of valid UTF-8 goes to
// `escape` as well, as its own value.
std::string escapeEach(std::string_view text, std::string (*escape)(char32_t));

// The printed form: characters below U+0100 (and invalid bytes) as \xNN, the
// text-direction controls as \uNNNN.
std::string escapeControlCharacters(std::string_view text);

// A message box as text for standard error: the title, then the text with its
// "\r\n" line ends as plain line feeds, both escaped as above.
std::string printableMessageBox(std::string_view title, std::string_view text);

}  // namespace basics
