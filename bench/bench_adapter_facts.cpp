// The Linux adapter facts at 1000 interfaces (500 veth pairs in a private
// network namespace, each end with an IPv4 and an IPv6 address): both
// management queries together (one snapshot between them), against `ip -j addr show` plus
// `ip -j route show` run as processes in the same namespace, and against a
// bare netlink dump of links, addresses and routes. Prints the medians and
// the ratios; needs root (it creates and leaves its own namespaces).
#include <fcntl.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sched.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/linux/linux_management.h"
#include "platform/linux/network_facts.h"

extern char** environ;

namespace {

constexpr int kPairs = 500;
constexpr int kRounds = 40;

using Clock = std::chrono::steady_clock;

// Times each workload once per round, round after round, so that whatever
// else the machine does weighs on all of them alike; returns the medians.
std::vector<double> medianMs(const std::vector<std::function<void()>>& workloads) {
  std::vector<std::vector<double>> times(workloads.size());
  for (const auto& work : workloads) work();  // warm up
  for (int round = 0; round < kRounds; ++round) {
    for (std::size_t i = 0; i < workloads.size(); ++i) {
      const auto start = Clock::now();
      workloads[i]();
      times[i].push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
  }
  std::vector<double> medians;
  for (auto& list : times) {
    std::sort(list.begin(), list.end());
    medians.push_back(list[list.size() / 2]);
  }
  return medians;
}

// Waits, a bounded time, for the links' IPv6 duplicate address detection to
// end, so the kernel is quiet when the timing starts.
void waitForQuiet() {
  for (int i = 0; i < 100; ++i) {
    FILE* pipe = popen("ip -6 addr show tentative 2>/dev/null", "r");
    if (pipe == nullptr) return;
    char buffer[256];
    const bool busy = fread(buffer, 1, sizeof buffer, pipe) > 0;
    pclose(pipe);
    if (!busy) return;
    usleep(100 * 1000);
  }
}

bool enterPrivateNetwork() {
  if (unshare(CLONE_NEWNET | CLONE_NEWNS) != 0) return false;
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  umount2("/sys", MNT_DETACH);
  return mount("sysfs", "/sys", "sysfs", 0, nullptr) == 0;
}

bool stageInterfaces() {
  char path[] = "/tmp/tarnwick-bench-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return false;
  std::string batch = "link set lo up\n";
  for (int i = 0; i < kPairs; ++i) {
    const std::string a = "bf" + std::to_string(i) + "a", b = "bf" + std::to_string(i) + "b";
    // Documentation ranges only; an IPv4 address may repeat on other links.
    const std::string v4 = std::to_string(i % 250 + 1);
    batch += "link add " + a + " type veth peer name " + b + "\n";
    batch += "link set " + a + " up\nlink set " + b + " up\n";
    batch += "addr add 192.0.2." + v4 + "/24 dev " + a + "\n";
    batch += "addr add 198.51.100." + v4 + "/24 dev " + b + "\n";
    batch += "addr add 2001:db8:" + std::to_string(i) + "::1/64 dev " + a + " nodad\n";
    batch += "addr add 2001:db8:" + std::to_string(i) + "::2/64 dev " + b + " nodad\n";
  }
  batch += "route add default via 192.0.2.254 dev bf0a\n";
  batch += "route add default via 2001:db8:0::fe dev bf0a\n";
  const bool written = write(fd, batch.data(), batch.size()) == static_cast<ssize_t>(batch.size());
  close(fd);
  const std::string command = std::string("ip -batch ") + path + " > /dev/null";
  const bool ok = written && std::system(command.c_str()) == 0;
  unlink(path);
  return ok;
}

// Runs `ip` with its output (and its notes on interrupted dumps) thrown away,
// as a process of its own.
void runIp(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "ip");
  arguments.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "ip", &actions, nullptr, const_cast<char**>(arguments.data()), environ) ==
      0) {
    int status = 0;
    waitpid(pid, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
}

// The floor: one socket, three plain dumps, every message walked, nothing parsed.
std::size_t rawDump() {
  const int fd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
  if (fd < 0) return 0;
  std::size_t messages = 0;
  std::vector<char> buffer(32768);
  const int types[] = {RTM_GETLINK, RTM_GETADDR, RTM_GETROUTE};
  for (int i = 0; i < 3; ++i) {
    struct {
      nlmsghdr header;
      rtgenmsg body;
    } request{};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = static_cast<std::uint16_t>(types[i]);
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = static_cast<std::uint32_t>(i + 1);
    request.body.rtgen_family = AF_UNSPEC;
    if (send(fd, &request, sizeof request, 0) < 0) break;
    bool done = false;
    while (!done) {
      const ssize_t length = recv(fd, buffer.data(), buffer.size(), 0);
      if (length <= 0) break;
      int left = static_cast<int>(length);
      for (auto* h = reinterpret_cast<nlmsghdr*>(buffer.data()); NLMSG_OK(h, left);
           h = NLMSG_NEXT(h, left)) {
        if (h->nlmsg_type == NLMSG_DONE || h->nlmsg_type == NLMSG_ERROR) done = true;
        ++messages;
      }
    }
  }
  close(fd);
  return messages;
}

std::size_t bothQueries() {
  platform::linuxos::LinuxManagementLocator locator;
  auto service = locator.bind(platform::kCimv2Moniker);
  auto adapters = service->execQuery(platform::kAdapterQuery);
  auto configurations = service->execQuery(platform::kConfigurationQuery);
  std::size_t seen = 0;
  adapters->forEach([&](const platform::ManagementObject& object) {
    seen += platform::toText(object.property("Name")).size();
    return true;
  });
  configurations->forEach([&](const platform::ManagementObject& object) {
    seen += platform::toArray(object.property("IPAddress")).size();
    return true;
  });
  return seen;
}

}  // namespace

int main() {
  if (geteuid() != 0) {
    std::puts("bench_adapter_facts: needs root to create a private network namespace; skipped");
    return 0;
  }
  if (!enterPrivateNetwork()) {
    std::puts("bench_adapter_facts: network namespaces unavailable; skipped");
    return 0;
  }
  if (!stageInterfaces()) {
    std::puts("bench_adapter_facts: staging the veth pairs failed");
    return 1;
  }
  std::printf("bench_adapter_facts: %d interfaces (+ lo), %d rounds, medians\n", 2 * kPairs,
              kRounds);

  waitForQuiet();

  volatile std::size_t sink = 0;
  using platform::linuxos::gatherNetworkFacts;
  const auto medians = medianMs({
      [&] { sink = sink + bothQueries(); },
      [&] { sink = sink + gatherNetworkFacts({}).links.size(); },
      [] {
        runIp({"-j", "addr", "show"});
        runIp({"-j", "route", "show"});
      },
      [&] { sink = sink + rawDump(); },
  });
  const double ours = medians[0], snapshot = medians[1];
  const double ip = medians[2], raw = medians[3];

  std::printf("  both queries (objects)        %8.2f ms\n", ours);
  std::printf("    one snapshot (facts)        %8.2f ms\n", snapshot);
  std::printf("  ip -j addr + ip -j route      %8.2f ms\n", ip);
  std::printf("  raw netlink dump (3 dumps)    %8.2f ms\n", raw);
  std::printf("  ratio queries / ip processes  %8.2f  (target < 1)\n", ours / ip);
  std::printf("  ratio queries / raw dump      %8.2f  (target <= 3)\n", ours / raw);
  return 0;
}
