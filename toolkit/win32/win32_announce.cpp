// Announcements: what a control has just come to say, for screen readers to
// say at once wherever the focus is. Windows offers three ways, of different
// ages, and the control takes all three where they exist:
//   - the control is marked a live region (UI Automation's LiveSetting, set
//     through Direct Annotation, Windows 8 and later) and raises
//     EVENT_OBJECT_LIVEREGIONCHANGED, which screen readers answer by reading it;
//   - UiaRaiseNotificationEvent with the text itself (Windows 10 1709 and
//     later), which Narrator reads whatever the control is;
//   - EVENT_OBJECT_VALUECHANGE for clients that know only MSAA.
// The UI Automation library is looked up at run time from the system folder:
// older systems lack the function, and the program imports nothing more.

// windows.h (through the control's header) before the headers that build on it.
#include "toolkit/win32/win32_control.h"

#include <oleacc.h>
#include <uiautomationcore.h>

#include <string>

#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {
namespace {

// UI Automation's LiveSetting property, {C12BCD8E-2A8E-4950-8AE7-3625111D58EB}.
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;
// The annotation service and its interface.
constexpr CLSID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
// NotificationKind_ActionCompleted, NotificationProcessing_ImportantMostRecent.
constexpr int kActionCompleted = 2;
constexpr int kImportantMostRecent = 1;

void markLiveRegion(HWND hwnd) {
  IAccPropServices* services = nullptr;
  if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                              kAccPropServicesInterface, reinterpret_cast<void**>(&services))) ||
      !services) {
    return;
  }
  VARIANT polite;
  VariantInit(&polite);
  polite.vt = VT_I4;
  polite.lVal = kPolite;
  // Wine answers E_NOTIMPL; Windows keeps the mark until the window goes.
  services->SetHwndProp(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kLiveSettingProperty,
                        polite);
  services->Release();
}

// UiaRaiseNotificationEvent where the system has it.
void notifyUia(HWND hwnd, const std::wstring& text) {
  using HostProvider = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
  using RaiseNotification = HRESULT(WINAPI*)(IRawElementProviderSimple*, int, int, BSTR, BSTR);
  using ClientsListening = BOOL(WINAPI*)();
  static const HMODULE library =
      LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!library) return;
  const auto function = [](const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(library, name));
  };
  static const auto hostProvider =
      reinterpret_cast<HostProvider>(function("UiaHostProviderFromHwnd"));
  static const auto raise =
      reinterpret_cast<RaiseNotification>(function("UiaRaiseNotificationEvent"));
  static const auto listening =
      reinterpret_cast<ClientsListening>(function("UiaClientsAreListening"));
  if (!hostProvider || !raise || (listening && !listening())) return;
  IRawElementProviderSimple* provider = nullptr;
  if (FAILED(hostProvider(hwnd, &provider)) || !provider) return;
  BSTR said = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  BSTR activity = SysAllocString(L"Tarnwick.Status");
  raise(provider, kActionCompleted, kImportantMostRecent, said, activity);
  SysFreeString(activity);
  SysFreeString(said);
  provider->Release();
}

}  // namespace

void announce(HWND hwnd, const std::string& text) {
  if (!hwnd) return;
  markLiveRegion(hwnd);
  NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
  NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, hwnd, OBJID_CLIENT, CHILDID_SELF);
  notifyUia(hwnd, widen(text));
}

}  // namespace toolkit::win32
