#include "tests/end_to_end/isolated_run.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <thread>
#include <utility>

#include "basics/error.h"
#include "platform/linux/linux_management.h"
#include "probes/lan_address.h"
#include "tests/end_to_end/run_process.h"

extern char** environ;

namespace end_to_end {
namespace {

using Clock = std::chrono::steady_clock;

// The program's environment: this one without a display and without proxies,
// so that it runs offscreen and every request goes to the hosts file's address.
std::vector<std::string> programEnvironment(const std::vector<std::string>& extra) {
  const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
  std::vector<std::string> out;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text(*entry);
    std::string name = nameOf(text);
    bool replaced = false;
    for (const std::string& own : extra) replaced = replaced || nameOf(own) == name;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (replaced || name == "display" || name == "wayland_display" || name.ends_with("_proxy")) {
      continue;
    }
    out.push_back(text);
  }
  out.insert(out.end(), extra.begin(), extra.end());
  return out;
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

// Closes every descriptor above standard error but `a` and `b`: the run
// process never execs, so close-on-exec does not help, and what it held of
// the test process (a pipe another helper of the test reads to its end)
// would be held for as long as the program ran.
void keepOnly(int a, int b) {
  if (a > b) std::swap(a, b);
  close_range(3, static_cast<unsigned>(a) - 1, 0);
  if (b > a + 1) close_range(static_cast<unsigned>(a) + 1, static_cast<unsigned>(b) - 1, 0);
  close_range(static_cast<unsigned>(b) + 1, ~0U, 0);
}

// Every thread's backtrace of the processes in the run's group (the run's own
// process, the program and anything it started), so a hang seen once in CI
// says where it was.
std::string backtraces(pid_t group) {
  std::string out;
  std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir("/proc"), closedir);
  for (dirent* entry; proc && (entry = readdir(proc.get())) != nullptr;) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0 || getpgid(pid) != group) continue;
    const std::string command = "timeout 30 gdb -batch -nx -p " + std::to_string(pid) +
                                " -ex 'thread apply all bt' 2>&1 | grep -E '^(Thread|#)'";
    out += (pid == group ? "the run's own process " : "process ") + std::to_string(pid) + ":\n";
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
      char line[512];
      while (std::fgets(line, sizeof line, pipe) != nullptr) out += line;
      pclose(pipe);
    }
  }
  return out;
}

}  // namespace

std::string isolationUnavailable() {
  if (geteuid() != 0) return "end-to-end runs need root (private mount and network namespaces)";
  const pid_t pid = fork();
  if (pid == 0) _exit(unshare(CLONE_NEWNS | CLONE_NEWNET) == 0 ? 0 : 1);
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return "private mount and network namespaces are not available here";
  }
  return {};
}

namespace {

// The run under way: its run process, the program's two output streams and
// what has been read from them.
struct Running {
  pid_t child = -1;
  int outFd = -1;
  int errFd = -1;
  bool outOpen = true;
  bool errOpen = true;
  Clock::time_point start;
  Clock::time_point deadline;
  std::optional<Clock::time_point> firstOutput;
  std::string directory;
  RunResult result;
};

void removeRunDirectory(const std::string& directory) {
  for (const char* name : {"setup.log", "status", "requests", "rss", "started"}) {
    unlink((directory + "/" + name).c_str());
  }
  rmdir(directory.c_str());
}

// Forks the run process. Called with no other thread of this process running.
std::optional<Running> launch(const std::string& program, const RunSetup& setup,
                              RunResult& failed) {
  char directoryTemplate[] = "/tmp/tarnwick-e2e-XXXXXX";
  if (mkdtemp(directoryTemplate) == nullptr) {
    failed.setupError = "cannot make a run directory";
    return std::nullopt;
  }
  Running run;
  run.directory = directoryTemplate;
  writeFile(run.directory + "/setup.log", "");

  const std::vector<std::string> environment = programEnvironment(setup.environment);
  std::vector<char*> envp;
  for (const std::string& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);

  int outPipe[2];
  int errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) {
    failed.setupError = "cannot make pipes";
    return std::nullopt;
  }
  if (pipe2(errPipe, O_CLOEXEC) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    failed.setupError = "cannot make pipes";
    return std::nullopt;
  }
  const int logFd = open((run.directory + "/setup.log").c_str(), O_WRONLY | O_CLOEXEC);
  const RunProcessPlan plan{&setup,      run.directory, program.c_str(),
                            envp.data(), outPipe[1],    errPipe[1]};

  run.start = Clock::now();
  run.deadline = run.start + setup.timeLimit;
  run.child = fork();
  if (run.child == 0) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(logFd, STDOUT_FILENO);
    dup2(logFd, STDERR_FILENO);
    keepOnly(outPipe[1], errPipe[1]);
    runProcessMain(plan);
  }
  close(logFd);
  close(outPipe[1]);
  close(errPipe[1]);
  if (run.child < 0) {
    close(outPipe[0]);
    close(errPipe[0]);
    removeRunDirectory(run.directory);
    failed.setupError = "fork failed";
    return std::nullopt;
  }
  setpgid(run.child, run.child);  // also here, so a kill of the group cannot miss it
  run.outFd = outPipe[0];
  run.errFd = errPipe[0];
  return run;
}

// Whether the run has ended, or was killed at its time limit; reads nothing.
bool ended(Running& run) {
  if (run.outOpen || run.errOpen) {
    if (Clock::now() < run.deadline) return false;
    run.result.timedOut = true;
    run.result.elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - run.start);
    run.result.killedWhile = "the program still ran\n" + backtraces(run.child);
  } else {
    // The run process ends right after the program.
    int status = 0;
    if (waitpid(run.child, &status, WNOHANG) == run.child) {
      run.child = -1;
      return true;
    }
    if (Clock::now() < run.deadline) return false;
    run.result.timedOut = true;
    run.result.killedWhile =
        "the program had ended; the run's own process had not\n" + backtraces(run.child);
  }
  // What the program said before it was killed: an error box of a no-display
  // run goes there.
  if (!run.result.err.empty()) run.result.killedWhile += "\nstderr:\n" + run.result.err;
  kill(-run.child, SIGKILL);
  int status = 0;
  waitpid(run.child, &status, 0);
  run.child = -1;
  return true;
}

RunResult finish(Running& run) {
  close(run.outFd);
  close(run.errFd);
  RunResult result = std::move(run.result);
  const std::string status = readFile(run.directory + "/status");
  if (!status.empty()) {
    const int programStatus = std::atoi(status.c_str());
    result.ran = true;
    result.exitStatus = WIFEXITED(programStatus) ? WEXITSTATUS(programStatus) : -1;
    result.peakRssKiB = std::atol(readFile(run.directory + "/rss").c_str());
  } else if (!result.timedOut) {
    result.setupError = readFile(run.directory + "/setup.log");
  }
  // The run process wrote when it started the program, on the same clock.
  const std::string started = readFile(run.directory + "/started");
  if (!started.empty() && run.firstOutput) {
    result.firstOutputAfter = std::chrono::duration_cast<std::chrono::milliseconds>(
        *run.firstOutput - Clock::time_point(Clock::duration(std::atoll(started.c_str()))));
  }
  std::istringstream requests(readFile(run.directory + "/requests"));
  for (std::string line; std::getline(requests, line);) result.requests.push_back(line);
  removeRunDirectory(run.directory);
  return result;
}

}  // namespace

RunResult runIsolated(const std::string& program, const RunSetup& setup) {
  RunResult failed;
  std::optional<Running> started = launch(program, setup, failed);
  if (!started) return failed;
  Running& run = *started;
  for (;;) {
    // Wait for output, the time limit, or (while the run process is ending
    // after its program) a short while.
    pollfd fds[2] = {{run.outOpen ? run.outFd : -1, POLLIN, 0},
                     {run.errOpen ? run.errFd : -1, POLLIN, 0}};
    const auto wake =
        run.outOpen || run.errOpen ? run.deadline : Clock::now() + std::chrono::milliseconds(10);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wake - Clock::now());
    poll(fds, 2, static_cast<int>(std::max<long long>(wait.count(), 0) + 1));
    const bool wasOpen = run.outOpen || run.errOpen;
    if (fds[0].revents != 0) {
      appendAvailable(run.outFd, run.result.out, run.outOpen);
      if (!run.firstOutput && !run.result.out.empty()) run.firstOutput = Clock::now();
    }
    if (fds[1].revents != 0) appendAvailable(run.errFd, run.result.err, run.errOpen);
    if (wasOpen && !run.outOpen && !run.errOpen) {
      run.result.elapsed =
          std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - run.start);
    }
    if (ended(run)) return finish(run);
  }
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

bool loopbackPort80Answers() {
  const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(80);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool answers = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(s);
  return answers;
}

MachinePort80Lock::MachinePort80Lock(std::chrono::seconds wait) {
  fd_ = open(kPort80LockPath, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0) return;
  const auto deadline = Clock::now() + wait;
  while (!(held_ = flock(fd_, LOCK_EX | LOCK_NB) == 0) && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

MachinePort80Lock::~MachinePort80Lock() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace end_to_end
