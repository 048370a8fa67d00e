#include "app/command_line/options.h"

#include "probes/endpoints.h"
#include "toolkit/text_output.h"

namespace command_line {

Options ParseOptions(const std::vector<std::string>& arguments) {
  bool help = false;
  bool version = false;
  bool json = false;
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      help = true;
    } else if (argument == "--version") {
      version = true;
    } else if (argument == "--json") {
      json = true;
    } else {
      return {Action::kUsageError, argument};
    }
  }
  if (help) return {Action::kHelp, {}};
  if (version) return {Action::kVersion, {}};
  if (json) return {Action::kJson, {}};
  return {};
}

std::string UsageText() {
  return std::string(
             "Usage: tarnwick [--json | --help | --version]\n"
             "\n"
             "Shows this machine's public (WAN) address as a web echo service sees it,\n"
             "the address of its first physical network adapter (LAN), the loopback\n"
             "address and whether it is online; two report windows list every network\n"
             "adapter.\n"
             "\n"
             "With no option the main window opens. On Linux without a display (neither\n"
             "DISPLAY nor WAYLAND_DISPLAY set) the program prints instead what the main\n"
             "window and both report windows show, and exits.\n"
             "\n"
             "Options:\n"
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
         "Exit status when the program prints its results (--json, or no display):\n"
         "  0  online (\"LAN And WAN - Online\", \"WAN Only - Online\")\n"
         "  2  offline (\"LAN Only - Offline\", \"Offline\"), or an unknown option\n"
         "  1  an error was reported (its message on standard error)\n";
}

std::string VersionText() {
  return std::string("tarnwick ") + TARNWICK_VERSION + "\n";
}

std::string UnknownOptionText(const Options& options) {
  return "tarnwick: unknown option " +
         toolkit::escapeControlCharacters("'" + options.unknown + "'") + "\n" + UsageText();
}

}  // namespace command_line
