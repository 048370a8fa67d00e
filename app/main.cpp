// Tarnwick: which addresses this machine has, and whether it is online.
//
// With a display the main window opens and the program runs until the user
// closes it. Without one (neither DISPLAY nor WAYLAND_DISPLAY set) the same
// windows run on Qt's offscreen platform, the program prints what they show,
// and exits: 0, or 1 when any error box was raised.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "main_window/program.h"
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

void print(const std::string& text) {
  const std::string safe = toolkit::escapeControlCharacters(text);
  std::fwrite(safe.data(), 1, safe.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const bool display = toolkit::hasDisplay(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
  const std::string platform = toolkit::qt::qtPlatformFor(
      std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv("QT_QPA_PLATFORM"));
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
    main_window::Form1& main = program.mainWindow();
    main.onGatheringComplete = [&] {
      print(main_window::MainWindowSummary(main));
      // Open the two report windows as the "1" and "2" buttons do.
      main.dispatchClick("Ainfo1", -1);
      if (program.adapterInfo().isLoaded())
        print(main_window::ReportWindowSummary(program.adapterInfo()));
      main.dispatchClick("Ainfo2", -1);
      if (program.additionalAdapterInfo().isLoaded()) {
        print(main_window::ReportWindowSummary(program.additionalAdapterInfo()));
      }
      backend.quit(program.application().messageBoxCount() > 0 ? 1 : 0);
    };
  }

  program.start();
  const int status = backend.exec();
  program.stop();
  return status;
}
