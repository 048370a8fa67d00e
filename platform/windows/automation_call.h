#pragma once

#include <windows.h>

#include <oaidl.h>

#include <optional>
#include <string_view>

#include "basics/error.h"

namespace platform::windows {

// The error a failed automation call stands for: the service's own code,
// description and source when it gave them (an exception's details, or the
// thread's error object when `object`, whose IDispatch call failed, says it
// sets one), else the result code with the system's description (or a fixed
// one for the management service's codes) and `fallbackSource`.
basics::Error automationError(HRESULT result, EXCEPINFO* exception, std::string_view fallbackSource,
                              IUnknown* object = nullptr);

// The member of an automation object with this name; none when the object
// has no such member. Other failures are errors.
std::optional<DISPID> memberId(IDispatch& object, std::string_view name, std::string_view source);

// Calls a member: `arguments` in the order the member declares them. The
// result is written to `result` (which the caller clears). Failures are errors.
void callMember(IDispatch& object, DISPID member, WORD kind, VARIANT* arguments, unsigned count,
                VARIANT* result, std::string_view source);

}  // namespace platform::windows
