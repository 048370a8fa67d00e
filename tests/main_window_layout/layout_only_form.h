#pragma once

#include <string>
#include <utility>
#include <vector>

#include "toolkit/form.h"

namespace main_window {

// Form1's layout without its start-up, so every control keeps its layout
// values; the clicks that reach it are recorded, "lblYourOnline(1)" for array
// members.
class LayoutOnlyForm : public toolkit::Form {
 public:
  LayoutOnlyForm(toolkit::Application& app, toolkit::WindowLayout entry)
      : Form(app), layout_(std::move(entry)) {}
  toolkit::WindowLayout layout() const override { return layout_; }
  std::vector<std::string> clicks;

 protected:
  void click(toolkit::Control& source) override {
    const int index = source.index();
    clicks.push_back(index >= 0 ? source.name() + "(" + std::to_string(index) + ")"
                                : source.name());
  }

 private:
  toolkit::WindowLayout layout_;
};

}  // namespace main_window
