// Both adapter reports written from the real Linux services inside a private
// network namespace, checked line by line against what iproute2 shows of it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <map>

#include "platform/linux/linux_adapter_table.h"
#include "platform/linux/linux_management.h"
#include "reports/get_adapter_inventory.h"
#include "reports/get_adapts_info.h"
#include "reports/show_adapter_inventory.h"
#include "reports/show_adapter_list.h"
#include "tests/fakes/fake_text_box.h"
#include "tests/platform_linux/private_network.h"

namespace reports {
namespace {

using nlohmann::json;

// No automatic link-local addresses, so nothing changes between two snapshots.
const char* const kStaging[] = {
    "ip link set lo up",
    "ip link add veth0 type veth peer name veth1",
    "ip link add br0 type bridge",
    "ip tuntap add tun0 mode tun",
    "for l in veth0 veth1 br0 tun0; do ip link set $l addrgenmode none || exit 1; done",
    "for l in veth0 veth1 tun0; do ip link set $l up || exit 1; done",
    "ip addr add 192.0.2.10/24 dev veth0",
    "ip addr add 2001:db8:1::10/64 dev veth0 nodad",
    "ip addr add 198.51.100.20/24 dev veth1",
    "ip addr add 203.0.113.5/24 dev tun0",
    "ip route add default via 192.0.2.1 dev veth0",
    "ip -6 route add default via 2001:db8:1::1 dev veth0",
};

// One link as iproute2 shows it.
struct Link {
  std::int32_t index = 0;
  std::string name, mac;
  bool up = false;
  std::vector<std::string> ipv4, ipv6, masks, gateways4, gateways6;
};

json ipJson(const std::string& arguments) {
  const auto result = platform_linux_test::run("ip -j " + arguments);
  EXPECT_EQ(result.status, 0) << arguments;
  return json::parse(result.output.empty() ? "[]" : result.output);
}

std::string dotted(int prefix) {
  const std::uint32_t mask = prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - prefix);
  return std::to_string(mask >> 24) + "." + std::to_string(mask >> 16 & 255) + "." +
         std::to_string(mask >> 8 & 255) + "." + std::to_string(mask & 255);
}

std::vector<Link> linksFromIproute() {
  std::vector<Link> links;
  for (const json& l : ipJson("link show")) {
    Link link;
    link.index = l.value("ifindex", 0);
    link.name = l.value("ifname", "");
    std::string mac = l.value("address", "");
    for (char& c : mac) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    link.mac = mac.find_first_not_of("0:") == std::string::npos ? "" : mac;
    const auto flags = l.value("flags", std::vector<std::string>());
    link.up = std::find(flags.begin(), flags.end(), "UP") != flags.end();
    links.push_back(link);
  }
  std::map<std::string, Link*> byName;
  for (Link& link : links) byName[link.name] = &link;
  for (const json& l : ipJson("addr show")) {
    Link* link = byName.at(l.value("ifname", ""));
    for (const char* family : {"inet", "inet6"}) {
      for (const json& a : l.value("addr_info", json::array())) {
        if (a.value("family", "") != family) continue;
        const int prefix = a.value("prefixlen", 0);
        const bool v4 = std::string(family) == "inet";
        (v4 ? link->ipv4 : link->ipv6).push_back(a.value("local", ""));
        link->masks.push_back(v4 ? dotted(prefix) : std::to_string(prefix));
      }
    }
  }
  for (const char* family : {"-4", "-6"}) {
    for (const json& r : ipJson(std::string(family) + " route show default")) {
      if (!r.contains("gateway")) continue;
      Link* link = byName.at(r.value("dev", ""));
      (std::string(family) == "-4" ? link->gateways4 : link->gateways6)
          .push_back(r.at("gateway").get<std::string>());
    }
  }
  std::sort(links.begin(), links.end(), [](auto& a, auto& b) { return a.index < b.index; });
  return links;
}

std::string joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

// The text of block `title` up to the next blank line.
std::string blockOf(const std::string& text, const std::string& title) {
  const std::size_t start = text.find(title);
  if (start == std::string::npos) return {};
  return text.substr(start, text.find("\r\n\r\n", start) - start + 2);
}

void inventoryMatches(const std::vector<Link>& links) {
  platform::linuxos::LinuxManagementLocator locator;
  std::vector<AdapterInventoryRecord> adapters;
  std::vector<std::string> messages;
  const std::int32_t count = GetAdapterInventory(
      locator, adapters, [&](const basics::Error&, const std::string& m) { messages.push_back(m); },
      NumberStyle{});
  EXPECT_TRUE(messages.empty()) << messages.front();
  ASSERT_EQ(count, static_cast<std::int32_t>(links.size()));

  fakes::FakeTextBox box;
  ShowAdapterInventory(box, adapters, count);
  const std::string text = box.text();
  EXPECT_EQ(text.substr(0, text.find("\r\n")), std::to_string(links.size()) + " adapter(s) found.");
  for (std::size_t k = 0; k < links.size(); ++k) {
    const Link& l = links[k];
    const std::string block = blockOf(text, "--- Adapter " + std::to_string(k + 1) + " ---\r\n");
    std::vector<std::string> lines = {"\tName (Adapter) = " + l.name,
                                      "\tAdapter Index = " + std::to_string(l.index),
                                      "\tMAC Address = " + (l.mac.empty() ? "N/A" : l.mac)};
    if (!l.up) {
      for (const char* label : {"IP Address", "Subnet Mask", "Gateway IP", "DNS Servers"}) {
        lines.push_back("\t" + std::string(label) + " = N/A (No IP Configuration)");
      }
    } else {
      std::vector<std::string> addresses = l.ipv4;
      addresses.insert(addresses.end(), l.ipv6.begin(), l.ipv6.end());
      std::vector<std::string> gateways = l.gateways4;
      gateways.insert(gateways.end(), l.gateways6.begin(), l.gateways6.end());
      lines.push_back("\tIP Address = " + (addresses.empty() ? "N/A" : addresses.front()));
      lines.push_back("\tSubnet Mask = " + (l.masks.empty() ? "N/A" : joined(l.masks)));
      lines.push_back("\tGateway IP = " + (gateways.empty() ? "N/A" : gateways.front()));
    }
    lines.push_back("\tDHCP Enabled = False");
    for (const std::string& line : lines) {
      EXPECT_NE(block.find(line + "\r\n"), std::string::npos) << line << "\nin\n" << block;
    }
  }
}

void adapterListMatches(const std::vector<Link>& links) {
  platform::linuxos::LinuxAdapterTable table;
  std::vector<AdapterEntry> list;
  const std::int32_t count = GetAdapterList(table, list);
  std::vector<Link> listed;
  std::copy_if(links.begin(), links.end(), std::back_inserter(listed),
               [](const Link& l) { return l.name != "lo"; });
  ASSERT_EQ(count, static_cast<std::int32_t>(listed.size()));

  fakes::FakeTextBox box;
  ShowAdapterList(box, list, count);
  const std::string text = box.text();
  EXPECT_EQ(text.substr(0, text.find("\r\n")), std::to_string(count) + " adapter(s) found.");
  for (std::size_t k = 0; k < listed.size(); ++k) {
    const Link& l = listed[k];
    const std::string block = blockOf(text, "Adapter " + std::to_string(k) + "\r\n");
    EXPECT_FALSE(list[k].Description.empty()) << l.name;
    const std::string expected =
        "Adapter " + std::to_string(k) + "\r\n\tDescription = " + list[k].Description +
        "\r\n\tAdapterIndex = " + std::to_string(l.index) + "\r\n\tName = " + l.name +
        "\r\n\tIP = " + (l.ipv4.empty() ? "0.0.0.0" : l.ipv4.front()) +
        "\r\n\tGatewayIP = " + (l.gateways4.empty() ? "0.0.0.0" : l.gateways4.front()) + "\r\n";
    EXPECT_EQ(block, expected);
  }
}

TEST(ReportsInPrivateNetwork, BothReportsShowTheStagedAdapters) {
  if (const std::string why = platform_linux_test::privateNetworkUnavailable(); !why.empty()) {
    GTEST_SKIP() << why;
  }
  platform_linux_test::runInPrivateNetwork([] {
    for (const char* line : kStaging) platform_linux_test::stage(line);
    const std::vector<Link> links = linksFromIproute();
    ASSERT_EQ(links.size(), 5u);  // lo, veth0, veth1, br0, tun0
    inventoryMatches(links);
    adapterListMatches(links);
  });
}

}  // namespace
}  // namespace reports
