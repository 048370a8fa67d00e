#include <gtest/gtest.h>

#include "tests/toolkit/test_form.h"

namespace toolkit_tests {
namespace {

using toolkit::ControlKind;

class Controls : public ::testing::Test {
 protected:
  std::unique_ptr<toolkit::Backend> backend = tests_support::makeTestBackend();
  toolkit::Application app{*backend, "Test App"};
};

TEST_F(Controls, TimerTicksOnlyWhenEnabledWithAnInterval) {
  const auto timer = [](std::string name, bool enabled, int interval) {
    auto t = entry(ControlKind::Timer, std::move(name), 0, 0, 0, 0);
    t.enabled = enabled;
    t.interval = interval;
    return t;
  };
  toolkit::WindowLayout w;
  w.clientWidth = w.clientHeight = 1500;
  w.controls = {timer("zero", true, 0), timer("off", false, 10), timer("on", true, 10),
                timer("stopped", true, 10)};
  TestForm form(app, w);
  // A second window's timer tells how much time the machine gave the timers,
  // so the checks wait for ticks instead of for a stretch of time.
  toolkit::WindowLayout witnessLayout = w;
  witnessLayout.controls = {timer("witness", true, 10)};
  TestForm witness(app, witnessLayout);
  const auto ticks = [](const TestForm& f, const std::string& name) {
    return std::count(f.events.begin(), f.events.end(), "Timer " + name);
  };
  const auto witnessTicks = [&] {
    witness.events.clear();
    pump(10000, [&] { return ticks(witness, "witness") > 2; });
    ASSERT_GT(ticks(witness, "witness"), 2);
  };
  form.load();
  witness.load();
  pump(10000, [&] { return ticks(form, "on") > 2 && ticks(form, "stopped") > 2; });
  EXPECT_GT(ticks(form, "on"), 2);
  EXPECT_EQ(ticks(form, "zero"), 0);
  EXPECT_EQ(ticks(form, "off"), 0);

  form.timer("stopped").setEnabled(false);
  form.events.clear();
  witnessTicks();
  EXPECT_EQ(ticks(form, "stopped"), 0);

  form.unload();  // a loaded window's timers die with it
  form.events.clear();
  witnessTicks();
  EXPECT_EQ(ticks(form, "on"), 0);
  witness.unload();
}

TEST_F(Controls, NestedGeometryKeepsSharedEdgesAndOverlaps) {
  toolkit::WindowLayout w;
  w.clientWidth = 5490;
  w.clientHeight = 2940;
  auto picture = entry(ControlKind::PictureBox, "pic", 0, 360, 5520, 2625);
  picture.border = toolkit::Border::Flat;
  auto a = entry(ControlKind::CommandButton, "a", 1580, 2040, 350, 340);
  a.parent = "pic";
  auto b = entry(ControlKind::CommandButton, "b", 1920, 2040, 350, 340);  // overlaps a by 10
  b.parent = "pic";
  auto c = entry(ControlKind::CheckBox, "c", 240, 2040, 1335, 340);  // ends 5 before a
  c.parent = "pic";
  w.controls = {a, b, c, picture};
  TestForm form(app, w);
  form.show();
  tests_support::Screen screen(form);
  const auto rectOf = [&](const char* name) {
    return screen.rectOf(name).value_or(tests_support::ScreenRect{});
  };
  // Children of a bordered picture box sit inside its one-pixel border.
  const auto pic = rectOf("pic");
  EXPECT_EQ(std::vector<int>({pic.left, pic.top, pic.width, pic.height}),
            std::vector<int>({0, 24, 368, 175}));
  const auto shownA = rectOf("a");
  EXPECT_EQ(std::vector<int>({shownA.left, shownA.top, shownA.width, shownA.height}),
            std::vector<int>({1 + 105, 1 + 24 + 136, 24, 23}));
  EXPECT_EQ(rectOf("b").left, 1 + 128);
  EXPECT_LE(rectOf("c").right(), rectOf("a").left) << "a 5-twip gap stays a gap";
  EXPECT_LT(rectOf("b").left, rectOf("a").right()) << "a 10-twip overlap stays an overlap";
  // Front to back: the first listed child is drawn above the others.
  EXPECT_TRUE(screen.stackedAbove("a", -1, "b", -1));
  EXPECT_EQ(form.control("b").left(), 1920);
  form.control("b").setTop(1710);
  EXPECT_EQ(form.control("b").top(), 1710) << "what the logic sets is what it reads back";
  form.unload();
}

}  // namespace
}  // namespace toolkit_tests
