#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace probes {

// The echo reply split at every single space; nothing is trimmed, two adjacent
// spaces give an empty word, and an empty reply gives no words.
std::vector<std::string> splitWords(std::string_view reply);

// The last of the words; no words raises error 9, "Subscript out of range".
const std::string& lastWord(const std::vector<std::string>& words);

}  // namespace probes
