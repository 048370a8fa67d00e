#pragma once

#include <optional>
#include <string>

#include "toolkit/form.h"

namespace reports {

// A report window's controls, bound once per load: the layout's one text box.
struct ReportWindowControls {
  toolkit::TextBox& txtOut;
};

// Throws basics::LayoutError when the loaded window lacks the text box.
ReportWindowControls BindReportWindowControls(toolkit::Form& form);

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

  // The controls of the current load; basics::Error 364 while not loaded.
  const ReportWindowControls& controls() const;

 protected:
  // Binds the controls, has the report written, then takes its place.
  void formLoad() final;
  void formResize() override;
  void formUnloading() override;
  // Gathers the report and writes it into the text box.
  virtual void fillReport(toolkit::TextBox& txtOut) = 0;

 private:
  void placeBesideMainWindow();

  std::optional<ReportWindowControls> controls_;
  toolkit::Form& mainWindow_;
  std::string caption_;
  std::string icon_;
};

}  // namespace reports
