#pragma once

#include <string>
#include <vector>

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

// Exit statuses, one meaning each, as ping, grep and nm-online have them.
// A run that failed (an error box was raised) exits 2 whatever it found, so
// 0 and 1 always come with complete results.
inline constexpr int kOnlineStatus = 0;
inline constexpr int kOfflineStatus = 1;
inline constexpr int kFailureStatus = 2;  // a usage error, or a failure
inline constexpr int kUsageErrorStatus = kFailureStatus;

}  // namespace command_line
