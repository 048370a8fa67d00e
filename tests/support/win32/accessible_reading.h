#pragma once

// Reading an accessible object as a screen reader reads it: shared by the
// Win32 screen probe of the window tests and the Windows test driver, which
// ask the same questions of the same objects from inside and from outside.

#include <oleacc.h>
#include <windows.h>

#include <string>

namespace tests_support::accessible_reading {

inline VARIANT childId(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

inline std::string utf8(const BSTR text) {
  const int length = static_cast<int>(SysStringLen(text));
  if (length == 0) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

// A text property of `child` (its name, value, description...); empty when it has none.
inline std::string textOf(IAccessible* object, const VARIANT& child,
                          HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
  BSTR text = nullptr;
  std::string out;
  if (SUCCEEDED((object->*get)(child, &text)) && text) out = utf8(text);
  SysFreeString(text);
  return out;
}

// A number property of `child` (its role, state...); 0 when it has none.
inline LONG numberOf(IAccessible* object, const VARIANT& child,
                     HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
  VARIANT value;
  VariantInit(&value);
  LONG out = 0;
  if (SUCCEEDED((object->*get)(child, &value)) && value.vt == VT_I4) out = value.lVal;
  VariantClear(&value);
  return out;
}

// What a screen reader says for an announcement event (a live region that
// changed): the region's name and value, then its description as a sentence
// of its own; false when the object is gone.
inline bool announcementOf(HWND window, LONG object, LONG child, std::string& said) {
  IAccessible* region = nullptr;
  VARIANT id;
  VariantInit(&id);
  if (FAILED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object),
                                       static_cast<DWORD>(child), &region, &id)) ||
      !region) {
    return false;
  }
  said = textOf(region, id, &IAccessible::get_accName);
  const std::string value = textOf(region, id, &IAccessible::get_accValue);
  if (!value.empty()) said += " " + value;
  const std::string description = textOf(region, id, &IAccessible::get_accDescription);
  if (!description.empty()) said += ". " + description;
  region->Release();
  VariantClear(&id);
  return true;
}

// The words a screen reader says for a role; null for a role this window
// has no control of.
inline const char* roleName(LONG role) {
  switch (role) {
    case ROLE_SYSTEM_PUSHBUTTON:
      return "push button";
    case ROLE_SYSTEM_LINK:
      return "link";
    case ROLE_SYSTEM_STATUSBAR:
      return "status";
    case ROLE_SYSTEM_STATICTEXT:
      return "text";
    case ROLE_SYSTEM_TEXT:
      return "edit";
    case ROLE_SYSTEM_GRAPHIC:
      return "picture";
    case ROLE_SYSTEM_PROGRESSBAR:
      return "progress bar";
    case ROLE_SYSTEM_PAGETAB:
      return "page tab";
    case ROLE_SYSTEM_PAGETABLIST:
      return "page tabs";
    case ROLE_SYSTEM_CHECKBUTTON:
      return "check box";
    default:
      return nullptr;
  }
}

}  // namespace tests_support::accessible_reading
