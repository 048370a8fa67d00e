#include <gtest/gtest.h>

#include "printed_output/printed_results.h"

namespace printed_output {
namespace {

// A script tells a typo or a failed report from a dead network: an error box
// makes the run a failure, online or not, and only then.
TEST(ExitStatus, OneMeaningEachAndAFailureWinsOverWhatWasFound) {
  struct Row {
    bool online;
    int messageBoxes;
    int expected;
  } rows[] = {
      {true, 0, 0}, {false, 0, 1}, {false, 1, 2}, {false, 2, 2}, {true, 1, 2},
  };
  for (const Row& row : rows) {
    ProgramReading reading;
    reading.online = row.online;
    reading.messageBoxes = row.messageBoxes;
    EXPECT_EQ(ExitStatusOf(reading), row.expected) << row.online << ", " << row.messageBoxes;
  }
}

}  // namespace
}  // namespace printed_output
