#include "app/command_line/printed_results.h"

#include <utility>

#include "app/command_line/json_document.h"
#include "app/command_line/options.h"
#include "basics/text_output.h"
#include "main_window/text_summary.h"

namespace command_line {

int ExitStatusOf(const main_window::ProgramReading& reading) {
  if (reading.messageBoxes > 0) return kFailureStatus;
  return reading.online ? kOnlineStatus : kOfflineStatus;
}

void PrintWhenGathered(main_window::Program& program, Format format,
                       std::function<void(const std::string&)> write,
                       std::function<void(int)> finish) {
  // The JSON writer escapes what it writes itself; the text is escaped here.
  auto printText = [write](const std::string& text) {
    write(basics::escapeControlCharacters(text));
  };
  main_window::ReadingStep mainWindowRead;
  if (format == Format::kText) {
    mainWindowRead = [printText](const main_window::ProgramReading& reading) {
      printText(main_window::MainWindowSummary(reading));
    };
  }
  main_window::ReadWhenGathered(
      program, std::move(mainWindowRead),
      [format, write, printText, finish](const main_window::ProgramReading& reading) {
        if (format == Format::kJson) {
          write(JsonDocument(reading));
        } else {
          printText(main_window::ReportsSummary(reading));
        }
        finish(ExitStatusOf(reading));
      });
}

}  // namespace command_line
