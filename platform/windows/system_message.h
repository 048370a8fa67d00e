#pragma once

#include <string>

namespace platform::windows {

// The system's description of an error code (a Win32 error or an HRESULT),
// in UTF-8 without the trailing line break; `fallback` when it has none.
std::string systemMessage(unsigned long code, const std::string& fallback);

}  // namespace platform::windows
