// Feeds arbitrary bytes to the reading of an HTTP reply (status line, headers,
// interim replies, then the body), as a server would send them. The reading
// must end, stay inside its buffers and keep the body within its limit; and
// since a server's bytes may arrive in any pieces, what it makes of a reply
// must not depend on how the reply was cut up.
//
// Input: one byte of settings (low four bits: how many piece sizes follow, none
// for the reply in one piece; 0x10: the end comes with the last piece instead
// of on a read of its own), the piece sizes less one, then the reply.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/linux/http_reply.h"

namespace {

using platform::linuxos::Head;
using platform::linuxos::Reader;
using platform::linuxos::Step;

constexpr std::size_t kLimit = 4096;

void check(bool condition) {
  if (!condition) __builtin_trap();
}

// Hands out the reply in pieces of the given sizes (taken in turn), then the end.
class PiecesReader final : public Reader {
 public:
  PiecesReader(std::string_view reply, std::vector<std::size_t> sizes, bool endWithLast)
      : rest_(reply), sizes_(std::move(sizes)), endWithLast_(endWithLast) {}

  Step more() override {
    // Past the end there is nothing to wait for: asking again would never end.
    check(!ended);
    if (rest_.empty()) {
      ended = true;
      return Step::Done;
    }
    const std::size_t size = sizes_.empty() ? rest_.size() : sizes_[next_++ % sizes_.size()];
    buffer.append(rest_.substr(0, size));
    rest_.remove_prefix(std::min(size, rest_.size()));
    if (rest_.empty() && endWithLast_) ended = true;
    return Step::Done;
  }

 private:
  std::string_view rest_;
  std::vector<std::size_t> sizes_;
  std::size_t next_ = 0;
  bool endWithLast_;
};

struct Outcome {
  Step head = Step::Failed;
  Head fields;
  Step body = Step::Failed;
  std::string text;
};

Outcome read(Reader& reader) {
  Outcome out;
  out.head = readHead(reader, out.fields);
  if (out.head != Step::Done) return out;
  out.body = readBody(reader, out.fields, kLimit, out.text);
  check(out.text.size() <= kLimit);
  // A 204 or 304 has no body, whatever length its headers name.
  const bool bodyless = out.fields.status == 204 || out.fields.status == 304;
  if (out.body == Step::Done && out.fields.length && !out.fields.chunked && !bodyless) {
    check(out.text.size() == *out.fields.length);
  }
  return out;
}

// Only a body read to its end is used: what a failed reading left is not compared.
bool same(const Outcome& a, const Outcome& b) {
  if (a.head != b.head) return false;
  if (a.head != Step::Done) return true;
  return a.fields.status == b.fields.status && a.fields.length == b.fields.length &&
         a.fields.chunked == b.fields.chunked && a.fields.location == b.fields.location &&
         a.body == b.body && (a.body != Step::Done || a.text == b.text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return -1;
  const std::size_t count = data[0] & 0x0F;
  const bool endWithLast = (data[0] & 0x10) != 0;
  if (size < 1 + count) return -1;
  std::vector<std::size_t> sizes;
  for (std::size_t k = 0; k < count; ++k) sizes.push_back(std::size_t{data[1 + k]} + 1);
  const std::string_view reply(reinterpret_cast<const char*>(data) + 1 + count, size - 1 - count);

  PiecesReader pieces(reply, sizes, endWithLast);
  const Outcome cut = read(pieces);
  PiecesReader whole(reply, {}, false);
  const Outcome all = read(whole);
  check(same(cut, all));
  return 0;
}
