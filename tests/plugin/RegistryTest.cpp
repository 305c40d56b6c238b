// The device registry through the driver's base methods, in process: each
// test has a fresh driver object of the module's own class.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "base/ArgTypes.h"
#include "devices/DialogColours.h"
#include "devices/SettingsXml.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/Variant.h"
#include "platform/xml/XmlDom.h"
#include "plugin/SpoolerLabelDriver.h"
#include "print/PrinterDevice.h"
#include "values/ValueArray.h"

namespace labelplu {
namespace {

using ole::OleVariant;

struct ParamsDeleter {
  void operator()(RequestParams* p) const { RequestParams::Destroy(p); }
};
using ParamsPtr = std::unique_ptr<RequestParams, ParamsDeleter>;

std::string Sample(const std::string& name) {
  std::ifstream in(std::string(std::getenv("LABELPLU_SOURCE")) + "/samples/settings/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string XmlOf(const VARIANT& v) {
  if (v.vt == VT_BSTR) return ole::VarToText(v);
  EXPECT_EQ(v.vt, VT_DISPATCH);
  return xml::DocumentFromDispatch(v.pdispVal).xml();
}

// A driver object of the module's class with its own device list.
class DriverHarness {
 public:
  DriverHarness() {
    m_driver = ole::MakeCom<SpoolerLabelDriver>(
        nullptr, &m_slot, std::make_unique<PrinterDeviceList>("labelplu.plu"));
    m_slot = m_driver.get();
  }

  // Runs one request; returns the list with its written-back arguments.
  ParamsPtr Request(const char* name, int32_t kind, std::initializer_list<OleVariant> args = {}) {
    ParamsPtr params(RequestParams::Create());
    params->Add(OleVariant().get());
    params->Add(OleVariant(name).get());
    params->Add(OleVariant(kind).get());
    for (const OleVariant& arg : args) params->Add(arg.get());
    m_driver->Dispatch(params.get(), nullptr);
    return params;
  }
  OleVariant Element(const ParamsPtr& params, int32_t index) {
    VARIANT v = params->Get(index);
    return OleVariant::Adopt(v);
  }
  OleVariant Call(const char* name, std::initializer_list<OleVariant> args = {}) {
    return Element(Request(name, 1, args), 0);
  }
  OleVariant Get(const char* name) { return Element(Request(name, 2), 0); }
  void Set(const char* name, const OleVariant& value) { Request(name, 3, {value}); }
  int32_t FailCode(const char* name, std::initializer_list<OleVariant> args = {}) {
    try {
      Request(name, 1, args);
    } catch (const EProtectException& e) {
      return e.Code;
    }
    return 0;
  }
  DeviceList& List() { return m_driver->Devices(); }

  DriverObject* m_slot = nullptr;
  ole::ComPtr<SpoolerLabelDriver> m_driver;
};

class RegistryTest : public ::testing::Test, public DriverHarness {
 protected:
  void SetUp() override { setenv("LANG", "ru_RU.UTF-8", 1); }
};

TEST_F(RegistryTest, DevicesAddedByDocumentAreNamedSelectedAndDescribed) {
  // A device with defaults, then one from a document.
  ParamsPtr first = Request("ДобавитьУстройство", 1, {OleVariant("<Устройство/>")});
  const std::string firstDoc = ole::VarToText(Element(first, 3).get());
  EXPECT_NE(firstDoc.find("Наименование=\"Windows-принтер (ЖФУ8) №1\""), std::string::npos);
  EXPECT_NE(firstDoc.find("КодМодели=\"{7785F5AB-7C69-459E-915C-4D66F2EC68B9}\""),
            std::string::npos);
  Call("AddDevice",
       {OleVariant("<Устройство Код=\"{11111111-2222-3333-4444-555555555555}\" "
                   "Наименование=\"Склад\"><Параметры><Параметр Идентификатор=\"MarginLeft\" "
                   "Значение=\"3,5\"/></Параметры></Устройство>")});
  EXPECT_EQ(Get("КоличествоУстройств").get().lVal, 2);

  EXPECT_EQ(Call("ChoiceDevice", {OleVariant("СКЛАД")}).get().lVal, 0);
  EXPECT_EQ(Get("DeviceNumber").get().lVal, 2);
  EXPECT_EQ(ole::VarToText(Get("ИмяУстройства").get()), "Склад");
  EXPECT_EQ(Call("ВыбратьУстройство", {OleVariant(1)}).get().lVal, 0);
  EXPECT_EQ(ole::VarToText(Get("DeviceName").get()), "Windows-принтер (ЖФУ8) №1");

  // Label-printer parameters read as properties, typed by their descriptor.
  const OleVariant width = Get("ШиринаЭтикетки");
  EXPECT_EQ(width.Type(), VT_I4);
  EXPECT_EQ(width.get().lVal, 58);
  Set("DefaultTemplate", OleVariant("строка 1\r\nстрока 2"));
  EXPECT_EQ(ole::VarToText(Get("ШаблонПоУмолчанию").get()), "строка 1\r\nстрока 2");
  // "Использовать" is both a standard and a label-printer parameter.
  EXPECT_EQ(List().GetDevice(0)->Params.Count(), 2 + 9 + 18 - 1);

  // Switched off: the template check fails with the device's text for 3.
  try {
    Request("CheckLabelTemplate", 1, {OleVariant()});
    FAIL();
  } catch (const EProtectException& e) {
    EXPECT_EQ(e.Code, 3);
    EXPECT_STREQ(e.what(), "Устройство не обнаружено");
  }
  EXPECT_EQ(Get("Результат").get().lVal, 3);
  EXPECT_EQ(ole::VarToText(Call("ОписаниеОшибки", {OleVariant(14)}).get()),
            "Принтер занят выполнением другого задания");
  Call("Включить", {OleVariant()});
  EXPECT_EQ(Get("УстройствоВключено").get().lVal, 1);
  EXPECT_EQ(Call("ПроверитьШаблонЭтикетки", {OleVariant()}).get().lVal, 0);
  Call("SwitchOff", {OleVariant()});
  EXPECT_EQ(Get("DeviceIsOn").get().lVal, 0);
}

TEST_F(RegistryTest, DeleteByNumberAcceptsOnlyExistingNumbers) {
  for (int i = 0; i < 3; ++i) Call("AddDevice", {OleVariant("<Устройство/>")});
  for (const OleVariant& bad : {OleVariant(0), OleVariant(-1), OleVariant(4), OleVariant("1")})
    EXPECT_EQ(FailCode("DeleteDevice", {bad}), 3);
  EXPECT_EQ(List().Count(), 3);
  Call("DeleteDevice", {OleVariant(2.0)});
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(List().GetDevice(1)->Name, "Windows-принтер (ЖФУ8) №3");
  // The freed name is taken again.
  Call("AddDevice", {OleVariant("<Устройство/>")});
  EXPECT_EQ(List().GetDevice(2)->Name, "Windows-принтер (ЖФУ8) №2");
}

TEST_F(RegistryTest, BulkSettingsLegacyDocumentsAndTheListDocumentRoundTrip) {
  Call("НастроитьУстройства", {OleVariant(Sample("system.xml"))});
  ASSERT_EQ(List().Count(), 2);
  EXPECT_NE(List().SettingsText.find("<Система>"), std::string::npos);
  DeviceItem& store = *List().GetDevice(0);
  EXPECT_EQ(store.Name, "Склад");
  EXPECT_EQ(store.GetParam("Примечание"), "первая строка\r\nвторая строка");
  EXPECT_EQ(store.GetIntParam("MaxVertical"), 7);
  EXPECT_DOUBLE_EQ(List().GetDevice(1)->GetFloatParam("GapHorizontal"), 2.5);

  Call("AddDevice", {OleVariant(Sample("legacy.xml"))});
  DeviceItem& legacy = *List().GetDevice(2);
  EXPECT_EQ(legacy.Name, "Старый принтер");
  EXPECT_EQ(legacy.GetParam("ШаблонПоУмолчанию"), "old.lb3");
  EXPECT_EQ(legacy.Port->Settings().ComNumber, 1);  // index of 2
  EXPECT_EQ(legacy.Port->Settings().Baud, 3);       // index of 19200
  EXPECT_EQ(legacy.Port->Settings().StopBits, 0);   // index of 2

  ParamsPtr all = Request("ПолучитьНастройкиXML", 1, {OleVariant(0), OleVariant()});
  const std::string listDoc = XmlOf(Element(all, 4).get());
  EXPECT_EQ(listDoc.rfind("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<EquList>", 0), 0u);

  // A fresh driver given the list document holds the same devices.
  DriverHarness other;
  other.Call("SettingDevices", {OleVariant(listDoc)});
  ASSERT_EQ(other.List().Count(), 3);
  ParamsPtr again = other.Request("GetSettingsXML", 1, {OleVariant("все"), OleVariant()});
  EXPECT_EQ(XmlOf(other.Element(again, 4).get()), listDoc);

  // One device by its code; an unknown code gives 3.
  ParamsPtr one = Request("GetSettingsXML", 1,
                          {OleVariant("{9f8e7d6c-5b4a-4392-8171-605f4e3d2c1b}"), OleVariant()});
  EXPECT_NE(XmlOf(Element(one, 4).get()).find("Наименование=\"Касса 2\""), std::string::npos);
  EXPECT_EQ(FailCode("GetSettingsXML",
                     {OleVariant("{00000000-0000-0000-0000-000000000001}"), OleVariant()}),
            3);
}

TEST_F(RegistryTest, PropertyTablesGoOutAndComeBack) {
  Call("AddDevice", {OleVariant("<Устройство Наименование=\"Т\"/>")});
  Set("DeviceNumber", OleVariant(1));
  ParamsPtr got = Request("ПолучитьСвойства", 1, {OleVariant()});
  ole::ComPtr<ISafeArray> table = ValueArrayOf(Element(got, 3).get());
  ASSERT_TRUE(table);
  int32_t rows = 0, cols = 0;
  table->GetBounds(&rows, &cols);
  EXPECT_EQ(rows, 1 + 2 + 9 + 18 - 1);
  EXPECT_EQ(cols, 7);
  OleVariant cell;
  table->GetValue(0, 4, cell.put());
  EXPECT_EQ(ole::VarToText(cell.get()), "Т");

  // A changed value and an unknown name come back into the device; the
  // device-name row is skipped.
  const OleVariant rowsIn[][7] = {
      {OleVariant("ИмяУстройства"), OleVariant(""), OleVariant(""), OleVariant("Строка"),
       OleVariant("другое"), OleVariant(1), OleVariant("")},
      {OleVariant("MarginTop"), OleVariant("Отступ сверху"), OleVariant(""), OleVariant("Число"),
       OleVariant("4.5"), OleVariant(0), OleVariant("1")},
      {OleVariant("Новый"), OleVariant("Новый"), OleVariant(""), OleVariant("Строка"),
       OleVariant("a\\nb"), OleVariant(0), OleVariant("")}};
  ole::ComPtr<ISafeArray> input = CreateValueArray();
  input->SetBounds(3, 7);
  for (int32_t r = 0; r < 3; ++r)
    for (int32_t c = 0; c < 7; ++c) input->SetValue(r, c, &rowsIn[r][c].get());
  Request("УстановитьСвойства", 1, {OleVariant(static_cast<IDispatch*>(input.get()))});
  DeviceItem& device = *List().GetDevice(0);
  EXPECT_EQ(device.Name, "Т");
  EXPECT_DOUBLE_EQ(device.GetFloatParam("MarginTop"), 4.5);
  EXPECT_EQ(device.GetParam("Новый"), "a\r\nb");

  // A "Число" value that is not a number: 20029 with the caption.
  const OleVariant bad = OleVariant("x");
  input->SetValue(1, 4, &bad.get());
  try {
    Request("SetProps", 1, {OleVariant(static_cast<IDispatch*>(input.get()))});
    FAIL();
  } catch (const EProtectException& e) {
    EXPECT_EQ(e.Code, 20029);
    EXPECT_STREQ(e.what(), "Неверный тип свойства [Отступ сверху]");
  }
}

TEST_F(RegistryTest, BadDocumentsFailAndLeaveTheListAsDocumented) {
  EXPECT_THROW(Call("AddDevice", {OleVariant("<Устройство")}), xml::XmlParseError);
  // The device made before the document failed was released at once: the
  // call came from the list's own thread, so it stays (until removed).
  const int32_t before = List().Count();
  try {
    Call("AddDevice", {OleVariant("<Устройство Код=\"нет\"/>")});
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Значение не является идентификатором объекта.");
  }
  EXPECT_EQ(List().Count(), before + 1);
  EXPECT_EQ(FailCode("SettingDevices", {OleVariant(5)}), 4);
}

TEST_F(RegistryTest, PluginInformationDescribesTheModel) {
  ParamsPtr info = Request("ИнформацияОПлагине", 1,
                           {OleVariant(), OleVariant(), OleVariant(), OleVariant(), OleVariant(),
                            OleVariant(), OleVariant(), OleVariant(), OleVariant(), OleVariant(),
                            OleVariant(), OleVariant(), OleVariant()});
  EXPECT_EQ(ole::VarToText(Element(info, 3).get()), "{7785F5AB-7C69-459E-915C-4D66F2EC68B9}");
  EXPECT_EQ(ole::VarToText(Element(info, 4).get()), "Windows-принтер (ЖФУ8)");
  EXPECT_EQ(Element(info, 5).get().lVal, 1);
  EXPECT_EQ(Element(info, 6).get().lVal, 3);
  EXPECT_EQ(Element(info, 7).get().lVal, 1);
  EXPECT_EQ(Element(info, 8).get().lVal, 0);
  EXPECT_EQ(ole::VarToText(Element(info, 11).get()), "WinPrinter");
  EXPECT_EQ(ole::VarToText(Element(info, 12).get()), "Принтер");
  EXPECT_EQ(ole::VarToText(Element(info, 13).get()), "Принтеры этикеток");
  EXPECT_EQ(ole::VarToText(Element(info, 10).get())
                .rfind("<Параметры><Параметр Идентификатор=\"Использовать\"", 0),
            0u);
}

TEST_F(RegistryTest, TheModelCatalogueDescribesParametersADocumentOnlyNames) {
  std::vector<OleVariant> args(13);
  args[7] = OleVariant(Sample("catalog.xml"));
  ParamsPtr params(RequestParams::Create());
  params->Add(OleVariant().get());
  params->Add(OleVariant("GetPlgInfo").get());
  params->Add(OleVariant(1).get());
  for (const OleVariant& arg : args) params->Add(arg.get());
  m_driver->Dispatch(params.get(), nullptr);
  ASSERT_TRUE(List().Catalog);

  // The catalogue's own device document: "Комментарий" is no parameter of
  // the driver, so its description comes from the catalogue.
  Call("НастроитьУстройства", {OleVariant(Sample("catalog.xml"))});
  ASSERT_EQ(List().Count(), 1);
  const ParameterDescriptor* comment = FindParam(List().GetDevice(0)->Params, "Комментарий");
  ASSERT_NE(comment, nullptr);
  EXPECT_EQ(comment->ValueText, "Склад №2");
  // The bulk settings freed the catalogue before loading: nothing described.
  EXPECT_EQ(comment->TypeName, "");

  args[7] = OleVariant(Sample("catalog.xml"));
  params->Clear();
  params->Add(OleVariant().get());
  params->Add(OleVariant("GetPlgInfo").get());
  params->Add(OleVariant(1).get());
  for (const OleVariant& arg : args) params->Add(arg.get());
  m_driver->Dispatch(params.get(), nullptr);
  Call("AddDevice",
       {OleVariant("<Устройство КодМодели=\"{7785F5AB-7C69-459E-915C-4D66F2EC68B9}\">"
                   "<Параметры><Параметр Идентификатор=\"Комментарий\" Значение=\"x\"/>"
                   "</Параметры></Устройство>")});
  const ParameterDescriptor* described = FindParam(List().GetDevice(1)->Params, "Комментарий");
  ASSERT_NE(described, nullptr);
  EXPECT_EQ(described->ValueText, "x");
  EXPECT_EQ(described->Caption, "Комментарий");
  EXPECT_EQ(described->TypeName, "String");
  EXPECT_EQ(described->DefaultText, "Склад №1");
  EXPECT_EQ(described->Hint, "Произвольный комментарий к устройству");
}

TEST_F(RegistryTest, CreateComSafeArrayMakesTablesOfTheGivenSize) {
  const OleVariant made = Call("СоздатьПараметры", {OleVariant("a"), OleVariant(3)});
  ole::ComPtr<ISafeArray> table = ValueArrayOf(made.get());
  ASSERT_TRUE(table);
  int32_t rows = -1, cols = -1;
  table->GetBounds(&rows, &cols);
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(cols, 3);
}

TEST_F(RegistryTest, TheModelInterfaceFindsInsertsAndDeletesDevices) {
  ole::ComPtr<IUnknown> unknown;
  ASSERT_EQ(m_driver->GetModel(0, unknown.put()), S_OK);
  ole::ComPtr<IModelPlu> model = unknown.as<IModelPlu>();
  ASSERT_TRUE(model);
  EXPECT_TRUE(unknown.as<IModelPlu2>());
  ole::ComPtr<IUnknown> none;
  EXPECT_EQ(m_driver->GetModel(1, none.put()), S_OK);
  EXPECT_FALSE(none);

  const char* text =
      "<Устройство Код=\"{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}\" Наименование=\"Модельный\"/>";
  xml::XmlDocument doc;
  doc.loadXML(text);
  const OleVariant asObject(xml::NewNodeDispatch(doc).get());
  ole::ComPtr<IUnknown> added, found, again;
  ASSERT_EQ(model->FindOrAddDevice(&asObject.get(), added.put()), S_OK);
  ASSERT_EQ(model->FindOrAddDevice(&asObject.get(), again.put()), S_OK);
  EXPECT_EQ(added.get(), again.get());
  EXPECT_EQ(List().Count(), 1);
  ASSERT_EQ(model->FindDevice(&asObject.get(), found.put()), S_OK);
  EXPECT_EQ(found.get(), added.get());

  const OleVariant inserted("<Устройство Наименование=\"Первый\"/>");
  ole::ComPtr<IUnknown> first;
  ASSERT_EQ(model->InsertDevice(&inserted.get(), first.put()), S_OK);
  EXPECT_EQ(List().GetDevice(0)->Name, "Первый");

  // The device interface: state, document, removal while the host holds it.
  ole::ComPtr<IDeviceItem> device = added.as<IDeviceItem>();
  ASSERT_TRUE(device);
  VARIANT_BOOL on = VARIANT_TRUE;
  EXPECT_EQ(device->GetIsOn(&on), S_OK);
  EXPECT_EQ(on, VARIANT_FALSE);
  OleVariant document;
  EXPECT_EQ(device->GetSettingsXml(document.put()), S_OK);
  EXPECT_NE(XmlOf(document.get()).find("Модельный"), std::string::npos);

  const GUID code = List().GetDevice(1)->Code;
  uint32_t words[4];
  std::memcpy(words, &code, sizeof words);
  int32_t result = 1;
  EXPECT_EQ(model->DeleteDevice(words[0], words[1], words[2], words[3], &result), S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(model->DeleteDevice(words[0], words[1], words[2], words[3], &result), S_OK);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(List().Count(), 1);
  // The removed device still answers its holder, out of the list.
  EXPECT_EQ(device->GetIsOn(&on), S_OK);
  EXPECT_TRUE(FAILED(device->GetSettingsXml(document.put())));
}

TEST_F(RegistryTest, ADocumentObjectWithColoursSetsTheDialogColours) {
  SetDialogColours({});
  ole::ComPtr<IUnknown> unknown;
  ASSERT_EQ(m_driver->GetModel(0, unknown.put()), S_OK);
  ole::ComPtr<IModelPlu> model = unknown.as<IModelPlu>();
  xml::XmlDocument doc;
  std::string text = Sample("system.xml");
  ConvertNameSpelling(text, 0);
  doc.loadXML(text);
  const OleVariant asObject(xml::NewNodeDispatch(doc).get());
  ole::ComPtr<IUnknown> inserted;
  ASSERT_EQ(model->InsertDevice(&asObject.get(), inserted.put()), S_OK);
  EXPECT_EQ(List().GetDevice(0)->Name, "Склад");
  const DialogColours colours = CurrentDialogColours();
  EXPECT_EQ(colours.Form, 15790320);
  EXPECT_EQ(colours.Font, 0);
  // A text is no document object: the colours stay.
  SetDialogColours({});
  List().LoadColours(OleVariant(Sample("system.xml")).get());
  EXPECT_EQ(CurrentDialogColours().Form, -1);
}

TEST_F(RegistryTest, DevicesACallMakesOnAnotherThreadLiveOnlyForThatCall) {
  Call("AddDevice", {OleVariant("<Устройство/>")});
  std::thread other([&] { Call("AddDevice", {OleVariant("<Устройство/>")}); });
  other.join();
  EXPECT_EQ(List().Count(), 1);

  // A document naming a device of another thread: that device is taken out
  // of the list and a new one made in its place.
  DeviceItem& mine = *List().GetDevice(0);
  mine.ThreadId += 1;
  xml::XmlDocument doc = mine.GetSettingsXml();
  const OleVariant asObject(xml::NewNodeDispatch(doc).get());
  ole::ComPtr<IUnknown> found = List().FindDeviceInterface(asObject.get());
  EXPECT_FALSE(found);
  EXPECT_EQ(List().Count(), 0);
}

}  // namespace
}  // namespace labelplu
