#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/support/test_backend.h"

#include "toolkit/application.h"
#include "toolkit/form.h"

namespace toolkit_tests {

// A form whose layout and handlers a test sets, recording every event.
class TestForm : public toolkit::Form {
 public:
  TestForm(toolkit::Application& app, toolkit::WindowLayout entry)
      : Form(app), layout_(std::move(entry)) {}

  toolkit::WindowLayout layout() const override { return layout_; }

  std::vector<std::string> events;
  std::function<void()> onLoad;
  std::function<void(const std::string&, int)> onClick;
  std::function<void(const std::string&)> onTimer;

 protected:
  void formLoad() override {
    events.push_back("Load");
    if (onLoad) onLoad();
  }
  void formResize() override { events.push_back("Resize"); }
  void click(toolkit::Control& source) override {
    events.push_back("Click " + source.name());
    if (onClick) onClick(source.name(), source.index());
  }
  void timerTick(toolkit::Timer& source) override {
    events.push_back("Timer " + source.name());
    if (onTimer) onTimer(source.name());
  }
  void formUnloading() override { events.push_back("Unloading"); }

 private:
  toolkit::WindowLayout layout_;
};

using tests_support::pump;

inline toolkit::ControlLayout entry(toolkit::ControlKind kind, std::string name, int left, int top,
                                    int width, int height) {
  toolkit::ControlLayout s;
  s.kind = kind;
  s.name = std::move(name);
  s.left = left;
  s.top = top;
  s.width = width;
  s.height = height;
  return s;
}

}  // namespace toolkit_tests
