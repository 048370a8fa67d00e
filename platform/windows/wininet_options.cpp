#include "platform/windows/wininet_options.h"

#include <algorithm>
#include <cctype>

namespace platform::windows {

bool isWebUrl(const std::string& url) {
  std::string scheme = url.substr(0, std::min(url.find("://"), url.size()));
  std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return url.find("://") != std::string::npos && (scheme == "http" || scheme == "https");
}

}  // namespace platform::windows
