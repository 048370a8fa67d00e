#include "tests/platform_linux/object_reading.h"

#include <gtest/gtest.h>

#include <cstring>

namespace platform_linux_test {
namespace {

namespace record = platform::adapter_record;

std::uint32_t unsignedAt(const std::vector<std::uint8_t>& buffer, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | buffer[at + static_cast<std::size_t>(i)];
  return value;
}

std::string textAt(const std::vector<std::uint8_t>& buffer, std::size_t at, std::size_t width) {
  const char* start = reinterpret_cast<const char*>(buffer.data() + at);
  return std::string(start, strnlen(start, width));
}

}  // namespace

std::vector<Properties> readObjects(const platform::ObjectSet& set,
                                    const std::vector<std::string>& names) {
  std::vector<Properties> objects;
  set.forEach([&](const platform::ManagementObject& object) {
    Properties properties;
    for (const std::string& name : names) properties[name] = object.property(name);
    objects.push_back(std::move(properties));
    return true;
  });
  EXPECT_EQ(set.count(), static_cast<std::int32_t>(objects.size()));
  return objects;
}

std::vector<RecordView> readChain(const std::vector<std::uint8_t>& buffer) {
  std::vector<RecordView> records;
  std::size_t offset = 0;
  while (true) {
    if (offset + record::kSize > buffer.size()) {
      ADD_FAILURE() << "record at " << offset << " leaves the buffer of " << buffer.size();
      break;
    }
    RecordView view;
    view.offset = static_cast<std::uint32_t>(offset);
    view.next = unsignedAt(buffer, offset + record::kNext);
    view.index = static_cast<std::int32_t>(unsignedAt(buffer, offset + record::kIndex));
    view.type = unsignedAt(buffer, offset + record::kType);
    view.dhcp = unsignedAt(buffer, offset + record::kDhcpEnabled);
    view.name = textAt(buffer, offset + record::kAdapterName, record::kAdapterNameWidth);
    view.description = textAt(buffer, offset + record::kDescription, record::kDescriptionWidth);
    view.ipAddress = textAt(buffer, offset + record::kIpAddress, record::kAddressWidth);
    view.ipMask =
        textAt(buffer, offset + record::kIpAddress + record::kAddressWidth, record::kAddressWidth);
    view.gateway = textAt(buffer, offset + record::kGateway, record::kAddressWidth);
    const std::uint32_t length = unsignedAt(buffer, offset + record::kAddressLength);
    for (std::uint32_t i = 0; i < length && i < 8; ++i) {
      view.hardwareAddress.push_back(buffer[offset + record::kAddress + i]);
    }
    records.push_back(view);
    if (view.next == 0) break;
    if (view.next < offset + record::kSize) {
      ADD_FAILURE() << "record at " << offset << " links back to " << view.next;
      break;
    }
    offset = view.next;
  }
  return records;
}

std::vector<std::uint8_t> fetchTable(platform::AdapterTable& table, std::uint32_t* status) {
  std::uint32_t size = 0;
  *status = table.getAdaptersInfo(nullptr, &size);
  if (*status != platform::kBufferOverflow) return {};
  std::vector<std::uint8_t> buffer(size);
  *status = table.getAdaptersInfo(buffer.data(), &size);
  return buffer;
}

std::string joined(const platform::Variant& value) {
  if (platform::isNull(value)) return "(null)";
  if (const auto* items = std::get_if<platform::TextArray>(&value)) {
    std::string out;
    for (const std::string& item : *items) out += (out.empty() ? "" : ", ") + item;
    return "[" + out + "]";
  }
  return platform::toText(value);
}

std::vector<Properties> query(std::string_view text, const std::vector<std::string>& names) {
  const auto locator = platformLocator();
  auto service = locator->bind(platform::kCimv2Moniker);
  auto set = service->execQuery(text);
  return readObjects(*set, names);
}

}  // namespace platform_linux_test
