#include "toolkit/qt/qt_backend.h"

namespace toolkit::qt {
QtBackend::QtBackend(bool noDisplay) : noDisplay_(noDisplay) {}
QtBackend::~QtBackend() = default;
std::unique_ptr<NativeWindow> QtBackend::createWindow(const WindowSpec&, Form&) { return nullptr; }
void QtBackend::post(std::function<void()>) {}
void QtBackend::messageBox(const std::string&, const std::string&) {}
int QtBackend::exec() { return 0; }
void QtBackend::quit(int) {}
}  // namespace toolkit::qt
