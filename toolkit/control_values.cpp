// The checks behind the kinds' values: a property set out of range fails the
// same way on every backend.

#include "toolkit/control_values.h"

#include "basics/error.h"
#include "basics/error_source.h"

namespace toolkit {

void throwInvalidPropertyValue() {
  throw basics::Error(380, basics::kErrorSource, "Invalid property value");
}

CheckBoxState::CheckBoxState(const ControlLayout& layout, const Font& windowFont)
    : CaptionState<CheckBox>(layout, windowFont),
      value_(layout.value == kChecked ? kChecked : kUnchecked) {}

void CheckBoxState::setValue(int value) {
  if (value != kChecked && value != kUnchecked) throwInvalidPropertyValue();
  value_ = value;
  applyValue();
}

ProgressBarState::ProgressBarState(const ControlLayout& layout, const Font& windowFont)
    : ControlState<ProgressBar>(layout, windowFont), value_(static_cast<float>(layout.value)) {}

void ProgressBarState::setValue(float value) {
  if (value < minimum() || value > maximum()) throwInvalidPropertyValue();
  value_ = value;
  applyValue();
}

double ProgressBarState::fraction() const {
  const float span = maximum() - minimum();
  return span > 0 ? (value_ - minimum()) / span : 0;
}

std::optional<Colour> ProgressBarState::keepColour(std::uint32_t message, std::intptr_t lParam) {
  const auto colour = static_cast<Colour>(static_cast<std::uintptr_t>(lParam) & 0xFFFFFFFFu);
  Colour* kept = message == kSetBackgroundColourMessage ? &background_
                 : message == kSetBarColourMessage      ? &barColour_
                                                        : nullptr;
  if (!kept) return std::nullopt;
  const Colour previous = *kept;
  *kept = colour;
  return previous;
}

void TimerState::setInterval(int ms) {
  if (ms < 0) throwInvalidPropertyValue();
  interval_ = ms;
  applyTicking();
}

}  // namespace toolkit
