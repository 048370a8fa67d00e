#include "platform/windows/com_apartment.h"

#include <objbase.h>

#include "basics/error.h"
#include "basics/error_source.h"
#include "platform/windows/system_message.h"

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
    throw basics::Error(basics::errorNumber(static_cast<std::uint32_t>(apartment.result())),
                        basics::kErrorSource,
                        systemMessage(apartment.result(), "COM is unavailable"));
  }
}

}  // namespace platform::windows
