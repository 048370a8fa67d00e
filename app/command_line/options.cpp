#include "app/command_line/options.h"

#include "basics/text_output.h"
#include "probes/endpoints.h"

namespace command_line {

Options ParseOptions(const std::vector<std::string>& arguments) {
  bool help = false;
  bool version = false;
  bool json = false;
  bool text = false;
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      help = true;
    } else if (argument == "--version") {
      version = true;
    } else if (argument == "--json") {
      json = true;
    } else if (argument == "--text") {
      text = true;
    } else {
      return {Action::kUsageError, argument};
    }
  }
  if (help) return {Action::kHelp, {}};
  if (version) return {Action::kVersion, {}};
  if (json && text) return {Action::kUsageError, {}, true};
  if (json) return {Action::kJson, {}};
  if (text) return {Action::kText, {}};
  return {};
}

std::string UsageText() {
  return std::string(
             "Usage: tarnwick [--text | --json | --help | --version]\n"
             "\n"
             "Shows this machine's public (WAN) address as a web echo service sees it,\n"
             "the address of its first physical network adapter (LAN), the loopback\n"
             "address and whether it is online; two report windows list every network\n"
             "adapter.\n"
             "\n"
             "With no option the main window opens. On Linux without a display (neither\n"
             "DISPLAY nor WAYLAND_DISPLAY set, or one that cannot be opened) the program\n"
             "prints instead what the main window and both report windows show, and exits.\n"
             "\n"
             "Options:\n"
             "  --text     gather without opening a window and print what the main window\n"
             "             and both report windows show\n"
             "  --json     gather without opening a window and print one JSON document:\n"
             "             the addresses, the status, the lights and both reports\n"
             "  --help     print this text and exit\n"
             "  --version  print the version and exit\n"
             "\n"
             "A gathering contacts two web addresses, nothing else:\n"
             "  ") +
         std::string(probes::kEchoServiceUrl) +
         "  the echo service (the public address)\n"
         "  " +
         std::string(probes::kReachabilityUrl) +
         "  opened once to tell whether the internet is reachable\n"
         "\n"
         "Exit status when the program prints its results (--text, --json, no display):\n"
         "  0  online (\"LAN And WAN - Online\", \"WAN Only - Online\")\n"
         "  1  offline (\"LAN Only - Offline\", \"Offline\")\n"
         "  2  a usage error, or a failure: an error was reported (its message on\n"
         "     standard error) while gathering or building a report; this wins over\n"
         "     0 and 1, since the printed results are then incomplete\n";
}

std::string VersionText() {
  return std::string("tarnwick ") + TARNWICK_VERSION + "\n";
}

std::string UsageErrorText(const Options& options) {
  const std::string what =
      options.bothOutputs
          ? std::string("--json and --text cannot be used together")
          : "unknown option " + basics::escapeControlCharacters("'" + options.unknown + "'");
  return "tarnwick: " + what + "\n" + UsageText();
}

}  // namespace command_line
