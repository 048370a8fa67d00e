// Feeds arbitrary bytes to the adapter-list walk as the adapter table's buffer,
// then writes the report of whatever was read. The walk must end, stay inside
// the buffer, and either succeed or raise its invalid-data error; every text
// it yields must be valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/adapter_table.h"
#include "reports/get_adapts_info.h"
#include "reports/show_adapter_list.h"
#include "tests/fakes/fake_text_box.h"

namespace {

// Answers like the system's table, with the fuzz bytes as the table's content.
class BytesTable : public platform::AdapterTable {
 public:
  BytesTable(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint32_t getAdaptersInfo(std::uint8_t* buffer, std::uint32_t* size) override {
    if (size_ == 0) return platform::kNoData;
    if (buffer == nullptr || *size < size_) {
      *size = static_cast<std::uint32_t>(size_);
      return platform::kBufferOverflow;
    }
    std::memcpy(buffer, data_, size_);
    return platform::kSuccess;
  }
  std::int32_t lastError() const override { return 0; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

bool validUtf8(std::string_view s) {
  std::size_t k = 0;
  while (k < s.size()) {
    const auto b = static_cast<unsigned char>(s[k]);
    std::size_t length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
    if (length == 0 || b > 0xF4 || k + length > s.size()) return false;
    for (std::size_t j = 1; j < length; ++j) {
      if ((static_cast<unsigned char>(s[k + j]) & 0xC0) != 0x80) return false;
    }
    k += length;
  }
  return true;
}

void check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return -1;
  BytesTable table(data, size);
  std::vector<reports::AdapterEntry> list;
  std::int32_t count = 0;
  try {
    count = reports::GetAdapterList(table, list);
    check(static_cast<std::size_t>(count) == list.size());
  } catch (const basics::Error& e) {
    check(e.number() == reports::adapter_list_error::kLateSystemError);
    check(e.description() == "GetAdaptersInfo Late Failure: system error 13");
    count = static_cast<std::int32_t>(list.size());
  }
  // Links only move forward by whole records, so the buffer bounds the count.
  check(list.size() <= size / platform::adapter_record::kSize + 1);
  for (const reports::AdapterEntry& entry : list) {
    check(validUtf8(entry.Name) && validUtf8(entry.Description) && validUtf8(entry.IP) &&
          validUtf8(entry.GatewayIP));
    check(entry.Name.find('\0') == std::string::npos);
  }
  fakes::FakeTextBox box;
  reports::ShowAdapterList(box, list, count);
  return 0;
}
