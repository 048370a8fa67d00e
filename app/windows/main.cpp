// Tarnwick on Windows: the main window over the system's own controls and
// services. The program runs until the user closes the main window.
//
// With --json it gathers behind hidden windows, prints one JSON document and
// exits: 0 online, 2 offline, 1 when any error box was raised (its text on
// standard error). --help and --version print and exit before anything else
// starts. What these print goes to the standard handles the program was
// given, or to the console it was started from.

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/command_line/json_document.h"
#include "app/command_line/options.h"
#include "console_streams.h"
#include "main_window/program.h"
#include "main_window/program_reading.h"
#include "main_window/resources.h"
#include "platform/windows/windows_adapter_table.h"
#include "platform/windows/windows_shell.h"
#include "platform/windows/wininet_transfer.h"
#include "platform/windows/wmi_management.h"
#include "toolkit/win32/win32_backend.h"
#include "toolkit/win32/win32_text.h"

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

int run(bool json, const app_windows::ConsoleStreams* console) {
  toolkit::win32::Win32Backend backend(main_window::WindowResources(), json, json);
  // The services outlive the program, which waits for its background work.
  platform::windows::WmiLocator management;
  platform::windows::WindowsAdapterTable adapterTable;
  platform::windows::WinInetTransfer internet;
  platform::windows::WindowsShell shell;
  main_window::Program program(backend, {management, adapterTable, internet, shell},
                               main_window::BuiltInMakerInfo());
  if (json) {
    main_window::ReadWhenGathered(program, nullptr,
                                  [&](const main_window::ProgramReading& reading) {
                                    console->out(command_line::JsonDocument(reading));
                                    backend.quit(main_window::ExitStatusOf(reading));
                                  });
  }
  program.start();
  const int status = backend.exec();
  program.stop();
  return status;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const command_line::Options options = command_line::ParseOptions(commandLineArguments());
  if (options.action == command_line::Action::kRun) return run(false, nullptr);

  const app_windows::ConsoleStreams console;
  switch (options.action) {
    case command_line::Action::kHelp:
      console.out(command_line::UsageText());
      return 0;
    case command_line::Action::kVersion:
      console.out(command_line::VersionText());
      return 0;
    case command_line::Action::kUsageError:
      console.err(command_line::UnknownOptionText(options));
      return command_line::kUsageErrorStatus;
    case command_line::Action::kJson:
    case command_line::Action::kRun:
      break;
  }
  return run(true, &console);
}
