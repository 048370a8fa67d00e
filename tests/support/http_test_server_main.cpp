// The test HTTP server as a program, for scripts and benchmarks that run the
// real binary: every request gets the same scripted reply.
//
//   tarnwick_test_http_server [--address A] [--port N] [--status N] [--body TEXT]
//                             [--delay-ms N] [--never-answer] [--close-immediately]
//                             [--seconds N] [--log-requests] [--routes] [--keep-alive]
//
// With --routes the path picks the reply instead, for clients in another
// process that need several kinds of server (the Windows tests under Wine):
//   /address        "203.0.113.7"          /status/N    a page with status N
//   /bytes/N        N filler bytes          /redirect/N  N redirects, then the address
//   /never          no answer at all        /trickle     headers, then no body
//   /agent          the request's User-Agent as the body
//   /kept/...       the route after /kept, its connection left open
//   /connections    how many connections the server has taken so far
//
// With --keep-alive a reply leaves the connection open for the next request
// (unless the request asked to close it).
//
// Prints "listening on A:PORT" once ready, then serves until SIGINT or SIGTERM,
// or for at most --seconds (default 600). With --log-requests it also prints
// "request SECONDS TARGET" as each request arrives (SECONDS since the epoch,
// to the microsecond), so a script can time a client's first request.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "tests/support/http_test_server.h"

namespace {

using tests_support::HttpReply;

// The number after `prefix` in `target`, or -1.
long numberAfter(const std::string& target, const std::string& prefix) {
  if (target.rfind(prefix, 0) != 0) return -1;
  char* end = nullptr;
  const long value = std::strtol(target.c_str() + prefix.size(), &end, 10);
  return *end == '\0' && value >= 0 ? value : -1;
}

HttpReply routeReply(const tests_support::HttpRequest& request) {
  if (request.target.rfind("/kept/", 0) == 0) {
    tests_support::HttpRequest inner = request;
    inner.target = request.target.substr(5);
    HttpReply reply = routeReply(inner);
    reply.keepAlive = true;
    return reply;
  }
  const std::string& target = request.target;
  if (target == "/address") return HttpReply::text("203.0.113.7");
  if (target == "/agent") return HttpReply::text(request.header("User-Agent"));
  if (target == "/never") return HttpReply::neverAnswer();
  if (target == "/trickle") {
    HttpReply reply = HttpReply::text("203.0.113.7");
    reply.bodyDelay = std::chrono::hours(1);
    return reply;
  }
  if (const long status = numberAfter(target, "/status/"); status >= 100 && status < 1000) {
    return HttpReply::text("<h1>" + std::to_string(status) + "</h1>", static_cast<int>(status));
  }
  if (const long bytes = numberAfter(target, "/bytes/"); bytes >= 0) {
    HttpReply reply = HttpReply::text("");
    reply.fillerBytes = static_cast<std::size_t>(bytes);
    return reply;
  }
  if (const long left = numberAfter(target, "/redirect/"); left >= 0) {
    if (left == 0) return HttpReply::text("203.0.113.7");
    return HttpReply::redirect("/redirect/" + std::to_string(left - 1));
  }
  return HttpReply::text("no such route", 404);
}

}  // namespace

int main(int argc, char** argv) {
  std::string address = "127.0.0.1";
  long port = 0;
  long seconds = 600;
  tests_support::HttpReply reply = tests_support::HttpReply::text("");
  bool logRequests = false;
  bool routes = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--address" && hasValue) {
      address = argv[++i];
    } else if (arg == "--port" && hasValue) {
      port = std::strtol(argv[++i], nullptr, 10);
    } else if (arg == "--status" && hasValue) {
      reply.status = static_cast<int>(std::strtol(argv[++i], nullptr, 10));
    } else if (arg == "--body" && hasValue) {
      reply.body = argv[++i];
    } else if (arg == "--delay-ms" && hasValue) {
      reply.delay = std::chrono::milliseconds(std::strtol(argv[++i], nullptr, 10));
    } else if (arg == "--seconds" && hasValue) {
      seconds = std::strtol(argv[++i], nullptr, 10);
    } else if (arg == "--never-answer") {
      reply.action = tests_support::HttpReply::Action::NeverAnswer;
    } else if (arg == "--log-requests") {
      logRequests = true;
    } else if (arg == "--routes") {
      routes = true;
    } else if (arg == "--keep-alive") {
      reply.keepAlive = true;
    } else if (arg == "--close-immediately") {
      reply.action = tests_support::HttpReply::Action::CloseImmediately;
    } else {
      std::fprintf(stderr, "unknown or incomplete option: %s\n", arg.c_str());
      return 2;
    }
  }
  if (port < 0 || port > 65535 || seconds <= 0) {
    std::fprintf(stderr, "bad --port or --seconds\n");
    return 2;
  }

  // Block the stop signals before the server's threads start, so only the
  // wait below receives them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  try {
    tests_support::HttpTestServer server({}, static_cast<std::uint16_t>(port), address);
    server.setReply(reply);
    if (routes) {
      server.setHandler([&server](const tests_support::HttpRequest& request) {
        if (request.target == "/connections") {
          return HttpReply::text(std::to_string(server.connections()));
        }
        return routeReply(request);
      });
    } else if (logRequests) {
      server.setHandler([reply](const tests_support::HttpRequest& request) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::printf("request %lld.%06ld %s\n", static_cast<long long>(now.tv_sec),
                    now.tv_nsec / 1000, request.target.c_str());
        std::fflush(stdout);
        return reply;
      });
    }
    std::printf("listening on %s:%u\n", address.c_str(), server.port());
    std::fflush(stdout);
    const timespec limit{seconds, 0};
    sigtimedwait(&signals, nullptr, &limit);
    server.stop();
    std::printf("served %d connection(s)\n", server.connections());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
