// labelplu automation runtime: ComPtr<T>, the reference-holding smart pointer
// for interfaces.
//
// A ComPtr holds one reference: copying AddRefs, destruction and reset
// Release. There is no operator&; pass put() (or putVoid()) as an out
// parameter: it releases what the pointer held and returns the address of
// the now-null slot.
#ifndef LABELPLU_PLATFORM_OLE_COMPTR_H
#define LABELPLU_PLATFORM_OLE_COMPTR_H

#include <concepts>
#include <cstddef>
#include <utility>

#include "labelplu/oleauto.h"
#include "platform/ole/InterfaceId.h"

namespace labelplu::ole {

template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Shares p: takes a new reference (AddRef). Use Attach to adopt one.
  explicit ComPtr(T* p) noexcept : m_ptr(p) { AddRef(); }
  ComPtr(const ComPtr& other) noexcept : m_ptr(other.m_ptr) { AddRef(); }
  ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
  template <class U>
  requires std::convertible_to<U*, T*> ComPtr(const ComPtr<U>& other)
  noexcept : m_ptr(other.get()) { AddRef(); }
  template <class U>
  requires std::convertible_to<U*, T*> ComPtr(ComPtr<U>&& other)
  noexcept : m_ptr(other.detach()) {}
  ~ComPtr() { reset(); }

  ComPtr& operator=(const ComPtr& other) noexcept {
    if (this != &other) ComPtr(other).swap(*this);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr(std::move(other)).swap(*this);
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) noexcept {
    reset();
    return *this;
  }

  // Adopts a reference the caller owns (no AddRef).
  static ComPtr Attach(T* p) noexcept {
    ComPtr result;
    result.m_ptr = p;
    return result;
  }
  // Hands the reference to the caller (no Release) and becomes null.
  [[nodiscard]] T* detach() noexcept { return std::exchange(m_ptr, nullptr); }
  // Releases the held reference and becomes null.
  void reset() noexcept {
    if (T* p = std::exchange(m_ptr, nullptr)) p->Release();
  }
  // For out parameters: releases the held reference, returns the slot.
  T** put() noexcept {
    reset();
    return &m_ptr;
  }
  void** PutVoid() noexcept { return reinterpret_cast<void**>(put()); }

  T* get() const noexcept { return m_ptr; }
  T* operator->() const noexcept { return m_ptr; }
  T& operator*() const noexcept { return *m_ptr; }
  explicit operator bool() const noexcept { return m_ptr != nullptr; }
  void swap(ComPtr& other) noexcept { std::swap(m_ptr, other.m_ptr); }

  // QueryInterface for U (InterfaceId<U> must be specialised); a null
  // pointer when this is null or the object does not offer U.
  template <class U>
  ComPtr<U> as() const noexcept {
    ComPtr<U> result;
    if (m_ptr) m_ptr->QueryInterface(InterfaceId<U>::value(), result.PutVoid());
    return result;
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) noexcept { return a.m_ptr == b.m_ptr; }
  friend bool operator==(const ComPtr& a, std::nullptr_t) noexcept { return a.m_ptr == nullptr; }

 private:
  void AddRef() const noexcept {
    if (m_ptr) m_ptr->AddRef();
  }

  T* m_ptr = nullptr;
};

}  // namespace labelplu::ole

#endif  // LABELPLU_PLATFORM_OLE_COMPTR_H
