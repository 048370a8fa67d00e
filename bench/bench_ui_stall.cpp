// How long the UI thread stops answering while the main window gathers against
// a slow echo service: the real window on the offscreen platform, the real
// HTTP transfer and adapter facts, and a loopback server that answers every
// request after 500 ms. A 1 ms timer on the UI thread notes the longest gap
// between its ticks, from the moment the window has loaded until the
// completion pass has run. Target: under 50 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>

#include "main_window/app_title.h"
#include "main_window/form1.h"
#include "main_window/maker_info.h"
#include "main_window/resources.h"
#include "platform/linux/http_internet_transfer.h"
#include "platform/linux/linux_adapter_table.h"
#include "platform/linux/linux_management.h"
#include "platform/linux/linux_shell.h"
#include "tests/support/http_test_server.h"
#include "toolkit/application.h"
#include "toolkit/qt/qt_backend.h"

namespace {

constexpr auto kServerDelay = std::chrono::milliseconds(500);

void BM_GatheringUiStall(benchmark::State& state) {
  tests_support::HttpTestServer server;
  tests_support::HttpReply reply = tests_support::HttpReply::text("203.0.113.7");
  reply.delay = kServerDelay;
  server.setReply(reply);

  toolkit::qt::QtBackend backend(true, main_window::WindowResources());
  toolkit::Application app(backend, main_window::kApplicationTitle);
  platform::linuxos::LinuxManagementLocator management;
  platform::linuxos::LinuxAdapterTable adapterTable;
  platform::linuxos::HttpInternetTransfer internet;
  platform::linuxos::LinuxShell shell;
  const platform::Services services{management, adapterTable, internet, shell};

  main_window::GatheringSettings settings;
  settings.echoServiceUrl = server.url("/");
  settings.reachabilityUrl = server.url("");

  for (auto _ : state) {
    auto form = std::make_unique<main_window::Form1>(app, services, main_window::BuiltInMakerInfo(),
                                                     settings);
    QElapsedTimer clock;
    qint64 lastTick = -1;
    qint64 worstGap = 0;
    qint64 worstGapEnd = 0;
    long ticks = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
      const qint64 now = clock.nsecsElapsed();
      if (lastTick >= 0 && now - lastTick > worstGap) {
        worstGap = now - lastTick;
        worstGapEnd = now;
      }
      lastTick = now;
      ++ticks;
    });
    bool completed = false;
    form->onGatheringComplete = [&] {
      completed = true;
      probe.stop();
      backend.quit(0);
    };
    // A safety net: a gathering that never completes still ends the run.
    QTimer::singleShot(120000, [&] { backend.quit(1); });

    clock.start();
    app.runEvent([&] { form->show(); });  // the load: widgets, fonts, start-up request
    const qint64 loaded = clock.nsecsElapsed();
    probe.start();
    backend.exec();
    const qint64 gathered = clock.nsecsElapsed();
    form->unload();

    if (!completed) {
      state.SkipWithError("the gathering did not complete");
      break;
    }
    state.counters["load_ms"] = static_cast<double>(loaded) / 1e6;
    state.counters["gathering_s"] = static_cast<double>(gathered - loaded) / 1e9;
    state.counters["max_stall_ms"] = static_cast<double>(worstGap) / 1e6;
    state.counters["stall_end_s"] = static_cast<double>(worstGapEnd - loaded) / 1e9;
    state.counters["probe_ticks"] = static_cast<double>(ticks);
    state.counters["requests"] = static_cast<double>(server.requests().size());
  }
}
BENCHMARK(BM_GatheringUiStall)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Loopback requests only: no proxy may stand in between.
  for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(name);
  QApplication qtApplication(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
