#include "devices/PluginModelList.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/Errors.h"
#include "base/GuidText.h"
#include "platform/ole/Variant.h"
#include "platform/xml/XmlDom.h"
#include "tests/devices/ModelTestSupport.h"

namespace labelplu {
namespace {

using test::kBaseCode;

const char* const kModule = "labelplu.plu";

// The driver's own registration, with one parameter of its own.
void RegisterBase(PluginModelList& list) {
  list.RegisterModel(kBaseCode, "Windows-принтер (ЖФУ8)", nullptr, "Принтеры этикеток", "Принтер",
                     "WinPrinter", "", 0, 0, 1, 3, 1);
  list.CurrentParams().Add().Name = "Базовый";
}

void ExpectError20000(const std::function<void()>& f, const std::string& text) {
  try {
    f();
    ADD_FAILURE() << "no error, expected " << text;
  } catch (const EProtectException& e) {
    EXPECT_EQ(e.Code, 20000);
    EXPECT_EQ(std::string(e.what()), text);
  }
}

TEST(PluginModelListTest, StartsWithTheUnregisteredBaseModelSelected) {
  PluginModelList list(nullptr, kModule);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.CurrentIndex(), 0);
  EXPECT_EQ(list.CurrentModel(), list.GetModel(0));
  EXPECT_TRUE(IsNullGuid(list.GetModel(0)->Code));
  EXPECT_EQ(list.CurrentParams().Count(), 0);
  // An unregistered model answers every code.
  EXPECT_EQ(list.FindModel(kBaseCode), list.GetModel(0));
  EXPECT_EQ(list.ModuleFileName(), kModule);

  for (const int32_t bad : {-1, 1}) {
    ExpectError20000([&] { list.SelectModel(bad); }, "Недопустимый индекс модели");
  }
  EXPECT_EQ(list.CurrentIndex(), 0);
  EXPECT_THROW(list.GetModel(1), std::out_of_range);
}

TEST(PluginModelListTest, RegisterModelFillsTheBaseAndThenAppends) {
  test::FakeOwner owner;
  PluginModelList list(&owner, kModule);
  RegisterBase(list);
  const PluginModel& base = *list.GetModel(0);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(GuidToText(base.Code), GuidToText(kBaseCode));
  EXPECT_EQ(base.NamePrefix, "Windows-принтер (ЖФУ8) №");
  EXPECT_EQ(base.Ident, "WinPrinter");
  EXPECT_EQ(base.DeviceKind, "Принтер");
  EXPECT_EQ(base.EquipmentClass, "Принтеры этикеток");
  EXPECT_EQ(std::vector<int32_t>({base.Version1, base.Version2, base.Version3, base.Version4}),
            std::vector<int32_t>({1, 3, 1, 0}));
  EXPECT_TRUE(owner.calls.empty());  // no information record

  const GUID other = TextToGuid("{00000000-0000-0000-0000-000000000001}");
  ModelInfo info;
  info.Name = "Info";
  info.VersionBuild = 42;
  PluginModel& second =
      list.RegisterModel(other, "Second", &info, "C", "K", "I", "Prefix ", 1, 4, 3, 2, 1);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.CurrentModel(), &second);
  EXPECT_EQ(second.NamePrefix, "Prefix ");
  EXPECT_EQ(second.UsesHost, 1);
  EXPECT_EQ(second.Version1, 1);
  EXPECT_EQ(second.Version4, 4);
  EXPECT_EQ(owner.calls, std::vector<std::string>({"AssignModelInfo Info 42"}));

  // Registering a known code again updates that model in place.
  list.RegisterModel(kBaseCode, "Renamed", nullptr, "", "", "", "", 0, 0, 0, 0, 0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.CurrentIndex(), 0);
  EXPECT_EQ(list.GetModel(0)->Name, "Renamed");
  EXPECT_EQ(list.GetModel(0)->Params.Count(), 1);
}

TEST(PluginModelListTest, DerivedModelsCopyTheBaseButNeverReplaceIt) {
  PluginModelList unregistered(nullptr, kModule);
  EXPECT_FALSE(unregistered.RegisterDerivedModel(kBaseCode, "D", "Id", "P", 1));
  EXPECT_EQ(unregistered.Count(), 1);
  EXPECT_EQ(unregistered.GetModel(0)->Name, "");

  PluginModelList list(nullptr, kModule);
  RegisterBase(list);
  const GUID code = TextToGuid("{11111111-2222-3333-4444-555555555555}");
  EXPECT_TRUE(list.RegisterDerivedModel(code, "Derived", "Id", "Id №", 1));
  ASSERT_EQ(list.Count(), 2);
  const PluginModel& derived = *list.GetModel(1);
  EXPECT_EQ(list.CurrentIndex(), 1);
  EXPECT_EQ(derived.Name, "Derived");
  EXPECT_EQ(derived.NamePrefix, "Id №");
  EXPECT_EQ(derived.UsesHost, 1);
  EXPECT_EQ(derived.Version2, 3);
  EXPECT_EQ(derived.DeviceKind, "Принтер");
  EXPECT_EQ(derived.EquipmentClass, "Принтеры этикеток");
  EXPECT_EQ(derived.Params.Count(), 0);

  EXPECT_FALSE(list.RegisterDerivedModel(kBaseCode, "X", "X", "X", 1));
  EXPECT_EQ(list.CurrentIndex(), 0);
  EXPECT_EQ(list.GetModel(0)->Name, "Windows-принтер (ЖФУ8)");
}

// A settings document in the host's spelling (ordinary "Ч").
std::string ModelsDocument() {
  return R"(<?xml version="1.0" encoding="UTF-16"?>
<Система><КлассыОборудования><КлассОборудования>
<Модель Библиотека="other.plu" Код="{AAAAAAAA-0000-0000-0000-000000000001}" Наименование="Foreign" Идентификатор="F"/>
<Модель Библиотека="LABELPLU.PLU" Код="{AAAAAAAA-0000-0000-0000-000000000002}" Наименование="Case" Идентификатор="C"/>
<Модель Библиотека="labelplu.plu" Код="{AAAAAAAA-0000-0000-0000-000000000003}" Наименование="Первая" Идентификатор="First" ИспользуетX9="abc">
  <Параметры>
    <Параметр Идентификатор="Скорость" Наименование="Скорость печати" Тип="Integer" ФлагТолькоЧтение="1" ЗначениеПоУмолчанию="5" Описание="Строка 1\nСтрока 2"/>
    <Параметр Идентификатор="Флаг" Тип="Boolean" ФлагТолькоЧтение="true"/>
  </Параметры>
</Модель>
<Модель Библиотека="labelplu.plu" Код="{AAAAAAAA-0000-0000-0000-000000000004}" Наименование="Вторая" ИспользуетX9="2"/>
</КлассОборудования></КлассыОборудования></Система>)";
}

TEST(PluginModelListTest, LoadModelsRegistersTheModelsOfThisModule) {
  PluginModelList list(nullptr, kModule);
  RegisterBase(list);
  list.LoadModels(ole::OleVariant(ModelsDocument()));

  ASSERT_EQ(list.Count(), 3);  // the other library and the other spelling are ignored
  const PluginModel& first = *list.GetModel(1);
  EXPECT_EQ(GuidToText(first.Code), "{AAAAAAAA-0000-0000-0000-000000000003}");
  EXPECT_EQ(first.Name, "Первая");
  EXPECT_EQ(first.NamePrefix, "First №");
  EXPECT_EQ(first.UsesHost, 0);
  ASSERT_EQ(first.Params.Count(), 2);  // only its own parameters
  const ParameterDescriptor& speed = first.Params.Item(0);
  EXPECT_EQ(speed.Name, "Скорость");
  EXPECT_EQ(speed.Caption, "Скорость печати");
  EXPECT_EQ(speed.TypeName, "Integer");
  EXPECT_EQ(speed.ReadOnly, 1);
  EXPECT_EQ(speed.DefaultText, "5");  // the host's spelling was converted
  EXPECT_EQ(speed.ValueText, "5");
  EXPECT_EQ(speed.Hint, "Строка 1\\nСтрока 2");
  EXPECT_EQ(first.Params.Item(1).ReadOnly, 0);  // only "1" means read-only

  const PluginModel& second = *list.GetModel(2);
  EXPECT_EQ(second.NamePrefix, " №");
  EXPECT_EQ(second.UsesHost, 2);
  EXPECT_EQ(list.CurrentIndex(), 2);  // the last model stays current

  // Loading again updates the same models.
  list.LoadModels(ole::OleVariant(ModelsDocument()));
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.GetModel(1)->Params.Count(), 2);
}

TEST(PluginModelListTest, LoadModelsTakesDocumentObjectsAndIgnoresEmptySettings) {
  PluginModelList list(nullptr, kModule);
  RegisterBase(list);
  list.LoadModels(ole::OleVariant());
  EXPECT_EQ(list.Count(), 1);

  xml::XmlDocument doc;
  std::string text = ModelsDocument();
  doc.loadXML(text);
  ole::ComPtr<IDispatch> object = xml::NewNodeDispatch(doc);
  list.LoadModels(ole::OleVariant(object.get()));
  ASSERT_EQ(list.Count(), 3);
  // A document object is used as it is: its ordinary spelling is not converted.
  EXPECT_EQ(list.GetModel(1)->Params.Item(0).DefaultText, "");

  EXPECT_THROW(list.LoadModels(ole::OleVariant(int32_t{5})), ole::VariantError);
  EXPECT_THROW(list.LoadModels(ole::OleVariant("<Система>")), xml::XmlParseError);
}

TEST(PluginModelListTest, LoadModelsWithoutABaseOrWithBadCodes) {
  PluginModelList unregistered(nullptr, kModule);
  unregistered.LoadModels(ole::OleVariant(ModelsDocument()));
  EXPECT_EQ(unregistered.Count(), 1);
  EXPECT_EQ(unregistered.GetModel(0)->Params.Count(), 0);

  PluginModelList list(nullptr, kModule);
  RegisterBase(list);
  const std::string doc = R"(<Система>
<Модель Библиотека="labelplu.plu" Код="{AAAAAAAA-0000-0000-0000-000000000005}" Идентификатор="Ok"/>
<Модель Библиотека="labelplu.plu" Идентификатор="NoCode"/>
<Модель Библиотека="labelplu.plu" Код="not a guid" Идентификатор="Bad"/>
<Модель Библиотека="labelplu.plu" Код="{AAAAAAAA-0000-0000-0000-000000000006}" Идентификатор="Late"/>
</Система>)";
  EXPECT_THROW(list.LoadModels(ole::OleVariant(doc)), std::runtime_error);
  ASSERT_EQ(list.Count(), 2);  // the model before the bad code stays; none without a code
  EXPECT_EQ(list.GetModel(1)->Ident, "Ok");
}

}  // namespace
}  // namespace labelplu
