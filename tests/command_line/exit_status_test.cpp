#include <gtest/gtest.h>

#include "app/command_line/printed_results.h"

namespace command_line {
namespace {

// A script tells a typo or a failed report from a dead network: an error box
// makes the run a failure, online or not, and only then.
TEST(ExitStatus, OneMeaningEachAndAFailureWinsOverWhatWasFound) {
  struct Row {
    const char* status;
    int messageBoxes;
    int expected;
  } rows[] = {
      {"LAN And WAN - Online", 0, 0},
      {"WAN Only - Online", 0, 0},
      {"LAN Only - Offline", 0, 1},
      {"Offline", 0, 1},
      {"", 0, 1},
      {"Offline", 1, 2},
      {"LAN Only - Offline", 2, 2},
      {"LAN And WAN - Online", 1, 2},
  };
  for (const Row& row : rows) {
    main_window::ProgramReading reading;
    reading.status = row.status;
    reading.messageBoxes = row.messageBoxes;
    EXPECT_EQ(ExitStatusOf(reading), row.expected) << row.status << ", " << row.messageBoxes;
  }
}

}  // namespace
}  // namespace command_line
