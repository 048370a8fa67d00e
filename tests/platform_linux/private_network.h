#pragma once

#include <functional>
#include <string>

namespace platform_linux_test {

// Why a private network namespace cannot be had here; empty when it can.
std::string privateNetworkUnavailable();

// Runs `body` on a thread of its own inside a fresh network namespace and a
// private mount namespace with sysfs mounted for it (as `ip netns exec` does),
// and waits for it. Threads and processes `body` starts share both. The
// namespaces vanish with the thread, links and all.
void runInPrivateNetwork(const std::function<void()>& body);

// Runs `body` on a thread of its own inside a private mount namespace.
void runInPrivateMounts(const std::function<void()>& body);

struct CommandResult {
  int status = -1;     // the exit status, -1 when it did not exit normally
  std::string output;  // standard output
};

// Runs a shell command line in the calling thread's namespaces. Standard
// error is dropped, or merged into the output when `withErrors` is set.
CommandResult run(const std::string& line, bool withErrors = false);

// Runs a staging command line; a failure fails the test with its text.
void stage(const std::string& line);

}  // namespace platform_linux_test
