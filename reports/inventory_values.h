#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/management_objects.h"
#include "reports/number_style.h"

namespace reports {

// The names of connection statuses 0 to 11, in order.
inline constexpr std::array<std::string_view, 12> kConnectionStatusNames = {
    "Disconnected",
    "Connecting",
    "Connected",
    "Disconnecting",
    "Hardware Not Present",
    "Hardware Disabled",
    "Hardware Malfunction",
    "Media Disconnected",
    "Authenticating",
    "Authenticated",
    "Authentication Failed",
    "Invalid Address",
};

// The speed text for an adapter's `Speed` (bits per second, usually decimal
// text): megabits with two decimals in the given style, then " Mbps"; "N/A"
// for null or anything that is not a finite number.
std::string speedText(const platform::Variant& speed, const NumberStyle& style);

// The connection-status text for an adapter's `NetConnectionStatus`: the name of
// statuses 0 to 11, "Unknown (n)" for any other number, "Unknown ()" for null.
// Throws basics::Error when the value is not a number.
std::string connectionStatusText(const platform::Variant& status);

// The elements of an array joined by ", ", or "N/A" when that gives empty text.
// Throws basics::Error when the value is not an array.
std::string joinedOrNotAvailable(const platform::Variant& array);

}  // namespace reports
