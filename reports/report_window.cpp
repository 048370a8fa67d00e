#include "reports/report_window.h"

namespace reports {

ReportWindowControls BindReportWindowControls(toolkit::Form& form) {
  return ReportWindowControls{.txtOut = form.controlAs<toolkit::TextBox>("txtOut")};
}

ReportWindow::ReportWindow(toolkit::Application& app, toolkit::Form& mainWindow,
                           std::string caption, std::string icon)
    : Form(app), mainWindow_(mainWindow), caption_(std::move(caption)), icon_(std::move(icon)) {}

toolkit::WindowLayout ReportWindow::layout() const {
  toolkit::WindowLayout w;
  w.caption = caption_;
  w.clientWidth = 5340;
  w.clientHeight = 2790;
  w.minButton = false;
  w.maxButton = false;
  w.startPosition = toolkit::StartPosition::SystemDefault;
  w.icon = icon_;
  w.font = toolkit::Font{"Tahoma", 8.25, 400, false};
  w.closesOnEscape = true;  // it only shows a report

  toolkit::ControlLayout out;
  out.kind = toolkit::ControlKind::TextBox;
  out.name = "txtOut";
  out.left = 0;
  out.top = 0;
  out.width = 5295;
  out.height = 2775;
  out.tabIndex = 0;
  out.multiLine = true;
  out.scrollBars = toolkit::ScrollBars::Both;  // long lines scroll, never wrap
  out.backColour = toolkit::rgb(0, 0, 0);
  out.foreColour = toolkit::rgb(0, 255, 0);
  out.accessibleName = caption_;  // the text box is all the window holds
  w.controls.push_back(out);
  return w;
}

std::pair<float, float> ReportWindow::placement(float mainInnerWidth, float mainInnerHeight,
                                                float mainLeft, float mainTop) {
  return {mainInnerWidth / 60.0f + mainLeft, mainInnerHeight / 7.0f + mainTop};
}

const ReportWindowControls& ReportWindow::controls() const {
  if (!controls_)
    throw basics::Error(toolkit::kNotLoaded, basics::kErrorSource, "Object not loaded");
  return *controls_;
}

void ReportWindow::formLoad() {
  controls_.emplace(BindReportWindowControls(*this));
  fillReport(controls_->txtOut);
  placeBesideMainWindow();
}

void ReportWindow::formUnloading() {
  controls_.reset();
}

void ReportWindow::placeBesideMainWindow() {
  const auto [left, top] = placement(
      static_cast<float>(mainWindow_.innerWidth()), static_cast<float>(mainWindow_.innerHeight()),
      static_cast<float>(mainWindow_.left()), static_cast<float>(mainWindow_.top()));
  setLeft(left);
  setTop(top);
  controls_->txtOut.setFocus();
}

void ReportWindow::formResize() {
  if (minimized()) return;
  controls().txtOut.move(0, 0, innerWidth(), innerHeight());
}

}  // namespace reports
