#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace basics {

// A failing operation: a signed 32-bit number, the component that raised it and
// a description. Every layer of the program raises this one type, so a handler
// can report any failure the same way.
class Error : public std::runtime_error {
 public:
  Error(std::int32_t number, std::string source, std::string description)
      : std::runtime_error(description),
        number_(number),
        source_(std::move(source)),
        description_(std::move(description)) {}

  std::int32_t number() const { return number_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

// A window asked for something its layout does not have: a control name that is
// not in it, a control of another kind, a container that is missing. That is a
// mistake in the program, not a condition a step may meet at run time, so it is
// not an Error: skipOnFailure lets it through and the top-level report shows it.
class LayoutError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// Builds an error number from its unsigned 32-bit image (0x8004B700 and the like).
constexpr std::int32_t errorNumber(std::uint32_t image) {
  return static_cast<std::int32_t>(image);
}

// Runs one step whose failure is to be skipped: the error is dropped and the
// caller goes on with its next step. Use it exactly where a step is meant to be
// skipped on failure, never as a blanket catch around a whole procedure. A
// LayoutError is not skipped.
template <class Step>
bool skipOnFailure(Step&& step) {
  try {
    std::forward<Step>(step)();
    return true;
  } catch (const Error&) {
    return false;
  }
}

// Runs a background step of a sequence that goes on whatever the step meets:
// its result, or `fallback` when it throws. Work off the UI thread reaches
// services that may fail in ways of their own (a broken transfer, an
// exhausted system), not only with an Error; none of that may stop the
// sequence. A LayoutError is not skipped.
template <class Step, class R>
R resultOrOnFailure(Step&& step, R fallback) {
  try {
    return std::forward<Step>(step)();
  } catch (const LayoutError&) {
    throw;
  } catch (const std::exception&) {
    return fallback;
  }
}

// The text the top-level error report shows for an error that no handler took.
std::string unhandledErrorText(const Error& error);

}  // namespace basics
