#include "reports/show_adapter_list.h"

#include <string>

#include "basics/error.h"
#include "basics/error_source.h"

namespace reports {
namespace {

const AdapterEntry& entryAt(const std::vector<AdapterEntry>& adapters, std::int64_t i) {
  if (i < 0 || static_cast<std::uint64_t>(i) >= adapters.size()) {
    throw basics::Error(9, basics::kErrorSource, "Subscript out of range");
  }
  return adapters[static_cast<std::size_t>(i)];
}

}  // namespace

void ShowAdapterList(toolkit::TextBox& txtOut, const std::vector<AdapterEntry>& Adapters,
                     std::int32_t AdapterCount) {
  txtOut.insertAtCaret(std::to_string(AdapterCount) + " adapter(s) found.\r\n\r\n");
  // Wide enough that a count of the smallest 32-bit value has a last index too.
  const std::int64_t last = static_cast<std::int64_t>(AdapterCount) - 1;
  std::string piece;
  for (std::int64_t i = 0; i <= last; ++i) {
    piece.assign("Adapter ").append(std::to_string(i)).append("\r\n");
    txtOut.insertAtCaret(piece);
    piece.assign("\tDescription = ").append(entryAt(Adapters, i).Description).append("\r\n");
    txtOut.insertAtCaret(piece);
    piece.assign("\tAdapterIndex = ")
        .append(std::to_string(entryAt(Adapters, i).AdapterIndex))
        .append("\r\n");
    txtOut.insertAtCaret(piece);
    piece.assign("\tName = ").append(entryAt(Adapters, i).Name).append("\r\n");
    txtOut.insertAtCaret(piece);
    piece.assign("\tIP = ").append(entryAt(Adapters, i).IP).append("\r\n");
    txtOut.insertAtCaret(piece);
    piece.assign("\tGatewayIP = ").append(entryAt(Adapters, i).GatewayIP).append("\r\n");
    txtOut.insertAtCaret(piece);
    txtOut.insertAtCaret("\r\n");
  }
}

}  // namespace reports
