#include <gtest/gtest.h>

#include "platform/ole/ComPtr.h"
#include "tests/platform/ole/TestObjects.h"

using namespace labelplu::ole;
using namespace labelplu::ole::test;

namespace {

const CLSID kClass = {0x1B0E5C01, 0x1111, 0x4222, {0x83, 0x33, 0, 0, 0, 0, 0, 1}};

HRESULT CreateTestObject(const IID* iid, void** out) {
  ComPtr<ITestFoo> object = MakeCom<TestObject>(nullptr, 5);
  return object->QueryInterface(*iid, out);
}

HRESULT CreateOtherObject(const IID* iid, void** out) {
  ComPtr<ITestFoo> object = MakeCom<TestObject>(nullptr, 6);
  return object->QueryInterface(*iid, out);
}

TEST(ClassTable, CreatesAnnouncedClassesOnly) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(CoCreateInstance(&kClass, nullptr, 0, &IID_IUnknown, &out), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(out, nullptr);

  ASSERT_EQ(OleRegisterClass(&kClass, "test server", CreateTestObject), S_OK);
  ComPtr<ITestBar> bar;
  ASSERT_EQ(CoCreateInstance(&kClass, nullptr, 0, &IID_ITestBar, bar.PutVoid()), S_OK);
  EXPECT_EQ(bar->Bar(), 10);
  EXPECT_EQ(RefCount(bar.get()), 1u);

  ComPtr<IErrorInfo> wrong;
  EXPECT_EQ(CoCreateInstance(&kClass, nullptr, 0, &IID_IErrorInfo, wrong.PutVoid()), E_NOINTERFACE);
  EXPECT_FALSE(wrong);
  EXPECT_EQ(CoCreateInstance(&kClass, bar.get(), 0, &IID_IUnknown, &out), E_INVALIDARG);

  // A second announcement replaces the first.
  ASSERT_EQ(OleRegisterClass(&kClass, "other", CreateOtherObject), S_OK);
  ASSERT_EQ(CoCreateInstance(&kClass, nullptr, 0, &IID_ITestBar, bar.PutVoid()), S_OK);
  EXPECT_EQ(bar->Bar(), 12);

  EXPECT_EQ(OleRevokeClass(&kClass), S_OK);
  EXPECT_EQ(OleRevokeClass(&kClass), S_FALSE);
  EXPECT_EQ(CoCreateInstance(&kClass, nullptr, 0, &IID_IUnknown, &out), REGDB_E_CLASSNOTREG);
}

}  // namespace
