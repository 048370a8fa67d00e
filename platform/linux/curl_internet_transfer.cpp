#include "platform/linux/curl_internet_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <limits>
#include <optional>

#include "platform/linux/curl_global.h"
#include "platform/linux/curl_transfer.h"
#include "toolkit/text.h"

namespace platform::linuxos {
namespace {

using Clock = std::chrono::steady_clock;

long milliseconds(std::chrono::milliseconds duration) {
  return static_cast<long>(std::clamp<std::chrono::milliseconds::rep>(
      duration.count(), 1, std::numeric_limits<long>::max()));
}

// The body of a fetch, cut off as soon as it passes its limit so that memory
// stays bounded whatever the server sends.
struct BodySink {
  std::string bytes;
  std::size_t limit = 0;
  bool tooLarge = false;

  static std::size_t write(char* data, std::size_t size, std::size_t count, void* self) {
    auto* sink = static_cast<BodySink*>(self);
    const std::size_t length = size * count;
    if (length > sink->limit - sink->bytes.size()) {
      sink->tooLarge = true;
      return CURL_WRITEFUNC_ERROR;  // aborts the transfer
    }
    sink->bytes.append(data, length);
    return length;
  }
};

// The reachability open: done once the final response's headers are in.
struct HeaderWatch {
  CURL* easy = nullptr;
  bool complete = false;
  std::optional<Clock::time_point> connected;

  static std::size_t header(char* data, std::size_t size, std::size_t count, void* self) {
    auto* watch = static_cast<HeaderWatch*>(self);
    const std::string_view line(data, size * count);
    if (line == "\r\n" || line == "\n") {
      long status = 0;
      curl_easy_getinfo(watch->easy, CURLINFO_RESPONSE_CODE, &status);
      // An interim 1xx response is followed by the real one.
      if (status >= 200) {
        watch->complete = true;
        return 0;  // the body is not wanted: end the transfer here
      }
    }
    return line.size();
  }

  static std::size_t discard(char*, std::size_t size, std::size_t count, void*) {
    return size * count;
  }

  // Called once the connection stands, just before the request goes out.
  static int prerequest(void* self, char*, char*, int, int) {
    static_cast<HeaderWatch*>(self)->connected = Clock::now();
    return CURL_PREREQFUNC_OK;
  }
};

FetchResult::Outcome outcomeOf(CURLcode code, bool tooLarge) {
  using Outcome = FetchResult::Outcome;
  if (tooLarge || code == CURLE_FILESIZE_EXCEEDED) return Outcome::TooLarge;
  switch (code) {
    case CURLE_OK:
      return Outcome::Ok;
    case CURLE_OPERATION_TIMEDOUT:
      return Outcome::TimedOut;
    case CURLE_HTTP_RETURNED_ERROR:
      return Outcome::HttpError;
    default:
      return Outcome::Failed;
  }
}

}  // namespace

CurlInternetTransfer::CurlInternetTransfer(CurlTransferConfig config) : config_(config) {
  ensureCurlReady();
}

CurlInternetTransfer::~CurlInternetTransfer() = default;

FetchResult CurlInternetTransfer::fetchText(const std::string& url, const FetchOptions& options,
                                            std::stop_token stop) {
  FetchResult result;
  if (!ensureCurlReady()) return result;
  CurlEasy easy = makeEasy(url.c_str(), options.userAgent.c_str());
  if (!easy) return result;
  CURL* e = easy.get();

  BodySink sink;
  sink.limit = options.maxBody;
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &BodySink::write);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &sink);
  // A declared length over the limit fails before any of the body is read.
  curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE,
                   static_cast<curl_off_t>(std::min<std::size_t>(
                       options.maxBody, std::numeric_limits<curl_off_t>::max())));
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, static_cast<long>(std::max(0, options.maxRedirects)));
  // An error page is a failed fetch, never an address.
  curl_easy_setopt(e, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, milliseconds(options.timeout));

  const Clock::time_point started = Clock::now();
  const TransferEnd end = runTransfer(e, stop, config_.tick);
  const bool slow = Clock::now() - started >= config_.slowLookup;
  curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &result.httpStatus);
  if (end.cancelled) {
    result.outcome = FetchResult::Outcome::Cancelled;
    return result;
  }
  result.outcome = outcomeOf(end.code, sink.tooLarge);
  if (slow && (end.code == CURLE_COULDNT_RESOLVE_HOST || end.code == CURLE_COULDNT_RESOLVE_PROXY)) {
    result.outcome = FetchResult::Outcome::TimedOut;
  }
  if (result.ok()) result.body = toolkit::utf8Lossy(sink.bytes);
  return result;
}

InternetTransfer::Handle CurlInternetTransfer::internetOpen(const std::string& agent) {
  if (!ensureCurlReady()) return 0;
  return handles_.openInternet(agent, {});
}

InternetTransfer::Handle CurlInternetTransfer::internetOpenUrl(Handle internet,
                                                               const std::string& url,
                                                               std::stop_token stop) {
  const std::optional<std::string> agent = handles_.agentOf(internet);
  if (!agent) return 0;
  CurlEasy easy = makeEasy(url.c_str(), agent->c_str());
  if (!easy) return 0;
  CURL* e = easy.get();

  HeaderWatch watch;
  watch.easy = e;
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &HeaderWatch::header);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, &watch);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &HeaderWatch::discard);
  curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &HeaderWatch::prerequest);
  curl_easy_setopt(e, CURLOPT_PREREQDATA, &watch);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, milliseconds(config_.openConnectTimeout));
  // Any response counts, a redirect included, so none is followed.
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);

  const auto responseTimeout = config_.openResponseTimeout;
  const TransferEnd end = runTransfer(e, stop, config_.tick, [&] {
    return watch.connected && Clock::now() - *watch.connected >= responseTimeout;
  });
  if (!watch.complete || end.cancelled || end.overdue) return 0;

  // The internet handle may have been closed while the request ran.
  return handles_.openUrl(internet, {});
}

bool CurlInternetTransfer::internetCloseHandle(Handle handle) {
  return handles_.close(handle).has_value();
}

std::size_t CurlInternetTransfer::openHandles() const {
  return handles_.size();
}

}  // namespace platform::linuxos
