// A small DNS responder over UDP for tests and benchmarks whose name lookups
// must cross a staged link, as they would to a real resolver: it knows a few
// names and their addresses, answers A and AAAA queries for them (an empty
// answer for a type or family it has nothing of), and NXDOMAIN for any other
// name.
//
//   tarnwick_name_server --address A [--port N] [--seconds N] NAME=ADDRESS...
//
// Prints "ready" once it listens; ends on SIGINT or SIGTERM, when its parent
// ends, or after --seconds (default 600). A malformed query gets FORMERR or,
// when not even its header can be read, nothing.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "tests/links/stop_signals.h"

namespace {

constexpr int kTypeA = 1;
constexpr int kTypeAaaa = 28;
constexpr int kClassIn = 1;
constexpr int kFormErr = 1;
constexpr int kNxDomain = 3;

struct Record {
  std::string name;  // lower case, no final dot
  int type;
  std::vector<unsigned char> data;
};

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "tarnwick_name_server: %s\n", what.c_str());
  std::exit(2);
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

Record recordFor(const std::string& entry) {
  const std::size_t equals = entry.find('=');
  if (equals == std::string::npos) fail("expected NAME=ADDRESS: " + entry);
  Record record{lower(entry.substr(0, equals)), 0, {}};
  const std::string address = entry.substr(equals + 1);
  unsigned char bytes[16];
  if (inet_pton(AF_INET, address.c_str(), bytes) == 1) {
    record.type = kTypeA;
    record.data.assign(bytes, bytes + 4);
  } else if (inet_pton(AF_INET6, address.c_str(), bytes) == 1) {
    record.type = kTypeAaaa;
    record.data.assign(bytes, bytes + 16);
  } else {
    fail("not an address: " + address);
  }
  return record;
}

// The question's name, type and class, and where the question ends; none
// when the query is malformed. Queries carry no compression pointers.
struct Question {
  std::string name;
  int type = 0;
  int klass = 0;
  std::size_t end = 0;
};

std::optional<Question> questionOf(const unsigned char* query, std::size_t size) {
  Question q;
  std::size_t at = 12;
  for (;;) {
    if (at >= size) return std::nullopt;
    const std::size_t length = query[at++];
    if (length == 0) break;
    if (length > 63 || at + length > size || q.name.size() + length > 253) return std::nullopt;
    if (!q.name.empty()) q.name += '.';
    q.name.append(reinterpret_cast<const char*>(query + at), length);
    at += length;
  }
  if (at + 4 > size) return std::nullopt;
  q.type = query[at] << 8 | query[at + 1];
  q.klass = query[at + 2] << 8 | query[at + 3];
  q.end = at + 4;
  q.name = lower(q.name);
  return q;
}

void put16(std::vector<unsigned char>& out, unsigned value) {
  out.push_back(static_cast<unsigned char>(value >> 8));
  out.push_back(static_cast<unsigned char>(value));
}

// The reply to one query, or nothing for one too short to answer.
std::vector<unsigned char> answer(const unsigned char* query, std::size_t size,
                                  const std::vector<Record>& records) {
  if (size < 12 || (query[2] & 0x80) != 0) return {};  // no header, or itself a reply
  const unsigned questions = static_cast<unsigned>(query[4] << 8 | query[5]);
  const std::optional<Question> q =
      questions == 1 ? questionOf(query, size) : std::optional<Question>();
  // The header: the query's id, opcode and RD; authoritative, recursion available.
  std::vector<unsigned char> out(query, query + 12);
  out[2] = static_cast<unsigned char>(0x80 | (query[2] & 0x79) | 0x04);
  out[3] = 0x80;
  out[6] = out[7] = out[8] = out[9] = out[10] = out[11] = 0;
  if (!q) {
    out[3] |= kFormErr;
    out[4] = out[5] = 0;
    return out;
  }
  out.insert(out.end(), query + 12, query + q->end);
  const bool known = std::any_of(records.begin(), records.end(),
                                 [&](const Record& r) { return r.name == q->name; });
  if (!known) {
    out[3] |= kNxDomain;
    return out;
  }
  unsigned count = 0;
  for (const Record& record : records) {
    if (record.name != q->name || record.type != q->type || q->klass != kClassIn) continue;
    put16(out, 0xC00C);  // the name as in the question
    put16(out, static_cast<unsigned>(record.type));
    put16(out, kClassIn);
    put16(out, 0);
    put16(out, 60);  // time to live
    put16(out, static_cast<unsigned>(record.data.size()));
    out.insert(out.end(), record.data.begin(), record.data.end());
    ++count;
  }
  out[7] = static_cast<unsigned char>(count);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::string address;
  long port = 53;
  long seconds = 600;
  std::vector<Record> records;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--address" || arg == "--port" || arg == "--seconds") && i + 1 < argc) {
      const char* value = argv[++i];
      if (arg == "--address") {
        address = value;
      } else {
        (arg == "--port" ? port : seconds) = std::strtol(value, nullptr, 10);
      }
    } else if (arg.find('=') != std::string::npos) {
      records.push_back(recordFor(arg));
    } else {
      fail("unknown argument " + arg);
    }
  }
  if (port <= 0 || port > 65535 || seconds <= 0) fail("bad --port or --seconds");

  const int signals = links::stopSignals();

  sockaddr_storage bound{};
  socklen_t length = 0;
  auto* v4 = reinterpret_cast<sockaddr_in*>(&bound);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&bound);
  if (inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    v4->sin_port = htons(static_cast<std::uint16_t>(port));
    length = sizeof *v4;
  } else if (inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(static_cast<std::uint16_t>(port));
    length = sizeof *v6;
  } else {
    fail("--address needs an IP address");
  }
  const int s = socket(bound.ss_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (s < 0 || signals < 0 || bind(s, reinterpret_cast<sockaddr*>(&bound), length) != 0) {
    fail(std::string("cannot listen on ") + address + ": " + std::strerror(errno));
  }
  std::printf("ready\n");
  std::fflush(stdout);

  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return 0;
    pollfd fds[2] = {{s, POLLIN, 0}, {signals, POLLIN, 0}};
    if (poll(fds, 2, static_cast<int>(left.count()) + 1) < 0 && errno != EINTR) return 1;
    if (fds[1].revents != 0) return 0;
    if (fds[0].revents == 0) continue;
    unsigned char query[512];
    sockaddr_storage from{};
    socklen_t fromLength = sizeof from;
    const ssize_t size =
        recvfrom(s, query, sizeof query, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (size <= 0) continue;
    const std::vector<unsigned char> reply = answer(query, static_cast<std::size_t>(size), records);
    if (!reply.empty()) {
      sendto(s, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLength);
    }
  }
}
