#include "tests/end_to_end/isolated_run.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <thread>
#include <tuple>
#include <utility>

#include "basics/error.h"
#include "platform/linux/linux_management.h"
#include "probes/endpoints.h"
#include "probes/lan_address.h"

extern char** environ;

namespace end_to_end {
namespace {

using Clock = std::chrono::steady_clock;

// Names that the program must resolve only through the private hosts file.
std::string hostsFile(const std::string& loopback) {
  return "127.0.0.1 localhost\n::1 localhost\n" + loopback + " " +
         std::string(probes::kEchoServiceHost) + "\n" + loopback + " " +
         std::string(probes::kReachabilityHost) + "\n";
}
// Nothing listens there: a name missing from the hosts file is refused at once.
constexpr const char* kResolver = "nameserver 127.0.0.9\noptions timeout:1 attempts:1\n";

std::chrono::milliseconds sinceThen(Clock::time_point then) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - then);
}

void appendAvailable(int fd, std::string& into, bool& open) {
  char buffer[4096];
  const ssize_t got = read(fd, buffer, sizeof buffer);
  if (got > 0) {
    into.append(buffer, static_cast<std::size_t>(got));
  } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
    open = false;
  }
}

// Every thread's backtrace of the processes in the run's group (the program,
// what it started, the run's background commands), so a hang seen once in CI
// says where it was.
std::string backtraces(pid_t group) {
  std::string out;
  std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir("/proc"), closedir);
  for (dirent* entry; proc && (entry = readdir(proc.get())) != nullptr;) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0 || getpgid(pid) != group) continue;
    const std::string command = "timeout 30 gdb -batch -nx -p " + std::to_string(pid) +
                                " -ex 'thread apply all bt' 2>&1 | grep -E '^(Thread|#)'";
    out += (pid == group ? "the program " : "process ") + std::to_string(pid) + ":\n";
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
      char line[512];
      while (std::fgets(line, sizeof line, pipe) != nullptr) out += line;
      pclose(pipe);
    }
  }
  return out;
}

// Starts `argv` with the descriptors `fds` as its 0, 1, 2...: spawned, so
// nothing of this threaded process but an exec'd program runs in the child.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<int>& fds, char* const* envp) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  for (std::size_t i = 0; i < fds.size(); ++i) {
    posix_spawn_file_actions_adddup2(&actions, fds[i], static_cast<int>(i));
  }
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);  // its own group, killed whole
  std::vector<char*> args;
  for (const std::string& word : argv) args.push_back(const_cast<char*>(word.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), envp) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return pid;
}

// A pipe whose ends this process closes when they go out of scope.
struct Pipe {
  int read = -1;
  int write = -1;
  Pipe() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) == 0) std::tie(read, write) = std::tie(ends[0], ends[1]);
  }
  ~Pipe() {
    closeRead();
    closeWrite();
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  void closeRead() {
    if (read >= 0) close(std::exchange(read, -1));
  }
  void closeWrite() {
    if (write >= 0) close(std::exchange(write, -1));
  }
};

// The run's folder: the files the launcher reads, and its setup log.
class RunDirectory {
 public:
  explicit RunDirectory(const RunSetup& setup) {
    char name[] = "/tmp/tarnwick-e2e-XXXXXX";
    if (mkdtemp(name) == nullptr) return;
    path_ = name;
    std::filesystem::create_directory(path_ + "/etc");
    std::vector<std::pair<std::string, std::string>> etc = {{"hosts", hostsFile(setup.loopback)},
                                                            {"resolv.conf", kResolver}};
    for (const auto& file : setup.etcFiles) {
      std::erase_if(etc, [&](const auto& own) { return own.first == file.first; });
      etc.push_back(file);
    }
    for (const auto& [name, text] : etc) write("etc/" + name, text);
    std::string environment;
    for (const std::string& entry : setup.environment) environment += entry + '\0';
    write("environment", environment);
    write("staging", lines(setup.stagingCommands));
    write("background", lines(setup.backgroundCommands));
    write("setup.log", "");
  }
  ~RunDirectory() {
    if (!path_.empty()) std::filesystem::remove_all(path_);
  }
  RunDirectory(const RunDirectory&) = delete;
  RunDirectory& operator=(const RunDirectory&) = delete;
  const std::string& path() const { return path_; }
  std::string setupLog() const {
    std::ifstream in(path_ + "/setup.log", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  static std::string lines(const std::vector<std::vector<std::string>>& commands) {
    std::string text;
    for (const auto& command : commands) {
      for (std::size_t i = 0; i < command.size(); ++i) text += (i > 0 ? "\t" : "") + command[i];
      text += "\n";
    }
    return text;
  }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(path_ + "/" + name, std::ios::binary) << text;
  }
  std::string path_;
};

// A server whose sockets belong to the network namespace at `netnsPath`:
// made on a thread that enters it, as sockets stay in the namespace they were
// made in.
std::unique_ptr<tests_support::HttpTestServer> startServer(const std::string& netnsPath,
                                                           const ServerSetup& setup) {
  std::unique_ptr<tests_support::HttpTestServer> server;
  std::string error;
  std::thread([&] {
    const int fd = open(netnsPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || setns(fd, CLONE_NEWNET) != 0) {
      error = "enter network namespace " + netnsPath + ": " + std::strerror(errno);
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

// Waits, until `deadline`, for the launcher's "staged"; false when it ended without.
bool staged(int fd, Clock::time_point deadline) {
  std::string said;
  while (said.find('\n') == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd wait{fd, POLLIN, 0};
    bool open = true;
    if (left <= 0 || poll(&wait, 1, static_cast<int>(left)) <= 0) return false;
    appendAvailable(fd, said, open);
    if (!open) return false;
  }
  return said == "staged\n";
}

// Reads the program's output until it closes it and ends, or the deadline
// passes; then the program is killed, with everything of its group.
void collect(pid_t pid, int outFd, int errFd, Clock::time_point start, Clock::time_point deadline,
             RunResult& result) {
  bool outOpen = true;
  bool errOpen = true;
  int status = 0;
  rusage usage{};
  for (;;) {
    const bool open = outOpen || errOpen;
    if (!open && wait4(pid, &status, WNOHANG, &usage) == pid) break;
    if (Clock::now() >= deadline) {
      result.timedOut = true;
      result.killedWhile =
          (open ? "the program still ran\n" : "the program had closed its output, not ended\n") +
          backtraces(pid);
      // What the program said before it was killed: an error box of a
      // no-display run goes there.
      if (!result.err.empty()) result.killedWhile += "\nstderr:\n" + result.err;
      break;
    }
    // While the program ends after closing its output, look again shortly.
    pollfd fds[2] = {{outOpen ? outFd : -1, POLLIN, 0}, {errOpen ? errFd : -1, POLLIN, 0}};
    const auto wake = open ? deadline : Clock::now() + std::chrono::milliseconds(10);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wake - Clock::now());
    poll(fds, 2, static_cast<int>(std::max<long long>(wait.count(), 0) + 1));
    if (fds[0].revents != 0) {
      appendAvailable(outFd, result.out, outOpen);
      if (result.firstOutputAfter.count() < 0 && !result.out.empty()) {
        result.firstOutputAfter = sinceThen(start);
      }
    }
    if (fds[1].revents != 0) appendAvailable(errFd, result.err, errOpen);
    if (open && !outOpen && !errOpen) result.elapsed = sinceThen(start);
  }
  if (!result.timedOut) {
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.peakRssKiB = usage.ru_maxrss;
  } else {
    result.elapsed = sinceThen(start);
  }
  // The background commands, and whatever else is left of the group.
  kill(-pid, SIGKILL);
  if (result.timedOut) waitpid(pid, &status, 0);
}

}  // namespace

std::string isolationUnavailable() {
  if (geteuid() != 0) return "end-to-end runs need root (private mount and network namespaces)";
  const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
  const pid_t pid = spawn({"unshare", "--mount", "--net", "true"}, {null, null, null}, environ);
  close(null);
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return "private mount and network namespaces are not available here";
  }
  return {};
}

RunResult runIsolated(const std::string& program, const RunSetup& setup) {
  RunResult result;
  const RunDirectory directory(setup);
  Pipe out, err, control, go;
  const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (directory.path().empty() || out.read < 0 || err.read < 0 || control.read < 0 || go.read < 0 ||
      null < 0) {
    if (null >= 0) close(null);
    result.setupError = "cannot make the run's folder or pipes";
    return result;
  }
  // The launcher enters the namespaces, stages the run and becomes the program.
  std::vector<std::string> argv = {"setpriv", "--pdeathsig",   "KILL",   "unshare",
                                   "--mount", "--propagation", "private"};
  if (setup.privateNetwork) argv.push_back("--net");
  for (const std::string& word :
       {std::string(TARNWICK_ISOLATED_LAUNCH), directory.path(),
        std::string(setup.privateNetwork ? "private" : "machine"), program}) {
    argv.push_back(word);
  }
  argv.insert(argv.end(), setup.arguments.begin(), setup.arguments.end());

  const Clock::time_point launched = Clock::now();
  const pid_t pid = spawn(argv, {null, out.write, err.write, control.write, go.read}, environ);
  close(null);
  out.closeWrite();
  err.closeWrite();
  control.closeWrite();
  go.closeRead();
  if (pid < 0) {
    result.setupError = "cannot start the launcher";
    return result;
  }
  std::vector<std::unique_ptr<tests_support::HttpTestServer>> servers;
  try {
    if (!staged(control.read, launched + std::chrono::seconds(60))) {
      throw std::runtime_error("the launcher did not stage the run:\n" + directory.setupLog());
    }
    const std::string root = "/proc/" + std::to_string(pid);
    if (setup.server)
      servers.push_back(startServer(root + "/ns/net", {"", setup.loopback, 80, *setup.server}));
    for (const ServerSetup& each : setup.servers) {
      servers.push_back(startServer(
          each.netns.empty() ? root + "/ns/net" : root + "/root/run/netns/" + each.netns, each));
    }
  } catch (const std::exception& error) {
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    result.setupError = error.what();
    return result;
  }
  result.ran = true;
  const Clock::time_point start = Clock::now();
  (void)!::write(go.write, "go\n", 3);
  go.closeWrite();
  collect(pid, out.read, err.read, start, start + setup.timeLimit, result);
  for (const auto& server : servers) {
    for (const auto& request : server->requests()) {
      result.requests.push_back(request.header("Host") + "\t" + request.target + "\t" +
                                request.header("User-Agent"));
    }
  }
  return result;
}

std::string machineLanAddress() {
  platform::linuxos::LinuxManagementLocator locator;
  try {
    return probes::GetPhysicalLanIP(locator);
  } catch (const basics::Error& error) {
    return "(lookup failed: " + error.description() + ")";
  }
}

std::string leakSanitizerOptions() {
  const char* inherited = std::getenv("LSAN_OPTIONS");
  return std::string("LSAN_OPTIONS=") + (inherited != nullptr ? std::string(inherited) + ":" : "") +
         "print_suppressions=0:suppressions=" + TARNWICK_LSAN_SUPPRESSIONS;
}

std::string loopbackOfThisRun() {
  const auto id = static_cast<unsigned>(getpid());
  return "127." + std::to_string((id >> 16) & 255) + "." + std::to_string((id >> 8) & 255) + "." +
         std::to_string(id & 255);
}

}  // namespace end_to_end
