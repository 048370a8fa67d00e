#pragma once

// A window's controls, owned in the layout's order and found by name and
// index. The list and the lookup live here once; a backend keeps beside each
// control what it draws it with (`Native`: a widget, the hooks its window
// calls), so that it can reach it by name as the logic reaches the control.

#include <memory>
#include <string_view>
#include <vector>

#include "toolkit/controls.h"

namespace toolkit {

template <class Native>
class ControlList {
 public:
  struct Entry {
    std::unique_ptr<Control> control;
    Native native;
  };

  void add(std::unique_ptr<Control> control, Native native) {
    entries_.push_back(Entry{std::move(control), native});
  }

  // nullptr when the window has no such control.
  Control* find(std::string_view name, int index) const {
    const Entry* e = entry(name, index);
    return e ? e->control.get() : nullptr;
  }
  // What the backend keeps for that control, or Native{} when there is none.
  Native nativeOf(std::string_view name, int index) const {
    const Entry* e = entry(name, index);
    return e ? e->native : Native{};
  }

  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }
  void clear() { entries_.clear(); }

 private:
  const Entry* entry(std::string_view name, int index) const {
    for (const auto& e : entries_) {
      if (e.control->index() == index && e.control->name() == name) return &e;
    }
    return nullptr;
  }

  std::vector<Entry> entries_;
};

}  // namespace toolkit
