#include "printed_output/printed_results.h"

#include <utility>

#include "basics/text_output.h"
#include "printed_output/json_document.h"
#include "printed_output/text_summary.h"

namespace printed_output {

int ExitStatusOf(const ProgramReading& reading) {
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
  ReadingStep mainWindowRead;
  if (format == Format::kText) {
    mainWindowRead = [printText](const ProgramReading& reading) {
      printText(MainWindowSummary(reading));
    };
  }
  ReadWhenGathered(program, std::move(mainWindowRead),
                   [format, write, printText, finish](const ProgramReading& reading) {
                     if (format == Format::kJson) {
                       write(JsonDocument(reading));
                     } else {
                       printText(ReportsSummary(reading));
                     }
                     finish(ExitStatusOf(reading));
                   });
}

}  // namespace printed_output
