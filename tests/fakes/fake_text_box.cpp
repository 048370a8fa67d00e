#include "tests/fakes/fake_text_box.h"

#include <algorithm>

namespace fakes {

void FakeTextBox::move(toolkit::Twips left, toolkit::Twips top, toolkit::Twips width,
                       toolkit::Twips height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

void FakeTextBox::setText(const std::string& text) {
  ++setTextCalls;
  text_ = text;
  selectionStart_ = 0;
  selectionLength_ = 0;
}

void FakeTextBox::insertAtCaret(const std::string& text) {
  if (insertError && pieces.size() >= failAfter) throw *insertError;
  text_.replace(selectionStart_, selectionLength_, text);
  selectionStart_ += text.size();
  selectionLength_ = 0;
  pieces.push_back(text);
}

int FakeTextBox::caret() const {
  const auto end = text_.begin() + static_cast<std::ptrdiff_t>(selectionStart_);
  return static_cast<int>(std::count_if(
      text_.begin(), end, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void FakeTextBox::select(std::size_t start, std::size_t length) {
  selectionStart_ = std::min(start, text_.size());
  selectionLength_ = std::min(length, text_.size() - selectionStart_);
}

}  // namespace fakes
