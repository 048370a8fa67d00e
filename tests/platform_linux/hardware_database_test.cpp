// The hardware database lookup on recorded modaliases, through libudev, with
// a database compiled by the test and mounted where libudev looks first, in
// a mount namespace of the test's own.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/linux/hardware_database.h"
#include "platform/linux/linux_management.h"
#include "platform/linux/sysfs_devices.h"
#include "tests/platform_linux/hwdb_writer.h"
#include "tests/platform_linux/object_reading.h"
#include "tests/platform_linux/private_network.h"

namespace platform_linux_test {
namespace {

using platform::linuxos::HardwareDatabase;

std::string readData(const std::string& name) {
  std::ifstream file(std::string(TARNWICK_TEST_DATA) + "/" + name);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// Every place libudev looks for a database, hidden under an empty tmpfs; the
// first then gets `database` unless it is empty.
bool installDatabase(const std::string& database) {
  for (const char* directory :
       {"/etc/systemd", "/etc/udev", "/usr/lib/systemd", "/lib/systemd", "/lib/udev"}) {
    struct stat info {};
    if (stat(directory, &info) != 0 || !S_ISDIR(info.st_mode)) continue;
    if (mount("tmpfs", directory, "tmpfs", 0, "size=16m") != 0) return false;
  }
  if (database.empty()) return true;
  struct stat info {};
  if (stat("/etc/systemd", &info) != 0 && mkdir("/etc/systemd", 0755) != 0) return false;
  if (mkdir("/etc/systemd/hwdb", 0755) != 0) return false;
  std::ofstream file("/etc/systemd/hwdb/hwdb.bin", std::ios::binary);
  file << database;
  return static_cast<bool>(file);
}

struct Recorded {
  std::string modalias, vendor, model;
};

std::vector<Recorded> recordedModaliases() {
  std::vector<Recorded> records;
  std::istringstream lines(readData("recorded-modaliases.txt"));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line.front() == '#') continue;
    const auto first = line.find('|'), second = line.find('|', first + 1);
    records.push_back({line.substr(0, first), line.substr(first + 1, second - first - 1),
                       line.substr(second + 1)});
  }
  return records;
}

class HardwareDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to mount a test database";
  }
  static std::string database() {
    return compileHwdb(parseHwdbSource(readData("vendor-model.hwdb")));
  }
};

TEST_F(HardwareDatabaseTest, RecordedModaliasesGetTheirNames) {
  const auto records = recordedModaliases();
  ASSERT_GE(records.size(), 5u);
  runInPrivateMounts([&] {
    ASSERT_TRUE(installDatabase(database()));
    HardwareDatabase names;
    ASSERT_TRUE(names.available());
    for (const Recorded& record : records) {
      SCOPED_TRACE(record.modalias);
      const auto found = names.lookup(record.modalias);
      EXPECT_EQ(found.vendor, record.vendor);
      EXPECT_EQ(found.model, record.model);
    }
    EXPECT_EQ(names.lookup("").vendor, "");
    EXPECT_EQ(names.lookup("pci:").model, "");
  });
}

TEST_F(HardwareDatabaseTest, NoDatabaseGivesNoNames) {
  runInPrivateMounts([&] {
    ASSERT_TRUE(installDatabase(""));
    HardwareDatabase names;
    EXPECT_FALSE(names.available());
    const auto found = names.lookup(recordedModaliases().front().modalias);
    EXPECT_EQ(found.vendor, "");
    EXPECT_EQ(found.model, "");
  });
}

// The machine's own physical adapters, if it has any, described from the
// database: whatever modalias their bus device has gets names of its own.
TEST_F(HardwareDatabaseTest, PhysicalAdaptersAreDescribedFromTheDatabase) {
  const auto before = query(platform::kAdapterQuery, {"Index", "Name", "PhysicalAdapter"});
  std::vector<HwdbEntry> entries;
  std::vector<std::string> physical;
  const platform::linuxos::SysfsDevices sysfs("/sys");
  for (const auto& adapter : before) {
    if (!platform::toFlag(adapter.at("PhysicalAdapter"))) continue;
    const std::string name = platform::toText(adapter.at("Name"));
    char resolved[4096] = {};
    if (realpath(("/sys/class/net/" + name + "/device").c_str(), resolved) == nullptr) continue;
    const auto modalias = sysfs.busModalias(resolved);
    if (!modalias) continue;
    entries.push_back({*modalias,
                       {{"ID_VENDOR_FROM_DATABASE", "Vendor of " + name},
                        {"ID_MODEL_FROM_DATABASE", "Model of " + name}}});
    physical.push_back(name);
  }
  if (physical.empty()) GTEST_SKIP() << "this machine has no adapter on a PCI or USB bus";
  runInPrivateMounts([&] {
    ASSERT_TRUE(installDatabase(compileHwdb(entries)));
    for (const auto& adapter : query(platform::kAdapterQuery, kAdapterNames)) {
      const std::string name = platform::toText(adapter.at("Name"));
      if (std::find(physical.begin(), physical.end(), name) == physical.end()) continue;
      SCOPED_TRACE(name);
      EXPECT_EQ(adapter.at("Description"), platform::Variant("Model of " + name));
      EXPECT_EQ(adapter.at("ProductName"), platform::Variant("Model of " + name));
      EXPECT_EQ(adapter.at("Manufacturer"), platform::Variant("Vendor of " + name));
    }
  });
}

}  // namespace
}  // namespace platform_linux_test
