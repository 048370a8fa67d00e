#include <gtest/gtest.h>

// Tests that create windows draw on the display Wine was given (Xvfb in CI).
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
