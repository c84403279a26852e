#include "wizard/accessible_client.h"

#include <atomic>
#include <new>
#include <string>

#include "wizard/oleacc_library.h"

namespace stampwell::wizard {

namespace {

BSTR NewBstr(const std::string& text) {
  // The texts are in the ANSI code page, as the window's own.
  const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
  BSTR result = ::SysAllocStringLen(nullptr, static_cast<UINT>(length));
  if (result && length > 0)
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), result, length);
  return result;
}

HRESULT StringOut(const std::string& text, BSTR* out) {
  if (text.empty()) return S_FALSE;
  *out = NewBstr(text);
  return *out ? S_OK : E_OUTOFMEMORY;
}

class AccessibleClient final : public IAccessible {
 public:
  explicit AccessibleClient(std::shared_ptr<AccessibleSource> source) : source_(std::move(source)) {}

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() noexcept override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() noexcept override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: clients of accessibility call the interface directly.
  STDMETHODIMP GetTypeInfoCount(UINT* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) noexcept override {
    return E_NOTIMPL;
  }

  // IAccessible
  STDMETHODIMP get_accParent(IDispatch** parent) noexcept override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!source_->Alive()) return CO_E_OBJNOTCONNECTED;
    // The window's own object, as the system makes it.
    return StdAccessibleObject(source_->Window(), OBJID_WINDOW, IID_IDispatch, reinterpret_cast<void**>(parent));
  }
  STDMETHODIMP get_accChildCount(long* count) noexcept override {
    if (!count) return E_POINTER;
    if (!source_->Alive()) return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(Elements().size());
    return S_OK;
  }
  STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    AccessibleElement element;
    HRESULT hr = Find(child, element);
    if (FAILED(hr)) return hr;
    // Simple elements have no object of their own.
    return S_FALSE;
  }
  STDMETHODIMP get_accName(VARIANT child, BSTR* name) noexcept override {
    return Text(child, name, [](const AccessibleElement& e) { return e.name; });
  }
  STDMETHODIMP get_accValue(VARIANT child, BSTR* value) noexcept override {
    return Text(child, value, [](const AccessibleElement& e) { return e.value; });
  }
  STDMETHODIMP get_accDescription(VARIANT child, BSTR* out) noexcept override {
    return Text(child, out, [](const AccessibleElement&) { return std::string(); });
  }
  STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) noexcept override {
    if (!role) return E_POINTER;
    ::VariantInit(role);
    AccessibleElement element;
    HRESULT hr = Find(child, element);
    if (FAILED(hr)) return hr;
    role->vt = VT_I4;
    role->lVal = hr == S_FALSE ? ROLE_SYSTEM_CLIENT : element.role;
    return S_OK;
  }
  STDMETHODIMP get_accState(VARIANT child, VARIANT* state) noexcept override {
    if (!state) return E_POINTER;
    ::VariantInit(state);
    AccessibleElement element;
    HRESULT hr = Find(child, element);
    if (FAILED(hr)) return hr;
    state->vt = VT_I4;
    if (hr == S_FALSE) {
      state->lVal = STATE_SYSTEM_FOCUSABLE | (source_->FocusedChild() == CHILDID_SELF ? STATE_SYSTEM_FOCUSED : 0);
    } else {
      state->lVal = element.state;
    }
    return S_OK;
  }
  STDMETHODIMP get_accHelp(VARIANT, BSTR* help) noexcept override {
    if (help) *help = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT, long* topic) noexcept override {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return S_FALSE;
  }
  STDMETHODIMP get_accKeyboardShortcut(VARIANT, BSTR* shortcut) noexcept override {
    if (shortcut) *shortcut = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP get_accFocus(VARIANT* focus) noexcept override {
    if (!focus) return E_POINTER;
    ::VariantInit(focus);
    if (!source_->Alive()) return CO_E_OBJNOTCONNECTED;
    const long child = source_->FocusedChild();
    if (child < 0) return S_FALSE;  // VT_EMPTY: the focus is not here
    focus->vt = VT_I4;
    focus->lVal = child;
    return S_OK;
  }
  STDMETHODIMP get_accSelection(VARIANT* selection) noexcept override {
    if (selection) ::VariantInit(selection);
    return DISP_E_MEMBERNOTFOUND;
  }
  STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) noexcept override {
    return Text(child, action, [](const AccessibleElement& e) { return e.default_action; });
  }
  STDMETHODIMP accSelect(long flags, VARIANT child) noexcept override {
    AccessibleElement element;
    HRESULT hr = Find(child, element);
    if (FAILED(hr)) return hr;
    if (!(flags & SELFLAG_TAKEFOCUS)) return DISP_E_MEMBERNOTFOUND;
    return source_->TakeFocus(child.lVal) ? S_OK : S_FALSE;
  }
  STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) noexcept override {
    if (!left || !top || !width || !height) return E_POINTER;
    AccessibleElement element;
    HRESULT hr = Find(child, element);
    if (FAILED(hr)) return hr;
    RECT r = element.bounds;
    if (hr == S_FALSE) {
      ::GetClientRect(source_->Window(), &r);
      ::MapWindowPoints(source_->Window(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    }
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) noexcept override {
    if (!end) return E_POINTER;
    ::VariantInit(end);
    AccessibleElement element;
    HRESULT hr = Find(start, element);
    if (FAILED(hr)) return hr;
    const long count = static_cast<long>(Elements().size());
    const long from = hr == S_FALSE ? CHILDID_SELF : start.lVal;
    long to = 0;
    switch (direction) {
      case NAVDIR_FIRSTCHILD: to = from == CHILDID_SELF ? 1 : 0; break;
      case NAVDIR_LASTCHILD: to = from == CHILDID_SELF ? count : 0; break;
      case NAVDIR_NEXT: case NAVDIR_DOWN: case NAVDIR_RIGHT: to = from == CHILDID_SELF ? 0 : from + 1; break;
      case NAVDIR_PREVIOUS: case NAVDIR_UP: case NAVDIR_LEFT: to = from == CHILDID_SELF ? 0 : from - 1; break;
      default: return E_INVALIDARG;
    }
    if (to < 1 || to > count) return S_FALSE;
    end->vt = VT_I4;
    end->lVal = to;
    return S_OK;
  }
  STDMETHODIMP accHitTest(long x, long y, VARIANT* hit) noexcept override {
    if (!hit) return E_POINTER;
    ::VariantInit(hit);
    if (!source_->Alive()) return CO_E_OBJNOTCONNECTED;
    const POINT p{x, y};
    const auto elements = Elements();
    // The topmost element is the last one drawn.
    for (long i = static_cast<long>(elements.size()); i >= 1; --i) {
      if (::PtInRect(&elements[i - 1].bounds, p)) {
        hit->vt = VT_I4;
        hit->lVal = i;
        return S_OK;
      }
    }
    RECT client;
    ::GetClientRect(source_->Window(), &client);
    ::MapWindowPoints(source_->Window(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    if (!::PtInRect(&client, p)) return S_FALSE;
    hit->vt = VT_I4;
    hit->lVal = CHILDID_SELF;
    return S_OK;
  }
  STDMETHODIMP accDoDefaultAction(VARIANT child) noexcept override {
    AccessibleElement element;
    HRESULT hr = Find(child, element);
    if (FAILED(hr)) return hr;
    if (hr == S_FALSE || element.default_action.empty()) return DISP_E_MEMBERNOTFOUND;
    return source_->RequestDefaultAction(child.lVal) ? S_OK : E_FAIL;
  }
  STDMETHODIMP put_accName(VARIANT, BSTR) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP put_accValue(VARIANT, BSTR) noexcept override { return E_NOTIMPL; }

 private:
  std::vector<AccessibleElement> Elements() const {
    try {
      return source_->Elements();
    } catch (...) {
      return {};
    }
  }

  // S_OK with the element for a child id, S_FALSE for the client itself (CHILDID_SELF).
  HRESULT Find(const VARIANT& child, AccessibleElement& element) const {
    if (!source_->Alive()) return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4) return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF) return S_FALSE;
    const auto elements = Elements();
    if (child.lVal < 1 || child.lVal > static_cast<long>(elements.size())) return E_INVALIDARG;
    try {
      element = elements[child.lVal - 1];
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }

  template <typename Field>
  HRESULT Text(const VARIANT& child, BSTR* out, Field field) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    AccessibleElement element;
    HRESULT hr = Find(child, element);
    if (FAILED(hr)) return hr;
    if (hr == S_FALSE) {
      // The client is named after its window.
      char caption[256] = {};
      ::GetWindowTextA(source_->Window(), caption, sizeof caption);
      AccessibleElement self;
      self.name = caption;
      return StringOut(field(self), out);
    }
    try {
      return StringOut(field(element), out);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  std::atomic<ULONG> references_{1};
  std::shared_ptr<AccessibleSource> source_;
};

}  // namespace

IAccessible* NewAccessibleClient(std::shared_ptr<AccessibleSource> source) {
  return new (std::nothrow) AccessibleClient(std::move(source));
}

}  // namespace stampwell::wizard
