#include "probes/word_list.h"

#include "basics/error.h"
#include "basics/error_source.h"

namespace probes {

std::vector<std::string> splitWords(std::string_view reply) {
  std::vector<std::string> words;
  if (reply.empty()) return words;
  std::size_t start = 0;
  for (;;) {
    const std::size_t space = reply.find(' ', start);
    if (space == std::string_view::npos) {
      words.emplace_back(reply.substr(start));
      return words;
    }
    words.emplace_back(reply.substr(start, space - start));
    start = space + 1;
  }
}

const std::string& lastWord(const std::vector<std::string>& words) {
  if (words.empty()) throw basics::Error(9, basics::kErrorSource, "Subscript out of range");
  return words.back();
}

}  // namespace probes
