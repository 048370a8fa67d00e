// Tarnwick: which addresses this machine has, and whether it is online.
//
// With a display the main window opens and the program runs until the user
// closes it. Without one (neither DISPLAY nor WAYLAND_DISPLAY set) the same
// windows run on Qt's offscreen platform, the program prints what they show,
// and exits: 0, or 1 when any error box was raised.

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "main_window/app_title.h"
#include "main_window/form1.h"
#include "main_window/form1_layout.h"
#include "main_window/resources.h"
#include "main_window/text_summary.h"
#include "platform/linux/curl_internet_transfer.h"
#include "platform/linux/linux_adapter_table.h"
#include "platform/linux/linux_management.h"
#include "platform/linux/linux_shell.h"
#include "reports/report_windows.h"
#include "toolkit/application.h"
#include "toolkit/qt/qt_backend.h"
#include "toolkit/slot.h"
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
  if (!display) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(quietQtMessages);
  }
  QApplication qtApplication(argc, argv);
  // Desktops match the running program to its menu entry and icon by this name.
  QGuiApplication::setDesktopFileName("tarnwick");

  toolkit::qt::QtBackend backend(!display, main_window::WindowResources());
  toolkit::Application app(backend, main_window::kApplicationTitle);

  platform::linuxos::LinuxManagementLocator management;
  platform::linuxos::LinuxAdapterTable adapterTable;
  platform::linuxos::CurlInternetTransfer internet;
  platform::linuxos::LinuxShell shell;
  const platform::Services services{management, adapterTable, internet, shell};

  toolkit::Slot<main_window::Form1> form1([&] {
    return std::make_unique<main_window::Form1>(app, services, main_window::BuiltInMakerInfo());
  });
  toolkit::Slot<reports::Form2> form2([&] {
    return std::make_unique<reports::Form2>(app, form1.get(), management,
                                            main_window::kIconPicture);
  });
  toolkit::Slot<reports::Form3> form3(
      [&] { return std::make_unique<reports::Form3>(app, form1.get(), adapterTable); });

  main_window::Form1& main = form1.get();
  main.adapterInfoWindow = [&]() -> toolkit::Form& { return form2.get(); };
  main.additionalAdapterInfoWindow = [&]() -> toolkit::Form& { return form3.get(); };

  if (!display) {
    main.onGatheringComplete = [&] {
      print(main_window::MainWindowSummary(main));
      // Open the two report windows as the "1" and "2" buttons do.
      main.dispatchClick("Ainfo1", -1);
      if (form2.get().isLoaded()) print(main_window::ReportWindowSummary(form2.get()));
      main.dispatchClick("Ainfo2", -1);
      if (form3.get().isLoaded()) print(main_window::ReportWindowSummary(form3.get()));
      backend.quit(app.messageBoxCount() > 0 ? 1 : 0);
    };
  }

  app.runEvent([&] { main.show(); });
  const int status = backend.exec();
  // Windows go before the services they use.
  if (form3.filled()) form3.get().unload();
  if (form2.filled()) form2.get().unload();
  main.unload();
  return status;
}
