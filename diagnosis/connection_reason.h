#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "platform/internet_transfer.h"

namespace diagnosis {

// Why the machine is, or is not, online: one short sentence a person can act
// on, with a code that scripts can rely on.
struct Reason {
  std::string_view code;
  std::string_view text;
  bool operator==(const Reason&) const = default;
};

// What the machine's own side shows. A fact that could not be read is none,
// and no reason rests on it.
struct AdapterFacts {
  // An adapter other than the loopback is up and its link connected.
  std::optional<bool> anyConnected;
  // A connected adapter holds an address the network gave it: not loopback,
  // not unspecified, not self-assigned (169.254/16, fe80::/10).
  std::optional<bool> anyAssignedAddress;
  // The routing table has a way out of the local networks.
  std::optional<bool> defaultRoute;
};

// What one load found.
struct LoadFacts {
  bool online = false;      // as the status says
  bool wentSilent = false;  // the echo service answered, then fell silent
  AdapterFacts adapters;
  platform::RequestReport probe;  // the reachability probe
  platform::RequestReport echo;   // the echo request that got furthest
};

// The reason for what a load found, by a fixed order of checks.
Reason chooseReason(const LoadFacts& facts);

// Every reason, in the order of the checks, for documentation and tests.
std::span<const Reason> allReasons();

// The reason with this code; none for a code no reason has.
std::optional<Reason> reasonByCode(std::string_view code);

}  // namespace diagnosis
