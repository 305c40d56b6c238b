// labelplu automation runtime: ComObject<Interfaces...>, the base of every
// COM object the project implements.
//
//   class ErrorInfoObject final : public ComObject<IErrorInfo> { ... };
//   ComPtr<ErrorInfoObject> info = MakeCom<ErrorInfoObject>(args...);
//
// It implements IUnknown for all listed interfaces: an atomic reference
// count that starts at 1 (the creator's reference; MakeCom adopts it) and
// deletes the object when it reaches 0, and QueryInterface answering
// IID_IUnknown and the IID of every listed interface and of each of its base
// interfaces (InterfaceId<T>::Base), so an object implementing ISafeArray
// also answers IID_IDispatch. The IUnknown reference handed out is always
// the one of the first interface (COM's identity rule).
//
// The interfaces have no virtual destructor and their vtables stay the plain
// slot tables: the virtual destructor declared here follows the interfaces'
// slots in the object's primary vtable.
#ifndef LABELPLU_PLATFORM_OLE_COMOBJECT_H
#define LABELPLU_PLATFORM_OLE_COMOBJECT_H

#include <atomic>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>

#include "labelplu/oleauto.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/InterfaceId.h"

namespace labelplu::ole {

template <class... Interfaces>
class ComObject : public Interfaces... {
  static_assert(sizeof...(Interfaces) > 0, "a COM object implements at least one interface");
  using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;

 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT QueryInterface(const IID& iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    void* found = nullptr;
    if (IsEqualGUID(&iid, &IID_IUnknown)) {
      found = static_cast<IUnknown*>(static_cast<First*>(this));
    } else {
      ((found = FindIn<Interfaces, Interfaces>(iid)) || ...);
    }
    if (!found) return E_NOINTERFACE;
    AddRef();
    *out = found;
    return S_OK;
  }

  uint32_t AddRef() override { return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1; }

  uint32_t Release() override {
    const uint32_t count = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0) delete this;
    return count;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;

 private:
  // Walks I's chain of interfaces (I, its base, ...) up to IUnknown.
  template <class I, class B>
  void* FindIn(const IID& iid) {
    if constexpr (std::is_void_v<B> || std::is_same_v<B, IUnknown>) {
      return nullptr;
    } else {
      if (IsEqualGUID(&iid, &InterfaceId<B>::value()))
        return static_cast<B*>(static_cast<I*>(this));
      return FindIn<I, typename InterfaceId<B>::Base>(iid);
    }
  }

  std::atomic<uint32_t> m_refCount{1};
};

// Creates a T (a ComObject) and adopts its initial reference.
template <class T, class... Args>
ComPtr<T> MakeCom(Args&&... args) {
  return ComPtr<T>::Attach(new T(std::forward<Args>(args)...));
}

}  // namespace labelplu::ole

#endif  // LABELPLU_PLATFORM_OLE_COMOBJECT_H
