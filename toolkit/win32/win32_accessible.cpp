#include "toolkit/win32/win32_accessible.h"

#include <commctrl.h>
#include <oleacc.h>

#include "toolkit/win32/win32_accessible_object.h"

namespace toolkit::win32 {
namespace {

constexpr const wchar_t* kSourceProperty = L"TarnwickAccessible";
constexpr UINT_PTR kAccessibleSubclass = 0x5441;  // any id of our own
// Parts get ids of their own, far from any index the system's object may take.
constexpr LONG kFirstPart = 0x10000;

LRESULT CALLBACK accessibleProc(HWND hwnd, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                DWORD_PTR) {
  switch (message) {
    case WM_GETOBJECT:
      if (const LRESULT answer = answerGetObject(hwnd, w, l)) return answer;
      break;
    case WM_NCDESTROY:
      RemovePropW(hwnd, kSourceProperty);
      RemoveWindowSubclass(hwnd, accessibleProc, id);
      break;
  }
  return DefSubclassProc(hwnd, message, w, l);
}

}  // namespace

LONG partChildId(std::size_t part) {
  return kFirstPart + static_cast<LONG>(part);
}

AccessibleSource* accessibleSourceOf(HWND hwnd) {
  return static_cast<AccessibleSource*>(GetPropW(hwnd, kSourceProperty));
}

void exposeWindow(HWND hwnd, AccessibleSource* source, bool subclass) {
  if (!hwnd) return;
  if (!source) {
    RemovePropW(hwnd, kSourceProperty);
    return;
  }
  SetPropW(hwnd, kSourceProperty, source);
  if (subclass) SetWindowSubclass(hwnd, accessibleProc, kAccessibleSubclass, 0);
}

LRESULT answerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  if (static_cast<LONG>(lParam) != OBJID_CLIENT || !accessibleSourceOf(hwnd)) return 0;
  IAccessible* inner = nullptr;
  if (FAILED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&inner))) ||
      !inner) {
    return 0;
  }
  IAccessible* object = wrapAccessible(inner, hwnd);
  const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, object);
  object->Release();
  return result > 0 ? result : 0;
}

ComForAccessibility::ComForAccessibility()
    : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}

ComForAccessibility::~ComForAccessibility() {
  if (SUCCEEDED(result_)) CoUninitialize();
}

}  // namespace toolkit::win32
