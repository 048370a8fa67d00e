#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace toolkit {

// How a native text control counts positions: UTF-16 code units, with a "\r\n"
// line end counted as one unit (a control that stores line feeds) or as two
// (one that stores the pair).
enum class LineEndUnits { One, Two };

// Native units in the first `bytes` bytes of `text` (UTF-8, "\r\n" line ends).
std::size_t nativeUnits(std::string_view text, std::size_t bytes, LineEndUnits lineEnd);
// The byte offset `units` native units into `text`, clamped to its end.
std::size_t byteOffset(std::string_view text, std::size_t units, LineEndUnits lineEnd);

// The text and caret of a text box as the program sees them, kept apart from
// the native control. Reports write thousands of pieces at the caret in one
// event; through the control each piece costs a document update, here an
// append. The backend hands the control what changed once, when it next shows
// or lets the user touch it, and tells the buffer about the user's own edits.
//
// Positions are byte offsets into text(); the native control's are in its own
// units (LineEndUnits), converted here.
class TextBuffer {
 public:
  // What the native control still lacks.
  enum class Pending {
    None,   // the control shows text()
    Whole,  // the control must be given all of text()
    Span,   // the control's [nativeFrom, nativeFrom + nativeLength) becomes spanText()
  };

  explicit TextBuffer(LineEndUnits lineEnd) : lineEnd_(lineEnd) {}

  const std::string& text() const { return text_; }
  std::size_t caret() const { return caret_; }  // in bytes of text()
  // The caret in characters (UTF-8 code points), as a text box reports it.
  int caretCharacters() const;

  // Replaces the text; the caret goes to its start.
  void setText(std::string text);

  // Replaces the selection with `piece` and puts the caret after it. While the
  // control is in step with the buffer the selection is the control's
  // (`nativeStart` to `nativeEnd`, in native units); while a change is pending
  // the user cannot have touched the control, so it is the buffer's own caret.
  void insertAtCaret(std::string_view piece, std::size_t nativeStart, std::size_t nativeEnd);

  // The user edited the control: `text` is now its whole text, the caret at its end.
  void takeEdit(std::string text);

  Pending pending() const { return pending_; }
  std::size_t nativeFrom() const { return nativeFrom_; }
  std::size_t nativeLength() const { return nativeLength_; }
  std::string_view spanText() const;
  // The control's caret once the pending change is applied, in native units.
  std::size_t nativeCaret() const;
  // The control has applied the pending change and its caret stands at `nativeCaret`.
  void markApplied(std::size_t nativeCaret);

 private:
  std::size_t toBytes(std::size_t nativePosition) const;

  LineEndUnits lineEnd_;
  std::string text_;
  std::size_t caret_ = 0;
  Pending pending_ = Pending::None;
  std::size_t nativeFrom_ = 0;
  std::size_t nativeLength_ = 0;
  std::size_t spanStart_ = 0;  // byte where the pending span starts; it ends at the caret
  // Where the control's caret was left, in native units and in bytes: pieces
  // appended event after event then need no rescan of the text.
  std::size_t knownNativeCaret_ = 0;
  bool caretKnown_ = false;
};

}  // namespace toolkit
