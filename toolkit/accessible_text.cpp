#include "toolkit/accessible_text.h"

namespace toolkit {

AccessibleRole accessibleRoleOf(const ControlLayout& layout) {
  if (layout.accessibleRole != AccessibleRole::Kind) return layout.accessibleRole;
  switch (layout.kind) {
    case ControlKind::Label:
      return AccessibleRole::Text;
    case ControlKind::Image:
      return AccessibleRole::Picture;
    case ControlKind::CommandButton:
      return AccessibleRole::PushButton;
    default:
      return AccessibleRole::Kind;
  }
}

std::string accessibleNameOf(const ControlLayout& layout, const std::string& caption) {
  if (layout.accessibleRole == AccessibleRole::Status && !layout.accessibleName.empty()) {
    return caption.empty() ? layout.accessibleName : layout.accessibleName + ": " + caption;
  }
  if (!caption.empty()) return caption;
  return layout.accessibleName;
}

std::string accessibleDescriptionOf(const ControlLayout& layout) {
  return layout.accessibleDescription.empty() ? layout.toolTip : layout.accessibleDescription;
}

AccessibleFacts basicFacts(const ControlLayout& layout, const std::string& caption,
                           const std::string& description, const std::string& value) {
  AccessibleFacts facts;
  facts.kind = layout.kind;
  facts.role = accessibleRoleOf(layout);
  facts.name = accessibleNameOf(layout, caption);
  facts.description = description;
  facts.value = value;
  return facts;
}

std::string announcementOf(const AccessibleFacts& facts) {
  std::string said = facts.name;
  if (!facts.value.empty()) said += " " + facts.value;
  if (!facts.description.empty()) said += ". " + facts.description;
  return said;
}

bool takesFocusAsLink(const ControlLayout& layout) {
  return layout.accessibleRole == AccessibleRole::Link;
}

}  // namespace toolkit
