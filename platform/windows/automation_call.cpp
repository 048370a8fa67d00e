#include "platform/windows/automation_call.h"

#include <oleauto.h>

#include <algorithm>
#include <vector>

#include "platform/windows/com_ptr.h"
#include "platform/windows/system_message.h"
#include "platform/windows/wide_text.h"

namespace platform::windows {
namespace {

// Frees an exception's strings on every way out.
struct ExceptionInfo {
  EXCEPINFO info{};
  ExceptionInfo() = default;
  ExceptionInfo(const ExceptionInfo&) = delete;
  ExceptionInfo& operator=(const ExceptionInfo&) = delete;
  ~ExceptionInfo() {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
  }
};

// What the management service's codes mean, for a system that has no text
// for them.
std::string fixedDescription(std::uint32_t code) {
  switch (code) {
    case 0x80041001u:
      return "Generic failure";
    case 0x80041002u:
      return "Not found";
    case 0x8004100Eu:
      return "Invalid namespace";
    case 0x80041010u:
      return "Invalid class";
    case 0x80041017u:
      return "Invalid query";
    default:
      return "Automation error";
  }
}

bool setsErrorInfo(IUnknown* object) {
  if (object == nullptr) return false;
  ComPtr<ISupportErrorInfo> support;
  if (FAILED(
          object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(support.put())))) {
    return false;
  }
  return support->InterfaceSupportsErrorInfo(IID_IDispatch) == S_OK;
}

}  // namespace

basics::Error automationError(HRESULT result, EXCEPINFO* exception, std::string_view fallbackSource,
                              IUnknown* object) {
  auto code = static_cast<std::uint32_t>(result);
  std::string source, description;
  if (result == DISP_E_EXCEPTION && exception != nullptr) {
    if (exception->pfnDeferredFillIn != nullptr) exception->pfnDeferredFillIn(exception);
    if (exception->scode != 0) {
      code = static_cast<std::uint32_t>(exception->scode);
    } else if (exception->wCode != 0) {
      code = exception->wCode;
    }
    source = fromBstr(exception->bstrSource);
    description = fromBstr(exception->bstrDescription);
  } else {
    // Taking the thread's error object also clears it, so a later failure
    // cannot show this one's text. It belongs to this failure only when the
    // failed object says its IDispatch sets error objects; otherwise it may
    // be left over from an earlier call, and the fixed texts are shown.
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) == S_OK && info && setsErrorInfo(object)) {
      UniqueBstr text;
      if (SUCCEEDED(info->GetSource(text.put()))) source = fromBstr(text.get());
      if (SUCCEEDED(info->GetDescription(text.put()))) description = fromBstr(text.get());
    }
  }
  if (source.empty()) source = fallbackSource;
  if (description.empty()) description = systemMessage(code, fixedDescription(code));
  return basics::Error(basics::errorNumber(code), source, description);
}

std::optional<DISPID> memberId(IDispatch& object, std::string_view name, std::string_view source) {
  std::wstring wide = toWide(name);
  LPOLESTR names[] = {wide.data()};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT result = object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (result == DISP_E_UNKNOWNNAME || result == DISP_E_MEMBERNOTFOUND) return std::nullopt;
  if (FAILED(result)) throw automationError(result, nullptr, source, &object);
  return id;
}

void callMember(IDispatch& object, DISPID member, WORD kind, VARIANT* arguments, unsigned count,
                VARIANT* result, std::string_view source) {
  // The call takes its arguments last first.
  std::vector<VARIANT> reversed(arguments, arguments + count);
  std::reverse(reversed.begin(), reversed.end());
  DISPPARAMS parameters{reversed.data(), nullptr, count, 0};
  ExceptionInfo exception;
  UINT badArgument = 0;
  const HRESULT status = object.Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters,
                                       result, &exception.info, &badArgument);
  if (FAILED(status)) throw automationError(status, &exception.info, source, &object);
}

}  // namespace platform::windows
