#pragma once

#include <string>
#include <string_view>

namespace platform::windows {

// UTF-8 to UTF-16 for the system's wide calls; an invalid byte becomes U+FFFD.
std::wstring toWide(std::string_view utf8);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string fromWide(std::wstring_view utf16);

// A BSTR's text, by the length it carries, as UTF-8; a null BSTR is empty.
std::string fromBstr(const wchar_t* text);

// Text in the system's ANSI code page as UTF-8.
std::string fromAnsi(std::string_view ansi);

// UTF-8 in the system's ANSI code page, for the calls that take no other;
// a character the code page lacks becomes its default character.
std::string toAnsi(std::string_view utf8);

}  // namespace platform::windows
