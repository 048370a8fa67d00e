// Tarnwick: which addresses this machine has, and whether it is online.
//
// With a display the main window opens and the program runs until the user
// closes it. Without one (neither DISPLAY nor WAYLAND_DISPLAY set), or with
// --json, the same windows run on Qt's offscreen platform, the program prints
// what they show and exits: 0 online, 2 offline, 1 when any error box was
// raised. --help and --version print and exit before anything else starts.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line/json_document.h"
#include "app/command_line/options.h"
#include "main_window/program.h"
#include "main_window/program_reading.h"
#include "main_window/resources.h"
#include "main_window/text_summary.h"
#include "platform/linux/http_internet_transfer.h"
#include "platform/linux/linux_adapter_table.h"
#include "platform/linux/linux_management.h"
#include "platform/linux/linux_shell.h"
#include "toolkit/qt/qt_backend.h"
#include "toolkit/qt/qt_platform.h"
#include "toolkit/text_output.h"

namespace {

// Without a display the output is the program's text: keep Qt's own notes
// (a missing runtime directory, say) off it, but let real failures through.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", toolkit::escapeControlCharacters(message.toStdString()).c_str());
  }
}

void write(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
  const command_line::Options options =
      command_line::ParseOptions(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
  switch (options.action) {
    case command_line::Action::kHelp:
      write(stdout, command_line::UsageText());
      return 0;
    case command_line::Action::kVersion:
      write(stdout, command_line::VersionText());
      return 0;
    case command_line::Action::kUsageError:
      write(stderr, command_line::UnknownOptionText(options));
      return command_line::kUsageErrorStatus;
    case command_line::Action::kRun:
    case command_line::Action::kJson:
      break;
  }
  const bool json = options.action == command_line::Action::kJson;

  // --json prints whether or not there is a display, and never opens a window.
  const bool display =
      !json && toolkit::hasDisplay(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
  const std::string platform =
      json ? "offscreen"
           : toolkit::qt::qtPlatformFor(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                        std::getenv("QT_QPA_PLATFORM"));
  if (!platform.empty()) setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
  if (!display) qInstallMessageHandler(quietQtMessages);
  QApplication qtApplication(argc, argv);
  // Desktops match the running program to its menu entry and icon by this name.
  QGuiApplication::setDesktopFileName("tarnwick");

  toolkit::qt::QtBackend backend(!display, main_window::WindowResources());
  // The services outlive the program, which waits for its background work.
  platform::linuxos::LinuxManagementLocator management;
  platform::linuxos::LinuxAdapterTable adapterTable;
  platform::linuxos::HttpInternetTransfer internet;
  platform::linuxos::LinuxShell shell;
  main_window::Program program(backend, {management, adapterTable, internet, shell},
                               main_window::BuiltInMakerInfo());

  if (!display) {
    // The JSON writer escapes what it prints itself; the text is escaped here.
    // The text shows the main window's result as soon as it has one.
    const auto printText = [&](const std::string& text) {
      write(stdout, toolkit::escapeControlCharacters(text));
    };
    main_window::ReadWhenGathered(
        program,
        [&](const main_window::ProgramReading& reading) {
          if (!json) printText(main_window::MainWindowSummary(reading));
        },
        [&](const main_window::ProgramReading& reading) {
          if (json) {
            write(stdout, command_line::JsonDocument(reading));
          } else {
            printText(main_window::ReportsSummary(reading));
          }
          backend.quit(main_window::ExitStatusOf(reading));
        });
  }

  program.start();
  const int status = backend.exec();
  program.stop();
  return status;
}
