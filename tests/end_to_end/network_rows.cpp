#include "tests/end_to_end/network_rows.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "diagnosis/connection_reason.h"

namespace end_to_end {
namespace {

// The main window's lines of the output.
struct Shown {
  std::string wan, lan, status, reason, lights;
};

std::string lineValue(const std::string& out, const std::string& label) {
  const std::size_t at = out.find("\n" + label);
  if (at == std::string::npos) return "<no \"" + label + "\" line>";
  const std::size_t begin = at + 1 + label.size();
  return out.substr(begin, out.find('\n', begin) - begin);
}

Shown shownIn(const std::string& out) {
  return {lineValue(out, "Your Wan Ip Is: "), lineValue(out, "Your Lan Ip Is: "),
          lineValue(out, "Online Status: "), lineValue(out, "Reason: "),
          lineValue(out, "Lights: ")};
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

void checkTold(const char* row, const RunResult& run, const Told& told, const std::string& lan,
               const char* reason, bool wine, const char* mainWindowOnly) {
  SCOPED_TRACE(row);
  ASSERT_FALSE(run.timedOut) << "killed: " << run.killedWhile << "\nstdout:\n" << run.out;
  ASSERT_TRUE(run.ran) << run.setupError;
  const Shown shown = shownIn("\n" + run.out);
  EXPECT_EQ(shown.status, told.status) << "stdout:\n" << run.out << "\nstderr:\n" << run.err;
  EXPECT_EQ(shown.wan, told.wan);
  EXPECT_EQ(shown.lan, lan);
  EXPECT_EQ(shown.lights, told.lights);
  EXPECT_EQ(shown.reason, diagnosis::reasonByCode(reason).value().text) << "expected " << reason;
  // From the program's start to its result (under Wine, to the driver's whole
  // reading), when known; else from the run's start to its end.
  const long long took =
      (run.firstOutputAfter.count() >= 0 ? run.firstOutputAfter : run.elapsed).count();
  std::printf("[   INFO   ] %s: %lld ms\n", row, took);
  if (wine && mainWindowOnly != nullptr) {
    std::printf("[   INFO   ] %s under Wine: main window only: %s\n", row, mainWindowOnly);
    return;
  }
  EXPECT_EQ(run.exitStatus, exitStatusFor(told.status, wine)) << run.err;
  // Under Wine the time includes Wine's own start and the reading of both
  // report windows, under the load of the rows beside it.
  const int bound = told.seconds + (wine ? 45 : 0);
  EXPECT_LE(took, bound * 1000) << "the result took " << took << " ms";
}

}  // namespace end_to_end
