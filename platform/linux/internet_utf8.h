#pragma once

#include <string>
#include <string_view>

namespace platform::linuxos {

// `bytes` as UTF-8 text: valid sequences are kept as they are, and each
// maximal ill-formed subsequence (a stray byte, a cut-off sequence, an
// overlong form, a surrogate, a code point above U+10FFFF) becomes one U+FFFD.
std::string decodeUtf8Lossy(std::string_view bytes);

}  // namespace platform::linuxos
