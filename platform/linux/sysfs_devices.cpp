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

std::string resolvedPath(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
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

// Names from a kernel reply become path components: one that holds a slash,
// or is "." or "..", would leave the directory it is meant for, and reads nothing.
bool usableName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

bool isWireless(int classDirectory) {
  return faccessat(classDirectory, "phy80211", F_OK, 0) == 0 ||
         faccessat(classDirectory, "wireless", F_OK, 0) == 0;
}

}  // namespace

SysfsDevices::SysfsDevices(const std::string& root) : root_(root) {
  // Device paths come back resolved; the root they are checked against must be too.
  const std::string resolved = resolvedPath(root);
  if (!resolved.empty()) root_ = resolved;
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

bool kernelReportsParents(const std::string& release) {
  int major = 0, minor = 0;
  const char* end = release.data() + release.size();
  const auto [afterMajor, majorError] = std::from_chars(release.data(), end, major);
  if (majorError != std::errc() || afterMajor == end || *afterMajor != '.') return false;
  const auto [afterMinor, minorError] = std::from_chars(afterMajor + 1, end, minor);
  if (minorError != std::errc()) return false;
  return major > 5 || (major == 5 && minor >= 16);
}

int SysfsDevices::classDirectory(const LinkFacts& link) const {
  if (!usableName(link.name)) return -1;
  const std::string path = root_ + "/class/net/" + link.name;
  const int fd = open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  const auto index = readSmallFile(fd, "ifindex");
  if (!index || parseSysfsNumber(*index) != link.index) {
    close(fd);
    return -1;
  }
  return fd;
}

DeviceFacts SysfsDevices::read(const LinkFacts& link, bool parentsReported) const {
  DeviceFacts facts;
  if (!link.parentDevice.empty()) {
    // The bus's device list is not tied to a network namespace.
    if (!usableName(link.parentBus) || !usableName(link.parentDevice)) return facts;
    facts.hasBusDevice = true;
    readBusDevice(root_ + "/bus/" + link.parentBus + "/devices/" + link.parentDevice, facts);
    const Descriptor directory(classDirectory(link));
    if (directory.fd >= 0) facts.wireless = isWireless(directory.fd);
    return facts;
  }
  if (parentsReported) return facts;

  // A kernel that names no parents: the class directory's device link tells.
  const Descriptor directory(classDirectory(link));
  if (directory.fd < 0 || !readLink(directory.fd, "device")) return facts;
  facts.hasBusDevice = true;
  facts.wireless = isWireless(directory.fd);
  readBusDevice(root_ + "/class/net/" + link.name + "/device", facts);
  return facts;
}

void SysfsDevices::readBusDevice(const std::string& devicePath, DeviceFacts& facts) const {
  const std::string path = resolvedPath(devicePath);
  if (path.empty()) return;
  const Descriptor directory(open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (directory.fd < 0) return;
  if (const auto driver = readLink(directory.fd, "driver")) facts.driver = baseName(*driver);
  facts.modalias = busModalias(path).value_or("");
}

std::optional<std::string> SysfsDevices::busModalias(const std::string& devicePath) const {
  // Each step drops one path component, so the walk ends at the root.
  std::string directory = devicePath;
  while (directory.size() > root_.size() && directory.compare(0, root_.size(), root_) == 0 &&
         directory[root_.size()] == '/') {
    const Descriptor fd(open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (fd.fd >= 0) {
      const auto subsystem = readLink(fd.fd, "subsystem");
      const std::string bus = subsystem ? baseName(*subsystem) : std::string();
      if (bus == "pci" || bus == "usb") {
        const auto modalias = readSmallFile(fd.fd, "modalias");
        if (modalias && !trimmed(*modalias).empty()) return trimmed(*modalias);
      }
    }
    directory.resize(directory.find_last_of('/'));
  }
  return std::nullopt;
}

}  // namespace platform::linuxos
