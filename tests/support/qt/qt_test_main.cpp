#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Under LeakSanitizer: the fallback-font patterns Qt caches (text outside the
// default face, an astral character say) are never freed at exit.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

// Tests that create windows run on the offscreen platform, like the no-display
// mode, unless TARNWICK_TEST_QT_PLATFORM names another: "wayland" runs them on
// a Wayland compositor's display (tests/wayland/weston_run.sh starts one).
int main(int argc, char** argv) {
  const char* platform = std::getenv("TARNWICK_TEST_QT_PLATFORM");
  setenv("QT_QPA_PLATFORM", platform != nullptr && *platform != '\0' ? platform : "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
