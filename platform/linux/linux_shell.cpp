#include "platform/linux/linux_shell.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "basics/error.h"
#include "basics/error_source.h"

extern char** environ;

namespace platform::linuxos {

std::int64_t LinuxShell::openInBrowser(const std::string& url, int windowStyle) {
  (void)windowStyle;  // the browser decides how it shows itself
  std::string program = "xdg-open";
  std::vector<char*> argv{program.data(), const_cast<char*>(url.c_str()), nullptr};
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
  if (rc != 0) {
    // 53: file not found, as the shell call reports a missing program.
    throw basics::Error(53, basics::kErrorSource,
                        "File not found: " + program + " (" + std::strerror(rc) + ")");
  }
  // xdg-open hands the address on and ends; reap it whenever it does, so no
  // zombie stays behind and the UI thread never waits for it.
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return pid;
}

}  // namespace platform::linuxos
