#pragma once

#include <string>
#include <string_view>

#include "platform/linux/link_facts.h"

namespace platform::linuxos {

// A name-based (version 5, SHA-1) UUID in the program's own namespace, written as
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case. Its version and
// variant bits are set, so it is never the all-zero identity.
std::string nameBasedId(std::string_view name);

// The link's stable identity: derived from its permanent hardware address when
// it has one (a MAC address the user or a randomiser changes leaves it alone),
// else from its name.
std::string settingId(const LinkFacts& link);

}  // namespace platform::linuxos
