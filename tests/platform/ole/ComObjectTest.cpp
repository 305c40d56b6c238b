#include <gtest/gtest.h>

#include "platform/ole/ComObject.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/ContractInterfaces.h"
#include "tests/platform/ole/TestObjects.h"

using namespace labelplu::ole;
using namespace labelplu::ole::test;

namespace {

TEST(ComObject, QueryInterfaceAnswersEveryInterfaceAndItsBases) {
  bool destroyed = false;
  ComPtr<TestObject> object = MakeCom<TestObject>(&destroyed);
  ITestFoo* foo = object.get();

  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(foo->QueryInterface(IID_IErrorInfo, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(foo->QueryInterface(IID_IUnknown, nullptr), E_POINTER);

  ComPtr<IUnknown> unknownFromFoo, unknownFromBar;
  ComPtr<IDispatch> dispatch;
  ComPtr<ITestBar> bar;
  ASSERT_EQ(foo->QueryInterface(IID_IUnknown, unknownFromFoo.PutVoid()), S_OK);
  ASSERT_EQ(foo->QueryInterface(IID_IDispatch, dispatch.PutVoid()), S_OK);
  ASSERT_EQ(foo->QueryInterface(IID_ITestBar, bar.PutVoid()), S_OK);
  ASSERT_EQ(bar->QueryInterface(IID_IUnknown, unknownFromBar.PutVoid()), S_OK);
  // One identity whichever interface is asked.
  EXPECT_EQ(unknownFromFoo.get(), unknownFromBar.get());
  EXPECT_EQ(static_cast<void*>(dispatch.get()), static_cast<void*>(foo));
  EXPECT_EQ(bar->Bar(), 14);
  EXPECT_EQ(RefCount(foo), 5u);

  object.reset();
  unknownFromFoo.reset();
  unknownFromBar.reset();
  dispatch.reset();
  EXPECT_FALSE(destroyed);
  bar.reset();
  EXPECT_TRUE(destroyed);
}

// A C caller sees each interface pointer as a pointer to a table of plain
// function pointers in slot order.
TEST(ComObject, SlotsAreCallableThroughThePlainTable) {
  bool destroyed = false;
  auto* object = new TestObject(&destroyed, 21);
  void* foo = static_cast<ITestFoo*>(object);
  void** table = *static_cast<void***>(foo);

  using AddRefFn = uint32_t (*)(void*);
  using QueryFn = HRESULT (*)(void*, const IID*, void**);
  using FooFn = HRESULT (*)(void*, int32_t*);
  EXPECT_EQ(reinterpret_cast<AddRefFn>(table[1])(foo), 2u);
  int32_t value = 0;
  EXPECT_EQ(reinterpret_cast<FooFn>(table[7])(foo, &value), S_OK);  // after IDispatch's 4 slots
  EXPECT_EQ(value, 21);

  void* bar = nullptr;
  ASSERT_EQ(reinterpret_cast<QueryFn>(table[0])(foo, &IID_ITestBar, &bar), S_OK);
  void** barTable = *static_cast<void***>(bar);
  EXPECT_EQ(reinterpret_cast<int32_t (*)(void*)>(barTable[3])(bar), 42);
  EXPECT_EQ(reinterpret_cast<AddRefFn>(barTable[2])(bar), 2u);  // Release through the second base

  EXPECT_EQ(reinterpret_cast<AddRefFn>(table[2])(foo), 1u);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(reinterpret_cast<AddRefFn>(table[2])(foo), 0u);
  EXPECT_TRUE(destroyed);
}

TEST(ComPtr, CopiesShareAndOutParametersReleaseFirst) {
  bool firstGone = false, secondGone = false;
  ComPtr<ITestFoo> a = MakeCom<TestObject>(&firstGone);
  {
    ComPtr<ITestFoo> b = a;
    EXPECT_EQ(RefCount(a.get()), 2u);
    ComPtr<ITestFoo> c = std::move(b);
    EXPECT_FALSE(b);  // NOLINT(bugprone-use-after-move): the moved-from state is checked
    EXPECT_EQ(RefCount(a.get()), 2u);
  }
  EXPECT_EQ(RefCount(a.get()), 1u);

  ComPtr<IDispatch> dispatch = a.as<IDispatch>();
  ASSERT_TRUE(dispatch);
  EXPECT_FALSE(a.as<IErrorInfo>());

  // put() drops the held object before the callee writes the slot.
  dispatch.reset();
  *a.put() = nullptr;
  EXPECT_TRUE(firstGone);
  EXPECT_FALSE(a);

  auto* second = new TestObject(&secondGone);
  ComPtr<ITestFoo> adopted = ComPtr<ITestFoo>::Attach(second);
  EXPECT_EQ(RefCount(adopted.get()), 1u);
  ITestFoo* detached = adopted.detach();
  EXPECT_EQ(detached->Release(), 0u);
  EXPECT_TRUE(secondGone);
}

class NamesObject final : public ComObject<labelplu::IDriverNames> {
 public:
  bool IsProperty(BSTR) override { return false; }
  bool IsMethod(BSTR) override { return true; }
  bool IsBaseMethod(BSTR) override { return false; }
  bool IsSwitchOn(BSTR) override { return false; }
  bool IsSwitchOff(BSTR) override { return false; }
};

TEST(ComObject, ContractInterfacesHaveTheirIds) {
  ComPtr<IUnknown> unknown = MakeCom<NamesObject>().as<IUnknown>();
  ComPtr<labelplu::IDriverNames> names = unknown.as<labelplu::IDriverNames>();
  ASSERT_TRUE(names);
  EXPECT_TRUE(names->IsMethod(nullptr));
  EXPECT_FALSE(unknown.as<labelplu::IDriverObject>());
  EXPECT_FALSE(unknown.as<IDispatch>());
}

}  // namespace
