#pragma once

#include <string>

#include "printed_output/program_reading.h"

namespace printed_output {

// The reading as one JSON document (UTF-8, ending in a line feed):
//   title, wan, lan, localhost, status (texts), online (boolean),
//   lights: [{colour, pressed, caption}] green, yellow, red,
//   adapter_info, additional_adapter_info: {caption, count, adapters, error?}
// where adapters holds one object per adapter block of the report, its keys
// the report's labels and its values the report's texts; count is the number
// the report's first line gives (null when the window did not load), and error
// ({number, text}) is there when an error box was raised while it loaded.
// Control characters (C0, DEL, C1) are written as \u escapes and invalid UTF-8
// as U+FFFD, so the document is valid JSON and safe on a terminal.
std::string JsonDocument(const ProgramReading& reading);

}  // namespace printed_output
