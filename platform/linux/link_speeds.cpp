#include "platform/linux/link_speeds.h"

#include <linux/ethtool.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace platform::linuxos {
namespace {

// The settings and room for the three link-mode masks that follow them; the
// kernel gives the mask size as a signed byte, so 127 words each at most.
struct LinkSettings {
  alignas(ethtool_link_settings) unsigned char bytes[sizeof(ethtool_link_settings) +
                                                     3 * 127 * sizeof(std::uint32_t)] = {};
  ethtool_link_settings& settings() { return *reinterpret_cast<ethtool_link_settings*>(bytes); }
};

bool ask(int socket, const std::string& name, LinkSettings& request) {
  ifreq interface {};
  std::strncpy(interface.ifr_name, name.c_str(), IFNAMSIZ - 1);
  interface.ifr_data = reinterpret_cast<char*>(request.bytes);
  return ioctl(socket, SIOCETHTOOL, &interface) == 0;
}

}  // namespace

LinkSpeeds::LinkSpeeds() {
  socket_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
}

LinkSpeeds::~LinkSpeeds() {
  if (socket_ >= 0) close(socket_);
}

std::optional<std::uint64_t> LinkSpeeds::megabits(const std::string& name) {
  if (socket_ < 0 || name.empty() || name.size() >= IFNAMSIZ) return std::nullopt;
  LinkSettings request;
  request.settings().cmd = ETHTOOL_GLINKSETTINGS;
  if (maskWords_ == 0) {
    // The handshake: asked with no masks, the kernel answers with the
    // negated number of words it needs, the same for every link.
    if (!ask(socket_, name, request)) return std::nullopt;
    const int words = -request.settings().link_mode_masks_nwords;
    if (words <= 0 || words > 127) return std::nullopt;
    maskWords_ = words;
    request = LinkSettings{};
    request.settings().cmd = ETHTOOL_GLINKSETTINGS;
  }
  request.settings().link_mode_masks_nwords = static_cast<std::int8_t>(maskWords_);
  if (!ask(socket_, name, request) || request.settings().link_mode_masks_nwords <= 0) {
    return std::nullopt;
  }
  const std::uint32_t speed = request.settings().speed;
  if (speed == 0 || speed == static_cast<std::uint32_t>(SPEED_UNKNOWN)) return std::nullopt;
  return speed;
}

}  // namespace platform::linuxos
