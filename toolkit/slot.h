#pragma once

#include <functional>
#include <memory>
#include <utility>

namespace toolkit {

// Holds the one object of a window: empty at start, filled on first use, and
// then the same object for the rest of the program.
template <class T>
class Slot {
 public:
  explicit Slot(std::function<std::unique_ptr<T>()> make) : make_(std::move(make)) {}

  T& get() {
    if (!object_) object_ = make_();
    return *object_;
  }
  bool filled() const { return object_ != nullptr; }
  T* peek() const { return object_.get(); }

 private:
  std::function<std::unique_ptr<T>()> make_;
  std::unique_ptr<T> object_;
};

}  // namespace toolkit
