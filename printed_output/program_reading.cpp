#include "printed_output/program_reading.h"

namespace printed_output {

using main_window::Form1;
using main_window::Form1Controls;
using main_window::Program;

namespace {

LightReading light(const toolkit::CheckBox& box, const char* colour) {
  return {colour, box.value() == toolkit::kChecked, box.caption()};
}

// Clicks the button that opens a report window and reads the window.
ReportReading openReport(Program& program, toolkit::CommandButton& button,
                         reports::ReportWindow& window) {
  toolkit::Application& app = program.application();
  const int errorsBefore = app.errorBoxCount();
  program.mainWindow().dispatchClick(button);
  ReportReading report;
  report.loaded = window.isLoaded();
  // A window whose load failed is gone: its caption is the one it loads with.
  // Asking the window would raise an error here, where nothing would finish
  // the reading and a run that prints it would wait for ever.
  report.caption = report.loaded ? window.caption() : window.layout().caption;
  if (report.loaded) report.text = window.controls().txtOut.text();
  if (app.errorBoxCount() > errorsBefore && app.lastError()) {
    report.failure = ReportFailure{app.lastError()->number(), app.lastError()->description()};
  }
  return report;
}

}  // namespace

void ReadWhenGathered(Program& program, ReadingStep mainWindowRead, ReadingStep done) {
  Form1& main = program.mainWindow();
  main.onGatheringComplete = [&program, &main, mainWindowRead = std::move(mainWindowRead),
                              done = std::move(done)] {
    ProgramReading reading;
    reading.title = main.caption();
    const Form1Controls& c = main.controls();
    reading.wan = c.wan.text();
    reading.lan = c.lan.text();
    reading.localhost = c.txtLocal.text();
    reading.status = c.txtStatus.text();
    reading.lights = {light(c.chkgreen, "green"), light(c.chkyellow, "yellow"),
                      light(c.chkred, "red")};
    if (const auto& finding = main.finding()) {
      reading.online = finding->online;
      reading.reason = finding->reason;
    }
    if (mainWindowRead) mainWindowRead(reading);
    reading.adapterInfo = openReport(program, c.ainfo1, program.adapterInfo());
    reading.additionalAdapterInfo = openReport(program, c.ainfo2, program.additionalAdapterInfo());
    reading.messageBoxes = program.application().messageBoxCount();
    done(reading);
  };
}

}  // namespace printed_output
