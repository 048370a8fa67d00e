// Tarnwick on Windows: the main window over the system's own controls and
// services. The program runs until the user closes the main window.
//
// With --text or --json it gathers behind hidden windows, prints what they
// show or one JSON document, and exits: 0 online, 1 offline, 2 when any error
// box was raised (its text on standard error). --help and --version print and
// exit before anything else starts; a bad command line exits 2. What these
// print goes to the standard handles the program was given, or to the console
// it was started from.

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "app/command_line/options.h"
#include "console_streams.h"
#include "main_window/program.h"
#include "main_window/resources.h"
#include "platform/windows/windows_adapter_table.h"
#include "platform/windows/windows_shell.h"
#include "platform/windows/wininet_transfer.h"
#include "platform/windows/wmi_management.h"
#include "printed_output/printed_results.h"
#include "system_libraries.h"
#include "toolkit/win32/win32_backend.h"
#include "toolkit/win32/win32_text.h"
#include "usage_error.h"

namespace {

// The arguments after the program's name, as UTF-8.
std::vector<std::string> commandLineArguments() {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  if (words == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(toolkit::win32::narrow(words[i]));
  LocalFree(words);
  return arguments;
}

// Without `printed` the windows are shown; with it they stay hidden and the
// results go to `console`.
int run(const std::optional<printed_output::Format>& printed,
        const app_windows::ConsoleStreams* console) {
  const bool hidden = printed.has_value();
  toolkit::win32::Win32Backend backend(main_window::WindowResources(), hidden, hidden);
  // The services outlive the program, which waits for its background work.
  platform::windows::WmiLocator management;
  platform::windows::WindowsAdapterTable adapterTable;
  platform::windows::WinInetTransfer internet;
  platform::windows::WindowsShell shell;
  main_window::Program program(backend, {management, adapterTable, internet, shell},
                               main_window::BuiltInMakerInfo());
  if (printed) {
    printed_output::PrintWhenGathered(
        program, *printed, [console](const std::string& text) { console->out(text); },
        [&backend](int status) { backend.quit(status); });
  }
  program.start();
  const int status = backend.exec();
  program.stop();
  return status;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  app_windows::LoadLibrariesFromSystem32Only();
  const command_line::Options options = command_line::ParseOptions(commandLineArguments());
  if (options.action == command_line::Action::kRun) return run(std::nullopt, nullptr);

  const app_windows::ConsoleStreams console;
  switch (options.action) {
    case command_line::Action::kHelp:
      console.out(command_line::UsageText());
      return 0;
    case command_line::Action::kVersion:
      console.out(command_line::VersionText());
      return 0;
    case command_line::Action::kUsageError:
      app_windows::ReportUsageError(console, command_line::UsageErrorText(options));
      return command_line::kUsageErrorStatus;
    case command_line::Action::kJson:
      return run(printed_output::Format::kJson, &console);
    case command_line::Action::kText:
      return run(printed_output::Format::kText, &console);
    case command_line::Action::kRun:
      break;
  }
  return run(std::nullopt, nullptr);
}
