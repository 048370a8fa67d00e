#include "platform/linux/curl_global.h"

#include <curl/curl.h>

#include <mutex>

namespace platform::linuxos {

bool ensureCurlReady() {
  // curl_global_init is not thread-safe on every build, so it runs exactly
  // once. It is never undone: the process may still have transfers in flight
  // on other threads when it ends.
  static std::once_flag once;
  static bool ready = false;
  std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ready;
}

}  // namespace platform::linuxos
