#pragma once

namespace toolkit {

// The source the program's own errors name, beside their number and description.
inline constexpr char kErrorSource[] = "Tarnwick";

}  // namespace toolkit
