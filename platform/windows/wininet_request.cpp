#include "platform/windows/wininet_request.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <optional>

#include "platform/windows/wide_text.h"
#include "platform/windows/wininet_proxy.h"

namespace platform::windows {

// The request's side of its asynchronous calls. The status callback finds it
// by the request's context value, so a callback that comes after the request
// is gone finds nothing and does nothing.
struct WinInetRequest::State {
  std::mutex mutex;
  std::condition_variable changed;
  bool pending = false;  // a call answered ERROR_IO_PENDING and has not completed
  bool completed = false;
  bool abandoned = false;  // the request no longer waits; it may be gone
  INTERNET_ASYNC_RESULT result{};
  HINTERNET created = nullptr;  // the last handle WinINet said it made
  Phase phase = Phase::NotStarted;
  // What a pending read writes into when it completes.
  std::array<char, 16384> buffer{};
  DWORD bytesRead = 0;
};

namespace {

using State = WinInetRequest::State;

// Context values and their requests. Process-wide, as WinINet's callback is,
// and never destroyed: WinINet may call back while the process exits.
class Requests {
 public:
  static Requests& instance() {
    static Requests* requests = new Requests;
    return *requests;
  }
  DWORD_PTR add(std::shared_ptr<State> state) {
    std::lock_guard lock(mutex_);
    const DWORD_PTR context = next_++;
    states_.emplace(context, std::move(state));
    return context;
  }
  std::shared_ptr<State> find(DWORD_PTR context) {
    std::lock_guard lock(mutex_);
    const auto found = states_.find(context);
    return found == states_.end() ? nullptr : found->second;
  }
  void remove(DWORD_PTR context) {
    std::lock_guard lock(mutex_);
    states_.erase(context);
  }

 private:
  std::mutex mutex_;
  std::map<DWORD_PTR, std::shared_ptr<State>> states_;
  DWORD_PTR next_ = 1;  // 0 would ask WinINet for no callbacks
};

// The step of a request a status notice tells of, if any.
std::optional<WinInetRequest::Phase> phaseOf(DWORD status) {
  using Phase = WinInetRequest::Phase;
  switch (status) {
    case INTERNET_STATUS_RESOLVING_NAME:
      return Phase::Resolving;
    case INTERNET_STATUS_NAME_RESOLVED:
    case INTERNET_STATUS_CONNECTING_TO_SERVER:
      return Phase::Connecting;
    case INTERNET_STATUS_CONNECTED_TO_SERVER:
    case INTERNET_STATUS_SENDING_REQUEST:
    case INTERNET_STATUS_REQUEST_SENT:
      return Phase::Connected;
    case INTERNET_STATUS_RECEIVING_RESPONSE:
    case INTERNET_STATUS_RESPONSE_RECEIVED:
      return Phase::Receiving;
    default:
      return std::nullopt;
  }
}

void CALLBACK onStatus(HINTERNET, DWORD_PTR context, DWORD status, void* information,
                       DWORD length) {
  // The steps carry a name, an address or nothing; only the two below carry
  // a result.
  const std::optional<WinInetRequest::Phase> step = phaseOf(status);
  if (!step) {
    if (status != INTERNET_STATUS_HANDLE_CREATED && status != INTERNET_STATUS_REQUEST_COMPLETE)
      return;
    if (information == nullptr || length < sizeof(INTERNET_ASYNC_RESULT)) return;
  }
  const std::shared_ptr<State> state = Requests::instance().find(context);
  if (!state) return;
  std::lock_guard lock(state->mutex);
  if (step) {
    state->phase = *step;
    return;
  }
  const auto result = *static_cast<const INTERNET_ASYNC_RESULT*>(information);
  if (status == INTERNET_STATUS_HANDLE_CREATED) {
    state->created = reinterpret_cast<HINTERNET>(result.dwResult);
    return;
  }
  state->result = result;
  state->pending = false;
  state->completed = true;
  // A request that gave up waited only for its read buffer to be let go.
  if (state->abandoned) Requests::instance().remove(context);
  state->changed.notify_all();
}

}  // namespace

WinInetRequest::WinInetRequest(SharedCounts counts, std::stop_token stop,
                               Clock::time_point deadline)
    : counts_(std::move(counts)),
      stop_(std::move(stop)),
      deadline_(deadline),
      state_(std::make_shared<State>()),
      context_(Requests::instance().add(state_)) {}

WinInetRequest::~WinInetRequest() {
  closeAll();
}

bool WinInetRequest::usable(HINTERNET handle) {
  if (handle != nullptr && std::find(handles_.begin(), handles_.end(), handle) != handles_.end()) {
    return true;
  }
  ++counts_->callsAfterClose;
  SetLastError(ERROR_INVALID_HANDLE);  // what the call would have failed with
  return false;
}

template <class Call>
bool WinInetRequest::complete(Call call) {
  error_ = ERROR_SUCCESS;
  if (stop_.stop_requested() || Clock::now() >= deadline_) {
    end_ = stop_.stop_requested() ? End::Stopped : End::TimedOut;
    {
      std::lock_guard lock(state_->mutex);
      reached_ = state_->phase;
    }
    closeAll();
    return false;
  }
  {
    std::lock_guard lock(state_->mutex);
    state_->completed = false;
    state_->pending = true;
  }
  bool finished = false;
  DWORD error = ERROR_SUCCESS;
  {
    std::lock_guard lock(handlesMutex_);
    if (handles_.empty()) {  // closed by another thread meanwhile
      ++counts_->callsAfterClose;
    } else {
      finished = call();
      error = finished ? ERROR_SUCCESS : GetLastError();
    }
  }
  if (error != ERROR_IO_PENDING) {
    std::lock_guard lock(state_->mutex);
    state_->pending = false;
    end_ = error == ERROR_INTERNET_TIMEOUT ? End::TimedOut : End::Failed;
    error_ = error;
    reached_ = state_->phase;
    return finished;
  }
  // A stop request wakes the wait at once (made before the lock is taken: it
  // runs at once when the stop came already).
  std::stop_callback wake(stop_, [state = state_] {
    std::lock_guard stopLock(state->mutex);
    state->changed.notify_all();
  });
  std::unique_lock lock(state_->mutex);
  state_->changed.wait_until(lock, deadline_,
                             [&] { return state_->completed || stop_.stop_requested(); });
  // Where it had got to then: notices may still come while it is let go.
  reached_ = state_->phase;
  if (state_->completed) {
    const DWORD failure = state_->result.dwError;
    end_ = failure == ERROR_INTERNET_TIMEOUT ? End::TimedOut : End::Failed;
    error_ = failure;
    return failure == ERROR_SUCCESS && state_->result.dwResult != 0;
  }
  // Given up on while WinINet works on: that is what closing cancels.
  end_ = stop_.stop_requested() ? End::Stopped : End::TimedOut;
  lock.unlock();
  closeAll();
  return false;
}

bool WinInetRequest::openSession(const std::string& agent, std::chrono::milliseconds timeout,
                                 Mode mode) {
  const std::string ansiAgent = toAnsi(agent);
  HINTERNET session = InternetOpenA(ansiAgent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                    nullptr, mode == Mode::Asynchronous ? INTERNET_FLAG_ASYNC : 0);
  if (session == nullptr) return false;
  std::lock_guard lock(handlesMutex_);
  handles_.push_back(session);
  ++counts_->openHandles;
  if (mode == Mode::Asynchronous &&
      InternetSetStatusCallbackA(session, onStatus) == INTERNET_INVALID_STATUS_CALLBACK) {
    closeLocked(session);
    return false;
  }
  DWORD limit = static_cast<DWORD>(std::clamp<std::chrono::milliseconds::rep>(
      timeout.count(), 1, std::numeric_limits<DWORD>::max() - 1));
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    InternetSetOptionA(session, option, &limit, sizeof limit);
  }
  return true;
}

HINTERNET WinInetRequest::openUrl(const std::string& url, DWORD flags) {
  HINTERNET session = nullptr;
  {
    std::lock_guard lock(handlesMutex_);
    if (handles_.empty()) return nullptr;
    session = handles_.front();
  }
  {
    std::lock_guard lock(state_->mutex);
    state_->phase = Phase::NotStarted;
  }
  HINTERNET opened = nullptr;
  const bool done = complete([&] {
    if (!usable(session)) return false;
    {
      std::lock_guard lock(state_->mutex);
      state_->phase = Phase::Started;
    }
    opened = InternetOpenUrlA(session, url.c_str(), nullptr, 0, flags, context_);
    return opened != nullptr;
  });
  if (done && opened == nullptr) {
    // Completed later: the handle comes with the completion, or, where the
    // completion carries only a flag, with the notice that made it.
    std::lock_guard lock(state_->mutex);
    opened = state_->result.dwResult > 1 ? reinterpret_cast<HINTERNET>(state_->result.dwResult)
                                         : state_->created;
  }
  if (!done || opened == nullptr) return nullptr;
  std::lock_guard lock(handlesMutex_);
  if (handles_.empty()) {  // closed by another thread meanwhile, the session's
    return nullptr;        // children with it
  }
  handles_.push_back(opened);
  ++counts_->openHandles;
  return opened;
}

bool WinInetRequest::goesThroughProxy(const std::string& url) {
  std::lock_guard lock(handlesMutex_);
  if (handles_.empty()) return false;
  // The strings follow the structure in the same buffer.
  std::vector<char> buffer(1024);
  DWORD size = static_cast<DWORD>(buffer.size());
  if (!InternetQueryOptionA(handles_.front(), INTERNET_OPTION_PROXY, buffer.data(), &size)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= buffer.size()) return false;
    buffer.resize(size);
    if (!InternetQueryOptionA(handles_.front(), INTERNET_OPTION_PROXY, buffer.data(), &size))
      return false;
  }
  // INTERNET_PROXY_INFO as the ANSI call fills it, whatever UNICODE says.
  struct {
    DWORD accessType;
    LPCSTR proxy;
    LPCSTR bypass;
  } info{};
  if (size < sizeof info) return false;
  std::memcpy(&info, buffer.data(), sizeof info);
  if (info.accessType != INTERNET_OPEN_TYPE_PROXY || info.proxy == nullptr) return false;
  return proxyServes(info.proxy, info.bypass == nullptr ? "" : info.bypass, url);
}

long WinInetRequest::status(HINTERNET response) {
  std::lock_guard lock(handlesMutex_);
  if (!usable(response)) return 0;
  DWORD status = 0;
  DWORD length = sizeof status;
  if (!HttpQueryInfoA(response, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length,
                      nullptr)) {
    return 0;
  }
  return static_cast<long>(status);
}

std::string WinInetRequest::location(HINTERNET response) {
  std::lock_guard lock(handlesMutex_);
  if (!usable(response)) return {};
  std::string location(2048, '\0');
  DWORD length = static_cast<DWORD>(location.size());
  if (!HttpQueryInfoA(response, HTTP_QUERY_LOCATION, location.data(), &length, nullptr)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
    location.assign(length + 1, '\0');
    length = static_cast<DWORD>(location.size());
    if (!HttpQueryInfoA(response, HTTP_QUERY_LOCATION, location.data(), &length, nullptr))
      return {};
  }
  location.resize(length);
  return location;
}

std::optional<std::uint64_t> WinInetRequest::contentLength(HINTERNET response) {
  std::lock_guard lock(handlesMutex_);
  if (!usable(response)) return std::nullopt;
  char text[32] = {};
  DWORD size = sizeof text;
  if (!HttpQueryInfoA(response, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) {
    return std::nullopt;
  }
  char* end = nullptr;
  const unsigned long long length = std::strtoull(text, &end, 10);
  if (end == text) return std::nullopt;
  return length;
}

long WinInetRequest::read(HINTERNET response, std::string& body) {
  State& state = *state_;
  const bool done = complete([&] {
    if (!usable(response)) return false;
    // Written only by this call or its completion; nothing else reads it meanwhile.
    state.bytesRead = 0;
    return InternetReadFile(response, state.buffer.data(), static_cast<DWORD>(state.buffer.size()),
                            &state.bytesRead) != FALSE;
  });
  if (!done) return -1;
  std::lock_guard lock(state.mutex);
  const DWORD read = std::min<DWORD>(state.bytesRead, static_cast<DWORD>(state.buffer.size()));
  body.append(state.buffer.data(), read);
  return static_cast<long>(read);
}

void WinInetRequest::closeLocked(HINTERNET handle) {
  const auto found = std::find(handles_.begin(), handles_.end(), handle);
  if (found == handles_.end()) return;
  handles_.erase(found);
  InternetCloseHandle(handle);
  --counts_->openHandles;
}

void WinInetRequest::close(HINTERNET handle) {
  std::lock_guard lock(handlesMutex_);
  closeLocked(handle);
}

void WinInetRequest::closeAll() {
  {
    std::lock_guard lock(handlesMutex_);
    // Children first; closing the session also ends what it made that the
    // request was never handed (an open given up on before it completed).
    while (!handles_.empty()) closeLocked(handles_.back());
  }
  std::lock_guard lock(state_->mutex);
  state_->abandoned = true;
  // A pending call keeps its state until its completion arrives.
  if (!state_->pending) Requests::instance().remove(context_);
}

}  // namespace platform::windows
