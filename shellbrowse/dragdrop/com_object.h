#pragma once
// The reference counting of the drag objects: a count that starts at 0 (the first holder takes
// the first reference, so `ComPtr<I> p = new T(...)` leaves exactly one), QueryInterface that
// answers IUnknown and the one interface, and Release that frees the object at 0.
//
// All holders are on the user-interface thread (a single-threaded apartment), so the count is a
// plain number.

#include <windows.h>
#include <objbase.h>
#include <unknwn.h>

namespace stampwell {

template <typename Interface>
class ComObject : public Interface {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) noexcept override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == __uuidof(Interface)) {
      *out = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() noexcept override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() noexcept override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;

 private:
  ULONG references_ = 0;
};

}  // namespace stampwell
