#include "tests/end_to_end/run_process.h"

#include <fcntl.h>
#include <net/if.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "probes/endpoints.h"
#include "tests/support/etc_files.h"

namespace end_to_end {
namespace {

// Names that the program must resolve only through the private hosts file.
const std::string kHosts = "127.0.0.1 localhost\n::1 localhost\n127.0.0.1 " +
                           std::string(probes::kEchoServiceHost) + "\n127.0.0.1 " +
                           std::string(probes::kReachabilityHost) + "\n";
// Nothing listens there: a name missing from the hosts file is refused at once.
constexpr const char* kResolver = "nameserver 127.0.0.9\noptions timeout:1 attempts:1\n";

[[noreturn]] void fail(const std::string& what) {
  const std::string text =
      what + (errno != 0 ? std::string(": ") + std::strerror(errno) : "") + "\n";
  (void)!write(STDERR_FILENO, text.data(), text.size());
  _exit(125);
}

void bringLoopbackUp() {
  const int s = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  ifreq request{};
  std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
  if (s < 0 || ioctl(s, SIOCGIFFLAGS, &request) != 0) fail("read lo flags");
  request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
  if (ioctl(s, SIOCSIFFLAGS, &request) != 0) fail("bring lo up");
  close(s);
}

std::string lineOf(const std::vector<std::string>& command) {
  std::string line;
  for (const std::string& word : command) line += word + " ";
  return line;
}

// Starts `command` with `out` (when not -1) as its standard output.
pid_t start(const std::vector<std::string>& command, int out) {
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) fail("fork for " + lineOf(command));
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (out >= 0) dup2(out, STDOUT_FILENO);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

void runStaging(const std::vector<std::string>& command) {
  int status = 0;
  waitpid(start(command, -1), &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    errno = 0;
    fail("staging command failed: " + lineOf(command));
  }
}

// Starts a background command and waits, at most 10 s, for its first line.
pid_t startBackground(const std::vector<std::string>& command) {
  int ready[2];
  if (pipe2(ready, O_CLOEXEC) != 0) fail("pipe for " + lineOf(command));
  const pid_t pid = start(command, ready[1]);
  close(ready[1]);
  std::string said;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (said.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd fd{ready[0], POLLIN, 0};
    char buffer[256];
    ssize_t got = 0;
    if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0 ||
        (got = read(ready[0], buffer, sizeof buffer)) <= 0) {
      errno = 0;
      fail("background command not ready: " + lineOf(command));
    }
    said.append(buffer, static_cast<std::size_t>(got));
  }
  // Left open: a command that writes more must not get SIGPIPE for it.
  return pid;
}

// Asks the background commands to stop, and kills those that have not after a second.
void stopBackground(const std::vector<pid_t>& pids) {
  for (const pid_t pid : pids) kill(pid, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  for (const pid_t pid : pids) {
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() >= deadline) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
}

// A server whose sockets belong to the named network namespace: made on a
// thread that enters it, as sockets stay in the namespace they were made in.
std::unique_ptr<tests_support::HttpTestServer> startServer(const ServerSetup& setup) {
  if (setup.netns.empty()) {
    return std::make_unique<tests_support::HttpTestServer>(setup.handler, setup.port,
                                                           setup.address);
  }
  std::unique_ptr<tests_support::HttpTestServer> server;
  std::string error;
  std::thread([&] {
    const int fd = open(("/run/netns/" + setup.netns).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || setns(fd, CLONE_NEWNET) != 0) {
      error = "enter network namespace " + setup.netns + ": " + std::strerror(errno);
    } else {
      try {
        server = std::make_unique<tests_support::HttpTestServer>(setup.handler, setup.port,
                                                                 setup.address);
      } catch (const std::exception& e) {
        error = e.what();
      }
    }
    if (fd >= 0) close(fd);
  }).join();
  if (!server) throw std::runtime_error(error);
  return server;
}

}  // namespace

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

[[noreturn]] void runProcessMain(const RunProcessPlan& plan) {
  const RunSetup& setup = *plan.setup;
  if (unshare(CLONE_NEWNS | (setup.privateNetwork ? CLONE_NEWNET : 0)) != 0) fail("unshare");
  // Nothing mounted from here on may show in the machine's mount namespace.
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) fail("make / private");
  std::vector<tests_support::EtcFile> etc = {{"hosts", kHosts}, {"resolv.conf", kResolver}};
  for (const auto& [name, text] : setup.etcFiles) {
    std::erase_if(etc, [&](const tests_support::EtcFile& file) { return file.name == name; });
    etc.push_back({name, text});
  }
  const std::string etcError = tests_support::replaceEtcFiles(etc);
  if (!etcError.empty()) {
    errno = 0;
    fail(etcError);
  }
  // Namespaces the staging commands name (`ip netns add`) live in this mount
  // namespace alone: concurrent runs may use the same names, and nothing is
  // left in the machine's /run when the run ends.
  mkdir("/run/netns", 0755);
  if (mount("tmpfs", "/run/netns", "tmpfs", 0, "mode=0755") != 0) fail("mount /run/netns");
  if (setup.privateNetwork) {
    // sysfs shows the links of the namespace that mounted it.
    umount2("/sys", MNT_DETACH);
    if (mount("sysfs", "/sys", "sysfs", 0, nullptr) != 0) fail("mount sysfs");
    bringLoopbackUp();
  }
  // In the machine's own network namespace too: links, and routes that take
  // the run's test addresses to them and so keep them off the machine's
  // network. The links go when their namespaces do, at the end of the run.
  for (const auto& command : setup.stagingCommands) runStaging(command);
  // Forked here, before the servers' threads exist.
  std::vector<pid_t> background;
  for (const auto& command : setup.backgroundCommands) {
    background.push_back(startBackground(command));
  }

  std::vector<std::unique_ptr<tests_support::HttpTestServer>> servers;
  try {
    if (setup.server) {
      servers.push_back(
          std::make_unique<tests_support::HttpTestServer>(*setup.server, 80, "127.0.0.1"));
    }
    for (const ServerSetup& each : setup.servers) servers.push_back(startServer(each));
  } catch (const std::exception& error) {
    errno = 0;
    fail(error.what());
  }

  // Made before the fork: the servers' threads run by now, and the child may
  // only make system calls until it execs.
  std::vector<char*> argv{const_cast<char*>(plan.program)};
  for (const std::string& word : setup.arguments) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  writeFile(plan.directory + "/started",
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  const pid_t pid = fork();
  if (pid < 0) fail("fork for the program");
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(plan.outWrite, STDOUT_FILENO);
    dup2(plan.errWrite, STDERR_FILENO);
    execve(plan.program, argv.data(), plan.envp);
    _exit(127);
  }
  close(plan.outWrite);
  close(plan.errWrite);
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  stopBackground(background);
  // The servers are not stopped: _exit ends their threads, whatever a
  // misbehaving reply left them doing.
  std::string requests;
  for (const auto& server : servers) {
    for (const auto& request : server->requests()) {
      requests += request.header("Host") + "\t" + request.target + "\t" +
                  request.header("User-Agent") + "\n";
    }
  }
  writeFile(plan.directory + "/requests", requests);
  writeFile(plan.directory + "/rss", std::to_string(usage.ru_maxrss));
  writeFile(plan.directory + "/status", std::to_string(status));
  _exit(0);
}

}  // namespace end_to_end
