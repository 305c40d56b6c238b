// Late-bound calls: the name table, the call rules of IDispatch::Invoke, and
// the argument helpers, through the value array and a small probe object.
#include <cstring>

#include "tests/values/ValueArrayFixture.h"

namespace labelplu {
namespace {

using namespace test;

// An automation object with a property that can be written and a method
// that writes its arguments back.
class Probe final : public AutomationObject<IDispatch> {
 public:
  static ole::ComPtr<Probe> Create() {
    auto probe = ole::ComPtr<Probe>::Attach(new Probe());
    probe->Initialize();
    return probe;
  }
  using AutomationObject::AddMethod;
  using AutomationObject::AddProperty;

  ole::OleVariant m_value;

 protected:
  void RegisterNames() override {
    AddProperty(
        "Значение", [this](DISPPARAMS&, ole::OleVariant& result) { result = m_value; },
        [this](DISPPARAMS& args, ole::OleVariant&) { m_value = GetArg(&args, 0); });
    AddProperty("WriteOnly", {}, [](DISPPARAMS&, ole::OleVariant&) {});
    // Writes argument 1 into argument 0.
    AddMethod("Put", 2,
              [](DISPPARAMS& args, ole::OleVariant&) { SetArg(&args, 0, GetArg(&args, 1)); });
  }

 private:
  Probe() = default;
};

TEST_F(ValueArrayTest, NamesAreFoundWithCaseIgnoredAtTheirPositions) {
  auto table = ValueArray::Create();
  const char16_t* names[] = {
      u"GetBounds",    u"SetBounds",  u"GetValue",           u"SetValue",
      u"Empty",        u"__PSA",      u"SetRowValues",       u"__SetPSA",
      u"LoadFromFile", u"SaveToFile", u"SaveToFileAsStream", u"LoadFromFileAsStream",
      u"RowCount",     u"ColCount"};
  ASSERT_EQ(table->Names().Count(), std::size(names));
  for (DISPID i = 0; i < static_cast<DISPID>(std::size(names)); ++i) {
    std::u16string lower(names[i]);
    for (char16_t& c : lower) c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    OLECHAR* name[1] = {lower.data()};
    DISPID id = -7;
    EXPECT_EQ(table->GetIDsOfNames(IID_NULL, name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, i);
  }
  std::u16string unknown = u"GetBound";
  OLECHAR* name[1] = {unknown.data()};
  DISPID id = 0;
  EXPECT_EQ(table->GetIDsOfNames(IID_NULL, name, 1, 0, &id), E_NOTIMPL);

  // Non-ASCII names fold too.
  auto probe = Probe::Create();
  std::u16string cyrillic = u"ЗНАЧЕНИЕ";
  OLECHAR* cyrillicName[1] = {cyrillic.data()};
  EXPECT_EQ(probe->GetIDsOfNames(IID_NULL, cyrillicName, 1, 0, &id), S_OK);
  EXPECT_EQ(id, 0);
}

TEST_F(ValueArrayTest, LateBoundCallsTakeArgumentsInCallOrder) {
  auto table = ValueArray::Create();
  IDispatch* d = table.get();
  EXPECT_EQ(Call(d, u"setbounds", DISPATCH_METHOD, {I4(2), I4(3)}), S_OK);
  Var x(Str("x"));
  EXPECT_EQ(Call(d, u"SetValue", DISPATCH_METHOD, {I4(1), I4(2), x.v}), S_OK);
  Var result;
  EXPECT_EQ(Call(d, u"GetValue", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {I4(1), I4(2)}, &result.v),
            S_OK);
  EXPECT_EQ(Text(result), "x");

  int32_t rows = -1;
  double cols = -1;  // converted on the way back
  EXPECT_EQ(Call(d, u"GetBounds", DISPATCH_METHOD, {Ref(VT_I4, &rows), Ref(VT_R8, &cols)}), S_OK);
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(cols, 3.0);

  EXPECT_EQ(Call(d, u"RowCount", DISPATCH_PROPERTYGET, {}, &result.v), S_OK);
  EXPECT_EQ(result.v.vt, VT_I4);
  EXPECT_EQ(result.v.lVal, 2);
  EXPECT_EQ(Call(d, u"Empty", DISPATCH_METHOD, {}, &result.v), S_OK);
  EXPECT_EQ(result.v.vt, VT_I4);
  EXPECT_EQ(result.v.lVal, 0);

  // Declared with 0 parameters: any count is accepted.
  Var a(Str("a")), b(Str("b")), c(Str("c"));
  EXPECT_EQ(Call(d, u"SetRowValues", DISPATCH_METHOD, {I4(0), a.v, b.v, c.v}), S_OK);
  EXPECT_EQ(CellText(table.get(), 0, 0) + CellText(table.get(), 0, 1) + CellText(table.get(), 0, 2),
            "abc");
  EXPECT_EQ(Call(d, u"SetRowValues", DISPATCH_METHOD, {I4(1)}), S_OK);
  EXPECT_EQ(Call(d, u"Empty", DISPATCH_METHOD, {I4(1), I4(2), I4(3)}, &result.v), S_OK);
}

TEST_F(ValueArrayTest, FailuresBecomeExceptionResultsWithTheMessage) {
  auto table = Table(2, 3);
  Var text(Str("текст"));
  struct Case {
    const char16_t* name;
    uint16_t flags;
    std::vector<VARIANT> args;
    const char* message;
  } cases[] = {
      {u"GetBounds", DISPATCH_PROPERTYGET, {}, "Метод/Свойство [GETBOUNDS] не обнаружено. Флаг:2"},
      {u"RowCount", DISPATCH_PROPERTYPUT, {I4(1)}, "Свойство недоступно для записи [ROWCOUNT]"},
      {u"Empty", 16, {}, "Метод/Свойство [EMPTY] не обнаружено. Флаг:16"},
      {u"SetBounds", DISPATCH_METHOD, {I4(1)}, "Неверное число параметров для [SETBOUNDS]"},
      {u"GetValue", DISPATCH_METHOD, {I4(2), I4(0)}, "Номер элемента массива за пределами границ."},
      {u"SetRowValues", DISPATCH_METHOD, {}, "Неверный индекс (Get) Index=0 Count=0"},
      {u"SetValue",
       DISPATCH_METHOD,
       {I4(0), I4(3), text.v},
       "Номер элемента массива за пределами границ. X:0 Y:3 CountX:2 CountY:3\r\nтекст"},
      {u"__SetPSA",
       DISPATCH_METHOD,
       {text.v},
       "Адрес массива должен быть целым числом, получено: String"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXCEPINFO excep;
    std::memset(&excep, 0x55, sizeof excep);
    Var result;
    EXPECT_EQ(Call(table.get(), c.name, c.flags, c.args, &result.v, &excep), DISP_E_EXCEPTION);
    EXPECT_EQ(ole::BstrToUtf8(excep.bstrDescription), c.message);
    EXPECT_EQ(excep.scode, E_FAIL);
    EXPECT_EQ(excep.bstrSource, nullptr);
    SysFreeString(excep.bstrDescription);
    EXPECT_EQ(ole::TakeErrorText(), c.message);
    EXPECT_EQ(result.v.vt, VT_EMPTY);
  }
  // Without EXCEPINFO the message is still in the error information.
  EXPECT_EQ(Call(table.get(), u"RowCount", DISPATCH_PROPERTYPUT, {I4(1)}), DISP_E_EXCEPTION);
  EXPECT_EQ(ole::TakeErrorText(), "Свойство недоступно для записи [ROWCOUNT]");

  for (DISPID bad : {-1, 14, 1000}) {
    DISPPARAMS none{};
    EXPECT_EQ(table->Invoke(bad, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
  }
}

TEST_F(ValueArrayTest, NameTableHoldsOneHundredNames) {
  auto probe = Probe::Create();
  const size_t registered = probe->Names().Count();
  for (size_t i = registered; i < AutomationNameTable::kCapacity; ++i) {
    probe->AddMethod("M" + std::to_string(i), 0, [](DISPPARAMS&, ole::OleVariant&) {});
  }
  try {
    probe->AddProperty("Лишнее", {}, {});
    FAIL() << "the 101st name was accepted";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Массив имен заполнен.");
  }
  EXPECT_EQ(probe->Names().Count(), AutomationNameTable::kCapacity);
}

TEST_F(ValueArrayTest, PropertiesAndArgumentWriting) {
  auto probe = Probe::Create();
  Var value(Str("новое"));
  EXPECT_EQ(Call(probe.get(), u"значение", DISPATCH_PROPERTYPUT, {value.v}), S_OK);
  Var result;
  EXPECT_EQ(Call(probe.get(), u"Значение", DISPATCH_PROPERTYGET, {}, &result.v), S_OK);
  EXPECT_EQ(Text(result), "новое");
  EXPECT_EQ(Call(probe.get(), u"WriteOnly", DISPATCH_PROPERTYGET, {}), DISP_E_EXCEPTION);
  EXPECT_EQ(ole::TakeErrorText(), "Свойство недоступно для чтения [WRITEONLY]");
  EXPECT_EQ(Call(probe.get(), u"Put", DISPATCH_PROPERTYGET, {}), DISP_E_EXCEPTION);
  EXPECT_EQ(ole::TakeErrorText(), "Метод/Свойство [PUT] не обнаружено. Флаг:2");

  // SetArg writes through references, converting to the referenced type.
  int32_t i4 = 0;
  double r8 = 0;
  BSTR bstr = nullptr;
  Var variant;
  Var twelve(Str("12"));
  EXPECT_EQ(Call(probe.get(), u"Put", DISPATCH_METHOD, {Ref(VT_I4, &i4), twelve.v}), S_OK);
  EXPECT_EQ(i4, 12);
  EXPECT_EQ(Call(probe.get(), u"Put", DISPATCH_METHOD, {Ref(VT_R8, &r8), twelve.v}), S_OK);
  EXPECT_EQ(r8, 12.0);
  EXPECT_EQ(Call(probe.get(), u"Put", DISPATCH_METHOD, {Ref(VT_BSTR, &bstr), I4(7)}), S_OK);
  EXPECT_EQ(ole::BstrToUtf8(bstr), "7");
  SysFreeString(bstr);
  EXPECT_EQ(Call(probe.get(), u"Put", DISPATCH_METHOD, {Ref(VT_VARIANT, &variant.v), twelve.v}),
            S_OK);
  EXPECT_EQ(Text(variant), "12");
  // A by-value argument stays; an unsupported reference fails.
  EXPECT_EQ(Call(probe.get(), u"Put", DISPATCH_METHOD, {I4(1), twelve.v}), S_OK);
  int16_t i2 = 0;
  EXPECT_EQ(Call(probe.get(), u"Put", DISPATCH_METHOD, {Ref(VT_I2, &i2), twelve.v}),
            DISP_E_EXCEPTION);
  EXPECT_EQ(ole::TakeErrorText(), "Неподдерживаемый тип параметра.");
  Var abc(Str("abc"));
  EXPECT_EQ(Call(probe.get(), u"Put", DISPATCH_METHOD, {Ref(VT_I4, &i4), abc.v}), DISP_E_EXCEPTION);
  EXPECT_EQ(ole::TakeErrorText(), "Could not convert variant of type (String) into type (Integer)");

  DISPPARAMS none{};
  EXPECT_EQ(ArgCount(nullptr), 0);
  EXPECT_THROW(GetArg(&none, 0), EProtectException);
  try {
    SetArg(&none, -1, I4(1));
  } catch (const EProtectException& e) {
    EXPECT_STREQ(e.what(), "Неверный индекс (Set) Index=-1 Count=0");
  }
}

TEST_F(ValueArrayTest, ArrayAddressTravelsAsA64BitInteger) {
  auto table = Table(1, 1);
  Var result;
  ASSERT_EQ(Call(table.get(), u"__PSA", DISPATCH_METHOD, {}, &result.v), S_OK);
  EXPECT_EQ(result.v.vt, VT_I8);
  EXPECT_EQ(reinterpret_cast<SAFEARRAY*>(result.v.llVal), table->Data());

  const SAFEARRAYBOUND bounds[2] = {{4, 0}, {2, 0}};
  SAFEARRAY* fresh = SafeArrayCreate(VT_VARIANT, 2, bounds);
  VARIANT address;
  VariantInit(&address);
  address.vt = VT_I8;
  address.llVal = reinterpret_cast<intptr_t>(fresh);
  EXPECT_EQ(Call(table.get(), u"__SetPSA", DISPATCH_METHOD, {address}), S_OK);
  EXPECT_EQ(table->Data(), fresh);
  EXPECT_EQ(table->RowCount(), 4);
  EXPECT_EQ(table->ColCount(), 2);
  // A 32-bit zero is the empty pointer: nothing changes.
  EXPECT_EQ(Call(table.get(), u"__SetPSA", DISPATCH_METHOD, {I4(0)}), S_OK);
  EXPECT_EQ(table->Data(), fresh);
}

}  // namespace
}  // namespace labelplu
