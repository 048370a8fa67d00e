#include "platform/linux/sysfs_devices.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace platform_linux_test {
namespace {

namespace fs = std::filesystem;
using namespace platform::linuxos;

// A sysfs tree in a temporary directory, laid out as recorded from real
// machines: a virtio network device on a PCI function, a USB Ethernet
// adapter's interface below its USB device, a Wi-Fi card, and a veth.
class SysfsTree : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tarnwick-sysfs-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = fs::canonical(pattern).string();
    bus("pci");
    bus("virtio");
    bus("usb");

    const std::string pci = "devices/pci0000:00/0000:00:03.0";
    device(pci, "pci", "pci:v00001AF4d00001041sv00001AF4sd00001041bc02sc00i00", "virtio-pci");
    device(pci + "/virtio2", "virtio", "virtio:d00000001v00001AF4", "virtio_net");
    netdev(pci + "/virtio2", "eth0", 2);
    link("bus/virtio/devices/virtio2", pci + "/virtio2");

    const std::string usb = "devices/pci0000:00/0000:00:14.0/usb2/2-1";
    device("devices/pci0000:00/0000:00:14.0", "pci", "pci:v00008086d0000A36Dsv0bc0Csc03i30",
           "xhci_hcd");
    device(usb, "usb", "", "usb");  // a USB device has no modalias of its own
    device(usb + "/2-1:1.0", "usb", "usb:v0BDAp8153d3000dc00dsc00dp00icFFiscFFip00in00", "r8152");
    netdev(usb + "/2-1:1.0", "enx00e04c680001", 3);
    link("bus/usb/devices/2-1:1.0", usb + "/2-1:1.0");

    const std::string wifi = "devices/pci0000:00/0000:00:1c.0/0000:02:00.0";
    device(wifi, "pci", "pci:v00008086d00002723sv00008086sd00000084bc02sc80i00", "iwlwifi");
    netdev(wifi, "wlan0", 4);
    fs::create_directories(root_ + "/" + wifi + "/net/wlan0/phy80211");
    link("bus/pci/devices/0000:02:00.0", wifi);

    fs::create_directories(root_ + "/devices/virtual/net/veth0");
    file("devices/virtual/net/veth0/ifindex", "5\n");
    link("class/net/veth0", "devices/virtual/net/veth0");
  }
  void TearDown() override { fs::remove_all(root_); }

  void file(const std::string& path, const std::string& text) {
    std::ofstream(root_ + "/" + path) << text;
  }
  void link(const std::string& from, const std::string& to) {
    const fs::path source = root_ + "/" + from;
    fs::create_directories(source.parent_path());
    fs::create_directory_symlink(fs::relative(root_ + "/" + to, source.parent_path()), source);
  }
  void bus(const std::string& name) {
    fs::create_directories(root_ + "/bus/" + name + "/devices");
    fs::create_directories(root_ + "/bus/" + name + "/drivers");
  }
  void device(const std::string& path, const std::string& busName, const std::string& modalias,
              const std::string& driver) {
    fs::create_directories(root_ + "/" + path);
    link(path + "/subsystem", "bus/" + busName);
    if (!modalias.empty()) file(path + "/modalias", modalias + "\n");
    fs::create_directories(root_ + "/bus/" + busName + "/drivers/" + driver);
    link(path + "/driver", "bus/" + busName + "/drivers/" + driver);
  }
  void netdev(const std::string& parent, const std::string& name, int index) {
    const std::string path = parent + "/net/" + name;
    fs::create_directories(root_ + "/" + path);
    file(path + "/ifindex", std::to_string(index) + "\n");
    link(path + "/device", parent);
    link("class/net/" + name, path);
  }

  static LinkFacts linkFacts(int index, std::string name, std::string bus = "",
                             std::string parent = "") {
    LinkFacts facts;
    facts.index = index;
    facts.name = std::move(name);
    facts.parentBus = std::move(bus);
    facts.parentDevice = std::move(parent);
    return facts;
  }

  std::string root_;
};

TEST_F(SysfsTree, BusDevicesFromTheParentsTheKernelNames) {
  const SysfsDevices sysfs(root_);
  struct Case {
    LinkFacts link;
    std::string driver, modalias;
    bool wireless;
  };
  const Case cases[] = {
      {linkFacts(2, "eth0", "virtio", "virtio2"), "virtio_net",
       "pci:v00001AF4d00001041sv00001AF4sd00001041bc02sc00i00", false},
      {linkFacts(3, "enx00e04c680001", "usb", "2-1:1.0"), "r8152",
       "usb:v0BDAp8153d3000dc00dsc00dp00icFFiscFFip00in00", false},
      {linkFacts(4, "wlan0", "pci", "0000:02:00.0"), "iwlwifi",
       "pci:v00008086d00002723sv00008086sd00000084bc02sc80i00", true},
  };
  for (const Case& c : cases) {
    for (bool parentsReported : {true, false}) {
      SCOPED_TRACE(c.link.name + (parentsReported ? " (parent named)" : " (parent named, old)"));
      const DeviceFacts facts = sysfs.read(c.link, parentsReported);
      EXPECT_TRUE(facts.hasBusDevice);
      EXPECT_EQ(facts.driver, c.driver);
      EXPECT_EQ(facts.modalias, c.modalias);
      EXPECT_EQ(facts.wireless, c.wireless);
    }
    // A kernel that names no parents: the class directory is asked.
    LinkFacts unnamed = c.link;
    unnamed.parentBus.clear();
    unnamed.parentDevice.clear();
    const DeviceFacts facts = sysfs.read(unnamed, false);
    EXPECT_TRUE(facts.hasBusDevice) << c.link.name;
    EXPECT_EQ(facts.driver, c.driver) << c.link.name;
    EXPECT_EQ(facts.modalias, c.modalias) << c.link.name;
  }
}

TEST_F(SysfsTree, NoBusDeviceWhereThereIsNone) {
  const SysfsDevices sysfs(root_);
  // A kernel that names parents named none: sysfs is not even asked.
  EXPECT_FALSE(sysfs.read(linkFacts(2, "eth0"), true).hasBusDevice);
  struct Case {
    const char* what;
    LinkFacts link;
  };
  const Case cases[] = {
      {"a virtual link", linkFacts(5, "veth0")},
      // sysfs mounted for another namespace shows another eth0.
      {"another namespace's link of that name", linkFacts(9, "eth0")},
      {"a vanished link", linkFacts(6, "gone0")},
      {"a name that climbs out", linkFacts(2, "..")},
      {"a name with a slash", linkFacts(2, "virtio2/../eth0")},
      {"a parent that climbs out", linkFacts(2, "eth0", "..", "..")},
      {"a parent on no known bus", linkFacts(2, "eth0", "pci", "0000:09:00.0")},
  };
  for (const Case& c : cases) {
    const DeviceFacts facts = sysfs.read(c.link, false);
    EXPECT_EQ(facts.driver, "") << c.what;
    EXPECT_EQ(facts.modalias, "") << c.what;
    if (c.link.parentDevice.empty()) {
      EXPECT_FALSE(facts.hasBusDevice) << c.what;
    }
  }
}

TEST_F(SysfsTree, ModaliasWalkStaysInsideTheRoot) {
  const SysfsDevices sysfs(root_);
  EXPECT_EQ(sysfs.busModalias(root_ + "/devices/pci0000:00/0000:00:03.0/virtio2/net/eth0"),
            "pci:v00001AF4d00001041sv00001AF4sd00001041bc02sc00i00");
  EXPECT_EQ(sysfs.busModalias(root_ + "/devices/virtual/net/veth0"), std::nullopt);
  EXPECT_EQ(sysfs.busModalias("/"), std::nullopt);
  EXPECT_EQ(sysfs.busModalias(""), std::nullopt);
  EXPECT_EQ(sysfs.busModalias(root_ + "-elsewhere/devices"), std::nullopt);
}

TEST(SysfsNumbers, ParseAndKernelRelease) {
  EXPECT_EQ(parseSysfsNumber("1000\n"), 1000);
  EXPECT_EQ(parseSysfsNumber("-1\n"), -1);
  EXPECT_EQ(parseSysfsNumber(""), std::nullopt);
  EXPECT_EQ(parseSysfsNumber("12abc"), std::nullopt);
  const std::pair<const char*, bool> releases[] = {
      {"6.1.0-13-amd64", true}, {"5.16.0", true}, {"5.15.0-91-generic", false}, {"4.19.0", false},
      {"10.0", true},           {"", false},      {"garbage", false},           {"6", false},
  };
  for (const auto& [release, expected] : releases) {
    EXPECT_EQ(kernelReportsParents(release), expected) << release;
  }
}

}  // namespace
}  // namespace platform_linux_test
