#include "reports/trim_at_nul.h"

namespace reports {

std::string TrimAtNul(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}

}  // namespace reports
