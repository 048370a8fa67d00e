#include "probes/lan_address.h"

#include "basics/text.h"

#include <algorithm>
#include <array>
#include <optional>

namespace probes {
namespace {

constexpr std::string_view kAllZeroIdentity = "{00000000-0000-0000-0000-000000000000}";
constexpr std::array<std::string_view, 4> kExcludedWords = {"Loopback", "Virtual", "Hyper-V",
                                                            "VPN"};

// A test over a property that may be null: nullopt stands for null.
using Tristate = std::optional<bool>;

// Three-valued AND: false wins over null, null wins over true.
Tristate both(Tristate a, Tristate b) {
  if (a == false || b == false) return false;
  if (!a || !b) return std::nullopt;
  return true;
}

// The five tests of one adapter configuration. Both properties are read every
// time, so a failing read surfaces even when the other test already decides.
bool looksPhysical(const platform::ManagementObject& config) {
  const platform::Variant identity = config.property("SettingID");
  const platform::Variant description = config.property("Description");

  Tristate result = platform::isNull(identity)
                        ? Tristate()
                        : Tristate(platform::toText(identity) != kAllZeroIdentity);
  const bool hasText = !platform::isNull(description);
  const std::string text = hasText ? platform::toText(description) : std::string();
  for (std::string_view word : kExcludedWords) {
    result =
        both(result, hasText ? Tristate(!basics::containsIgnoringCase(text, word)) : Tristate());
  }
  return result == true;  // a final null counts as failed
}

}  // namespace

std::string GetPhysicalLanIP(platform::ManagementLocator& locator) {
  // The service, the result set and the current object are released by their
  // owners on every way out, including an error.
  const std::unique_ptr<platform::ManagementService> service =
      locator.bind(platform::kCimv2Moniker);
  const std::unique_ptr<platform::ObjectSet> configurations =
      service->execQuery(platform::kConfigurationQuery);

  std::optional<std::string> address;
  configurations->forEach([&](const platform::ManagementObject& config) {
    if (!looksPhysical(config)) return true;
    const platform::Variant addresses = config.property("IpAddress");
    if (platform::isNull(addresses)) return true;
    const platform::TextArray& list = platform::toArray(addresses);  // type error otherwise
    if (list.empty()) return true;
    address = list.front();
    return false;
  });
  return address ? *address : std::string(kNotFound);
}

}  // namespace probes
