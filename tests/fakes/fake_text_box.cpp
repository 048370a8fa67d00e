#include "tests/fakes/fake_text_box.h"

namespace fakes {

namespace {

toolkit::ControlLayout fakeLayout(std::string name) {
  toolkit::ControlLayout layout;
  layout.kind = toolkit::ControlKind::TextBox;
  layout.name = std::move(name);
  layout.tabIndex = 0;
  layout.backColour = toolkit::system_colour::kWindowBackground;
  return layout;
}

}  // namespace

FakeTextBox::FakeTextBox(std::string name)
    : ControlState<toolkit::TextBox>(fakeLayout(std::move(name)), toolkit::Font{}) {}

void FakeTextBox::setText(const std::string& text) {
  ++setTextCalls;
  buffer_.setText(text);
  buffer_.markApplied(0);
  selectionStart_ = selectionEnd_ = 0;
}

void FakeTextBox::insertAtCaret(const std::string& text) {
  if (insertError && pieces.size() >= failAfter) throw *insertError;
  buffer_.insertAtCaret(text, selectionStart_, selectionEnd_);
  // The control takes the change at once, as a shown one would.
  selectionStart_ = selectionEnd_ = buffer_.nativeCaret();
  buffer_.markApplied(selectionStart_);
  pieces.push_back(text);
}

int FakeTextBox::caret() const {
  return buffer_.caretCharacters();
}

void FakeTextBox::select(std::size_t start, std::size_t length) {
  const std::string& text = buffer_.text();
  start = std::min(start, text.size());
  const std::size_t end = start + std::min(length, text.size() - start);
  const auto lineEnd = toolkit::LineEndUnits::One;
  selectionStart_ = toolkit::nativeUnits(text, start, lineEnd);
  selectionEnd_ = toolkit::nativeUnits(text, end, lineEnd);
}

}  // namespace fakes
