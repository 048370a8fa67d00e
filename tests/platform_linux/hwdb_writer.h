#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform_linux_test {

// One match of a hardware database source: a modalias pattern ('*' globs)
// and the properties it gives.
struct HwdbEntry {
  std::string pattern;
  std::vector<std::pair<std::string, std::string>> properties;
};

// Reads the source format udev's hwdb.d files use: a pattern line, then
// property lines indented by one space ("KEY=value"), blank lines between.
std::vector<HwdbEntry> parseHwdbSource(std::string_view text);

// The compiled database file (hwdb.bin) libudev reads, for `entries`: an
// uncompressed trie, one character per edge, which the library's lookup
// walks like the compressed one the system tools write.
std::string compileHwdb(const std::vector<HwdbEntry>& entries);

}  // namespace platform_linux_test
