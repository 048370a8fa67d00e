#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "diagnosis/connection_reason.h"
#include "main_window/program.h"

namespace printed_output {

// What the three windows show once the main window has gathered, as plain
// data: the text output and the JSON document are both written from it.
struct LightReading {
  std::string colour;  // "green", "yellow", "red"
  bool pressed = false;
  std::string caption;
};

struct ReportFailure {
  std::int32_t number = 0;
  std::string text;
};

struct ReportReading {
  std::string caption;
  bool loaded = false;  // false when loading the window failed
  std::string text;     // the report as its text box holds it, "\r\n" line ends
  // The error an error box reported while the window loaded, if any.
  std::optional<ReportFailure> failure;
};

struct ProgramReading {
  std::string title;
  std::string wan;
  std::string lan;
  std::string localhost;
  std::string status;
  std::vector<LightReading> lights;  // green, yellow, red
  // What the classification found: online (the status says so) and why.
  bool online = false;
  std::optional<diagnosis::Reason> reason;
  ReportReading adapterInfo;
  ReportReading additionalAdapterInfo;
  int messageBoxes = 0;  // raised during the whole run
};

// Once the main window has gathered: reads it and hands what it shows to
// `mainWindowRead` (when given; the reports are not read yet), then opens both
// report windows as the "1" and "2" buttons do, reads them and hands the whole
// reading to `done`.
using ReadingStep = std::function<void(const ProgramReading&)>;
void ReadWhenGathered(main_window::Program& program, ReadingStep mainWindowRead, ReadingStep done);

}  // namespace printed_output
