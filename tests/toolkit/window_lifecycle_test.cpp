#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/toolkit/test_form.h"
#include "toolkit/slot.h"

namespace toolkit_tests {
namespace {

using toolkit::ControlKind;

toolkit::WindowLayout smallWindow() {
  toolkit::WindowLayout w;
  w.caption = "Test";
  w.clientWidth = 3000;
  w.clientHeight = 1500;
  auto box = entry(ControlKind::TextBox, "txt", 0, 0, 1500, 300);
  box.text = "initial";
  w.controls.push_back(box);
  auto button = entry(ControlKind::CommandButton, "cmd", 0, 600, 1500, 300);
  button.text = "Go";
  w.controls.push_back(button);
  return w;
}

class WindowLifecycle : public ::testing::Test {
 protected:
  std::unique_ptr<toolkit::Backend> backend = tests_support::makeTestBackend();
  toolkit::Application app{*backend, "Test App"};
};

TEST_F(WindowLifecycle, SlotHoldsOneObjectCreatedOnFirstUse) {
  int made = 0;
  toolkit::Slot<TestForm> slot([&] {
    ++made;
    return std::make_unique<TestForm>(app, smallWindow());
  });
  EXPECT_FALSE(slot.filled());
  TestForm& first = slot.get();
  TestForm& second = slot.get();
  EXPECT_EQ(&first, &second);
  EXPECT_EQ(made, 1);
  EXPECT_FALSE(first.isLoaded()) << "creating the object does not create its window";
}

TEST_F(WindowLifecycle, ShowLoadsThenRaisesResizeAndUnloadReloadGivesFreshControls) {
  TestForm form(app, smallWindow());
  form.show();
  pump(20);
  ASSERT_GE(form.events.size(), 2u);
  EXPECT_EQ(form.events[0], "Load");
  EXPECT_EQ(form.events[1], "Resize");
  EXPECT_TRUE(form.isVisible());

  form.textBox("txt").setText("changed");
  form.show();  // already loaded: no second Load
  EXPECT_EQ(std::count(form.events.begin(), form.events.end(), "Load"), 1);

  form.unload();
  EXPECT_FALSE(form.isLoaded());
  EXPECT_THROW(form.textBox("txt"), basics::Error);
  form.load();
  EXPECT_EQ(form.textBox("txt").text(), "initial");
  EXPECT_EQ(std::count(form.events.begin(), form.events.end(), "Load"), 2);
  EXPECT_EQ(std::count(form.events.begin(), form.events.end(), "Unloading"), 1);
}

TEST_F(WindowLifecycle, FailingLoadLeavesWindowUnloadedAndPassesErrorOn) {
  TestForm form(app, smallWindow());
  int attempts = 0;
  form.onLoad = [&] {
    if (++attempts == 1) throw basics::Error(5, "Here", "first load fails");
  };
  EXPECT_THROW(form.show(), basics::Error);
  EXPECT_FALSE(form.isLoaded());
  form.show();
  EXPECT_TRUE(form.isLoaded());
}

TEST_F(WindowLifecycle, CloseBoxUnloadsAndUnknownControlIsAnError) {
  TestForm form(app, smallWindow());
  form.show();
  // A name or kind the layout does not have is the program's mistake: skipping a
  // failing step must not hide it.
  EXPECT_THROW(basics::skipOnFailure([&] { form.textBox("nope"); }), basics::LayoutError);
  EXPECT_THROW(basics::skipOnFailure([&] { form.checkBox("txt"); }), basics::LayoutError)
      << "wrong kind";
  form.dispatchClose();
  EXPECT_FALSE(form.isLoaded());
}

TEST_F(WindowLifecycle, BackgroundResultReachesOnlyTheLoadThatAskedForIt) {
  TestForm form(app, smallWindow());
  form.load();
  std::atomic<bool> release{false};
  std::string delivered;
  form.runInBackground<std::string>(
      [&](std::stop_token stop) {
        while (!release && !stop.stop_requested())
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return std::string("late");
      },
      [&](std::string r) { delivered = r; });
  form.unload();  // the load ends before the work does
  form.load();
  release = true;
  pump(100);
  EXPECT_EQ(delivered, "") << "a result for an unloaded window must be dropped";

  form.runInBackground<std::string>([](std::stop_token) { return std::string("fresh"); },
                                    [&](std::string r) { delivered = r; });
  pump(1000, [&] { return !delivered.empty(); });
  EXPECT_EQ(delivered, "fresh");
}

TEST_F(WindowLifecycle, EscapingErrorGivesOneBoxAndTheNextEventStillRuns) {
  TestForm form(app, smallWindow());
  form.show();
  int clicks = 0;
  form.onClick = [&](const std::string&, int) {
    if (++clicks == 1) throw basics::Error(-2147174560, "GetAdaptersInfo", "boom");
  };
  testing::internal::CaptureStderr();
  form.dispatchClick(form.control("cmd"));
  form.dispatchClick(form.control("cmd"));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(app.messageBoxCount(), 1);
  EXPECT_EQ(err,
            "Test App\nRun-time error '-2147174560' (0x8004B760):\n\nboom (GetAdaptersInfo)\n");
}

}  // namespace
}  // namespace toolkit_tests
