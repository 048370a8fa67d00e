#include "platform/linux/curl_transfer.h"

#include <algorithm>

namespace platform::linuxos {
namespace {

struct CurlMultiCleanup {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using CurlMulti = std::unique_ptr<CURLM, CurlMultiCleanup>;

// Keeps the easy handle attached to the multi handle for one scope.
class Attached {
 public:
  Attached(CURLM* multi, CURL* easy)
      : multi_(multi), easy_(easy), ok_(curl_multi_add_handle(multi, easy) == CURLM_OK) {}
  ~Attached() {
    if (ok_) curl_multi_remove_handle(multi_, easy_);
  }
  Attached(const Attached&) = delete;
  Attached& operator=(const Attached&) = delete;
  bool ok() const { return ok_; }

 private:
  CURLM* multi_;
  CURL* easy_;
  bool ok_;
};

}  // namespace

CurlEasy makeEasy(const char* url, const char* userAgent) {
  CurlEasy easy(curl_easy_init());
  if (!easy) return easy;
  CURL* e = easy.get();
  curl_easy_setopt(e, CURLOPT_URL, url);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  // Plain web requests only: no file:, ftp: or other schemes, whether asked
  // for directly or through a redirect.
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_QUICK_EXIT, 1L);
  if (userAgent && *userAgent) curl_easy_setopt(e, CURLOPT_USERAGENT, userAgent);
  // Proxies: libcurl reads http_proxy, https_proxy, all_proxy and no_proxy from
  // the environment by itself, which is what the user expects; nothing here
  // overrides that.
  return easy;
}

TransferEnd runTransfer(CURL* easy, std::stop_token stop, std::chrono::milliseconds tick,
                        const std::function<bool()>& overdue) {
  TransferEnd end;
  end.code = CURLE_FAILED_INIT;
  CurlMulti multi(curl_multi_init());
  if (!multi) return end;
  Attached attached(multi.get(), easy);
  if (!attached.ok()) return end;
  // Declared after the multi handle, so it is gone before the handle is.
  std::stop_callback wake(stop, [m = multi.get()] { curl_multi_wakeup(m); });
  const int tickMs = static_cast<int>(std::max<std::chrono::milliseconds::rep>(1, tick.count()));

  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK) return end;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
      if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
        end.code = message->data.result;
        return end;
      }
    }
    if (running == 0) return end;  // ended without a result: count it as a failure
    if (stop.stop_requested()) {
      end.cancelled = true;
      return end;
    }
    if (overdue && overdue()) {
      end.overdue = true;
      return end;
    }
    if (curl_multi_poll(multi.get(), nullptr, 0, tickMs, nullptr) != CURLM_OK) return end;
  }
}

}  // namespace platform::linuxos
