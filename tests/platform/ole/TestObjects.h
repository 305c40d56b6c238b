// Test interfaces and a reference-counted object implementing them.
#ifndef LABELPLU_TESTS_PLATFORM_OLE_TESTOBJECTS_H
#define LABELPLU_TESTS_PLATFORM_OLE_TESTOBJECTS_H

#include "platform/ole/ComObject.h"

namespace labelplu::ole::test {

// {6F1C2A10-0000-4000-8000-000000000001}
inline constexpr IID IID_ITestFoo = {0x6F1C2A10, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 1}};
// {6F1C2A10-0000-4000-8000-000000000002}
inline constexpr IID IID_ITestBar = {0x6F1C2A10, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 2}};

struct ITestFoo : IDispatch {
  virtual HRESULT Foo(int32_t* out) = 0;
};

struct ITestBar : IUnknown {
  virtual int32_t Bar() = 0;
};

}  // namespace labelplu::ole::test

LP_INTERFACE_ID(labelplu::ole::test::ITestFoo, IDispatch, labelplu::ole::test::IID_ITestFoo)
LP_INTERFACE_ID(labelplu::ole::test::ITestBar, IUnknown, labelplu::ole::test::IID_ITestBar)

namespace labelplu::ole::test {

// Sets *destroyed when deleted.
class TestObject final : public ComObject<ITestFoo, ITestBar> {
 public:
  explicit TestObject(bool* destroyed = nullptr, int32_t value = 7)
      : m_destroyed(destroyed), m_value(value) {}
  ~TestObject() override {
    if (m_destroyed) *m_destroyed = true;
  }

  HRESULT GetTypeInfoCount(uint32_t* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(uint32_t, uint32_t, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const IID&, OLECHAR**, uint32_t, uint32_t, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT Invoke(DISPID, const IID&, uint32_t, uint16_t, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                 uint32_t*) override {
    return E_NOTIMPL;
  }
  HRESULT Foo(int32_t* out) override {
    *out = m_value;
    return S_OK;
  }
  int32_t Bar() override { return m_value * 2; }

 private:
  bool* m_destroyed;
  int32_t m_value;
};

// The current reference count of an object.
inline uint32_t RefCount(IUnknown* unk) {
  unk->AddRef();
  return unk->Release();
}

}  // namespace labelplu::ole::test

#endif  // LABELPLU_TESTS_PLATFORM_OLE_TESTOBJECTS_H
