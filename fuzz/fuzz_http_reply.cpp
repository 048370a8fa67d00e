// Feeds arbitrary bytes to the reading of an HTTP reply (status line, headers,
// interim replies, then the body), as a server would send them. The reading
// must end, stay inside its buffers and keep the body within its limit; and
// since a server's bytes may arrive in any pieces, what it makes of a reply
// must not depend on how the reply was cut up.
//
// A connection also has a clock and a stop: the byte source can report that
// the request's time ran out, or that it was stopped, on a read of its
// choosing. The reading must then end at once with that outcome, reading
// nothing more; until then it must read as if nothing had happened.
//
// Input: one byte of settings (low four bits: how many piece sizes follow, none
// for the reply in one piece; 0x10: the end comes with the last piece instead
// of on a read of its own; 0x20: a byte follows naming the read on which the
// deadline has passed; 0x40: likewise for a stop request), the piece sizes
// less one, the read numbers, then the reply.
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

// Reads are counted from 1; 0 is never.
struct Interruptions {
  std::size_t deadlineRead = 0;
  std::size_t stopRead = 0;
};

// Hands out the reply in pieces of the given sizes (taken in turn), then the
// end; or, on the read it is told, a time-out or a stop instead.
class PiecesReader final : public Reader {
 public:
  PiecesReader(std::string_view reply, std::vector<std::size_t> sizes, bool endWithLast,
               Interruptions interruptions = {})
      : rest_(reply),
        sizes_(std::move(sizes)),
        endWithLast_(endWithLast),
        interruptions_(interruptions) {}

  // What the last read reported instead of bytes; Done when none did.
  Step interrupted = Step::Done;

  Step more() override {
    // A reading that was told to end must not ask again.
    check(interrupted == Step::Done);
    ++reads_;
    if (reads_ == interruptions_.stopRead) return interrupted = Step::Cancelled;
    if (interruptions_.deadlineRead != 0 && reads_ >= interruptions_.deadlineRead) {
      return interrupted = Step::TimedOut;
    }
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
  Interruptions interruptions_;
  std::size_t reads_ = 0;
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
         a.fields.chunked == b.fields.chunked && a.fields.keepAlive == b.fields.keepAlive &&
         a.fields.location == b.fields.location && a.body == b.body &&
         (a.body != Step::Done || a.text == b.text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return -1;
  const std::size_t count = data[0] & 0x0F;
  const bool endWithLast = (data[0] & 0x10) != 0;
  const bool timed = (data[0] & 0x20) != 0;
  const bool stopped = (data[0] & 0x40) != 0;
  const std::size_t settings = 1 + count + (timed ? 1 : 0) + (stopped ? 1 : 0);
  if (size < settings) return -1;
  std::vector<std::size_t> sizes;
  for (std::size_t k = 0; k < count; ++k) sizes.push_back(std::size_t{data[1 + k]} + 1);
  Interruptions interruptions;
  std::size_t at = 1 + count;
  if (timed) interruptions.deadlineRead = std::size_t{data[at++]} + 1;
  if (stopped) interruptions.stopRead = std::size_t{data[at++]} + 1;
  const std::string_view reply(reinterpret_cast<const char*>(data) + settings, size - settings);

  PiecesReader pieces(reply, sizes, endWithLast, interruptions);
  const Outcome cut = read(pieces);
  PiecesReader whole(reply, {}, false);
  const Outcome all = read(whole);
  if (pieces.interrupted == Step::Done) {
    check(same(cut, all));
  } else {
    // Told to end, the reading ends with what it was told, whichever part of
    // the reply it was in.
    const Step last = cut.head != Step::Done ? cut.head : cut.body;
    check(last == pieces.interrupted);
  }
  return 0;
}
