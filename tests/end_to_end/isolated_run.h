#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/http_test_server.h"

namespace end_to_end {

// How the program is run. Whatever is asked, it runs in a private mount
// namespace whose hosts file points the program's two fixed host names at
// 127.0.0.1 and whose resolver file names a server that does not exist, with
// no display and no proxy variables: it cannot reach past this machine.
// A scripted server started for a run, in the program's network namespace or
// in one that the staging commands made with `ip netns add`.
struct ServerSetup {
  std::string netns;  // empty: the program's own namespace
  std::string address;
  std::uint16_t port = 80;
  tests_support::HttpTestServer::Handler handler;
};

struct RunSetup {
  // Run in a fresh network namespace with loopback up, instead of the machine's.
  bool privateNetwork = false;
  // Commands (argv form, no shell) run in the program's network namespace
  // before the program starts, to stage links, addresses and routes.
  std::vector<std::vector<std::string>> stagingCommands;
  // Commands (argv form) started after the staging commands that live as long
  // as the run: a link relay, a resolver. Each says it is ready with a first
  // line on its standard output (the run waits up to 10 s for it; its
  // standard error goes to the run's setup log), and is stopped when the
  // program has ended.
  std::vector<std::vector<std::string>> backgroundCommands;
  // The scripted server on port 80 of `loopback` beside the program; none:
  // port 80 is closed.
  std::optional<tests_support::HttpTestServer::Handler> server;
  // The address the hosts file gives the program's two host names. A run in
  // the machine's own network namespace takes one of its own (any of
  // 127.0.0.0/8 is this machine), so that runs beside it never meet.
  std::string loopback = "127.0.0.1";
  // More servers, started after the staging commands.
  std::vector<ServerSetup> servers;
  // Files shown in place of the machine's /etc files ("hosts", "resolv.conf",
  // "gai.conf"...); the hosts and resolver files default to the ones above.
  std::vector<std::pair<std::string, std::string>> etcFiles;
  // "NAME=value" entries set for the program, replacing inherited ones.
  std::vector<std::string> environment;
  // The program's arguments after its name.
  std::vector<std::string> arguments;
  std::chrono::seconds timeLimit{30};
};

struct RunResult {
  bool ran = false;        // the namespaces were set up and the program started
  std::string setupError;  // why not, when it did not
  bool timedOut = false;   // killed at the time limit
  // When killed: whether the program itself still ran, and where its threads
  // stood (a debugger's backtrace, when one could be taken).
  std::string killedWhile;
  int exitStatus = -1;  // the program's exit status, -1 when it did not exit normally
  std::string out;
  std::string err;
  // The requests the server saw, one "Host target User-Agent" line each.
  std::vector<std::string> requests;
  std::chrono::milliseconds elapsed{0};
  // From the program's own start (after the staging) to its first output: in
  // no-display mode, its main window's result. -1 when it printed nothing.
  std::chrono::milliseconds firstOutputAfter{-1};
  long peakRssKiB = 0;  // the program's peak resident memory, when it ran to its end
};

// Why these runs cannot be made here; empty when they can.
std::string isolationUnavailable();

// Runs `program` under `setup` and collects what it printed. The run is
// launched by exec'ing isolated_launch.sh in fresh namespaces (nothing of
// this threaded process runs there but exec'd programs); the servers run
// here, on sockets made in the run's namespaces. Each table row is a test of
// its own, so ctest runs them side by side.
RunResult runIsolated(const std::string& program, const RunSetup& setup);

// The LAN address the program would show on this machine, or why it could not
// be looked up (for the rows and scenarios that run in the machine's namespace).
std::string machineLanAddress();

// "LSAN_OPTIONS=..." for the program in a sanitizer build, the inherited options
// kept: Qt keeps the fontconfig patterns of fallback fonts (a hostile reply's
// control characters need them) in caches it never frees at exit, and that is
// no leak of this program.
std::string leakSanitizerOptions();

// A loopback address that no other run of this machine uses at the same time.
std::string loopbackOfThisRun();

}  // namespace end_to_end
