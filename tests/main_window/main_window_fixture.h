#pragma once

#include <gtest/gtest.h>

#include <functional>

#include <memory>
#include "tests/support/test_backend.h"

#include "main_window/form1.h"
#include "main_window/form1_layout.h"
#include "main_window/resources.h"
#include "reports/report_windows.h"
#include "tests/fakes/fake_adapter_table.h"
#include "tests/fakes/fake_internet_transfer.h"
#include "tests/fakes/fake_management_objects.h"
#include "tests/fakes/fake_shell.h"

namespace main_window_tests {

using tests_support::pump;

inline fakes::FakeObject configuration(const std::string& description,
                                       std::vector<std::string> addresses) {
  return fakes::FakeObject{{"SettingID", std::string("{6B29FC40-CA47-1067-B31D-00DD010662DA}")},
                           {"Description", description},
                           {"IpAddress", platform::TextArray(std::move(addresses))}};
}

// The main window over fake services. Ticks are driven by the test: the real
// timer's interval is so long that it never fires on its own.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    management.configurations = {configuration("Intel(R) Ethernet", {"192.168.0.5"})};
    settings.echoServiceUrl = "http://echo.test/";
    settings.reachabilityUrl = "http://target.test";
    settings.tickInterval = 1000 * 1000;
  }

  main_window::Form1& form() {
    if (!form_) {
      form_ = std::make_unique<main_window::Form1>(
          app, platform::Services{management, table, internet, shell},
          main_window::MakerInfo{"http://maker.test", "me@maker.test", "Someone"}, settings);
    }
    return *form_;
  }

  float bar() { return form().progressBar("ProgressBar1").value(); }

  // Loads the window and waits for the start-up request to be answered.
  void startUp() {
    form().show();
    pump(2000, [&] { return form().timer("Timer1").interval() == settings.tickInterval; });
    ASSERT_EQ(form().timer("Timer1").interval(), settings.tickInterval);
  }

  // One tick, waited out to its end (the completion pass included).
  void tick() {
    const float before = bar();
    form().dispatchTimer(form().timer("Timer1"));
    pump(2000, [&] { return bar() != before; });
    if (bar() == 100) pump(2000, [&] { return !form().control("ProgressBar1").visible(); });
  }

  void runToCompletion() {
    startUp();
    for (int i = 0; i < 20; ++i) tick();
  }

  fakes::FakeManagement management;
  fakes::FakeAdapterTable table;
  fakes::FakeInternetTransfer internet;
  fakes::FakeShell shell;
  main_window::GatheringSettings settings;
  std::unique_ptr<toolkit::Backend> backend =
      tests_support::makeTestBackend(main_window::WindowResources());
  toolkit::Application app{*backend, "{Brevan} WAN LAN TARNWICK 1.6"};
  std::unique_ptr<main_window::Form1> form_;
};

}  // namespace main_window_tests
