#include "platform/linux/sysfs_devices.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <memory>

namespace platform::linuxos {
namespace {

// Closes a descriptor when it goes out of scope.
struct Descriptor {
  int fd = -1;
  explicit Descriptor(int f) : fd(f) {}
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
};

// A small attribute file's contents (sysfs attributes are below a page).
std::optional<std::string> readSmallFile(int directory, const char* name) {
  Descriptor file(openat(directory, name, O_RDONLY | O_CLOEXEC));
  if (file.fd < 0) return std::nullopt;
  char buffer[512];
  const ssize_t length = ::read(file.fd, buffer, sizeof buffer);
  if (length < 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::optional<std::string> readLink(int directory, const char* name) {
  char buffer[PATH_MAX];
  const ssize_t length = readlinkat(directory, name, buffer, sizeof buffer);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::string baseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\0')) {
    text.pop_back();
  }
  return text;
}

// Interface names never hold a slash, and "." or ".." would leave the class
// directory; such a name from a hostile kernel reply reads nothing.
bool usableName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

}  // namespace

SysfsDevices::SysfsDevices(const std::string& root) : root_(root) {
  // Device paths come back resolved; the root they are checked against must be too.
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(root.c_str(), nullptr), &std::free);
  if (resolved) root_ = resolved.get();
}

std::optional<long long> parseSysfsNumber(const std::string& text) {
  const std::string value = trimmed(text);
  long long number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (value.empty() || error != std::errc() || end != value.data() + value.size()) {
    return std::nullopt;
  }
  return number;
}

DeviceFacts SysfsDevices::read(const LinkFacts& link, bool withSpeed) const {
  DeviceFacts facts;
  if (!usableName(link.name)) return facts;
  const std::string path = root_ + "/class/net/" + link.name;
  Descriptor directory(open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (directory.fd < 0) return facts;
  const auto index = readSmallFile(directory.fd, "ifindex");
  if (!index || parseSysfsNumber(*index) != link.index) return facts;

  if (withSpeed) {
    // Reading the speed of a link that is down fails; that is "none".
    if (const auto speed = readSmallFile(directory.fd, "speed")) {
      const auto mbps = parseSysfsNumber(*speed);
      if (mbps && *mbps > 0) facts.speedMbps = static_cast<std::uint64_t>(*mbps);
    }
  }
  if (!readLink(directory.fd, "device")) return facts;
  facts.hasBusDevice = true;
  if (const auto driver = readLink(directory.fd, "device/driver")) facts.driver = baseName(*driver);
  facts.wireless = faccessat(directory.fd, "phy80211", F_OK, 0) == 0 ||
                   faccessat(directory.fd, "wireless", F_OK, 0) == 0;
  const std::string devicePath = path + "/device";
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(devicePath.c_str(), nullptr),
                                                       &std::free);
  if (resolved) facts.modalias = busModalias(resolved.get()).value_or("");
  return facts;
}

std::optional<std::string> SysfsDevices::busModalias(const std::string& devicePath) const {
  // Each step drops one path component, so the walk ends at the root.
  std::string directory = devicePath;
  while (directory.size() > root_.size() && directory.compare(0, root_.size(), root_) == 0) {
    Descriptor fd(open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (fd.fd >= 0) {
      const auto subsystem = readLink(fd.fd, "subsystem");
      if (subsystem) {
        const std::string bus = baseName(*subsystem);
        if (bus == "pci" || bus == "usb") {
          const auto modalias = readSmallFile(fd.fd, "modalias");
          if (modalias && !trimmed(*modalias).empty()) return trimmed(*modalias);
        }
      }
    }
    const auto slash = directory.find_last_of('/');
    if (slash == std::string::npos || slash == 0) break;
    directory.resize(slash);
  }
  return std::nullopt;
}

}  // namespace platform::linuxos
