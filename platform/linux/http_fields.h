#pragma once

#include <string_view>
#include <vector>

namespace platform::linuxos {

// The grammar of the parts of a reply that name things: field names, lists in
// field values, chunk extensions. Whatever does not fit it is refused by the
// reading, since another reader might make something else of it.

// One or more of the characters a field name or a transfer coding is made of.
bool isToken(std::string_view text);

// The elements of a comma-separated field value, without the blanks around
// them; empty elements (", ," is a valid list) are left out.
std::vector<std::string_view> listElements(std::string_view value);

// Whether what follows a chunk's size on its line is nothing, or extensions:
// each a ';', a name and perhaps '=' and a token or quoted text, blanks
// allowed around ';' and '='. Blanks with no extension after them are not.
bool validChunkExtensions(std::string_view text);

}  // namespace platform::linuxos
