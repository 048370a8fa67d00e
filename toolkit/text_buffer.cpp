#include "toolkit/text_buffer.h"

#include <algorithm>

namespace toolkit {
namespace {

// One step through `text` from byte `i`: how many bytes and native units the
// character there takes. A "\r\n" pair is one step; a UTF-8 lead byte takes
// its sequence (outside the basic plane two UTF-16 units).
struct Step {
  std::size_t bytes;
  std::size_t units;
};

Step stepAt(std::string_view text, std::size_t i, LineEndUnits lineEnd) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
    return {2, lineEnd == LineEndUnits::One ? 1u : 2u};
  if (c >= 0xF0) return {4, 2};
  if (c >= 0xE0) return {3, 1};
  if (c >= 0xC0) return {2, 1};
  return {1, 1};
}

}  // namespace

std::size_t nativeUnits(std::string_view text, std::size_t bytes, LineEndUnits lineEnd) {
  bytes = std::min(bytes, text.size());
  std::size_t units = 0;
  for (std::size_t i = 0; i < bytes;) {
    const Step step = stepAt(text, i, lineEnd);
    i += step.bytes;
    units += step.units;
  }
  return units;
}

std::size_t byteOffset(std::string_view text, std::size_t units, LineEndUnits lineEnd) {
  std::size_t i = 0;
  for (std::size_t counted = 0; i < text.size() && counted < units;) {
    const Step step = stepAt(text, i, lineEnd);
    i += step.bytes;
    counted += step.units;
  }
  return std::min(i, text.size());
}

int TextBuffer::caretCharacters() const {
  int characters = 0;
  for (std::size_t i = 0; i < caret_; ++i) {
    if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) ++characters;
  }
  return characters;
}

void TextBuffer::setText(std::string text) {
  text_ = std::move(text);
  caret_ = 0;
  pending_ = Pending::Whole;
  caretKnown_ = false;
}

std::size_t TextBuffer::toBytes(std::size_t nativePosition) const {
  if (caretKnown_ && nativePosition == knownNativeCaret_) return caret_;
  return byteOffset(text_, nativePosition, lineEnd_);
}

void TextBuffer::insertAtCaret(std::string_view piece, std::size_t nativeStart,
                               std::size_t nativeEnd) {
  if (pending_ != Pending::None) {
    text_.insert(caret_, piece);
    caret_ += piece.size();
    return;
  }
  if (nativeEnd < nativeStart) std::swap(nativeStart, nativeEnd);
  const std::size_t from = toBytes(nativeStart);
  const std::size_t to = std::max(from, toBytes(nativeEnd));
  text_.replace(from, to - from, piece);
  caret_ = from + piece.size();
  pending_ = Pending::Span;
  nativeFrom_ = nativeStart;
  nativeLength_ = nativeEnd - nativeStart;
  spanStart_ = from;
  caretKnown_ = false;
}

void TextBuffer::takeEdit(std::string text) {
  text_ = std::move(text);
  caret_ = text_.size();
  pending_ = Pending::None;
  caretKnown_ = false;
}

std::string_view TextBuffer::spanText() const {
  if (pending_ != Pending::Span) return {};
  return std::string_view(text_).substr(spanStart_, caret_ - spanStart_);
}

std::size_t TextBuffer::nativeCaret() const {
  switch (pending_) {
    case Pending::Span:
      return nativeFrom_ + nativeUnits(spanText(), caret_ - spanStart_, lineEnd_);
    case Pending::None:
      if (caretKnown_) return knownNativeCaret_;
      break;
    case Pending::Whole:
      break;
  }
  return nativeUnits(text_, caret_, lineEnd_);
}

void TextBuffer::markApplied(std::size_t nativeCaret) {
  pending_ = Pending::None;
  knownNativeCaret_ = nativeCaret;
  caretKnown_ = true;
}

}  // namespace toolkit
