#include "main_window/resources.h"

#include <array>
#include <string_view>

#include "main_window/form1_layout.h"

namespace main_window {
namespace {

constexpr std::array<std::string_view, 2> kFontFiles = {
    ":/fonts/DSEG14Classic-BoldItalic.ttf",
    ":/fonts/DSEG14Classic-Regular.ttf",
};

// DSEG14 Classic (bundled) is about 1.6 times as wide as the narrow display face
// it replaces and a full em tall. At 72 % of the size and 60 % of the width, with a
// quarter em added to each space and a tenth of an em between letters, the longest
// texts ("Your Wan Ip Is:", "Gathering Information...") stay inside their boxes
// and the points of an address stand apart. DejaVu Sans is about 13 % wider than
// Tahoma; 85 % keeps the longest About line within its text box. Where
// fonts-dejavu-extra is installed that width picks the real condensed face.
constexpr std::array<toolkit::FontStandIn, 2> kStandIns = {{
    {"Let's go Digital", "DSEG14 Classic", 0.72, 60, 0.25, 0.10},
    {"Tahoma", "DejaVu Sans", 1.0, 85, 0.0, 0.0},
}};

}  // namespace

toolkit::Resources WindowResources() {
  // The hand's fingertip, where the picture draws it.
  return toolkit::Resources{{kHandPointer, 12, 1}, kFontFiles, kStandIns};
}

}  // namespace main_window
