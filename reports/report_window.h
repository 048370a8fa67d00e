#pragma once

#include <string>

#include "toolkit/form.h"

namespace reports {

// What the two report windows share: one multi-line text box that fills the
// window, and a place beside the main window taken when the window loads.
class ReportWindow : public toolkit::Form {
 public:
  ReportWindow(toolkit::Application& app, toolkit::Form& mainWindow, std::string caption,
               std::string icon);

  toolkit::WindowLayout layout() const override;

  // Where the window goes: a sixtieth of the main window's inner width to the
  // right of it and a seventh of its inner height below, in single precision.
  static std::pair<float, float> placement(float mainInnerWidth, float mainInnerHeight,
                                           float mainLeft, float mainTop);

 protected:
  void formResize() override;
  void placeBesideMainWindow();
  toolkit::TextBox& txtOut() { return textBox("txtOut"); }

 private:
  toolkit::Form& mainWindow_;
  std::string caption_;
  std::string icon_;
};

}  // namespace reports
