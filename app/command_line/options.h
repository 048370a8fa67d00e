#pragma once

#include <string>
#include <vector>

#include "printed_output/exit_status.h"

namespace command_line {

// What the command line asks for. Both programs (Linux, Windows) read it here.
enum class Action {
  kRun,         // no option: the program as it always ran
  kJson,        // gather without a window and print one JSON document
  kText,        // gather without a window and print what the windows show
  kHelp,        // print the usage and exit
  kVersion,     // print the version and exit
  kUsageError,  // an argument we do not know, or --json with --text
};

struct Options {
  Action action = Action::kRun;
  std::string unknown;       // the first argument not understood (kUsageError)
  bool bothOutputs = false;  // --json and --text were both given (kUsageError)
};

// The arguments after the program's name. --help (or -h) wins over --version,
// which wins over --json and --text; any other argument is an error, whatever
// else is given, and so are --json and --text together.
Options ParseOptions(const std::vector<std::string>& arguments);

// The usage text --help prints, ending in a line feed.
std::string UsageText();

// "tarnwick 1.6" and a line feed.
std::string VersionText();

// What a run that stopped at a bad command line prints on standard error: what
// was wrong (an unknown argument with its control characters escaped), then
// the usage.
std::string UsageErrorText(const Options& options);

// A bad command line exits as a failed run does (printed_output/exit_status.h).
inline constexpr int kUsageErrorStatus = printed_output::kFailureStatus;

}  // namespace command_line
