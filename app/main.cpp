// Tarnwick: which addresses this machine has, and whether it is online.
//
// With a display the main window opens and the program runs until the user
// closes it. With --text or --json, or without a display (neither DISPLAY nor
// WAYLAND_DISPLAY set, or one that cannot be opened), the same windows run on
// Qt's offscreen platform, the program prints what they show and exits: 0
// online, 1 offline, 2 when any error box was raised. --help and --version
// print and exit before anything else starts; a bad command line exits 2.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line/options.h"
#include "basics/text_output.h"
#include "main_window/program.h"
#include "main_window/resources.h"
#include "platform/linux/http_internet_transfer.h"
#include "platform/linux/linux_adapter_table.h"
#include "platform/linux/linux_management.h"
#include "platform/linux/linux_shell.h"
#include "printed_output/printed_results.h"
#include "toolkit/display.h"
#include "toolkit/qt/qt_backend.h"
#include "toolkit/qt/qt_platform.h"

namespace {

void write(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

std::string qtMessageText(const QMessageLogContext& context, const QString& message) {
  const std::string category = context.category != nullptr ? context.category : "";
  return (category.empty() || category == "default" ? "" : category + ": ") + message.toStdString();
}

// Qt gives up on what it cannot do (a display that went away, say) with a
// fatal message and an abort; the program ends with its failure status and
// the message instead, so no run ends in a core dump.
[[noreturn]] void endOnFatal(const QMessageLogContext& context, const QString& message) {
  write(stderr,
        "tarnwick: " + basics::escapeControlCharacters(qtMessageText(context, message)) + "\n");
  std::_Exit(printed_output::kFailureStatus);
}

// While Qt opens the display its notes are kept: when no display opens they
// say why, and when one does they are of no interest. Where Qt would keep its
// files (the runtime directory) says nothing about the display.
std::vector<std::string>* openingNotes = nullptr;

void keepOpeningNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) endOnFatal(context, message);
  if (openingNotes == nullptr || message.startsWith("QStandardPaths:")) return;
  openingNotes->push_back(qtMessageText(context, message));
}

// With a window, Qt's messages go to standard error as Qt writes them. The
// display platforms say that the display went away in a warning and then end
// the process with status 1 (Wayland's without running exit handlers), which
// here means offline: the program ends with its failure status itself.
void passQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) endOnFatal(context, message);
  if (message.startsWith("The Wayland connection") || message.startsWith("The X11 connection")) {
    endOnFatal(context, message);
  }
  write(stderr,
        basics::escapeControlCharacters(qFormatLogMessage(type, context, message).toStdString()) +
            "\n");
}

// When the output is the program's text, keep Qt's own notes (a missing
// runtime directory, say) off it, but let real failures through.
void quietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) endOnFatal(context, message);
  if (type == QtCriticalMsg) {
    write(stderr, basics::escapeControlCharacters(message.toStdString()) + "\n");
  }
}

// Whatever ends the program with exit() before main returns (Qt's X11
// platform, when the X server quits) ends it as a failure: its status
// would otherwise say offline or online.
bool mainReturned = false;

void failUnlessMainReturned() {
  if (mainReturned) return;
  std::fflush(nullptr);
  std::_Exit(printed_output::kFailureStatus);
}

std::string displayNames(const char* display, const char* waylandDisplay) {
  std::string names;
  for (const auto& [name, value] :
       {std::pair{"DISPLAY", display}, {"WAYLAND_DISPLAY", waylandDisplay}}) {
    if (value == nullptr || *value == '\0') continue;
    names += (names.empty() ? "" : ", ") + std::string(name) + "=" + value;
  }
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  const command_line::Options options =
      command_line::ParseOptions(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
  std::optional<printed_output::Format> printed;
  switch (options.action) {
    case command_line::Action::kHelp:
      write(stdout, command_line::UsageText());
      return 0;
    case command_line::Action::kVersion:
      write(stdout, command_line::VersionText());
      return 0;
    case command_line::Action::kUsageError:
      write(stderr, command_line::UsageErrorText(options));
      return command_line::kUsageErrorStatus;
    case command_line::Action::kJson:
      printed = printed_output::Format::kJson;
      break;
    case command_line::Action::kText:
      printed = printed_output::Format::kText;
      break;
    case command_line::Action::kRun:
      break;
  }

  std::atexit(failUnlessMainReturned);

  // --text and --json print whether or not there is a display, and never open a window.
  const char* display = std::getenv("DISPLAY");
  const char* waylandDisplay = std::getenv("WAYLAND_DISPLAY");
  const bool wantWindow = !printed && toolkit::hasDisplay(display, waylandDisplay);
  const std::string platforms =
      wantWindow
          ? toolkit::qt::qtPlatformsFor(display, waylandDisplay, std::getenv("QT_QPA_PLATFORM"))
          : toolkit::qt::kFallbackPlatform;
  setenv("QT_QPA_PLATFORM", platforms.c_str(), 1);
  std::vector<std::string> notes;
  openingNotes = &notes;
  qInstallMessageHandler(keepOpeningNotes);
  QApplication qtApplication(argc, argv);
  openingNotes = nullptr;
  // Desktops match the running program to its menu entry and icon by this name.
  QGuiApplication::setDesktopFileName("tarnwick");

  const bool window = QGuiApplication::platformName() != toolkit::qt::kFallbackPlatform;
  if (wantWindow && !window && !platforms.starts_with(toolkit::qt::kFallbackPlatform)) {
    std::string why;
    for (const std::string& note : notes) why += (why.empty() ? ": " : "; ") + note;
    write(stderr,
          basics::escapeControlCharacters("tarnwick: cannot open a window on the display (" +
                                          displayNames(display, waylandDisplay) + ")" + why) +
              "\ntarnwick: printing the results as text instead\n");
  }
  if (!window && !printed) printed = printed_output::Format::kText;
  qInstallMessageHandler(window ? passQtMessages : quietQtMessages);

  toolkit::qt::QtBackend backend(!window, main_window::WindowResources());
  // The services outlive the program, which waits for its background work.
  // Both reports, and the gathering's LAN lookup, share one view of the
  // network while it does not change.
  const auto snapshots = std::make_shared<platform::linuxos::NetworkSnapshots>();
  platform::linuxos::LinuxManagementLocator management(snapshots);
  platform::linuxos::LinuxAdapterTable adapterTable(snapshots);
  platform::linuxos::HttpInternetTransfer internet;
  platform::linuxos::LinuxShell shell;
  main_window::Program program(backend, {management, adapterTable, internet, shell},
                               main_window::BuiltInMakerInfo());
  if (printed) {
    printed_output::PrintWhenGathered(
        program, *printed, [](const std::string& text) { write(stdout, text); },
        [&backend](int status) { backend.quit(status); });
  }

  program.start();
  const int status = backend.exec();
  program.stop();
  mainReturned = true;
  return status;
}
