#include "toolkit/resources.h"

#include "toolkit/text.h"

namespace toolkit {

const FontStandIn* findFontStandIn(std::span<const FontStandIn> standIns, std::string_view face) {
  for (const auto& entry : standIns) {
    if (equalIgnoringCase(entry.face, face)) return &entry;
  }
  return nullptr;
}

}  // namespace toolkit
