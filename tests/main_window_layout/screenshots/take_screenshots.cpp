// Draws the main window over scripted services (no network, no real adapters)
// and saves a picture of each page: the gathering phase, the finished first
// page, "Legend" and "About / Help". scripts/screenshots.sh runs it.
//
//   tarnwick_screenshots OUTPUT_DIR
//   tarnwick_screenshots --compare REFERENCE_DIR OUTPUT_DIR
//       also compares each picture with the one of the same name in
//       REFERENCE_DIR (docs/screenshots): the look must not change unseen

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <string>

#include "main_window/app_title.h"
#include "main_window/form1.h"
#include "main_window/form1_layout.h"
#include "main_window/resources.h"
#include "tests/fakes/fake_adapter_table.h"
#include "tests/fakes/fake_internet_transfer.h"
#include "tests/fakes/fake_management_objects.h"
#include "tests/fakes/fake_shell.h"
#include "toolkit/application.h"
#include "toolkit/qt/qt_backend.h"

namespace {

// Runs the event loop until `done` holds, for at most `ms` milliseconds.
bool pumpUntil(int ms, const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (done()) return true;
  }
  return done();
}

QWidget* windowTitled(const QString& title) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->windowTitle() == title && top->isVisible()) return top;
  }
  return nullptr;
}

bool save(QWidget* window, const QDir& dir, const char* name) {
  QCoreApplication::processEvents();
  const QString path = dir.filePath(name);
  if (!window->grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
    return false;
  }
  std::printf("%s\n", path.toLocal8Bit().constData());
  return true;
}

}  // namespace

// The pixels that differ between a picture taken and its reference; -1 when
// they cannot be compared.
long differingPixels(const QString& taken, const QString& reference) {
  const QImage a = QImage(taken).convertToFormat(QImage::Format_RGB32);
  const QImage b = QImage(reference).convertToFormat(QImage::Format_RGB32);
  if (a.isNull() || b.isNull() || a.size() != b.size()) return -1;
  long differing = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) differing += a.pixel(x, y) != b.pixel(x, y);
  }
  return differing;
}

int main(int argc, char** argv) {
  QApplication qtApplication(argc, argv);
  QString reference;
  if (argc == 4 && std::string(argv[1]) == "--compare") {
    reference = QString::fromLocal8Bit(argv[2]);
    argv[1] = argv[3];
    argc = 2;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s [--compare REFERENCE_DIR] OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.exists() && !QDir().mkpath(dir.path())) return 1;

  toolkit::qt::QtBackend backend(false, main_window::WindowResources());
  toolkit::Application app(backend, main_window::kApplicationTitle);

  // A LAN adapter and an echo service that answer with documentation addresses.
  fakes::FakeManagement management;
  management.configurations = {
      fakes::FakeObject{{"SettingID", std::string("{6B29FC40-CA47-1067-B31D-00DD010662DA}")},
                        {"Description", std::string("Intel(R) Ethernet")},
                        {"IpAddress", platform::TextArray({"192.168.0.5"})}}};
  fakes::FakeAdapterTable table;
  fakes::FakeInternetTransfer internet;
  internet.defaultReply = fakes::FakeInternetTransfer::ok("Your address is 203.0.113.7");
  fakes::FakeShell shell;
  main_window::GatheringSettings settings;
  settings.echoServiceUrl = "http://echo.invalid/";
  settings.reachabilityUrl = "http://target.invalid/";

  main_window::Form1 form(app, platform::Services{management, table, internet, shell},
                          main_window::BuiltInMakerInfo(), settings);
  form.show();
  QWidget* window = windowTitled(main_window::kForm1Caption);
  if (!window) return 1;

  auto& bar = form.progressBar("ProgressBar1");
  if (!pumpUntil(10000, [&] { return bar.value() >= 50; })) return 1;
  if (!save(window, dir, "gathering.png")) return 1;
  if (!pumpUntil(10000, [&] { return !bar.visible() && form.control("chkred").visible(); })) {
    return 1;
  }
  if (!save(window, dir, "done.png")) return 1;
  form.tabControl("SSTTab0").setCurrentPage(main_window::kLegendPage);
  if (!save(window, dir, "legend.png")) return 1;
  form.tabControl("SSTTab0").setCurrentPage(main_window::kAboutPage);
  if (!save(window, dir, "about.png")) return 1;
  form.unload();
  if (reference.isEmpty()) return 0;
  int changed = 0;
  for (const char* name : {"gathering.png", "done.png", "legend.png", "about.png"}) {
    const long differing = differingPixels(dir.filePath(name), QDir(reference).filePath(name));
    if (differing != 0) {
      std::fprintf(stderr, "%s: %ld pixels differ from the reference (-1: another size)\n", name,
                   differing);
      ++changed;
    }
  }
  return changed == 0 ? 0 : 1;
}
