// The accessible object of a window the program exposes: the system's object
// for it, answering in the program's terms where the window's source has
// something to say, with a container's parts as simple children.

#include "toolkit/win32/win32_accessible_object.h"

#include <atomic>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {
namespace {

AccessibleSource* sourceOf(HWND hwnd) {
  return accessibleSourceOf(hwnd);
}

bool isSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

std::optional<std::size_t> partOf(const VARIANT& child, const AccessibleSource* source) {
  if (!source || child.vt != VT_I4) return std::nullopt;
  for (std::size_t part = 0; part < source->partCount(); ++part) {
    if (child.lVal == partChildId(part)) return part;
  }
  return std::nullopt;
}

HRESULT answerText(const std::string& utf8, BSTR* out) {
  if (!out) return E_POINTER;
  const std::wstring wide = widen(utf8);
  *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT answerNumber(LONG value, VARIANT* out) {
  if (!out) return E_POINTER;
  VariantInit(out);
  out->vt = VT_I4;
  out->lVal = value;
  return S_OK;
}

std::optional<LONG> roleOf(const AccessibleFacts& facts) {
  if (facts.kind == ControlKind::ProgressBar) return ROLE_SYSTEM_PROGRESSBAR;
  switch (facts.role) {
    case AccessibleRole::PushButton:
      return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::Link:
      return ROLE_SYSTEM_LINK;
    case AccessibleRole::Status:
      return ROLE_SYSTEM_STATUSBAR;
    case AccessibleRole::Text:
      return ROLE_SYSTEM_STATICTEXT;
    case AccessibleRole::Picture:
      return ROLE_SYSTEM_GRAPHIC;
    case AccessibleRole::Kind:
      break;
  }
  if (facts.kind == ControlKind::CheckBox) return ROLE_SYSTEM_CHECKBUTTON;
  return std::nullopt;
}

// The state bits the program's own facts decide, over what the system found.
LONG adjustState(LONG state, const AccessibleFacts& facts) {
  state &= ~(STATE_SYSTEM_PRESSED | STATE_SYSTEM_CHECKED);
  switch (facts.role) {
    case AccessibleRole::Status:
    case AccessibleRole::Text:
    case AccessibleRole::Picture:
      // They take no input by nature, not because they are switched off.
      state &= ~(STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSABLE);
      state |= STATE_SYSTEM_READONLY;
      if (facts.pressed) state |= STATE_SYSTEM_PRESSED;
      break;
    case AccessibleRole::PushButton:
    case AccessibleRole::Link:
      if (facts.pressed) state |= STATE_SYSTEM_PRESSED;
      if (facts.role == AccessibleRole::Link) state |= STATE_SYSTEM_LINKED;
      break;
    case AccessibleRole::Kind:
      if (facts.kind == ControlKind::CheckBox && facts.pressed) state |= STATE_SYSTEM_CHECKED;
      break;
  }
  return state;
}

const char* defaultActionOf(const AccessibleFacts& facts) {
  if (facts.role == AccessibleRole::PushButton) return "Press";
  if (facts.role == AccessibleRole::Link) return "Jump";
  return nullptr;
}

// The value a screen reader reads of a range: its share of the way, as the
// system's progress bar says it.
std::string percentOf(const AccessibleFacts::Range& range) {
  const double span = range.maximum - range.minimum;
  const double share = span > 0 ? (range.value - range.minimum) / span : 0;
  return std::to_string(std::lround(share * 100)) + "%";
}

// The system's object for a window, answering in the program's terms where the
// window's source has something to say, with the container's parts as simple
// children. It is the object clients hold: it answers QueryInterface itself
// (IAccessible, IEnumVARIANT, IOleWindow), so COM identity holds.
class ControlAccessible final : public IAccessible, public IEnumVARIANT, public IOleWindow {
 public:
  ControlAccessible(IAccessible* inner, HWND hwnd) : inner_(inner), hwnd_(hwnd) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
        riid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
    } else if (riid == __uuidof(IEnumVARIANT)) {
      *out = static_cast<IEnumVARIANT*>(this);
    } else if (riid == __uuidof(IOleWindow)) {
      *out = static_cast<IOleWindow*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: no type information of our own.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = hwnd_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IAccessible: the tree.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return inner_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    const HRESULT result = inner_->get_accChildCount(count);
    if (SUCCEEDED(result) && count) *count += static_cast<LONG>(parts());
    return result;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (partOf(child, source())) {
      if (!out) return E_POINTER;
      *out = nullptr;
      return S_FALSE;  // a simple element: its parent answers for it
    }
    return inner_->get_accChild(child, out);
  }

  // IAccessible: what the program says.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (const auto part = partOf(child, source())) {
      return answerText(source()->partFacts(*part).name, name);
    }
    const auto facts = selfFacts(child);
    if (facts && !facts->name.empty()) return answerText(facts->name, name);
    return inner_->get_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (const auto part = partOf(child, source())) {
      return answerNumber(roleOf(source()->partFacts(*part)).value_or(ROLE_SYSTEM_STATICTEXT),
                          role);
    }
    const auto facts = selfFacts(child);
    if (facts) {
      if (const auto mapped = roleOf(*facts)) return answerNumber(*mapped, role);
    }
    return inner_->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (const auto part = partOf(child, source())) return partState(*part, state);
    const HRESULT result = inner_->get_accState(child, state);
    const auto facts = selfFacts(child);
    if (!facts || FAILED(result) || !state || state->vt != VT_I4) return result;
    state->lVal = adjustState(state->lVal, *facts);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (partOf(child, source())) return DISP_E_MEMBERNOTFOUND;
    const auto facts = selfFacts(child);
    if (facts && facts->range) return answerText(percentOf(*facts->range), value);
    if (facts && !facts->value.empty()) return answerText(facts->value, value);
    return inner_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    if (const auto part = partOf(child, source())) {
      return answerText(source()->partFacts(*part).description, text);
    }
    const auto facts = selfFacts(child);
    if (facts && !facts->description.empty()) return answerText(facts->description, text);
    return inner_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    std::optional<AccessibleFacts> facts;
    if (const auto part = partOf(child, source())) {
      facts = source()->partFacts(*part);
    } else {
      facts = selfFacts(child);
    }
    if (!facts) return inner_->get_accDefaultAction(child, action);
    if (const char* name = defaultActionOf(*facts)) return answerText(name, action);
    if (facts->role == AccessibleRole::Kind) return inner_->get_accDefaultAction(child, action);
    if (action) *action = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (const auto part = partOf(child, source())) {
      if (!defaultActionOf(source()->partFacts(*part))) return DISP_E_MEMBERNOTFOUND;
      source()->pressPart(*part);
      return S_OK;
    }
    const auto facts = selfFacts(child);
    if (!facts || facts->role == AccessibleRole::Kind) return inner_->accDoDefaultAction(child);
    if (!defaultActionOf(*facts)) return DISP_E_MEMBERNOTFOUND;
    source()->press();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    if (AccessibleSource* s = source(); s && child && GetFocus() == hwnd_) {
      for (std::size_t part = 0; part < s->partCount(); ++part) {
        if (s->partFocused(part)) return answerNumber(partChildId(part), child);
      }
    }
    return inner_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    if (const auto part = partOf(child, source())) {
      if (!left || !top || !width || !height) return E_POINTER;
      RECT r = source()->partRect(*part);
      MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
      *left = r.left;
      *top = r.top;
      *width = r.right - r.left;
      *height = r.bottom - r.top;
      return S_OK;
    }
    return inner_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
    const HRESULT result = inner_->accHitTest(left, top, child);
    AccessibleSource* s = source();
    // A child window lies over the parts its container draws.
    if (!s || FAILED(result) || !child || !(child->vt == VT_I4 && child->lVal == CHILDID_SELF)) {
      return result;
    }
    POINT at{left, top};
    ScreenToClient(hwnd_, &at);
    for (std::size_t part = 0; part < s->partCount(); ++part) {
      const RECT r = s->partRect(part);
      if (s->partShown(part) && PtInRect(&r, at)) return answerNumber(partChildId(part), child);
    }
    return result;
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    if (const auto part = partOf(child, source())) {
      if (!(flags & SELFLAG_TAKEFOCUS)) return DISP_E_MEMBERNOTFOUND;
      source()->focusPart(*part);
      return S_OK;
    }
    return inner_->accSelect(flags, child);
  }

  // IAccessible: the system's object answers.
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return inner_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return inner_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    if (partOf(child, source())) return DISP_E_MEMBERNOTFOUND;
    return inner_->get_accKeyboardShortcut(child, keys);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return inner_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (partOf(start, source())) return DISP_E_MEMBERNOTFOUND;
    return inner_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return inner_->put_accValue(child, value);
  }

  // IEnumVARIANT: the child windows the system's object lists, then the parts.
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    if (!listed_) list();
    ULONG given = 0;
    for (; given < count && cursor_ < children_.size(); ++given, ++cursor_) {
      VariantInit(&out[given]);
      VariantCopy(&out[given], &children_[cursor_]);
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    if (!listed_) list();
    cursor_ += count;
    if (cursor_ > children_.size()) {
      cursor_ = children_.size();
      return S_FALSE;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    list();
    cursor_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
    if (!out) return E_POINTER;
    inner_->AddRef();
    auto* copy = new ControlAccessible(inner_, hwnd_);
    copy->list();
    copy->cursor_ = cursor_;
    *out = copy;
    return S_OK;
  }

 private:
  ~ControlAccessible() {
    for (VARIANT& v : children_) VariantClear(&v);
    inner_->Release();
  }

  AccessibleSource* source() const { return sourceOf(hwnd_); }
  std::size_t parts() const {
    const AccessibleSource* s = source();
    return s ? s->partCount() : 0;
  }
  std::optional<AccessibleFacts> selfFacts(const VARIANT& child) const {
    const AccessibleSource* s = source();
    if (!s || !isSelf(child)) return std::nullopt;
    return s->selfFacts();
  }

  HRESULT partState(std::size_t part, VARIANT* state) const {
    const AccessibleSource* s = source();
    const AccessibleFacts facts = s->partFacts(part);
    LONG bits = STATE_SYSTEM_READONLY;
    if (!s->partShown(part)) bits |= STATE_SYSTEM_INVISIBLE;
    if (facts.role == AccessibleRole::Link) {
      bits = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED;
      if (s->partFocused(part) && GetFocus() == hwnd_) bits |= STATE_SYSTEM_FOCUSED;
      if (!s->partShown(part)) bits |= STATE_SYSTEM_INVISIBLE;
    }
    return answerNumber(bits, state);
  }

  void list() {
    for (VARIANT& v : children_) VariantClear(&v);
    children_.clear();
    LONG count = 0;
    if (SUCCEEDED(inner_->get_accChildCount(&count)) && count > 0) {
      std::vector<VARIANT> found(static_cast<std::size_t>(count));
      LONG obtained = 0;
      if (SUCCEEDED(AccessibleChildren(inner_, 0, count, found.data(), &obtained))) {
        found.resize(static_cast<std::size_t>(obtained));
        children_ = std::move(found);
      }
    }
    for (std::size_t part = 0; part < parts(); ++part) {
      VARIANT v;
      VariantInit(&v);
      v.vt = VT_I4;
      v.lVal = partChildId(part);
      children_.push_back(v);
    }
    listed_ = true;
  }

  std::atomic<ULONG> references_{1};
  IAccessible* inner_;  // owned
  HWND hwnd_;
  std::vector<VARIANT> children_;
  std::size_t cursor_ = 0;
  bool listed_ = false;
};

}  // namespace

IAccessible* wrapAccessible(IAccessible* inner, HWND hwnd) {
  return new ControlAccessible(inner, hwnd);
}

}  // namespace toolkit::win32
