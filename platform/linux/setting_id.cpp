#include "platform/linux/setting_id.h"

#include <algorithm>
#include <bit>

#include "platform/linux/adapter_properties.h"

namespace platform::linuxos {
namespace {

// The namespace all of the program's link identities are derived in.
constexpr std::array<std::uint8_t, 16> kNamespace = {
    0x6f, 0x1b, 0x8e, 0x2c, 0x3a, 0x4d, 0x4e, 0x59, 0x9b, 0x7a, 0x2c, 0x1d, 0x5e, 0x8f, 0x0a, 0x13};

void compress(std::array<std::uint32_t, 5>& h, const std::uint8_t* block) {
  std::array<std::uint32_t, 80> w{};
  for (int i = 0; i < 16; ++i) {
    w[i] = static_cast<std::uint32_t>(block[4 * i]) << 24 |
           static_cast<std::uint32_t>(block[4 * i + 1]) << 16 |
           static_cast<std::uint32_t>(block[4 * i + 2]) << 8 | block[4 * i + 3];
  }
  for (int i = 16; i < 80; ++i) w[i] = std::rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
  std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
  for (int i = 0; i < 80; ++i) {
    std::uint32_t f = 0, k = 0;
    if (i < 20) {
      f = (b & c) | (~b & d);
      k = 0x5A827999;
    } else if (i < 40) {
      f = b ^ c ^ d;
      k = 0x6ED9EBA1;
    } else if (i < 60) {
      f = (b & c) | (b & d) | (c & d);
      k = 0x8F1BBCDC;
    } else {
      f = b ^ c ^ d;
      k = 0xCA62C1D6;
    }
    const std::uint32_t t = std::rotl(a, 5) + f + e + k + w[i];
    e = d;
    d = c;
    c = std::rotl(b, 30);
    b = a;
    a = t;
  }
  h[0] += a;
  h[1] += b;
  h[2] += c;
  h[3] += d;
  h[4] += e;
}

}  // namespace

std::array<std::uint8_t, 20> sha1(std::string_view bytes) {
  std::array<std::uint32_t, 5> h = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  std::array<std::uint8_t, 64> block{};
  std::size_t used = 0;
  for (char c : bytes) {
    block[used++] = static_cast<std::uint8_t>(c);
    if (used == block.size()) {
      compress(h, block.data());
      used = 0;
    }
  }
  // Padding: one bit, zeros, then the message length in bits, big-endian.
  block[used++] = 0x80;
  if (used > 56) {
    std::fill(block.begin() + static_cast<std::ptrdiff_t>(used), block.end(), 0);
    compress(h, block.data());
    used = 0;
  }
  std::fill(block.begin() + static_cast<std::ptrdiff_t>(used), block.begin() + 56, 0);
  const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
  for (int i = 0; i < 8; ++i) block[56 + i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
  compress(h, block.data());

  std::array<std::uint8_t, 20> digest{};
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<std::uint8_t>(h[i] >> (24 - 8 * j));
  }
  return digest;
}

std::string nameBasedId(std::string_view name) {
  std::string input(reinterpret_cast<const char*>(kNamespace.data()), kNamespace.size());
  input.append(name);
  const auto digest = sha1(input);
  std::array<std::uint8_t, 16> uuid{};
  std::copy_n(digest.begin(), uuid.size(), uuid.begin());
  uuid[6] = static_cast<std::uint8_t>((uuid[6] & 0x0F) | 0x50);  // version 5
  uuid[8] = static_cast<std::uint8_t>((uuid[8] & 0x3F) | 0x80);  // RFC 4122 variant

  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text = "{";
  for (std::size_t i = 0; i < uuid.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += kHex[uuid[i] >> 4];
    text += kHex[uuid[i] & 0x0F];
  }
  text += '}';
  return text;
}

std::string settingId(const LinkFacts& link) {
  const std::string permanent = hardwareAddressText(link.permanentAddress);
  if (!permanent.empty()) return nameBasedId("address:" + permanent);
  return nameBasedId("name:" + link.name);
}

}  // namespace platform::linuxos
