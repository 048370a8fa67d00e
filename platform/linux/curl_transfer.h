#pragma once

#include <curl/curl.h>

#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>

namespace platform::linuxos {

struct CurlEasyCleanup {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyCleanup>;

// A fresh easy handle with what every request of the program shares: HTTP
// only (redirects included), no signals (transfers run on several threads),
// no waiting for a hung name lookup when a transfer is abandoned. Null when
// libcurl cannot make one.
CurlEasy makeEasy(const char* url, const char* userAgent);

struct TransferEnd {
  CURLcode code = CURLE_OK;
  bool cancelled = false;  // `stop` was requested; `code` is meaningless then
  bool overdue = false;    // `overdue` said so; `code` is meaningless then
};

// Runs one transfer to its end on a multi handle of its own. The wait wakes as
// soon as `stop` is requested and at least every `tick`; after each wake,
// `overdue` (when given) may end the transfer. The easy handle is detached
// again on every way out.
TransferEnd runTransfer(CURL* easy, std::stop_token stop, std::chrono::milliseconds tick,
                        const std::function<bool()>& overdue = {});

}  // namespace platform::linuxos
