#pragma once

// What a screen reader is told about a control, worked out once for both
// backends from the layout and what the control shows now.

#include <optional>
#include <string>

#include "toolkit/layout.h"

namespace toolkit {

// What a control tells a screen reader now; the backends ask for it afresh on
// every question and say it in their system's terms.
struct AccessibleFacts {
  ControlKind kind = ControlKind::Label;
  AccessibleRole role = AccessibleRole::Kind;  // as accessibleRoleOf gives it
  std::string name;
  std::string description;
  std::string value;
  bool pressed = false;  // a light pressed in, a button held down
  struct Range {
    double value, minimum, maximum;
  };
  std::optional<Range> range;  // a progress bar's
};

// The facts every control has: kind, role, name (after `caption`), description, value.
AccessibleFacts basicFacts(const ControlLayout& layout, const std::string& caption,
                           const std::string& description, const std::string& value);

// The role a screen reader announces: the layout's, else the one the control's
// kind stands for.
AccessibleRole accessibleRoleOf(const ControlLayout& layout);

// The control's name. A light of the status light says its colour and, while it
// shows one, its caption ("Green light: Online", "Red light"): the same words
// every time the user meets it, with what it says now. Any other control with
// a caption is called by it; one without (a text box) by the layout's name.
std::string accessibleNameOf(const ControlLayout& layout, const std::string& caption);

// What is said after the name: the layout's description, else the tool tip.
std::string accessibleDescriptionOf(const ControlLayout& layout);

// What a control says when it announces itself: its name and value, then its
// description as a sentence of its own ("Online Status: Offline. Why.").
std::string announcementOf(const AccessibleFacts& facts);

// Whether the keyboard reaches the control: links do, whatever draws them.
bool takesFocusAsLink(const ControlLayout& layout);

}  // namespace toolkit
