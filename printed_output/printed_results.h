#pragma once

#include <functional>
#include <string>

#include "main_window/program.h"
#include "printed_output/exit_status.h"
#include "printed_output/program_reading.h"

namespace printed_output {

// How a run without a window prints its results.
enum class Format {
  kText,  // what the main window and both report windows show, as lines of text
  kJson,  // one JSON document
};

// The exit status of a run that printed `reading`: kFailureStatus when an
// error box was raised, whatever the status (the results are incomplete then),
// else kOnlineStatus or kOfflineStatus.
int ExitStatusOf(const ProgramReading& reading);

// Once `program` has gathered, reads its windows and prints them through
// `write`, safe for a terminal: the text's main-window lines as soon as the
// main window has its result, then both reports; or the whole JSON document at
// the end. Then hands the run's exit status to `finish`.
void PrintWhenGathered(main_window::Program& program, Format format,
                       std::function<void(const std::string&)> write,
                       std::function<void(int)> finish);

}  // namespace printed_output
