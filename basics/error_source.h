#pragma once

namespace basics {

// The source the program's own errors name, beside their number and description.
inline constexpr char kErrorSource[] = "Tarnwick";

}  // namespace basics
