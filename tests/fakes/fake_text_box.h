#pragma once

#include <optional>
#include <string>
#include <vector>

#include "basics/error.h"
#include "toolkit/control_state.h"
#include "toolkit/controls.h"
#include "toolkit/text_buffer.h"

namespace fakes {

// A text box without a window: the toolkit's own ControlState and TextBuffer, with a selection
// standing in for the native control's, and every piece inserted at the caret
// recorded. caret() reports characters (UTF-8 code points) as the toolkit promises.
class FakeTextBox : public toolkit::ControlState<toolkit::TextBox> {
 public:
  explicit FakeTextBox(std::string name = "txtOut");

  std::string text() const override { return buffer_.text(); }
  void setText(const std::string& text) override;
  void insertAtCaret(const std::string& text) override;
  int caret() const override;
  void setFocus() override { ++focusCalls; }

  // Selects `length` bytes from byte `start` (clamped to the text).
  void select(std::size_t start, std::size_t length);

  std::vector<std::string> pieces;  // every text inserted at the caret, in order
  int setTextCalls = 0;
  int focusCalls = 0;
  // When set, the next insertion after `failAfter` successful ones raises it.
  std::optional<basics::Error> insertError;
  std::size_t failAfter = 0;

 private:
  toolkit::TextBuffer buffer_{toolkit::LineEndUnits::One};
  // The control's selection, in its native units.
  std::size_t selectionStart_ = 0;
  std::size_t selectionEnd_ = 0;
};

}  // namespace fakes
