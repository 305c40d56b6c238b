// The dispatcher and the driver object in process, with tables of the tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/ole/ErrorInfo.h"
#include "platform/ole/Variant.h"
#include "plugin/BaseMethods.h"
#include "plugin/LabelPrinterDriver.h"
#include "plugin/ModuleState.h"
#include "plugin/PluginControlObject.h"
#include "plugin/SpoolerLabelDriver.h"

namespace labelplu {
namespace {

using ole::OleVariant;

void SetInt(VARIANT& target, int32_t value) {
  VariantClear(&target);
  target.vt = VT_I4;
  target.lVal = value;
}

// Doubles its argument in place (through a reference when given one).
void Twice(const CallContext&, std::span<VARIANT> args, VARIANT& result) {
  const int32_t value = ole::VarToInt32(args[0]);
  SetInt(args[0], value * 2);
  SetInt(result, 0);
}

// Answers its argument as the result code.
void Code(const CallContext&, std::span<VARIANT> args, VARIANT& result) {
  SetInt(result, ole::VarToInt32(args[0]));
}

void Answer(VARIANT& result, const char* text) {
  OleVariant value(text);
  VariantClear(&result);
  result = value.release();
}
void LevelShadow(const CallContext&, std::span<VARIANT>, VARIANT& r) {
  Answer(r, "level");
}
void DriverShadow(const CallContext&, std::span<VARIANT>, VARIANT& r) {
  Answer(r, "driver");
}
void BaseShadow(const CallContext&, std::span<VARIANT>, VARIANT& r) {
  Answer(r, "base");
}

const MethodRecord kLevel[] = {{"Тень,Shadow", 0, LevelShadow}};
const MethodRecord kDriver[] = {{"Shadow,Тень", 0, DriverShadow},
                                {"Driver,Драйвер", 0, DriverShadow},
                                {"Удвоить,Twice", 1, Twice},
                                {"Код,Code", 1, Code}};
const MethodRecord kBase[] = {{"Тень,Shadow", 0, BaseShadow},
                              {"Драйвер,Driver", 0, BaseShadow},
                              {"Base,База", 0, BaseShadow}};

class TestDevice : public DeviceItem {
 public:
  using DeviceItem::DeviceItem;
  std::string GetErrorText(int32_t code) const override {
    return "устройство: " + std::to_string(code);
  }
};

class TestList : public DeviceList {
 public:
  TestList() : DeviceList("labelplu.plu") {}
  DeviceItem& AddNamed(const std::string& name) {
    DeviceItem& device = AppendDevice();
    device.Name = name;
    return device;
  }

 protected:
  ole::ComPtr<DeviceItem> CreateItem() override { return ole::MakeCom<TestDevice>(*this); }
};

class TestDriver : public LabelPrinterDriver {
 public:
  TestDriver()
      : LabelPrinterDriver({kDriver, kBase, BasePropertyTable()}, nullptr, &m_self,
                           std::make_unique<TestList>()) {
    SetLevelTables(kLevel, {});
  }
  TestList& List() { return static_cast<TestList&>(Devices()); }

 private:
  DriverObject* m_self = this;
};

// The module's own driver class over a list the test fills.
class RealDriver {
 public:
  RealDriver()
      : m_driver(ole::MakeCom<SpoolerLabelDriver>(nullptr, &m_slot, std::make_unique<TestList>())) {
    m_slot = m_driver.get();
  }
  SpoolerLabelDriver* operator->() const { return m_driver.get(); }
  TestList& List() { return static_cast<TestList&>(m_driver->Devices()); }

 private:
  DriverObject* m_slot = nullptr;
  ole::ComPtr<SpoolerLabelDriver> m_driver;
};

struct ParamsDeleter {
  void operator()(RequestParams* p) const { RequestParams::Destroy(p); }
};
using ParamsPtr = std::unique_ptr<RequestParams, ParamsDeleter>;

ParamsPtr Request(const char* name, int32_t kind, std::initializer_list<OleVariant> args = {}) {
  ParamsPtr params(RequestParams::Create());
  params->Add(OleVariant().get());
  params->Add(OleVariant(name).get());
  params->Add(OleVariant(kind).get());
  for (const OleVariant& arg : args) params->Add(arg.get());
  return params;
}

OleVariant ElementOf(const RequestParams& params, int32_t index) {
  VARIANT v = params.Get(index);
  return OleVariant::Adopt(v);
}

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("LANG", "ru_RU.UTF-8", 1);
    m_driver = ole::MakeCom<TestDriver>();
  }
  OleVariant Run(const char* name, int32_t kind, std::initializer_list<OleVariant> args = {}) {
    ParamsPtr params = Request(name, kind, args);
    m_driver->Dispatch(params.get(), nullptr);
    return ElementOf(*params, 0);
  }
  ole::ComPtr<TestDriver> m_driver;
};

class DriverTablesTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("LANG", "ru_RU.UTF-8", 1); }
  OleVariant Run(const char* name, int32_t kind, std::initializer_list<OleVariant> args = {}) {
    ParamsPtr params = Request(name, kind, args);
    m_driver->Dispatch(params.get(), nullptr);
    return ElementOf(*params, 0);
  }
  RealDriver m_driver;
};

TEST_F(DispatchTest, LookupFindsEitherHalfInAnyCaseLevelFirstThenDriverThenBase) {
  const struct {
    const char* name;
    const char* answer;
  } cases[] = {{"shadow", "level"},   {"ТЕНЬ", "level"}, {"DRIVER", "driver"},
               {"драйвер", "driver"}, {"база", "base"},  {"BASE", "base"}};
  for (const auto& c : cases) EXPECT_EQ(ole::VarToText(Run(c.name, 1).get()), c.answer) << c.name;
  EXPECT_EQ(m_driver->FindMethod("Shadow").Number, 20000);
  EXPECT_EQ(m_driver->FindMethod("Driver").Number, 1);
  EXPECT_EQ(m_driver->FindMethod("База").Number, 10002);
  EXPECT_EQ(m_driver->FindProperty("RELEASE").Number, 100006);
  // A method read as a property is called as a method.
  EXPECT_EQ(ole::VarToText(Run("Base", 2).get()), "base");
}

TEST_F(DispatchTest, OutArgumentsAreCopiedBackToOwnedAndBorrowedBlocks) {
  ParamsPtr owned = Request("Удвоить", 1, {OleVariant(21)});
  EXPECT_TRUE(m_driver->Dispatch(owned.get(), nullptr));
  EXPECT_EQ(ElementOf(*owned, 3).get().lVal, 42);
  EXPECT_EQ(ElementOf(*owned, 0).get().lVal, 0);

  // A COM argument block, last argument first; the out-argument is a
  // reference into the host's own variable.
  int32_t hostValue = 8;
  VARIANT slots[4];
  slots[0].vt = VT_I4 | VT_BYREF;
  slots[0].plVal = &hostValue;
  slots[1] = OleVariant(1).release();
  slots[2] = OleVariant("Twice").release();
  VARIANT result;
  VariantInit(&result);
  slots[3].vt = VT_VARIANT | VT_BYREF;
  slots[3].pvarVal = &result;
  DISPPARAMS block{slots, nullptr, 4, 0};
  ParamsPtr borrowed(RequestParams::Create());
  borrowed->Attach(&block);
  m_driver->Dispatch(borrowed.get(), nullptr);
  EXPECT_EQ(hostValue, 16);
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 0);
  VariantClear(&slots[2]);
}

TEST_F(DispatchTest, NonZeroResultsBecomeErrorsWithTheDevicesText) {
  EXPECT_EQ(Run("Code", 1, {OleVariant(0)}).get().lVal, 0);
  try {
    Run("Code", 1, {OleVariant(5)});
    FAIL();
  } catch (const EProtectException& e) {
    EXPECT_EQ(e.Code, 5);
    EXPECT_STREQ(e.what(), "Ошибка. Код №5");
  }
  m_driver->List().AddNamed("Принтер №1");
  m_driver->Devices().SetCurrent(1);
  try {
    Run("Code", 1, {OleVariant(5)});
    FAIL();
  } catch (const EProtectException& e) {
    EXPECT_EQ(e.Code, 5);
    EXPECT_STREQ(e.what(), "устройство: 5");
  }
}

TEST_F(DriverTablesTest, DevicesAreChosenByNumberOrNameAndDeletedByNumber) {
  TestList& list = m_driver.List();
  list.AddNamed("Принтер №1");
  list.AddNamed("Принтер №2");
  list.AddNamed("Ёлочный");
  EXPECT_EQ(Run("ChoiceDevice", 1, {OleVariant("ёЛОЧНЫЙ")}).get().lVal, 0);
  EXPECT_EQ(list.Current, 3);
  for (const OleVariant& key :
       {OleVariant(0), OleVariant(4), OleVariant("нет"), OleVariant(true)}) {
    EXPECT_THROW(Run("ChoiceDevice", 1, {key}), EProtectException);
    EXPECT_EQ(list.Current, 3);
  }
  EXPECT_EQ(ole::VarToText(Run("ИмяУстройства", 2).get()), "Ёлочный");
  for (const OleVariant& number : {OleVariant(0), OleVariant(-1), OleVariant(4)})
    EXPECT_THROW(Run("DeleteDevice", 1, {number}), EProtectException);
  EXPECT_EQ(list.Count(), 3);
  Run("DeleteDevice", 1, {OleVariant(2.0)});
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.GetDevice(1)->Name, "Ёлочный");
}

TEST_F(DriverTablesTest, SwitchingAndTheTemplateCheckFollowTheDevicesState) {
  DeviceItem& device = m_driver.List().AddNamed("Принтер №1");
  m_driver.List().SetCurrent(1);
  // Switched off: 3, and the argument keeps its value.
  ParamsPtr check = Request("ПроверитьШаблонЭтикетки", 1, {OleVariant("шаблон")});
  EXPECT_THROW(m_driver->Dispatch(check.get(), nullptr), EProtectException);
  EXPECT_EQ(ole::VarToText(ElementOf(*check, 3).get()), "шаблон");
  EXPECT_EQ(device.ResultCode, 3);

  Run("SwitchOn", 1, {OleVariant()});
  EXPECT_TRUE(device.IsOn());
  EXPECT_EQ(Run("DeviceIsOn", 2).get().lVal, 1);
  check = Request("CheckLabelTemplate", 1, {OleVariant("шаблон")});
  m_driver->Dispatch(check.get(), nullptr);
  EXPECT_EQ(ElementOf(*check, 3).Type(), VT_EMPTY);

  Run("Выключить", 1, {OleVariant()});
  EXPECT_FALSE(device.IsOn());
  // Without a host link the written value is taken as it is: 5 is not "on".
  Run("УстройствоВключено", 3, {OleVariant(5)});
  EXPECT_FALSE(device.IsOn());
  try {
    Run("ExecutePrint", 1, {OleVariant("не таблица")});
    FAIL();
  } catch (const EProtectException& e) {
    EXPECT_EQ(e.Code, 4);
  }
}

TEST_F(DispatchTest, ControlObjectReportsAMissingDriver) {
  ole::ComPtr<PluginControlObject> noSlot = ole::MakeCom<PluginControlObject>(nullptr, nullptr);
  IDriverObject* out = nullptr;
  EXPECT_TRUE(FAILED(noSlot->GetDllObject(&out)));
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(ole::TakeErrorText(), "Обработчик GetDllObject не назначен");

  DriverObject* empty = nullptr;
  ole::ComPtr<PluginControlObject> nil = ole::MakeCom<PluginControlObject>(&empty, nullptr);
  EXPECT_TRUE(FAILED(nil->GetDllObject(&out)));
  EXPECT_EQ(ole::TakeErrorText(), "GetDllObject вернул Nil");
}

TEST(ModuleStateTest, ControlInterfaceOutlivesTheDriverObjectAndSaysSo) {
  ASSERT_EQ(LoadModule(), 0);
  ole::ComPtr<IPluginControl> control(ControlInterface());
  ASSERT_TRUE(control);
  IDriverObject* driver = nullptr;
  ASSERT_EQ(control->GetDllObject(&driver), S_OK);
  driver->Release();
  UnloadModule();
  EXPECT_EQ(ControlInterface(), nullptr);
  EXPECT_TRUE(FAILED(control->GetDllObject(&driver)));
  EXPECT_EQ(ole::TakeErrorText(), "GetDllObject вернул Nil");
  EXPECT_THROW(CallEntry(nullptr, nullptr), EProtectException);
}

}  // namespace
}  // namespace labelplu
