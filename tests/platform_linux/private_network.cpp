#include "tests/platform_linux/private_network.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

namespace platform_linux_test {
namespace {

std::string errorText(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

// Enters new namespaces on the calling thread; returns why not, or "".
std::string enter(int flags, bool mountSysfs) {
  if (unshare(flags) != 0) return errorText("unshare");
  // Nothing mounted here may leak back into the machine's namespace.
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    return errorText("make mounts private");
  }
  if (mountSysfs) {
    umount2("/sys", MNT_DETACH);
    if (mount("sysfs", "/sys", "sysfs", 0, nullptr) != 0) return errorText("mount sysfs");
  }
  return {};
}

void runOnThread(int flags, bool mountSysfs, const std::function<void()>& body) {
  std::thread worker([&] {
    const std::string failure = enter(flags, mountSysfs);
    if (!failure.empty()) {
      ADD_FAILURE() << "cannot enter private namespaces: " << failure;
      return;
    }
    try {
      body();
    } catch (const std::exception& error) {
      ADD_FAILURE() << "uncaught exception: " << error.what();
    }
  });
  worker.join();
}

}  // namespace

std::string privateNetworkUnavailable() {
  if (geteuid() != 0) return "needs root to create network namespaces";
  std::string failure;
  std::thread probe([&] { failure = enter(CLONE_NEWNET | CLONE_NEWNS, true); });
  probe.join();
  if (!failure.empty()) return "network namespaces unavailable (" + failure + ")";
  if (run("ip -V").status != 0) return "iproute2 (ip) is not installed";
  return {};
}

void runInPrivateNetwork(const std::function<void()>& body) {
  runOnThread(CLONE_NEWNET | CLONE_NEWNS, true, body);
}

void runInPrivateMounts(const std::function<void()>& body) {
  runOnThread(CLONE_NEWNS, false, body);
}

CommandResult run(const std::string& line, bool withErrors) {
  CommandResult result;
  FILE* pipe = popen(("(" + line + ")" + (withErrors ? " 2>&1" : " 2>/dev/null")).c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  std::size_t length = 0;
  while ((length = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, length);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

void stage(const std::string& line) {
  const CommandResult result = run(line, true);
  if (result.status != 0) {
    ADD_FAILURE() << "staging failed (" << result.status << "): " << line << "\n" << result.output;
  }
}

}  // namespace platform_linux_test
