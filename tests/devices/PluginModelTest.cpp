#include "devices/PluginModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "base/GuidText.h"
#include "devices/PluginModelList.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/ole/Variant.h"
#include "platform/xml/XmlDom.h"
#include "tests/devices/ModelTestSupport.h"

namespace labelplu {
namespace {

std::string TakeBstr(BSTR text) {
  ole::BstrPtr owned(text);
  return ole::BstrToUtf8(text);
}

// A list with a registered base model holding two parameters.
class PluginModelTest : public ::testing::Test {
 protected:
  PluginModelTest() : m_list(std::make_unique<PluginModelList>(&m_owner, "labelplu.plu")) {
    m_list->RegisterModel(test::kBaseCode, "Model", nullptr, "Class", "Kind", "Ident", "", 0, 0, 1,
                          3, 1);
    ParameterDescriptor& first = m_list->CurrentParams().Add();
    first.Name = "Использовать";
    first.Caption = "Caption \"q\"";
    first.TypeName = "Integer";
    first.DefaultText = "1";
    first.Hint = "Line 1\r\nLine 2";
    ParameterDescriptor& second = m_list->CurrentParams().Add();
    second.Name = "Отступ";
    second.TypeName = "Double";
    second.ReadOnly = 1;
    second.DefaultText = "2,5";
  }

  IModelPlu2* Model() const { return m_list->GetModel(0); }

  test::FakeOwner m_owner;
  std::unique_ptr<PluginModelList> m_list;
};

TEST_F(PluginModelTest, AnswersBothInterfacesWithOneObject) {
  ole::ComPtr<IModelPlu> first, second;
  ASSERT_EQ(Model()->QueryInterface(IID_IModelPlu, first.PutVoid()), S_OK);
  ASSERT_EQ(Model()->QueryInterface(IID_IModelPlu2, second.PutVoid()), S_OK);
  EXPECT_EQ(static_cast<void*>(first.get()), static_cast<void*>(second.get()));
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(Model()->QueryInterface(IID_IDeviceItem, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
}

TEST_F(PluginModelTest, SlotsReadTheModel) {
  GUID code{};
  ASSERT_EQ(Model()->GetCode(&code), S_OK);
  EXPECT_EQ(GuidToText(code), GuidToText(test::kBaseCode));
  BSTR text = nullptr;
  ASSERT_EQ(Model()->GetName(&text), S_OK);
  EXPECT_EQ(TakeBstr(text), "Model");
  ASSERT_EQ(Model()->GetIdent(&text), S_OK);
  EXPECT_EQ(TakeBstr(text), "Ident");
  ASSERT_EQ(Model()->GetDeviceKind(&text), S_OK);
  EXPECT_EQ(TakeBstr(text), "Kind");
  ASSERT_EQ(Model()->GetEquipmentClass(&text), S_OK);
  EXPECT_EQ(TakeBstr(text), "Class");

  int32_t values[6] = {};
  ASSERT_EQ(Model()->GetVersion1(&values[0]), S_OK);
  ASSERT_EQ(Model()->GetVersion2(&values[1]), S_OK);
  ASSERT_EQ(Model()->GetVersion3(&values[2]), S_OK);
  ASSERT_EQ(Model()->GetVersion4(&values[3]), S_OK);
  ASSERT_EQ(Model()->GetUsesHost(&values[4]), S_OK);
  ASSERT_EQ(Model()->GetReservedValue(&values[5]), S_OK);
  EXPECT_EQ(std::vector<int32_t>(values, values + 6), std::vector<int32_t>({1, 3, 1, 0, 0, -1}));

  IUnknown* object = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(Model()->GetReservedObject(3, &object), S_OK);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(Model()->ReservedCall1(), S_OK);
  EXPECT_EQ(Model()->ReservedCall2(), S_OK);
  EXPECT_EQ(Model()->GetName(nullptr), E_POINTER);
  EXPECT_EQ(Model()->GetModelXml(nullptr), E_POINTER);
}

TEST_F(PluginModelTest, ParamsXmlListsTheDescriptorsInOrder) {
  BSTR text = nullptr;
  ASSERT_EQ(Model()->GetParamsXml(&text), S_OK);
  EXPECT_EQ(TakeBstr(text),
            "<Параметры>"
            "<Параметр Идентификатор=\"Использовать\" Наименование=\"Caption &quot;q&quot;\" "
            "Тип=\"Число\" ФлагТолько4тение=\"0\" Зна4ениеПоУмол4анию=\"1\" "
            "Описание=\"Line 1\\nLine 2\"/>"
            "<Параметр Идентификатор=\"Отступ\" Наименование=\"\" Тип=\"\" "
            "ФлагТолько4тение=\"1\" Зна4ениеПоУмол4анию=\"2,5\" Описание=\"\"/>"
            "</Параметры>\r\n");

  PluginModelList empty(nullptr, "labelplu.plu");
  ASSERT_EQ(empty.GetModel(0)->GetParamsXml(&text), S_OK);
  EXPECT_EQ(TakeBstr(text), "<Параметры/>\r\n");
}

TEST_F(PluginModelTest, ModelXmlIsADocumentObject) {
  VARIANT out;
  VariantInit(&out);
  ASSERT_EQ(Model()->GetModelXml(&out), S_OK);
  ole::OleVariant result = ole::OleVariant::Adopt(out);
  ASSERT_EQ(result.Type(), VT_DISPATCH);
  const auto node = xml::OwnNodeFromDispatch(result.get().pdispVal);
  ASSERT_TRUE(node.has_value());
  EXPECT_EQ(node->nodeType(), xml::NodeType::Document);
  EXPECT_EQ(node->xml(),
            "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
            "<Модель><Параметры>"
            "<Параметр Идентификатор=\"Использовать\" Наименование=\"Caption &quot;q&quot;\" "
            "Тип=\"Число\" ФлагТолько4тение=\"0\" Зна4ениеПоУмол4анию=\"1\" "
            "Описание=\"Line 1\\nLine 2\"/>"
            "<Параметр Идентификатор=\"Отступ\" Наименование=\"\" Тип=\"\" "
            "ФлагТолько4тение=\"-1\" Зна4ениеПоУмол4анию=\"2,5\" Описание=\"\"/>"
            "</Параметры></Модель>\r\n");
}

TEST_F(PluginModelTest, DeviceSlotsGoToTheOwningList) {
  const ole::OleVariant settings("<Устройство/>");
  IUnknown* device = nullptr;
  ASSERT_EQ(Model()->FindOrAddDevice(&settings.get(), &device), S_OK);
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device, m_owner.Device().get());
  device->Release();
  ASSERT_EQ(Model()->FindDevice(&settings.get(), &device), S_OK);
  EXPECT_EQ(device, nullptr);
  ASSERT_EQ(Model()->InsertDevice(&settings.get(), &device), S_OK);
  device->Release();
  ASSERT_EQ(Model()->GetDriver(&device), S_OK);
  device->Release();

  // The GUID arrives as its 16 bytes in four words.
  const GUID code = TextToGuid("{01020304-0506-0708-090A-0B0C0D0E0F10}");
  uint32_t words[4];
  std::memcpy(words, &code, sizeof(words));
  int32_t result = 5;
  ASSERT_EQ(Model()->DeleteDevice(words[0], words[1], words[2], words[3], &result), S_OK);
  EXPECT_EQ(result, -1);

  xml::XmlDocument doc;
  doc.loadXML("<Система/>");
  ole::ComPtr<IDispatch> object = xml::NewNodeDispatch(doc);
  for (const ole::OleVariant& value :
       {ole::OleVariant("text"), ole::OleVariant(object.get()), ole::OleVariant(int32_t{7})}) {
    result = 5;
    ASSERT_EQ(Model()->SetSettingsText(&value.get(), &result), S_OK);
    EXPECT_EQ(result, 0);
  }

  EXPECT_EQ(m_owner.calls, std::vector<std::string>(
                               {"FindOrAddDevice <Устройство/>",
                                "FindDeviceInterface <Устройство/>", "InsertDevice <Устройство/>",
                                "DeleteByCode {01020304-0506-0708-090A-0B0C0D0E0F10}",
                                "SetSettingsText text", "SetSettingsText <Система/>\r\n"}));
}

TEST_F(PluginModelTest, FailuresComeBackAsHresultsWithTheirText) {
  const ole::OleVariant fail("fail");
  IUnknown* device = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(Model()->InsertDevice(&fail.get(), &device), E_FAIL);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(ole::TakeErrorText(), "insert failed");
}

// The list holds one reference; a host's reference outlives the list, and
// the model's device slots then fail instead of reaching a freed list.
TEST_F(PluginModelTest, HostReferencesOutliveTheList) {
  IModelPlu* held = Model();
  EXPECT_EQ(held->AddRef(), 2u);
  m_list.reset();
  BSTR text = nullptr;
  ASSERT_EQ(held->GetName(&text), S_OK);
  EXPECT_EQ(TakeBstr(text), "Model");
  IUnknown* device = nullptr;
  const ole::OleVariant settings("<Устройство/>");
  EXPECT_EQ(held->FindOrAddDevice(&settings.get(), &device), E_FAIL);
  EXPECT_EQ(ole::TakeErrorText(), "The model belongs to no device list");
  EXPECT_EQ(held->Release(), 0u);
}

}  // namespace
}  // namespace labelplu
