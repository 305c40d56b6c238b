// Loads labelplu.plu as a host does and drives it through its exports.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "labelplu/plugin.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/ContractInterfaces.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/ole/Variant.h"

namespace labelplu {
namespace {

using ole::ComPtr;
using ole::OleVariant;

std::string PluginPath() {
  const char* bin = std::getenv("LABELPLU_BIN");
  return std::string(bin ? bin : ".") + "/labelplu.plu";
}

// One request: result slot, name, kind, arguments.
RequestParams* Request(const char* name, int32_t kind,
                       std::initializer_list<OleVariant> args = {}) {
  RequestParams* params = RequestParams::Create();
  params->EnsureStorage();
  params->Add(OleVariant().get());
  params->Add(OleVariant(name).get());
  params->Add(OleVariant(kind).get());
  for (const OleVariant& arg : args) params->Add(arg.get());
  return params;
}

struct ParamsDeleter {
  void operator()(RequestParams* p) const { RequestParams::Destroy(p); }
};
using ParamsPtr = std::unique_ptr<RequestParams, ParamsDeleter>;

OleVariant ElementOf(const RequestParams& params, int32_t index) {
  VARIANT v = params.Get(index);
  return OleVariant::Adopt(v);
}

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("LANG", "ru_RU.UTF-8", 1);
    unsetenv("LANGUAGE");
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    m_module = dlopen(PluginPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(m_module, nullptr) << dlerror();
    m_query = reinterpret_cast<QueryFn>(dlsym(m_module, "Query"));
    m_pluginControl = reinterpret_cast<PluginControlFn>(dlsym(m_module, "PluginControl"));
    m_beforeFree = reinterpret_cast<BeforeFreeLibraryFn>(dlsym(m_module, "BeforeFreeLibrary"));
    ASSERT_TRUE(m_query && m_pluginControl && m_beforeFree);
    m_pluginControl(m_control.put());
    ASSERT_TRUE(m_control);
    ASSERT_EQ(m_control->GetDllObject(m_driver.put()), S_OK);
    ASSERT_EQ(m_control->GetCallEntry(&m_entry), S_OK);
  }

  void TearDown() override {
    if (!m_module) return;
    m_beforeFree();
    m_driver.reset();
    m_control.reset();
    dlclose(m_module);
  }

  // Runs one request and returns its result; failures propagate.
  OleVariant Run(const char* name, int32_t kind, std::initializer_list<OleVariant> args = {}) {
    ParamsPtr params(Request(name, kind, args));
    m_entry(params.get(), nullptr);
    return ElementOf(*params, 0);
  }

  // Runs one request that must fail with EProtectException; returns it.
  EProtectException Fail(const char* name, int32_t kind,
                         std::initializer_list<OleVariant> args = {}) {
    try {
      Run(name, kind, args);
    } catch (const EProtectException& e) {
      return e;
    }
    ADD_FAILURE() << name << " did not fail";
    return EProtectException(0, "");
  }

  void* m_module = nullptr;
  QueryFn m_query = nullptr;
  PluginControlFn m_pluginControl = nullptr;
  BeforeFreeLibraryFn m_beforeFree = nullptr;
  ComPtr<IPluginControl> m_control;
  ComPtr<IDriverObject> m_driver;
  CallEntryFn m_entry = nullptr;
};

TEST_F(ModuleTest, ExportsExactlyTheThreeEntryPointsAndAnswersTheControlInterface) {
  EXPECT_EQ(m_query(), LABELPLU_QUERY_VALUE);
  EXPECT_EQ(m_query(), m_query());
  ComPtr<IPluginControl> again;
  m_pluginControl(again.put());
  EXPECT_EQ(again.get(), m_control.get());
  EXPECT_EQ(m_control->Reserved1(7), S_OK);
  EXPECT_EQ(m_control->Reserved2(-1), S_OK);
  EXPECT_EQ(m_control->SetApplication(42), S_OK);
  m_beforeFree();
  EXPECT_EQ(dlsym(m_module, "CallEntry"), nullptr);
  EXPECT_EQ(dlsym(m_module, "LoadModule"), nullptr);
}

TEST_F(ModuleTest, DriverObjectDescribesTheModule) {
  BSTR text = nullptr;
  ASSERT_EQ(m_driver->GetModulePath(&text), S_OK);
  const std::string path = ole::BstrToUtf8(text);
  SysFreeString(text);
  EXPECT_EQ(path.substr(path.rfind('/') + 1), "labelplu.plu");
  ASSERT_EQ(m_driver->GetVersionText(&text), S_OK);
  EXPECT_EQ(ole::BstrToUtf8(text), "1.3.1.0");
  SysFreeString(text);
  uint16_t build = 99;
  int32_t level = 0, kind = 0;
  EXPECT_EQ(m_driver->GetBuildNumber(&build), S_OK);
  EXPECT_EQ(build, 0);
  EXPECT_EQ(m_driver->GetInterfaceLevel(&level), S_OK);
  EXPECT_EQ(level, 3);
  EXPECT_EQ(m_driver->GetInstanceKind(&kind), S_OK);
  EXPECT_EQ(kind, 1);
  EXPECT_EQ(Run("Релиз", 2).get().lVal, 1);

  ComPtr<IDriverNames> names;
  ASSERT_EQ(m_driver->GetNames(names.put()), S_OK);
  const auto ask = [&](bool (IDriverNames::*question)(BSTR), const char* name) {
    ole::BstrPtr asked(ole::Utf8ToBstr(name));
    return (names.get()->*question)(asked.get());
  };
  EXPECT_TRUE(ask(&IDriverNames::IsMethod, "гудок"));
  EXPECT_TRUE(ask(&IDriverNames::IsMethod, "CHOICEDEVICE"));
  EXPECT_FALSE(ask(&IDriverNames::IsMethod, "Гудок,Beep"));
  EXPECT_TRUE(ask(&IDriverNames::IsBaseMethod, "beep"));
  EXPECT_FALSE(ask(&IDriverNames::IsBaseMethod, "ChoiceDevice"));
  EXPECT_TRUE(ask(&IDriverNames::IsProperty, "колИчествоУстройств"));
  EXPECT_TRUE(ask(&IDriverNames::IsProperty, "release"));
  EXPECT_TRUE(ask(&IDriverNames::IsSwitchOn, "ВКЛЮЧИТЬ"));
  EXPECT_TRUE(ask(&IDriverNames::IsSwitchOff, "switchoff"));
  EXPECT_FALSE(ask(&IDriverNames::IsSwitchOn, "Выключить"));
}

TEST_F(ModuleTest, PropertiesReadAndWriteThroughCallEntry) {
  EXPECT_EQ(Run("КоличествоУстройств", 2).get().lVal, 0);
  EXPECT_EQ(Run("Result", 2).get().lVal, 3);  // no device selected
  Run("DeviceNumber", 3, {OleVariant(5)});
  EXPECT_EQ(Run("НомерУстройства", 2).get().lVal, 5);
  EXPECT_EQ(ole::VarToText(Run("DeviceName", 2).get()), "");
  for (const char* name : {"КоличествоУстройств", "Результат", "Release"}) {
    const EProtectException e = Fail(name, 3, {OleVariant(1)});
    EXPECT_EQ(e.Code, 20000);
    EXPECT_EQ(std::string(e.what()),
              "Свойство [" + std::string(name) + "] доступно только для чтения");
  }
}

TEST_F(ModuleTest, FailuresCarryCodesAndTextsInTheUsersLanguage) {
  EProtectException unknown = Fail("НетТакого", 1);
  EXPECT_EQ(unknown.Code, 20036);
  EXPECT_STREQ(unknown.what(), "Метод/Свойство [НетТакого] не обнаружено");
  ASSERT_EQ(unknown.Codes.size(), 1u);
  setenv("LANG", "C", 1);
  unknown = Fail("NoSuchThing", 2);
  EXPECT_EQ(unknown.Code, 20036);
  EXPECT_STREQ(unknown.what(), "Method/property [NoSuchThing] it is not revealed");

  const EProtectException count = Fail("Гудок", 1);
  EXPECT_EQ(count.Code, 20000);
  EXPECT_STREQ(count.what(),
               "Неверное количество переданных параметров\r\nФункция [Гудок]\r\nПередано: 0\r\n"
               "Необходимо: 2");

  // A non-zero result becomes an error with the device list's description.
  const EProtectException wrongType = Fail("Beep", 1, {OleVariant("high"), OleVariant(10)});
  EXPECT_EQ(wrongType.Code, 4);
  EXPECT_STREQ(wrongType.what(), "Неверный тип параметра");
  EXPECT_EQ(Fail("ChoiceDevice", 1, {OleVariant(1)}).Code, 3);

  EXPECT_EQ(ole::VarToText(Run("ОписаниеОшибки", 1, {OleVariant(3.0)}).get()),
            "Устройство не обнаружено");
  EXPECT_EQ(Run("Beep", 1, {OleVariant(440), OleVariant(1)}).get().lVal, 0);
}

TEST_F(ModuleTest, MalformedRequestsFailWithTheirTexts) {
  ParamsPtr shortList(RequestParams::Create());
  shortList->Add(OleVariant().get());
  shortList->Add(OleVariant("Beep").get());
  try {
    m_entry(shortList.get(), nullptr);
    FAIL();
  } catch (const EProtectException& e) {
    EXPECT_STREQ(e.what(), "Недостаточно параметров при вызове метода");
  }
  EXPECT_STREQ(Fail("", 1).what(), "Не указано имя метода");

  int bogus[8] = {};
  ParamsPtr params(Request("Release", 2));
  try {
    m_entry(params.get(), bogus);
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Вызов метода GetBaseDll с очень плохим параметром!");
  }
}

TEST_F(ModuleTest, TaskContextReceivesTheDriverObject) {
  static const HostTaskClass taskClass{kTaskClassMagic, "TInternalTask", nullptr};
  HostTask task{&taskClass, 0, {}, nullptr};
  ParamsPtr params(Request("Результат", 2));
  EXPECT_TRUE(m_entry(params.get(), &task));
  EXPECT_NE(task.Driver, nullptr);
  // The task's device does not exist: no current device.
  EXPECT_EQ(ElementOf(*params, 0).get().lVal, 3);
}

TEST_F(ModuleTest, ChainStopsAtTheFirstFailure) {
  RequestParams* first = Request("DeviceNumber", 3, {OleVariant(1)});
  first->Next = Request("NoSuchMethod", 1);
  first->Next->Next = Request("DeviceNumber", 3, {OleVariant(7)});
  ParamsPtr chain(first);
  EXPECT_THROW(m_entry(chain.get(), nullptr), EProtectException);
  EXPECT_EQ(Run("DeviceNumber", 2).get().lVal, 1);
}

// A value array made by class identifier, as a host makes one.
ComPtr<ISafeArray> NewTable(int32_t rows, std::initializer_list<OleVariant> cells = {}) {
  ComPtr<ISafeArray> table;
  EXPECT_EQ(CoCreateInstance(&CLSID_ValueArray, nullptr, 0, &IID_ISafeArray, table.PutVoid()),
            S_OK);
  table->SetBounds(rows, 1);
  int32_t row = 0;
  for (const OleVariant& cell : cells) table->SetValue(row++, 0, &cell.get());
  return table;
}

TEST_F(ModuleTest, ArgumentsPackedInAOneColumnValueArray) {
  ComPtr<ISafeArray> rows = NewTable(2, {OleVariant(440), OleVariant(5)});
  ParamsPtr params(Request("Гудок", 1, {OleVariant(static_cast<IDispatch*>(rows.get()))}));
  m_entry(params.get(), nullptr);
  EXPECT_EQ(params->Count(), 4);
  const OleVariant element = ElementOf(*params, 3);
  ASSERT_EQ(element.Type(), VT_DISPATCH);
  EXPECT_EQ(element.get().pdispVal, static_cast<IDispatch*>(rows.get()));
  OleVariant cell;
  ASSERT_EQ(rows->GetValue(1, 0, cell.put()), S_OK);
  EXPECT_EQ(cell.get().lVal, 5);

  // Three rows for two parameters: the count text shows 0 passed.
  ComPtr<ISafeArray> tooMany = NewTable(3);
  const EProtectException e = Fail("Beep", 1, {OleVariant(static_cast<IDispatch*>(tooMany.get()))});
  EXPECT_NE(std::string(e.what()).find("Передано: 0\r\nНеобходимо: 2"), std::string::npos);
}

TEST_F(ModuleTest, EventSupportHandsBackTheNamesAndLocksDeviceIsOn) {
  ParamsPtr params(Request("x", 1, {OleVariant(1), OleVariant(2)}));
  params->SetName("__@@EventSupport");
  params->Next = Request("Release", 2);
  EXPECT_FALSE(m_entry(params.get(), nullptr));
  EXPECT_EQ(params->Next, nullptr);
  ASSERT_EQ(params->Count(), 1);
  const OleVariant names = ElementOf(*params, 0);
  ASSERT_EQ(names.Type(), VT_UNKNOWN);
  ComPtr<IDriverNames> driverNames;
  EXPECT_EQ(names.get().punkVal->QueryInterface(IID_IDriverNames, driverNames.PutVoid()), S_OK);
  EXPECT_STREQ(Fail("УстройствоВключено", 3, {OleVariant(1)}).what(),
               "Свойство [УстройствоВключено] доступно только для чтения");
}

// The driver object is created while the module loads, before the dynamic
// initialisers of the module's other files would run: the module must have
// none, or the driver would see their objects unconstructed.
TEST(ModuleImageTest, HasNoDynamicInitialisersBesidesItsStartUp) {
  const std::string command = "nm " + PluginPath() + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  ASSERT_EQ(pclose(pipe), 0) << output;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t at = line.find("_GLOBAL__sub_I_");
    // Sanitiser constructors carry a priority ("_GLOBAL__sub_I_00099_...").
    if (at != std::string::npos && !std::isdigit(static_cast<unsigned char>(line[at + 15])))
      ADD_FAILURE() << "dynamic initialiser in the module: " << line;
  }
}

TEST_F(ModuleTest, DevicesCarryTheDriversParametersFromTheFirstCall) {
  Run("AddDevice", 1, {OleVariant("<Устройство/>")});
  Run("DeviceNumber", 3, {OleVariant(1)});
  const OleVariant width = Run("ШиринаЭтикетки", 2);
  EXPECT_EQ(width.Type(), VT_I4);
  EXPECT_EQ(width.get().lVal, 58);
  Run("DeleteDevice", 1, {OleVariant(1)});
}

}  // namespace
}  // namespace labelplu
