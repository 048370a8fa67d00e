#include "reports/single_byte_text.h"

#include "toolkit/text.h"

#include <cstdint>

namespace reports {

std::string SingleByteToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t length = toolkit::utf8SequenceLength(bytes);
    if (length > 0) {
      out.append(bytes.substr(0, length));
      bytes.remove_prefix(length);
    } else {
      const auto c = static_cast<unsigned char>(bytes[0]);
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
      bytes.remove_prefix(1);
    }
  }
  return out;
}

}  // namespace reports
