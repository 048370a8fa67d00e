#pragma once

#include <string>
#include <vector>

namespace command_line {

// What the command line asks for. Both programs (Linux, Windows) read it here.
enum class Action {
  kRun,         // no option: the program as it always ran
  kJson,        // gather without a window and print one JSON document
  kHelp,        // print the usage and exit
  kVersion,     // print the version and exit
  kUsageError,  // an argument we do not know: the usage on standard error, exit 2
};

struct Options {
  Action action = Action::kRun;
  std::string unknown;  // the first argument not understood (kUsageError)
};

// The arguments after the program's name. --help (or -h) wins over --version,
// which wins over --json; any other argument is an error, whatever else is given.
Options ParseOptions(const std::vector<std::string>& arguments);

// The usage text --help prints, ending in a line feed.
std::string UsageText();

// "tarnwick 1.6" and a line feed.
std::string VersionText();

// What a run that stopped at a bad argument prints on standard error: the
// argument, with its control characters escaped, then the usage.
std::string UnknownOptionText(const Options& options);

// Exit status of a run that stopped at a bad argument.
inline constexpr int kUsageErrorStatus = 2;

}  // namespace command_line
