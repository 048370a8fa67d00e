#include "reports/show_adapter_inventory.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_text_box.h"

namespace reports {
namespace {

AdapterInventoryRecord full(std::int32_t index, const std::string& name) {
  AdapterInventoryRecord r;
  r.Description = "Desc " + name;
  r.Index = index;
  r.Name = name;
  r.IPAddress = "192.0.2.5";
  r.Gateway = "192.0.2.1";
  r.MACAddress = "02:00:00:00:00:05";
  r.DHCPEnabled = kTrue;
  r.DNSHostName = "host";
  r.DNSServers = "192.0.2.53, 198.51.100.53";
  r.SubnetMask = "255.255.255.0, 64";
  r.Manufacturer = "Maker";
  r.ProductName = "Product";
  r.Speed = "1,000.00 Mbps";
  r.ConnectionStatus = "Connected";
  r.ServiceEnabled = kTrue;
  r.PhysicalAdapter = kFalse;
  r.AdapterType = "Ethernet 802.3";
  return r;
}

// An adapter with the fallbacks: empty description, negative index, no IP configuration.
AdapterInventoryRecord bare() {
  AdapterInventoryRecord r;
  r.Index = -3;
  r.Name = "tun0";
  for (std::string* text :
       {&r.IPAddress, &r.Gateway, &r.DNSHostName, &r.DNSServers, &r.SubnetMask}) {
    *text = "N/A (No IP Configuration)";
  }
  r.MACAddress = r.Manufacturer = r.ProductName = r.Speed = r.ConnectionStatus = "N/A";
  r.AdapterType = "Unknown";
  r.PhysicalAdapter = kTrue;
  return r;
}

const char* const kFullBlock1 =
    "--- Adapter 1 ---\r\n"
    "\tDescription = Desc eth0\r\n"
    "\tName (Adapter) = eth0\r\n"
    "\tAdapter Index = 7\r\n"
    "\tPhysical Adapter = False\r\n"
    "\tAdapter Type = Ethernet 802.3\r\n"
    "\tMAC Address = 02:00:00:00:00:05\r\n"
    "\tManufacturer = Maker\r\n"
    "\tProduct Name = Product\r\n"
    "\tSpeed = 1,000.00 Mbps\r\n"
    "\tService Enabled = True\r\n"
    "\tConnection Status = Connected\r\n"
    "\tIP Address = 192.0.2.5\r\n"
    "\tSubnet Mask = 255.255.255.0, 64\r\n"
    "\tGateway IP = 192.0.2.1\r\n"
    "\tDHCP Enabled = True\r\n"
    "\tDNS Host Name = host\r\n"
    "\tDNS Servers = 192.0.2.53, 198.51.100.53\r\n"
    "\r\n";

const char* const kBareBlock2 =
    "--- Adapter 2 ---\r\n"
    "\tDescription = \r\n"
    "\tName (Adapter) = tun0\r\n"
    "\tAdapter Index = -3\r\n"
    "\tPhysical Adapter = True\r\n"
    "\tAdapter Type = Unknown\r\n"
    "\tMAC Address = N/A\r\n"
    "\tManufacturer = N/A\r\n"
    "\tProduct Name = N/A\r\n"
    "\tSpeed = N/A\r\n"
    "\tService Enabled = False\r\n"
    "\tConnection Status = N/A\r\n"
    "\tIP Address = N/A (No IP Configuration)\r\n"
    "\tSubnet Mask = N/A (No IP Configuration)\r\n"
    "\tGateway IP = N/A (No IP Configuration)\r\n"
    "\tDHCP Enabled = False\r\n"
    "\tDNS Host Name = N/A (No IP Configuration)\r\n"
    "\tDNS Servers = N/A (No IP Configuration)\r\n"
    "\r\n";

const char* const kEmptyBlock3 =
    "--- Adapter 3 ---\r\n"
    "\tDescription = \r\n"
    "\tName (Adapter) = \r\n"
    "\tAdapter Index = 0\r\n"
    "\tPhysical Adapter = False\r\n"
    "\tAdapter Type = \r\n"
    "\tMAC Address = \r\n"
    "\tManufacturer = \r\n"
    "\tProduct Name = \r\n"
    "\tSpeed = \r\n"
    "\tService Enabled = False\r\n"
    "\tConnection Status = \r\n"
    "\tIP Address = \r\n"
    "\tSubnet Mask = \r\n"
    "\tGateway IP = \r\n"
    "\tDHCP Enabled = False\r\n"
    "\tDNS Host Name = \r\n"
    "\tDNS Servers = \r\n"
    "\r\n";

TEST(ShowAdapterInventory, GoldenTexts) {
  const std::vector<AdapterInventoryRecord> three = {full(7, "eth0"), bare(), {}};
  struct Case {
    std::vector<AdapterInventoryRecord> adapters;
    std::int32_t count;
    std::string expected;
  };
  const Case cases[] = {
      {{}, 0, "0 adapter(s) found.\r\n\r\n"},
      // A failed inventory keeps records that its count of 0 hides.
      {three, 0, "0 adapter(s) found.\r\n\r\n"},
      {{full(7, "eth0")}, 1, std::string("1 adapter(s) found.\r\n\r\n") + kFullBlock1},
      {three, 3,
       std::string("3 adapter(s) found.\r\n\r\n") + kFullBlock1 + kBareBlock2 + kEmptyBlock3},
  };
  for (const Case& c : cases) {
    fakes::FakeTextBox box;
    box.setText("old text");
    box.select(2, 3);
    ShowAdapterInventory(box, c.adapters, c.count);
    EXPECT_EQ(box.text(), c.expected);
    // Written piece by piece: header, then a title, 17 details and a blank per block.
    EXPECT_EQ(box.pieces.size(), 1u + 19u * static_cast<std::size_t>(c.count));
    EXPECT_EQ(box.caret(), static_cast<int>(c.expected.size()));
  }
}

TEST(ShowAdapterInventory, CountBeyondTheRecordsIsASubscriptError) {
  fakes::FakeTextBox box;
  try {
    ShowAdapterInventory(box, {full(1, "a")}, 2);
    FAIL() << "no error";
  } catch (const basics::Error& e) {
    EXPECT_EQ(e.number(), 9);
    EXPECT_EQ(e.description(), "Subscript out of range");
  }
  EXPECT_EQ(box.pieces.size(), 20u);  // the first block was written
}

}  // namespace
}  // namespace reports
