#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Tests that create windows run on the offscreen platform, like the no-display mode.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
