#include "toolkit/qt/qt_backend.h"

#include <QApplication>
#include <QFontDatabase>
#include <QMessageBox>
#include <QMetaObject>
#include <cstdio>

#include "basics/text_output.h"
#include "toolkit/qt/qt_window.h"

namespace toolkit::qt {

QtBackend::QtBackend(bool noDisplay, const Resources& resources)
    : noDisplay_(noDisplay), resources_(resources) {
  // Faces the program ships (stand-ins for faces that may not be installed).
  for (std::string_view file : resources_.fontFiles) {
    QFontDatabase::addApplicationFont(
        QString::fromUtf8(file.data(), static_cast<int>(file.size())));
  }
}

QtBackend::~QtBackend() = default;

std::unique_ptr<NativeWindow> QtBackend::createWindow(const WindowLayout& layout, Form& form) {
  return std::make_unique<QtWindow>(layout, form, resources_);
}

void QtBackend::post(std::function<void()> task) {
  QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
}

void QtBackend::messageBox(const std::string& title, const std::string& text) {
  if (noDisplay_) {
    // Box texts join their lines with "\r\n"; a terminal wants plain line feeds.
    const std::string out = basics::printableMessageBox(title, text);
    std::fputs(out.c_str(), stderr);
    std::fflush(stderr);
    return;
  }
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(title),
                  QString::fromStdString(text), QMessageBox::Ok);
  box.exec();
}

int QtBackend::exec() {
  return QApplication::exec();
}

void QtBackend::quit(int exitCode) {
  QApplication::exit(exitCode);
}

}  // namespace toolkit::qt
