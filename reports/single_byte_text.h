#pragma once

#include <string>
#include <string_view>

namespace reports {

// The program's (UTF-8) text for a single-byte text from the adapter table.
// Runs of bytes that already form valid UTF-8 are kept as they are, so names
// the system wrote in UTF-8 survive; every other byte is read as Latin-1.
// The result is always valid UTF-8, whatever the bytes.
std::string SingleByteToUtf8(std::string_view bytes);

}  // namespace reports
