// The ISafeArray slots: bounds, cells, adoption of arrays, the class.
#include "tests/values/ValueArrayFixture.h"

namespace labelplu {
namespace {

using namespace test;

constexpr const char* kBounds = "Номер элемента массива за пределами границ.";

SAFEARRAY* Array2D(VARTYPE vt, uint32_t rows, uint32_t cols, int32_t lower = 0) {
  const SAFEARRAYBOUND bounds[2] = {{rows, lower}, {cols, lower}};
  return SafeArrayCreate(vt, 2, bounds);
}

TEST_F(ValueArrayTest, NewObjectIsEmpty) {
  auto table = ValueArray::Create();
  int32_t empty = -1, rows = -1, cols = -1, type = -1;
  EXPECT_EQ(table->Empty(&empty), S_OK);
  EXPECT_EQ(table->GetBounds(&rows, &cols), S_OK);
  EXPECT_EQ(table->GetVarType(&type), S_OK);
  EXPECT_EQ(empty, 1);
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(cols, 0);
  EXPECT_EQ(type, VT_VARIANT);
  Var cell;
  EXPECT_EQ(Failure(table->GetValue(0, 0, &cell.v)), kBounds);
  EXPECT_EQ(table->GetBounds(nullptr, &cols), E_POINTER);
}

TEST_F(ValueArrayTest, SetBoundsKeepsTheCellsBothShapesShare) {
  auto table = ValueArray::Create();
  ASSERT_EQ(table->SetBounds(2, 3), S_OK);
  Var x(Str("x"));
  Var y(Str("y"));
  ASSERT_EQ(table->SetValue(1, 2, &x.v), S_OK);
  ASSERT_EQ(table->SetValue(0, 0, &y.v), S_OK);
  ASSERT_EQ(table->SetBounds(3, 3), S_OK);
  EXPECT_EQ(CellText(table.get(), 1, 2), "x");
  EXPECT_EQ(CellText(table.get(), 0, 0), "y");
  Var cell;
  ASSERT_EQ(table->GetValue(2, 2, &cell.v), S_OK);
  EXPECT_EQ(cell.v.vt, VT_EMPTY);

  ASSERT_EQ(table->SetBounds(-1, 9), S_OK);  // ignored
  EXPECT_EQ(table->RowCount(), 3);
  ASSERT_EQ(table->SetBounds(1, 1), S_OK);
  EXPECT_EQ(CellText(table.get(), 0, 0), "y");
  EXPECT_EQ(Failure(table->GetValue(1, 2, &cell.v)), kBounds);

  ASSERT_EQ(table->SetBounds(0, 5), S_OK);
  int32_t empty = 0;
  table->Empty(&empty);
  EXPECT_EQ(empty, 1);
  int32_t upper = -1;
  SafeArrayGetUBound(table->Data(), 1, &upper);
  EXPECT_EQ(upper, 0) << "one row is kept internally";
  SafeArrayGetUBound(table->Data(), 2, &upper);
  EXPECT_EQ(upper, 4);
}

TEST_F(ValueArrayTest, SetValueReadsThroughSupportedReferences) {
  auto table = Table(2, 3);
  int32_t i4 = 41;
  double r8 = 2.5;
  double date = 45000.5;
  BSTR text = ole::Utf8ToBstr("ссылка");
  Var inner(I4(9));
  auto other = ValueArray::Create();
  IDispatch* object = other.get();
  const struct {
    VARIANT value;
    VARTYPE stored;
  } cases[] = {{Ref(VT_I4, &i4), VT_I4},           {Ref(VT_R8, &r8), VT_R8},
               {Ref(VT_DATE, &date), VT_DATE},     {Ref(VT_BSTR, &text), VT_BSTR},
               {Ref(VT_VARIANT, &inner.v), VT_I4}, {Ref(VT_DISPATCH, &object), VT_DISPATCH}};
  for (const auto& c : cases) {
    ASSERT_EQ(table->SetValue(1, 1, &c.value), S_OK) << c.value.vt;
    Var cell;
    ASSERT_EQ(table->GetValue(1, 1, &cell.v), S_OK);
    EXPECT_EQ(cell.v.vt, c.stored);
    if (c.stored == VT_DISPATCH) {
      EXPECT_EQ(cell.v.pdispVal, object);
    }
  }
  i4 = 0;
  SysFreeString(text);  // the cell holds its own copies
  ASSERT_EQ(table->SetValue(0, 0, &cases[0].value), S_OK);
  EXPECT_EQ(CellText(table.get(), 0, 0), "0");

  int16_t i2 = 1;
  const VARIANT shortRef = Ref(VT_I2, &i2);
  EXPECT_EQ(Failure(table->SetValue(0, 0, &shortRef)), "Ошибка типа параметра. 16386");
  Var value(Str("значение"));
  EXPECT_EQ(Failure(table->SetValue(2, 0, &value.v)),
            "Номер элемента массива за пределами границ. X:2 Y:0 CountX:2 CountY:3\r\nзначение");
  EXPECT_EQ(Failure(table->SetValue(0, -1, &value.v)),
            "Номер элемента массива за пределами границ. X:0 Y:-1 CountX:2 CountY:3\r\nзначение");
}

TEST_F(ValueArrayTest, AdoptsTwoDimensionalArraysOfTheNamedType) {
  auto table = Table(1, 1);
  Var keep(Str("прежнее"));
  table->SetValue(0, 0, &keep.v);

  SAFEARRAY* cells = Array2D(VT_VARIANT, 3, 2);
  ASSERT_EQ(table->SetPSA(cells), S_OK);
  EXPECT_EQ(table->RowCount(), 3);
  EXPECT_EQ(table->ColCount(), 2);
  SAFEARRAY* held = nullptr;
  table->GetPSA(&held);
  EXPECT_EQ(held, cells) << "adopted, not copied";
  ASSERT_EQ(table->SetPSA(held), S_OK) << "adopting its own array again is harmless";
  ASSERT_EQ(table->SetPSA(nullptr), S_OK);
  EXPECT_EQ(table->Data(), cells);

  // Refused arrays stay the caller's and change nothing.
  SAFEARRAY* line = SafeArrayCreateVector(VT_VARIANT, 0, 4);
  EXPECT_EQ(Failure(table->SetPSA(line)),
            "Массив значений принимает только двумерные массивы. Число измерений: 1");
  SafeArrayDestroy(line);
  SAFEARRAY* bytes = Array2D(VT_UI1, 1, 4);
  EXPECT_EQ(Failure(table->SetPSA(bytes)),
            "Тип элементов массива (17) не совпадает с указанным (12).");
  EXPECT_EQ(table->Data(), cells);

  // Typed storage: cells convert on the way in and out.
  ASSERT_EQ(table->SetPSAType(bytes, VT_UI1), S_OK);
  int32_t type = 0;
  table->GetVarType(&type);
  EXPECT_EQ(type, VT_UI1);
  Var seven(Str("7"));
  ASSERT_EQ(table->SetValue(0, 3, &seven.v), S_OK);
  Var cell;
  ASSERT_EQ(table->GetValue(0, 3, &cell.v), S_OK);
  EXPECT_EQ(cell.v.vt, VT_UI1);
  EXPECT_EQ(cell.v.bVal, 7);
  Var tooBig(I4(300));
  EXPECT_EQ(Failure(table->SetValue(0, 0, &tooBig.v)),
            "Overflow while converting variant of type (Integer) into type (Byte)");
  ASSERT_EQ(table->SetBounds(2, 4), S_OK);  // back to variants, values kept
  table->GetVarType(&type);
  EXPECT_EQ(type, VT_VARIANT);
  EXPECT_EQ(CellText(table.get(), 0, 3), "7");

  // Counts are upper bounds + 1: cells below a lower bound of 1 do not exist.
  SAFEARRAY* fromOne = Array2D(VT_VARIANT, 2, 2, 1);
  ASSERT_EQ(table->SetPSA(fromOne), S_OK);
  EXPECT_EQ(table->RowCount(), 3);
  EXPECT_EQ(Failure(table->GetValue(0, 1, &cell.v)), kBounds);
  EXPECT_EQ(table->GetValue(2, 2, &cell.v), S_OK);
}

TEST_F(ValueArrayTest, ClassCreatesValueArraysByIdentifier) {
  ole::ComPtr<IDispatch> object;
  ASSERT_EQ(CoCreateInstance(&CLSID_ValueArray, nullptr, 0, &IID_IDispatch, object.PutVoid()),
            S_OK);
  ole::ComPtr<ISafeArray> table = object.as<ISafeArray>();
  ASSERT_TRUE(table);
  int32_t empty = 0;
  EXPECT_EQ(table->Empty(&empty), S_OK);
  EXPECT_EQ(empty, 1);

  RevokeValueArrayClass();
  EXPECT_EQ(CoCreateInstance(&CLSID_ValueArray, nullptr, 0, &IID_ISafeArray, object.PutVoid()),
            REGDB_E_CLASSNOTREG);
  ole::ComPtr<ISafeArray> created = CreateValueArray();  // announces again
  ASSERT_TRUE(created);
  EXPECT_EQ(created->SetBounds(2, 2), S_OK);
  EXPECT_EQ(CoCreateInstance(&CLSID_ValueArray, nullptr, 0, &IID_ISafeArray, object.PutVoid()),
            S_OK);
}

}  // namespace
}  // namespace labelplu
