#include "toolkit/win32/win32_accessible.h"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>

#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {
namespace {

bool isSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's object for the window, with the name and, for a check box, the
// role and check state that the plain object cannot know: an owner-drawn
// button reads as a push button, and a text box takes its name from a label
// window, which this program's labels are not.
class NamedAccessible final : public IAccessible {
 public:
  NamedAccessible(IAccessible* inner, HWND hwnd, std::wstring name, bool checkBox)
      : inner_(inner), hwnd_(hwnd), name_(std::move(name)), checkBox_(checkBox) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
        riid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    // IOleWindow, IEnumVARIANT and the like: the system's object answers.
    return inner_->QueryInterface(riid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return inner_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override {
    return inner_->GetIDsOfNames(riid, names, count, lcid, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argError) override {
    return inner_->Invoke(id, riid, lcid, flags, params, result, exception, argError);
  }

  // IAccessible: what this object changes.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!isSelf(child)) return inner_->get_accName(child, name);
    if (!name) return E_POINTER;
    std::wstring text = name_;
    if (checkBox_) {
      const int length = GetWindowTextLengthW(hwnd_);
      if (length > 0) {
        text.assign(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd_, text.data(), length + 1)));
      }
    }
    if (text.empty()) return inner_->get_accName(child, name);
    *name = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *name ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!checkBox_ || !isSelf(child)) return inner_->get_accRole(child, role);
    if (!role) return E_POINTER;
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_CHECKBUTTON;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    const HRESULT result = inner_->get_accState(child, state);
    if (!checkBox_ || !isSelf(child) || FAILED(result) || !state || state->vt != VT_I4) {
      return result;
    }
    state->lVal &= ~(STATE_SYSTEM_PRESSED | STATE_SYSTEM_CHECKED);
    if (SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED) state->lVal |= STATE_SYSTEM_CHECKED;
    return S_OK;
  }

  // IAccessible: the system's object answers.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return inner_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return inner_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return inner_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return inner_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return inner_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return inner_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return inner_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return inner_->get_accKeyboardShortcut(child, keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return inner_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return inner_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return inner_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return inner_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    return inner_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return inner_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
    return inner_->accHitTest(left, top, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return inner_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return inner_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return inner_->put_accValue(child, value);
  }

 private:
  ~NamedAccessible() { inner_->Release(); }

  std::atomic<ULONG> references_{1};
  IAccessible* inner_;  // owned
  HWND hwnd_;
  std::wstring name_;
  bool checkBox_;
};

struct Accessibility {
  std::wstring name;
  bool checkBox;
};

LRESULT CALLBACK accessibleProc(HWND hwnd, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                DWORD_PTR data) {
  auto* self = reinterpret_cast<Accessibility*>(data);
  switch (message) {
    case WM_GETOBJECT:
      if (static_cast<LONG>(l) == OBJID_CLIENT) {
        IAccessible* inner = nullptr;
        if (FAILED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&inner))) ||
            !inner) {
          break;
        }
        auto* named = new NamedAccessible(inner, hwnd, self->name, self->checkBox);
        const LRESULT result = LresultFromObject(__uuidof(IAccessible), w, named);
        named->Release();
        if (SUCCEEDED(static_cast<HRESULT>(result))) return result;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, accessibleProc, id);
      delete self;
      break;
  }
  return DefSubclassProc(hwnd, message, w, l);
}

constexpr UINT_PTR kAccessibleSubclass = 0x5441;  // any id of our own

}  // namespace

void makeAccessible(HWND hwnd, const std::string& name, bool checkBox) {
  if (!hwnd) return;
  auto* data = new Accessibility{widen(name), checkBox};
  if (!SetWindowSubclass(hwnd, accessibleProc, kAccessibleSubclass,
                         reinterpret_cast<DWORD_PTR>(data))) {
    delete data;
  }
}

ComForAccessibility::ComForAccessibility()
    : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}

ComForAccessibility::~ComForAccessibility() {
  if (SUCCEEDED(result_)) CoUninitialize();
}

}  // namespace toolkit::win32
