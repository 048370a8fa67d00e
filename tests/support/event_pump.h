#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace tests_support {

// Runs the Qt event loop for at most `ms` milliseconds, or until `done` holds.
inline void pump(int ms, const std::function<bool()>& done = {}) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (done && done()) return;
  }
}

}  // namespace tests_support
