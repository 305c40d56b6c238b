// The late-bound names of ValueArray, in the order hosts have always seen
// them (their dispatch identifiers are their positions).
#include <cstdint>
#include <stdexcept>

#include "values/ValueArray.h"

namespace labelplu {
namespace {

int32_t IntArg(DISPPARAMS& args, int32_t index) {
  return ole::VarToInt32(GetArg(&args, index));
}
std::string TextArg(DISPPARAMS& args, int32_t index) {
  return ole::VarToText(GetArg(&args, index));
}

// "__SetPSA" takes the array's address as a 64-bit integer (what "__PSA"
// gives) or, from older callers, as a 32-bit one.
SAFEARRAY* PointerArg(DISPPARAMS& args, int32_t index) {
  const ole::OleVariant value = GetArg(&args, index);
  switch (value.Type()) {
    case VT_I8:
      return reinterpret_cast<SAFEARRAY*>(static_cast<intptr_t>(value.get().llVal));
    case VT_I4:
      return reinterpret_cast<SAFEARRAY*>(static_cast<uintptr_t>(value.get().ulVal));
    default:
      throw std::runtime_error("Адрес массива должен быть целым числом, получено: " +
                               ole::VarTypeName(value.Type()));
  }
}

}  // namespace

void ValueArray::RegisterNames() {
  using ole::OleVariant;
  AddMethod("GetBounds", 2, [this](DISPPARAMS& args, OleVariant&) {
    SetArg(&args, 0, OleVariant(m_rowCount));
    SetArg(&args, 1, OleVariant(m_colCount));
  });
  AddMethod("SetBounds", 2,
            [this](DISPPARAMS& args, OleVariant&) { Resize(IntArg(args, 0), IntArg(args, 1)); });
  AddMethod("GetValue", 2, [this](DISPPARAMS& args, OleVariant& result) {
    result = ValueAt(IntArg(args, 0), IntArg(args, 1));
  });
  AddMethod("SetValue", 3, [this](DISPPARAMS& args, OleVariant&) {
    StoreValue(IntArg(args, 0), IntArg(args, 1), GetArg(&args, 2));
  });
  AddMethod("Empty", 0, [this](DISPPARAMS&, OleVariant& result) {
    result = OleVariant(m_rowCount <= 0 || m_colCount <= 0 ? 1 : 0);
  });
  // A 64-bit integer: a pointer does not fit the 32 bits it once had.
  AddMethod("__PSA", 0, [this](DISPPARAMS&, OleVariant& result) {
    result = OleVariant::FromInt64(static_cast<int64_t>(reinterpret_cast<intptr_t>(m_data.get())));
  });
  AddMethod("SetRowValues", 0, [this](DISPPARAMS& args, OleVariant&) {
    const int32_t row = IntArg(args, 0);
    for (int32_t i = 1; i < ArgCount(&args); ++i) StoreValue(row, i - 1, GetArg(&args, i));
  });
  AddMethod("__SetPSA", 1,
            [this](DISPPARAMS& args, OleVariant&) { Adopt(PointerArg(args, 0), VT_VARIANT); });
  AddMethod("LoadFromFile", 1,
            [this](DISPPARAMS& args, OleVariant&) { LoadFile(TextArg(args, 0)); });
  AddMethod("SaveToFile", 1, [this](DISPPARAMS& args, OleVariant&) { SaveFile(TextArg(args, 0)); });
  AddMethod("SaveToFileAsStream", 1,
            [this](DISPPARAMS& args, OleVariant&) { SaveRawFile(TextArg(args, 0)); });
  AddMethod("LoadFromFileAsStream", 1,
            [this](DISPPARAMS& args, OleVariant&) { LoadRawFile(TextArg(args, 0)); });
  AddProperty("RowCount",
              [this](DISPPARAMS&, OleVariant& result) { result = OleVariant(m_rowCount); });
  AddProperty("ColCount",
              [this](DISPPARAMS&, OleVariant& result) { result = OleVariant(m_colCount); });
}

}  // namespace labelplu
