#pragma once

#include <optional>
#include <string>
#include <vector>

#include "toolkit/controls.h"
#include "toolkit/error.h"
#include "toolkit/text_buffer.h"

namespace fakes {

// A text box without a window: the toolkit's own TextBuffer, with a selection
// standing in for the native control's, and every piece inserted at the caret
// recorded. caret() reports characters (UTF-8 code points) as the toolkit promises.
class FakeTextBox : public toolkit::TextBox {
 public:
  explicit FakeTextBox(std::string name = "txtOut") : name_(std::move(name)) {}

  toolkit::ControlKind kind() const override { return toolkit::ControlKind::TextBox; }
  const std::string& name() const override { return name_; }
  int index() const override { return -1; }
  bool visible() const override { return visible_; }
  void setVisible(bool visible) override { visible_ = visible; }
  bool enabled() const override { return enabled_; }
  void setEnabled(bool enabled) override { enabled_ = enabled; }
  toolkit::Twips left() const override { return left_; }
  toolkit::Twips top() const override { return top_; }
  toolkit::Twips width() const override { return width_; }
  toolkit::Twips height() const override { return height_; }
  void move(toolkit::Twips left, toolkit::Twips top, toolkit::Twips width,
            toolkit::Twips height) override;
  int tabIndex() const override { return 0; }
  std::string toolTip() const override { return {}; }
  toolkit::Font font() const override { return {}; }
  toolkit::Colour foreColour() const override { return toolkit::system_colour::kWindowText; }
  toolkit::Colour backColour() const override { return toolkit::system_colour::kWindowBackground; }

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
  std::optional<toolkit::Error> insertError;
  std::size_t failAfter = 0;

 private:
  std::string name_;
  toolkit::TextBuffer buffer_{toolkit::LineEndUnits::One};
  // The control's selection, in its native units.
  std::size_t selectionStart_ = 0;
  std::size_t selectionEnd_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  toolkit::Twips left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

}  // namespace fakes
