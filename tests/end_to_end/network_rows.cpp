#include "tests/end_to_end/network_rows.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace end_to_end {
namespace {

// The main window's lines of the output.
struct Shown {
  std::string wan, lan, status, lights;
};

std::string lineValue(const std::string& out, const std::string& label) {
  const std::size_t at = out.find("\n" + label);
  if (at == std::string::npos) return "<no \"" + label + "\" line>";
  const std::size_t begin = at + 1 + label.size();
  return out.substr(begin, out.find('\n', begin) - begin);
}

Shown shownIn(const std::string& out) {
  return {lineValue(out, "Your Wan Ip Is: "), lineValue(out, "Your Lan Ip Is: "),
          lineValue(out, "Online Status: "), lineValue(out, "Lights: ")};
}

}  // namespace

tests_support::HttpReply pageOrEcho(const tests_support::HttpRequest& request,
                                    const std::string& echoBody) {
  using tests_support::HttpReply;
  const std::string host = request.header("Host");
  if (host == kEchoHost) return HttpReply::text(echoBody);
  if (host == kTargetHost)
    return HttpReply::text("<html><body>The free encyclopedia</body></html>");
  return HttpReply::text("unexpected host", 404);
}

Launch linuxLaunch() {
  return {TARNWICK_PROGRAM, {leakSanitizerOptions()}, std::chrono::seconds(60)};
}

std::optional<Launch> wineLaunch() {
  const char* build = std::getenv("TARNWICK_WINDOWS_BUILD");
  if (build == nullptr || *build == '\0') return std::nullopt;
  const std::string dir = build;
  const std::string exe = dir + "/app/tarnwick.exe";
  const std::string driver = dir + "/tests/windows_driver/tarnwick_windows_driver.exe";
  for (const std::string& file : {exe, driver}) {
    if (access(file.c_str(), R_OK) != 0) {
      ADD_FAILURE() << file << " is missing";
      return std::nullopt;
    }
  }
  return Launch{TARNWICK_WINE_SESSION,
                {"TARNWICK_WINE_PROGRAM=" + exe, "TARNWICK_WINE_DRIVER=" + driver,
                 "TARNWICK_WINE_PREFIX=" + dir + "/wine-e2e-prefix", "TARNWICK_WINE_SECONDS=150"},
                std::chrono::seconds(180)};
}

void checkTold(const char* row, const RunResult& run, const Told& told, const std::string& lan,
               bool wine, const char* mainWindowOnly) {
  SCOPED_TRACE(row);
  ASSERT_FALSE(run.timedOut) << "killed: " << run.killedWhile << "\nstdout:\n" << run.out;
  ASSERT_TRUE(run.ran) << run.setupError;
  const Shown shown = shownIn("\n" + run.out);
  EXPECT_EQ(shown.status, told.status) << "stdout:\n" << run.out << "\nstderr:\n" << run.err;
  EXPECT_EQ(shown.wan, told.wan);
  EXPECT_EQ(shown.lan, lan);
  EXPECT_EQ(shown.lights, told.lights);
  std::printf("[   INFO   ] %s: %lld ms\n", row, static_cast<long long>(run.elapsed.count()));
  if (wine && mainWindowOnly != nullptr) {
    std::printf("[   INFO   ] %s under Wine: main window only: %s\n", row, mainWindowOnly);
    return;
  }
  EXPECT_EQ(run.exitStatus, exitStatusFor(told.status, wine)) << run.err;
  // Under Wine the time includes Wine's own start and the reading of both
  // report windows, under the load of the rows beside it.
  const int bound = told.seconds + (wine ? 45 : 0);
  EXPECT_LE(run.elapsed.count(), bound * 1000)
      << "the result took " << run.elapsed.count() << " ms";
}

}  // namespace end_to_end
