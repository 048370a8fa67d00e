#include "toolkit/resources.h"

#include "basics/text.h"

namespace toolkit {

const FontStandIn* findFontStandIn(std::span<const FontStandIn> standIns, std::string_view face) {
  for (const auto& entry : standIns) {
    if (basics::equalIgnoringCase(entry.face, face)) return &entry;
  }
  return nullptr;
}

}  // namespace toolkit
