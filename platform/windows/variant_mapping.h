#pragma once

#include <windows.h>

#include <oleauto.h>

#include "platform/management_objects.h"

namespace platform::windows {

// A property value as the management service hands it out, mapped onto the
// seam's variant: empty and null are null, strings UTF-8 text, integers up
// to 32 bits 32-bit integers, wider ones 64-bit (text when they do not fit),
// booleans flags, one-dimensional arrays of strings (held as strings or as
// variants holding strings) arrays of texts. The service gives 64-bit
// properties such as Speed as text already. Any other value has the
// system's text form; one without it is a type mismatch (basics::Error 13).
Variant fromVariant(const VARIANT& value);

}  // namespace platform::windows
