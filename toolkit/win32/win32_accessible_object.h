#pragma once

// windows.h first: oleacc.h builds on it.
#include <windows.h>

#include <oleacc.h>

#include "toolkit/win32/win32_accessible.h"

namespace toolkit::win32 {

// The object screen readers get for an exposed window (win32_accessible.h):
// `inner`, the system's object for it (owned from now on), answering in the
// program's terms. It answers QueryInterface itself (IAccessible,
// IEnumVARIANT, IOleWindow), so COM identity holds. One reference, the caller's.
IAccessible* wrapAccessible(IAccessible* inner, HWND hwnd);

}  // namespace toolkit::win32
