#include "main_window/maker_info.h"

#include "main_window/maker_config.h"

namespace main_window {

MakerInfo BuiltInMakerInfo() {
  return MakerInfo{kMakerWebAddress, kMakerEmail, kAuthor};
}

}  // namespace main_window
