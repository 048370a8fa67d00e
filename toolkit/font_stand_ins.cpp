#include "toolkit/font_stand_ins.h"

#include <array>

#include "toolkit/text.h"

namespace toolkit {
namespace {

// DSEG14 Classic (bundled) is about 1.6 times as wide as the narrow display face
// it replaces and a full em tall. At 72 % of the size and 60 % of the width, with a
// quarter em added to each space and a tenth of an em between letters, the longest
// texts ("Your Wan Ip Is:", "Gathering Information...") stay inside their boxes
// and the points of an address stand apart. DejaVu Sans is about 13 % wider than
// Tahoma; 85 % keeps the longest About line within its text box. Where
// fonts-dejavu-extra is installed that width picks the real condensed face.
constexpr std::array<FontStandIn, 2> kStandIns = {{
    {"Let's go Digital", "DSEG14 Classic", 0.72, 60, 0.25, 0.10},
    {"Tahoma", "DejaVu Sans", 1.0, 85, 0.0, 0.0},
}};

}  // namespace

std::span<const FontStandIn> fontStandIns() {
  return kStandIns;
}

const FontStandIn* findFontStandIn(std::string_view face) {
  for (const auto& entry : kStandIns) {
    if (equalIgnoringCase(entry.face, face)) return &entry;
  }
  return nullptr;
}

}  // namespace toolkit
