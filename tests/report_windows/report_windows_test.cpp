#include <gtest/gtest.h>

#include "main_window/form1_layout.h"
#include "main_window/resources.h"
#include "reports/report_windows.h"
#include "tests/fakes/fake_adapter_table.h"
#include "tests/fakes/fake_management_objects.h"
#include "tests/support/test_backend.h"
#include "toolkit/slot.h"

namespace report_windows_tests {
namespace {

// A stand-in for the main window: only its geometry matters here.
class MainWindow : public toolkit::Form {
 public:
  using Form::Form;
  toolkit::WindowLayout layout() const override {
    toolkit::WindowLayout w;
    w.caption = "main";
    w.clientWidth = 5490;
    w.clientHeight = 2940;
    return w;
  }
};

fakes::FakeObject adapter(int index, const std::string& name) {
  return fakes::FakeObject{{"Description", std::string("Adapter ") + name},
                           {"Index", std::int32_t(index)},
                           {"Name", name},
                           {"MACAddress", platform::Null{}},
                           {"Manufacturer", platform::Null{}},
                           {"ProductName", platform::Null{}},
                           {"PhysicalAdapter", false},
                           {"AdapterType", std::string("Ethernet 802.3")},
                           {"Speed", platform::Null{}},
                           {"NetConnectionStatus", std::int32_t(2)},
                           {"ServiceEnabled", true}};
}

class ReportWindows : public ::testing::Test {
 protected:
  ReportWindows() {
    management.adapters = {adapter(1, "lo"), adapter(2, "eth0")};
    table.chain = fakes::buildAdapterChain({{"eth0", "Ethernet", 2, {"192.0.2.5"}, {"192.0.2.1"}}});
    main.show();
    main.setLeft(1500);
    main.setTop(3000);
  }
  void pumpEvents() { tests_support::pump(20); }

  std::unique_ptr<toolkit::Backend> backend =
      tests_support::makeTestBackend(main_window::WindowResources());
  toolkit::Application app{*backend, "title"};
  fakes::FakeManagement management;
  fakes::FakeAdapterTable table;
  MainWindow main{app};
  reports::Form2 form2{app, main, management, ""};
  reports::Form3 form3{app, main, table};
};

TEST(ReportWindowPlacement, OffsetsAreASixtiethAndASeventhInSinglePrecision) {
  const auto [left, top] = reports::ReportWindow::placement(5490, 2940, 0, 0);
  EXPECT_FLOAT_EQ(left, 91.5f);
  EXPECT_FLOAT_EQ(top, 420.0f);
  const auto [movedLeft, movedTop] = reports::ReportWindow::placement(5490, 2940, 1500, 3000);
  EXPECT_FLOAT_EQ(movedLeft, 1591.5f);
  EXPECT_FLOAT_EQ(movedTop, 3420.0f);
}

// Adapter Info shows the program's icon; Additional Adapter Info has none.
TEST_F(ReportWindows, OnlyAWindowGivenAnIconShowsOne) {
  reports::Form2 withIcon{app, main, management, main_window::kIconPicture};
  withIcon.show();
  form3.show();
  EXPECT_TRUE(tests_support::Screen(withIcon).showsIcon());
  EXPECT_FALSE(tests_support::Screen(form3).showsIcon());
  withIcon.unload();
}

TEST_F(ReportWindows, OpeningTwiceGathersOnceAndClosingGathersAgain) {
  form2.show();
  const int binds = management.binds;
  EXPECT_EQ(binds, 1);
  EXPECT_EQ(form2.caption(), "Adapter Info");
  EXPECT_EQ(tests_support::Screen(form2).accessibleName("txtOut"), "Adapter Info");
  EXPECT_EQ(form2.AdapterCount, 2);
  const bool placed = tests_support::programPlacesWindows();
  if (placed) {
    EXPECT_NEAR(form2.left(), 1591.5, 15);
    EXPECT_NEAR(form2.top(), 3420, 15);
  }

  form2.setLeft(6000);
  form2.textBox("txtOut").setText("user typing");
  form2.show();
  EXPECT_EQ(management.binds, 1) << "an open window is shown again, not gathered again";
  EXPECT_EQ(form2.left(), 6000) << "and not moved";
  EXPECT_EQ(form2.textBox("txtOut").text(), "user typing");

  // Esc closes it, as it closes any window that only shows something (where
  // the display gives a window the keyboard at all).
  if (tests_support::Screen screen(form2); screen.focus("txtOut")) {
    screen.pressKey("Escape");
    tests_support::pump(200, [&] { return !form2.isLoaded(); });
    ASSERT_FALSE(form2.isLoaded());
  } else {
    form2.dispatchClose();
  }
  main.setLeft(0);
  form2.show();
  EXPECT_EQ(management.binds, 2);
  EXPECT_NE(form2.textBox("txtOut").text(), "user typing");
  if (placed) {
    EXPECT_NEAR(form2.left(), 91.5, 15) << "placed beside the main window's new position";
  }
}

TEST_F(ReportWindows, TextBoxFillsTheClientAreaExceptWhileMinimized) {
  form3.show();
  pumpEvents();
  EXPECT_EQ(tests_support::Screen(form3).accessibleName("txtOut"), "Additional Adapter Info");
  auto& out = form3.textBox("txtOut");
  EXPECT_EQ(out.width(), form3.innerWidth());
  EXPECT_EQ(out.height(), form3.innerHeight());
  EXPECT_EQ(form3.innerWidth(), 5340);
  EXPECT_EQ(form3.innerHeight(), 2790);

  out.move(0, 0, 100, 100);
  form3.setMinimized(true);
  form3.dispatchResize();
  EXPECT_EQ(out.width(), 100) << "nothing happens while minimized";
  form3.setMinimized(false);
  form3.dispatchResize();
  EXPECT_EQ(out.width(), 5340);
}

TEST_F(ReportWindows, AdapterListFailureIsReportedOnceAndTheNextAttemptWorks) {
  table.script = {std::nullopt,
                  fakes::FakeAdapterTable::Scripted{platform::kBufferOverflow, 0, std::nullopt}};
  toolkit::Slot<reports::Form3> slot(
      [&] { return std::make_unique<reports::Form3>(app, main, table); });
  testing::internal::CaptureStderr();
  app.runEvent([&] { slot.get().show(); });
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(app.messageBoxCount(), 1);
  EXPECT_NE(err.find("GetAdaptersInfo Late Failure: buffer overflow"), std::string::npos) << err;
  EXPECT_FALSE(slot.get().isLoaded());
  EXPECT_TRUE(main.isLoaded());

  table.script.clear();
  table.calls.clear();
  app.runEvent([&] { slot.get().show(); });
  EXPECT_EQ(app.messageBoxCount(), 1);
  ASSERT_TRUE(slot.get().isLoaded());
  EXPECT_EQ(slot.get().caption(), "Additional Adapter Info");
  EXPECT_EQ(slot.get().controls().txtOut.text(),
            "1 adapter(s) found.\r\n\r\nAdapter 0\r\n\tDescription = Ethernet\r\n\tAdapterIndex = "
            "2\r\n\tName = eth0\r\n\tIP = 192.0.2.5\r\n\tGatewayIP = 192.0.2.1\r\n\r\n");
}

}  // namespace
}  // namespace report_windows_tests
