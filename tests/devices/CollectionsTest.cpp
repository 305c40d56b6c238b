// The settings collections: filters and their XPath predicates, the model
// catalogue over settings documents, change propagation and the change log.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/GuidText.h"
#include "devices/ModelCatalog.h"
#include "devices/ParameterList.h"
#include "devices/SettingsList.h"
#include "labelplu/errors.h"
#include "platform/ole/Variant.h"
#include "platform/xml/XmlDom.h"

namespace labelplu {
namespace {

constexpr const char* kDriverModel = "{7785F5AB-7C69-459E-915C-4D66F2EC68B9}";
constexpr const char* kCodeA = "{11111111-2222-4333-8444-555555555555}";
constexpr const char* kCodeB = "{22222222-2222-4333-8444-555555555555}";

std::string Cmp(const std::string& attribute, const std::string& op, const std::string& value) {
  return "(translate(@" + attribute + ",\"" + std::string(kUpperAlphabet) + "\",\"" +
         std::string(kLowerAlphabet) + "\")" + op + "\"" + value + "\")";
}

// A "Система" document with one class holding the given model elements.
std::string SystemDoc(const std::string& models, const std::string& classIdent = "Принтеры") {
  return "<Система><КлассыОборудования><КлассОборудования Идентификатор=\"" + classIdent + "\">" +
         models + "</КлассОборудования></КлассыОборудования></Система>";
}

std::string ReadSample(const std::string& relative) {
  const char* root = std::getenv("LABELPLU_SOURCE");
  const std::string path = std::string(root ? root : ".") + "/" + relative;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Idents(const ModelCatalog& list) {
  std::vector<std::string> result;
  result.reserve(static_cast<size_t>(list.Count()));
  for (int32_t i = 0; i < list.Count(); ++i) result.push_back(list.Item(i).Ident());
  return result;
}

TEST(CollectionsTest, FilterBecomesPredicates) {
  const std::string lib = "Библиотека", id = "Идентификатор", state = "Состояние";
  const struct {
    std::vector<int32_t> keys;
    std::vector<std::string> values;
    std::string main, cls;
  } cases[] = {
      {{100, 101, 118, 103}, {"", "*", "", "*"}, "", ""},
      {{118}, {"LabelPLU.plu"}, "[" + Cmp(lib, "=", "labelplu.plu") + "]", ""},
      {{115}, {"0"}, "[" + Cmp(state, "!=", "1") + "]", ""},
      {{115}, {"1"}, "[" + Cmp(state, "!=", "0") + "]", ""},
      {{122, 129},
       {"ВЕСЫ", "{AB}"},
       "",
       "[" + Cmp(id, "=", "весы") + " and " + Cmp("Код", "=", "{ab}") + "]"},
      {{118, 115, 101},
       {"a.plu", "0", "Ё"},
       "[" + Cmp(lib, "=", "a.plu") + " and " + Cmp(state, "!=", "1") + " and " +
           Cmp(id, "=", "ё") + "]",
       ""},
      {{103}, {"a&b \"q\""}, "[" + Cmp("Наименование", "=", "a&amp;b &quot;q&quot;") + "]", ""},
  };
  for (const auto& c : cases) {
    ModelCatalog list;
    list.SetFilter(c.keys, c.values);
    const FilterPredicates p = list.BuildPredicates();
    EXPECT_EQ(p.Main, c.main) << c.values[0];
    EXPECT_EQ(p.Class, c.cls) << c.values[0];
  }
}

TEST(CollectionsTest, SetFilterReplacesKeysInPlaceAndChecksItsInput) {
  ModelCatalog list;
  list.SetFilter({118, 122, 129}, {"a", "b", "c"});
  list.SetFilter({118, 103}, {"x", "y"});
  const std::vector<SettingsList::FilterLine> expected{
      {"118", "x"}, {"_101", "b"}, {"_100", "c"}, {"103", "y"}};
  EXPECT_EQ(list.Filter(), expected);
  list.ClearFilter();
  EXPECT_TRUE(list.Filter().empty());

  try {
    list.SetFilter({118, 103}, {"x"});
    FAIL() << "no error";
  } catch (const EProtectException& e) {
    EXPECT_EQ(e.Code, 20000);
    EXPECT_STREQ(e.what(), "Размерности массивов аттрибутов и значений не совпадают");
  }
  EXPECT_TRUE(list.Filter().empty());

  list.SetFilter({99}, {"x"});
  EXPECT_THROW(list.BuildPredicates(), EProtectException);
}

TEST(CollectionsTest, CatalogueSelectsByFilter) {
  const std::string doc =
      SystemDoc("<Модель Код=\"" + std::string(kCodeA) +
                "\" Идентификатор=\"Live\" Библиотека=\"LABELPLU.PLU\" Состояние=\"0\"/>"
                "<Модель Идентификатор=\"NoState\" Библиотека=\"labelplu.plu\"/>"
                "<Модель Идентификатор=\"Deleted\" Библиотека=\"labelplu.plu\" Состояние=\"1\"/>"
                "<Модель Идентификатор=\"Quoted\" Библиотека=\"q&quot;.plu\" Наименование=\"Имя\"/>"
                "<Модель Идентификатор=\"Other\" Библиотека=\"other.plu\" Состояние=\"2\"/>");
  const struct {
    const char* state;
    const char* name;
    const char* classIdent;
    const char* library;
    std::vector<std::string> idents;
  } cases[] = {
      {"0", "", "", "labelplu.plu", {"Live", "NoState"}},
      {"*", "", "", "labelplu.plu", {"Live", "NoState", "Deleted"}},
      {"1", "", "", "", {"NoState", "Deleted", "Quoted", "Other"}},  // any state but "0"
      {"", "", "", "q\".plu", {}},  // the quote is escaped, never equal
      {"", "имя", "", "", {"Quoted"}},
      {"0", "", "ПРИНТЕРЫ", "", {"Live", "NoState", "Quoted", "Other"}},
      {"", "", "Весы", "", {}},
  };
  for (const auto& c : cases) {
    auto list = CreateModelCatalog(doc, "", "", c.state, c.name, c.classIdent, c.library);
    EXPECT_EQ(Idents(*list), c.idents)
        << c.state << "|" << c.name << "|" << c.classIdent << "|" << c.library;
    EXPECT_TRUE(list->Filter().empty());
    EXPECT_FALSE(list->IsModified());
  }
}

TEST(CollectionsTest, FallsBackToAnyModelOnlyWithoutFilter) {
  const std::string flat =
      "<Корень><Модель Идентификатор=\"M\" Библиотека=\"labelplu.plu\"/></Корень>";
  EXPECT_EQ(Idents(*CreateModelCatalog(flat, "", "", "", "", "", "")),
            std::vector<std::string>{"M"});
  EXPECT_EQ(CreateModelCatalog(flat, "", "", "0", "", "", "labelplu.plu")->Count(), 0);
  EXPECT_EQ(CreateModelCatalog(flat, "", "", "", "", "", "labelplu.plu")->Count(), 0);
  // The model directly under the document has no class element.
  const std::string rootModel = "<Модель Идентификатор=\"R\"/>";
  auto list = CreateModelCatalog(rootModel, "", "", "", "", "", "");
  ASSERT_EQ(list->Count(), 1);
  EXPECT_EQ(list->Item(0).ClassIdent(), "");
  EXPECT_EQ(CreateModelCatalog("", "", "", "", "", "", "")->Count(), 0);
}

TEST(CollectionsTest, FindModelByCodePrefersTheLaterModel) {
  const std::string doc =
      SystemDoc("<Модель Код=\"" + std::string(kCodeA) +
                "\" Идентификатор=\"First\"/>"
                "<Модель Код=\"" +
                std::string(kCodeB) +
                "\" Идентификатор=\"Other\"/>"
                "<Модель Код=\"" +
                std::string(kCodeA) + "\" Идентификатор=\"Second\" Состояние=\"1\"/>");
  auto list = CreateModelCatalog(doc, "", "", "", "", "", "");
  ASSERT_EQ(list->Count(), 3);
  ASSERT_NE(list->FindModelByCode(TextToGuid(kCodeA)), nullptr);
  EXPECT_EQ(list->FindModelByCode(TextToGuid(kCodeA))->Ident(), "Second");
  list->IncludeDeleted = false;
  EXPECT_EQ(list->FindModelByCode(TextToGuid(kCodeA))->Ident(), "First");
  EXPECT_EQ(list->FindModelByCode(TextToGuid(kCodeB))->Ident(), "Other");
  EXPECT_EQ(list->FindModelByCode(TextToGuid("")), nullptr);
}

TEST(CollectionsTest, DeletedModelWithVersionMinusOneDropsItself) {
  const std::string doc = SystemDoc(
      "<Модель Идентификатор=\"Gone\" Состояние=\"1\" Версия=\"-1\">"
      "<Параметры><Параметр Идентификатор=\"P\"/></Параметры></Модель>"
      "<Модель Идентификатор=\"Kept\" Версия=\"-1\"/>"
      "<Модель Идентификатор=\"Deleted\" Состояние=\"1\" Версия=\"4\">"
      "<Параметры><Параметр Идентификатор=\"P\"/></Параметры></Модель>");
  auto list = CreateModelCatalog(doc, "", "", "", "", "", "");
  EXPECT_EQ(Idents(*list), (std::vector<std::string>{"Kept", "Deleted"}));
  EXPECT_EQ(list->FirstItem(), &list->Item(0));
  EXPECT_EQ(list->Item(1).ModelParams().Count(), 0);  // deleted models keep no parameters
  EXPECT_FALSE(list->IsModified());

  // Directly: the item reports that it is gone, the list counts a deletion.
  ModelCatalog direct;
  direct.SetDocument(std::string_view(""));
  CatalogModel& item = direct.Add();
  item.SetVersion(kVersionDropped);
  direct.ResetModified(false);
  int changes = 0;
  direct.SetOnChange([&](SettingsList&) { ++changes; });
  EXPECT_FALSE(item.SetState(kStateDeleted));
  EXPECT_EQ(direct.Count(), 0);
  EXPECT_TRUE(direct.ListModified());
  EXPECT_GE(changes, 1);

  CatalogModel alone(nullptr);  // without a list nothing can destroy it
  alone.SetVersion(kVersionDropped);
  EXPECT_TRUE(alone.SetState(kStateDeleted));
  EXPECT_EQ(alone.State(), kStateDeleted);
}

TEST(CollectionsTest, InvalidCodeStopsTheLoadAndKeepsEarlierModels) {
  const std::string doc = SystemDoc("<Модель Код=\"" + std::string(kCodeA) +
                                    "\" Идентификатор=\"Good\"/>"
                                    "<Модель Код=\"not-a-guid\" Идентификатор=\"Bad\"/>"
                                    "<Модель Идентификатор=\"Later\"/>");
  ModelCatalog list;
  list.SetDocument(std::string_view(doc));
  try {
    list.Load();
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Значение не является идентификатором объекта.");
  }
  EXPECT_EQ(Idents(list), std::vector<std::string>{"Good"});
}

TEST(CollectionsTest, DocumentsFromVariants) {
  const std::string text = ReadSample("samples/settings/catalog.xml");
  xml::XmlDocument doc;
  doc.loadXML(text);

  ole::OleVariant asText(text);
  EXPECT_EQ(CreateModelCatalog(asText.get(), "", "", "0", "", "", "labelplu.plu")->Count(), 1);

  ole::OleVariant asObject(xml::NewNodeDispatch(doc).get());
  auto list = CreateModelCatalog(asObject.get(), "", "", "0", "", "", "labelplu.plu");
  EXPECT_EQ(list->Count(), 1);
  EXPECT_TRUE(list->Document() == doc);  // this module's own document is used, not a copy

  ModelCatalog bad;
  EXPECT_THROW(bad.SetDocument(ole::OleVariant(int32_t{5}).get()), xml::XmlError);
  EXPECT_THROW(bad.SetDocument(std::string_view("<Система>")), xml::XmlParseError);
  bad.SetDocument(ole::OleVariant().get());
  EXPECT_THROW(bad.Load(), xml::XmlError);
}

TEST(CollectionsTest, SampleCatalogueKeepsOnlyThisLibrarysLiveModel) {
  auto list = CreateModelCatalog(ReadSample("samples/settings/catalog.xml"), "", "", "0", "", "",
                                 "labelplu.plu");
  ASSERT_EQ(list->Count(), 1);
  const CatalogModel& model = list->Item(0);
  EXPECT_EQ(GuidToText(model.Code()), kDriverModel);
  EXPECT_EQ(model.Ident(), "WinPrinter");
  EXPECT_EQ(model.Name(), "Windows-принтер (ЖФУ8)");
  EXPECT_EQ(model.Library(), "labelplu.plu");
  EXPECT_EQ(model.ClassIdent(), "ПринтерЭтикеток");
  EXPECT_EQ(model.Version(), 3);
  EXPECT_EQ(model.VersionText(), "1.3.1.0");
  EXPECT_EQ(model.ReleaseNumber(), 7);
  EXPECT_EQ(model.State(), kStateLive);
  EXPECT_EQ(list->FindModelByCode(TextToGuid(kDriverModel)), &model);
  EXPECT_EQ(list->FindModelByCode(TextToGuid("{0C4B6E2D-91A8-4F3B-B5D7-6E2F8A1C9D40}")), nullptr);

  const ParameterList& params = model.ModelParams();
  ASSERT_EQ(params.Count(), 3);
  const struct {
    const char* name;
    const char* caption;
    const char* type;
    const char* def;
    int32_t readOnly;
  } expected[] = {
      {"ШаблонПоУмолчанию", "Шаблон по умолчанию", "String", "", 0},
      {"Комментарий", "Комментарий", "String", "Склад №1", 0},
      {"ВерсияДрайвера", "Версия драйвера", "Integer", "3", 1},
  };
  for (int32_t i = 0; i < 3; ++i) {
    const ParameterItem& p = params.Item(i);
    EXPECT_EQ(p.ParamName(), expected[i].name);
    EXPECT_EQ(p.ParamDescription(), expected[i].caption);
    EXPECT_EQ(p.ParamType(), expected[i].type);
    EXPECT_EQ(p.ParamDefault(), expected[i].def);
    EXPECT_EQ(p.ParamValue(), expected[i].def);
    EXPECT_EQ(p.ParamReadOnly(), expected[i].readOnly);
  }
  EXPECT_EQ(params.Item(0).ParamHint(),
            "Имя шаблона, который будет использоваться, если не указано иное в параметрах");
  EXPECT_EQ(params.FindParamItem("комментарий"), &params.Item(1));
  EXPECT_EQ(params.FindParamItem("Порт"), nullptr);
  EXPECT_FALSE(list->IsModified());
}

TEST(CollectionsTest, ParameterListLoadsWithHexFilterUnlessOwnerDeleted) {
  xml::XmlDocument doc;
  doc.loadXML(ReadSample("samples/settings/catalog.xml"));
  const xml::XmlNode device = doc.selectSingleNode("//Устройство");
  const struct {
    std::string filter;  // hex of the "Идентификатор" value; empty: no filter
    std::vector<std::string> names;
  } cases[] = {
      {"", {"ШаблонПоУмолчанию", "Комментарий"}},
      {"D09AD09ED09CD09CD095D09DD0A2D090D0A0D098D099", {"Комментарий"}},  // "КОММЕНТАРИЙ"
      {"Комментарий", {}},  // not hexadecimal: compared with the empty text
  };
  for (const auto& c : cases) {
    ParameterList list(device);
    list.SetFilter({101}, {c.filter});
    list.Load();
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(list.Count()));
    for (int32_t i = 0; i < list.Count(); ++i) names.push_back(list.Item(i).ParamName());
    EXPECT_EQ(names, c.names) << c.filter;
    EXPECT_FALSE(list.IsModified());
  }
  ParameterList first(device);
  first.Load();
  EXPECT_EQ(first.Item(1).ParamValue(), "Склад №2");
  EXPECT_EQ(first.FirstItem(), &first.Item(0));

  CatalogModel owner(nullptr);
  ASSERT_TRUE(owner.SetState(kStateDeleted));
  ParameterList orphan(device);
  orphan.SetOwnerItem(&owner);
  EXPECT_TRUE(orphan.OwnerDeleted());
  orphan.Load();
  EXPECT_EQ(orphan.Count(), 0);
}

TEST(CollectionsTest, ChangesPropagateUpAndResetClearsThem) {
  auto list =
      CreateModelCatalog(ReadSample("samples/settings/catalog.xml"), "", "", "", "", "", "");
  CatalogModel& model = *list->FindModelByCode(TextToGuid(kDriverModel));
  int listChanges = 0;
  list->SetOnChange([&](SettingsList&) { ++listChanges; });
  ASSERT_FALSE(list->IsModified());

  model.ModelParams().Item(1).SetParamValue("Склад №3");
  EXPECT_FALSE(model.Modified());
  EXPECT_TRUE(model.IsModified());
  EXPECT_TRUE(model.AnyModified());
  EXPECT_TRUE(list->IsModified());
  EXPECT_EQ(listChanges, 1);

  list->Locked = true;
  model.SetName("Другое имя");
  EXPECT_EQ(listChanges, 1);
  list->Locked = false;

  list->ResetModified(false);
  EXPECT_FALSE(list->IsModified());
  EXPECT_FALSE(model.ModelParams().IsModified());
  EXPECT_FALSE(model.AnyModified());

  listChanges = 0;
  list->Delete(0);
  list->Delete(0);
  EXPECT_TRUE(list->ListModified());
  EXPECT_EQ(listChanges, 1);  // the first deletion since the reset
  EXPECT_THROW(list->Delete(list->Count()), std::out_of_range);
}

TEST(CollectionsTest, ChangeLogKeepsFirstOldAndLatestNewValue) {
  ModelCatalog list;
  list.SetDocument(std::string_view(""));
  CatalogModel& a = list.Add();
  a.SetCode(TextToGuid(kCodeA));
  a.SetLibrary("labelplu.plu");
  a.SetName("A");
  CatalogModel& b = list.Add();
  b.SetCode(TextToGuid(kCodeB));
  list.ResetModified(false);

  a.SetName("B");  // not logged: logging is off
  EXPECT_TRUE(a.Modified());
  EXPECT_EQ(list.Changes().Count(), 0);

  list.LogChanges = true;
  a.SetName("C");
  a.SetName("c");  // texts of models compare case-insensitively
  a.SetName("D");
  a.SetReleaseNumber(5);
  b.SetName("X");
  ASSERT_EQ(list.Changes().Count(), 3);
  const ChangeEntry& name = list.Changes().GetItem(0);
  EXPECT_EQ(name.FieldName, "Наименование");
  EXPECT_EQ(name.OldValue, "B");
  EXPECT_EQ(name.NewValue, "D");
  EXPECT_EQ(name.Key, kCodeA);
  EXPECT_EQ(name.Description, "labelplu.plu, B");
  EXPECT_EQ(list.Changes().GetItem(1).FieldName, "Релиз");
  EXPECT_EQ(list.Changes().GetItem(1).OldValue, "0");
  EXPECT_EQ(list.Changes().GetItem(1).NewValue, "5");
  EXPECT_EQ(list.Changes().GetItem(2).Key, kCodeB);

  // Parameter texts compare case-sensitively; a parameter has no key.
  ParameterList& params = a.ModelParams();
  params.LogChanges = true;
  ParameterItem& p = params.Add();
  p.SetParamValue("x");
  p.SetParamValue("X");
  ASSERT_EQ(params.Changes().Count(), 1);
  EXPECT_EQ(params.Changes().GetItem(0).FieldName, "FParamValue");
  EXPECT_EQ(params.Changes().GetItem(0).OldValue, "");
  EXPECT_EQ(params.Changes().GetItem(0).NewValue, "X");
  EXPECT_EQ(params.Changes().GetItem(0).Key, "");
}

}  // namespace
}  // namespace labelplu
