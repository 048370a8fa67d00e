// A slow link between two network namespaces, for tests and benchmarks that
// need a satellite, mobile or congested line and have no `tc netem`: two
// point-to-point TUN devices made beforehand (`ip tuntap add DEV mode tun`),
// one in this process's namespace ("near", the program's side) and one in a
// named namespace ("far", the world's side), and this process carrying each
// IPv4 or IPv6 packet from one to the other after the link's delay.
//
//   tarnwick_link_relay --near DEV --far-netns NAME --far DEV
//       [--rtt-ms N] [--jitter-ms N] [--loss-percent P]
//       [--up-kbit N] [--down-kbit N] [--queue-bytes N]
//       [--die-after-ms N] [--seed N] [--seconds N]
//
// Each direction takes half the round trip, plus or minus up to the jitter;
// packets keep their order, as on one line. A lost packet is chosen at random
// per direction, from the seed, so a run with the same seed and the same
// traffic loses the same packets. A rate ("up" is near to far) sends one
// packet after the other at that rate; a packet that finds more than
// --queue-bytes waiting is dropped (tail drop). --die-after-ms turns the link
// into one that loses everything, counted from the first TCP packet the near
// side sends: the program's first connection, whenever the program gets to it
// (Wine, say, looks names up on its own as it starts). Prints "ready" once both devices are
// attached; ends on SIGINT or SIGTERM, when its parent ends, or after --seconds (default 600), and
// then prints what it carried and dropped on standard error.
#include <fcntl.h>
#include <linux/if_tun.h>
#include <net/if.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "tests/links/stop_signals.h"

namespace {

using Clock = std::chrono::steady_clock;
using Micros = std::chrono::microseconds;

// Never more than this in flight one way, whatever the delay: a bound on memory.
constexpr std::size_t kMaxInFlightBytes = 8 * 1024 * 1024;

struct Settings {
  std::string near, farNetns, far;
  long rttMs = 0, jitterMs = 0;
  double lossPercent = 0;
  long upKbit = 0, downKbit = 0;  // 0: no rate limit
  long queueBytes = 64 * 1024;
  long dieAfterMs = -1;  // -1: the link never dies
  unsigned long seed = 1;
  long seconds = 600;
};

struct Packet {
  Clock::time_point sentAt;     // the last bit has left the queue
  Clock::time_point deliverAt;  // and arrives at the other side
  std::vector<unsigned char> bytes;
};

struct Counts {
  long carried = 0, lost = 0, tailDropped = 0, afterDeath = 0;
};

// One direction of the line.
struct Direction {
  const char* name;
  int from = -1;
  int to = -1;
  long kbit = 0;
  std::mt19937_64 random;
  std::deque<Packet> inFlight;
  std::size_t inFlightBytes = 0;
  Clock::time_point lineFreeAt{};  // when the rate-limited line has sent what it holds
  Counts counts;
};

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "tarnwick_link_relay: %s%s%s\n", what.c_str(), errno ? ": " : "",
               errno ? std::strerror(errno) : "");
  std::exit(2);
}

long number(const char* text, const char* option) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value < 0) {
    errno = 0;
    fail(std::string("bad number for ") + option + ": " + text);
  }
  return value;
}

Settings parse(int argc, char** argv) {
  Settings s;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 >= argc) fail("option without a value: " + option);
    const char* value = argv[++i];
    if (option == "--near") {
      s.near = value;
    } else if (option == "--far-netns") {
      s.farNetns = value;
    } else if (option == "--far") {
      s.far = value;
    } else if (option == "--rtt-ms") {
      s.rttMs = number(value, "--rtt-ms");
    } else if (option == "--jitter-ms") {
      s.jitterMs = number(value, "--jitter-ms");
    } else if (option == "--loss-percent") {
      s.lossPercent = std::strtod(value, nullptr);
      if (!(s.lossPercent >= 0 && s.lossPercent <= 100)) fail("bad --loss-percent");
    } else if (option == "--up-kbit") {
      s.upKbit = number(value, "--up-kbit");
    } else if (option == "--down-kbit") {
      s.downKbit = number(value, "--down-kbit");
    } else if (option == "--queue-bytes") {
      s.queueBytes = number(value, "--queue-bytes");
    } else if (option == "--die-after-ms") {
      s.dieAfterMs = number(value, "--die-after-ms");
    } else if (option == "--seed") {
      s.seed = static_cast<unsigned long>(number(value, "--seed"));
    } else if (option == "--seconds") {
      s.seconds = number(value, "--seconds");
    } else {
      errno = 0;
      fail("unknown option " + option);
    }
  }
  if (s.near.empty() || s.farNetns.empty() || s.far.empty()) {
    errno = 0;
    fail("--near, --far-netns and --far are needed");
  }
  return s;
}

// Attaches to the persistent TUN device `name` of the current network
// namespace: the device belongs to the namespace /dev/net/tun was opened in.
int attach(const std::string& name) {
  const int fd = open("/dev/net/tun", O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) fail("open /dev/net/tun");
  ifreq request{};
  request.ifr_flags = IFF_TUN | IFF_NO_PI;
  std::strncpy(request.ifr_name, name.c_str(), IFNAMSIZ - 1);
  if (ioctl(fd, TUNSETIFF, &request) != 0) fail("attach to " + name);
  return fd;
}

void enterNetns(const std::string& name) {
  const int fd = open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || setns(fd, CLONE_NEWNET) != 0) fail("enter network namespace " + name);
  close(fd);
}

bool isTcp(const unsigned char* packet, ssize_t size) {
  constexpr int kTcp = 6;
  if (size >= 20 && packet[0] >> 4 == 4) return packet[9] == kTcp;
  return size >= 40 && packet[0] >> 4 == 6 && packet[6] == kTcp;
}

class Relay {
 public:
  explicit Relay(const Settings& s) : s_(s) {
    up_ = {"up", -1, -1, s.upKbit, std::mt19937_64(s.seed * 2 + 1), {}, 0, {}, {}};
    down_ = {"down", -1, -1, s.downKbit, std::mt19937_64(s.seed * 2 + 2), {}, 0, {}, {}};
  }

  void attachDevices() {
    const int near = attach(s_.near);
    enterNetns(s_.farNetns);
    const int far = attach(s_.far);
    up_.from = down_.to = near;
    up_.to = down_.from = far;
  }

  // Carries packets until a stop signal or the time limit.
  void run(int signals) {
    const auto end = Clock::now() + std::chrono::seconds(s_.seconds);
    for (;;) {
      const auto now = Clock::now();
      if (now >= end) return;
      deliverDue(up_, now);
      deliverDue(down_, now);
      auto wake = end;
      for (const Direction* d : {&up_, &down_}) {
        if (!d->inFlight.empty()) wake = std::min(wake, d->inFlight.front().deliverAt);
      }
      const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now);
      pollfd fds[3] = {{up_.from, POLLIN, 0}, {down_.from, POLLIN, 0}, {signals, POLLIN, 0}};
      // Rounded up, so a packet is never sent early and the loop does not spin.
      if (poll(fds, 3, static_cast<int>(wait.count()) + 1) < 0 && errno != EINTR) fail("poll");
      if (fds[2].revents != 0) return;
      if (fds[0].revents != 0) receive(up_);
      if (fds[1].revents != 0) receive(down_);
    }
  }

  void report() const {
    for (const Direction* d : {&up_, &down_}) {
      std::fprintf(stderr, "%s: carried %ld, lost %ld, tail-dropped %ld, after the death %ld\n",
                   d->name, d->counts.carried, d->counts.lost, d->counts.tailDropped,
                   d->counts.afterDeath);
    }
  }

 private:
  bool dead(Clock::time_point at) const {
    return s_.dieAfterMs >= 0 && started_ &&
           at >= firstPacket_ + std::chrono::milliseconds(s_.dieAfterMs);
  }

  // A packet whose delivery falls after the death is lost with the line.
  void deliverDue(Direction& d, Clock::time_point now) {
    while (!d.inFlight.empty() && d.inFlight.front().deliverAt <= now) {
      Packet& packet = d.inFlight.front();
      if (dead(packet.deliverAt)) {
        ++d.counts.afterDeath;
      } else if (write(d.to, packet.bytes.data(), packet.bytes.size()) >= 0) {
        ++d.counts.carried;
      }
      d.inFlightBytes -= packet.bytes.size();
      d.inFlight.pop_front();
    }
  }

  void receive(Direction& d) {
    unsigned char buffer[65536];
    for (int i = 0; i < 64; ++i) {  // a burst at a time, then the other side's turn
      const ssize_t size = read(d.from, buffer, sizeof buffer);
      if (size <= 0) return;
      const auto now = Clock::now();
      if (&d == &up_ && !started_ && isTcp(buffer, size)) {
        started_ = true;
        firstPacket_ = now;
      }
      take(d, buffer, static_cast<std::size_t>(size), now);
    }
  }

  void take(Direction& d, const unsigned char* bytes, std::size_t size, Clock::time_point now) {
    if (dead(now)) {
      ++d.counts.afterDeath;
      return;
    }
    if (std::uniform_real_distribution<double>(0, 100)(d.random) < s_.lossPercent) {
      ++d.counts.lost;
      return;
    }
    // What still waits for the line: the bytes it has not finished sending.
    auto sentAt = now;
    if (d.kbit > 0) {
      std::size_t waiting = 0;
      for (auto p = d.inFlight.rbegin(); p != d.inFlight.rend() && p->sentAt > now; ++p) {
        waiting += p->bytes.size();
      }
      if (waiting + size > static_cast<std::size_t>(s_.queueBytes)) {
        ++d.counts.tailDropped;
        return;
      }
      d.lineFreeAt = std::max(d.lineFreeAt, now) + Micros(size * 8 * 1000 / d.kbit);
      sentAt = d.lineFreeAt;
    }
    if (d.inFlightBytes + size > kMaxInFlightBytes) {
      ++d.counts.tailDropped;
      return;
    }
    long jitterUs = 0;
    if (s_.jitterMs > 0) {
      jitterUs =
          std::uniform_int_distribution<long>(-s_.jitterMs * 1000, s_.jitterMs * 1000)(d.random);
    }
    auto deliverAt = sentAt + Micros(std::max(0L, s_.rttMs * 500 + jitterUs));
    // One line: a packet never overtakes the one before it.
    if (!d.inFlight.empty()) deliverAt = std::max(deliverAt, d.inFlight.back().deliverAt);
    d.inFlight.push_back({sentAt, deliverAt, std::vector<unsigned char>(bytes, bytes + size)});
    d.inFlightBytes += size;
  }

  Settings s_;
  Direction up_, down_;
  bool started_ = false;
  Clock::time_point firstPacket_{};
};

}  // namespace

int main(int argc, char** argv) {
  const Settings settings = parse(argc, argv);
  const int signals = links::stopSignals();
  if (signals < 0) fail("signalfd");

  Relay relay(settings);
  relay.attachDevices();
  std::printf("ready\n");
  std::fflush(stdout);
  relay.run(signals);
  relay.report();
  return 0;
}
