#include "reports/show_adapter_inventory.h"

#include <string>
#include <string_view>

#include "basics/error.h"
#include "basics/error_source.h"

namespace reports {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string_view word(std::int16_t flag) {
  return flag != kFalse ? "True" : "False";
}

void detail(toolkit::TextBox& txtOut, std::string& piece, std::string_view label,
            std::string_view value) {
  piece.assign("\t").append(label).append(value).append(kLineEnd);
  txtOut.insertAtCaret(piece);
}

}  // namespace

void ShowAdapterInventory(toolkit::TextBox& txtOut,
                          const std::vector<AdapterInventoryRecord>& Adapters,
                          std::int32_t AdapterCount) {
  txtOut.setText("");
  txtOut.insertAtCaret(std::to_string(AdapterCount) + " adapter(s) found.\r\n\r\n");
  std::string piece;
  for (std::int32_t i = 0; i < AdapterCount; ++i) {
    if (static_cast<std::size_t>(i) >= Adapters.size()) {
      throw basics::Error(9, basics::kErrorSource, "Subscript out of range");
    }
    const AdapterInventoryRecord& a = Adapters[static_cast<std::size_t>(i)];
    txtOut.insertAtCaret("--- Adapter " + std::to_string(static_cast<std::int64_t>(i) + 1) +
                         " ---\r\n");
    detail(txtOut, piece, "Description = ", a.Description);
    detail(txtOut, piece, "Name (Adapter) = ", a.Name);
    detail(txtOut, piece, "Adapter Index = ", std::to_string(a.Index));
    detail(txtOut, piece, "Physical Adapter = ", word(a.PhysicalAdapter));
    detail(txtOut, piece, "Adapter Type = ", a.AdapterType);
    detail(txtOut, piece, "MAC Address = ", a.MACAddress);
    detail(txtOut, piece, "Manufacturer = ", a.Manufacturer);
    detail(txtOut, piece, "Product Name = ", a.ProductName);
    detail(txtOut, piece, "Speed = ", a.Speed);
    detail(txtOut, piece, "Service Enabled = ", word(a.ServiceEnabled));
    detail(txtOut, piece, "Connection Status = ", a.ConnectionStatus);
    detail(txtOut, piece, "IP Address = ", a.IPAddress);
    detail(txtOut, piece, "Subnet Mask = ", a.SubnetMask);
    detail(txtOut, piece, "Gateway IP = ", a.Gateway);
    detail(txtOut, piece, "DHCP Enabled = ", word(a.DHCPEnabled));
    detail(txtOut, piece, "DNS Host Name = ", a.DNSHostName);
    detail(txtOut, piece, "DNS Servers = ", a.DNSServers);
    txtOut.insertAtCaret(std::string(kLineEnd));
  }
}

}  // namespace reports
