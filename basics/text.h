#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The program's text is UTF-8 everywhere; these are the few places bytes from
// outside (a web reply, a single-byte record, a locale's separator) become it,
// and the ASCII-only comparisons of names.
namespace basics {

// Length of the well-formed UTF-8 sequence at the start of `text` (no overlong
// forms, no surrogates, nothing past U+10FFFF): 1 for ASCII, 0 when the bytes
// there are not one, or when `text` is empty.
std::size_t utf8SequenceLength(std::string_view text);

// `bytes` as UTF-8 text: valid sequences are kept as they are, and each
// maximal ill-formed subsequence (a stray byte, a cut-off sequence, an
// overlong form, a surrogate, a code point above U+10FFFF) becomes one U+FFFD.
std::string utf8Lossy(std::string_view bytes);

// A single-byte text as UTF-8: runs of bytes that already form valid UTF-8 are
// kept as they are, so names the system wrote in UTF-8 survive; every other
// byte is read as Latin-1. The result is always valid UTF-8, whatever the bytes.
std::string utf8FromSingleByte(std::string_view bytes);

// The UTF-8 encoding of one code point; U+FFFD for a surrogate or a value past
// U+10FFFF.
std::string utf8Of(char32_t codePoint);

// Equal when only the case of ASCII letters differs.
bool equalIgnoringCase(std::string_view a, std::string_view b);

// `part` occurs in `text`, ASCII letter case ignored; an empty text contains nothing.
bool containsIgnoringCase(std::string_view text, std::string_view part);

}  // namespace basics
