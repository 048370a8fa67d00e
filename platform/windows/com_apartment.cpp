#include "platform/windows/com_apartment.h"

#include <objbase.h>

#include "platform/windows/system_message.h"
#include "toolkit/error.h"
#include "toolkit/error_source.h"

namespace platform::windows {
namespace {

// Lives as long as its thread; undoes only an initialisation it made.
class Apartment {
 public:
  Apartment() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
  ~Apartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  // RPC_E_CHANGED_MODE: the thread is in an apartment of another kind
  // already, which serves as well.
  bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace

void ensureComOnThisThread() {
  thread_local Apartment apartment;
  if (!apartment.usable()) {
    throw toolkit::Error(toolkit::errorNumber(static_cast<std::uint32_t>(apartment.result())),
                         toolkit::kErrorSource,
                         systemMessage(apartment.result(), "COM is unavailable"));
  }
}

}  // namespace platform::windows
