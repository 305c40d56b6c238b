#include "values/ValueArray.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "base/Errors.h"
#include "base/VariantUtils.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/ErrorInfo.h"

namespace labelplu {
namespace {

constexpr const char* kOutOfBounds = "Номер элемента массива за пределами границ.";

template <class T>
void CheckOut(T* pointer) {
  if (!pointer) throw ole::OleException(E_POINTER, ole::HResultText(E_POINTER));
}

// The rows or columns in use for an adopted dimension: its upper bound + 1.
int32_t CountFromUpper(const SAFEARRAY* psa, uint32_t dim) {
  int32_t upper = -1;
  SafeArrayGetUBound(psa, dim, &upper);
  return static_cast<int32_t>(std::max<int64_t>(int64_t{upper} + 1, 0));
}

void CopyOrThrow(VARIANT* dest, const VARIANT& src, bool indirect) {
  const HRESULT hr = indirect ? VariantCopyInd(dest, &src) : VariantCopy(dest, &src);
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  if (FAILED(hr)) throw ole::VariantError("Invalid variant type conversion");
}

}  // namespace

ValueArray::ValueArray() {
  const SAFEARRAYBOUND one[2] = {{1, 0}, {1, 0}};
  m_data.reset(SafeArrayCreate(VT_VARIANT, 2, one));
  if (!m_data) throw std::bad_alloc();
}

ValueArray::~ValueArray() = default;

ole::ComPtr<ValueArray> ValueArray::Create() {
  auto table = ole::ComPtr<ValueArray>::Attach(new ValueArray());
  table->Initialize();
  return table;
}

void* ValueArray::CellAt(int32_t row, int32_t col) const {
  const int32_t at[2] = {row, col};
  void* cell = nullptr;
  return SUCCEEDED(SafeArrayPtrOfIndex(m_data.get(), at, &cell)) ? cell : nullptr;
}

void ValueArray::Resize(int32_t rows, int32_t cols) {
  if (rows < 0 || cols < 0 || (rows == m_rowCount && cols == m_colCount)) return;
  const SAFEARRAYBOUND bounds[2] = {{static_cast<uint32_t>(std::max(rows, 1)), 0},
                                    {static_cast<uint32_t>(std::max(cols, 1)), 0}};
  ArrayPtr fresh(SafeArrayCreate(VT_VARIANT, 2, bounds));
  if (!fresh) {
    throw std::runtime_error(Format("Недостаточно памяти для массива %d x %d.", rows, cols));
  }
  const int32_t keepRows = std::min(rows, m_rowCount);
  const int32_t keepCols = std::min(cols, m_colCount);
  auto* cells = static_cast<VARIANT*>(fresh->pvData);
  const size_t stride = bounds[0].cElements;
  for (int32_t j = 0; j < keepCols; ++j) {
    for (int32_t i = 0; i < keepRows; ++i) {
      void* old = CellAt(i, j);
      if (!old) continue;  // an adopted array may start above index 0
      VARIANT* target = &cells[static_cast<size_t>(j) * stride + static_cast<size_t>(i)];
      if (m_elementType == VT_VARIANT) {
        // The old array is dropped: its variants move without copying.
        std::memcpy(target, old, sizeof(VARIANT));
        VariantInit(static_cast<VARIANT*>(old));
      } else {
        const int32_t at[2] = {i, j};
        if (FAILED(GetArrayElement(m_data.get(), at, target))) throw std::bad_alloc();
      }
    }
  }
  m_data = std::move(fresh);
  m_elementType = VT_VARIANT;
  m_rowCount = rows;
  m_colCount = cols;
}

ole::OleVariant ValueArray::ValueAt(int32_t row, int32_t col) const {
  void* cell =
      row >= 0 && row < m_rowCount && col >= 0 && col < m_colCount ? CellAt(row, col) : nullptr;
  if (!cell) throw std::runtime_error(kOutOfBounds);
  ole::OleVariant value;
  if (m_elementType == VT_VARIANT) {
    CopyOrThrow(value.put(), *static_cast<const VARIANT*>(cell), false);
  } else {
    const int32_t at[2] = {row, col};
    const HRESULT hr = GetArrayElement(m_data.get(), at, value.put());
    if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
    ole::OleCheck(hr);
  }
  return value;
}

void ValueArray::StoreValue(int32_t row, int32_t col, const VARIANT& value) {
  void* cell =
      row >= 0 && row < m_rowCount && col >= 0 && col < m_colCount ? CellAt(row, col) : nullptr;
  if (!cell) {
    throw std::runtime_error(Format("%s X:%d Y:%d CountX:%d CountY:%d\r\n%s", kOutOfBounds, row,
                                    col, m_rowCount, m_colCount, ValueText(value)));
  }
  ole::OleVariant copy;
  if (value.vt & VT_BYREF) {
    switch (ole::WithoutByRef(value.vt)) {
      case VT_I4:
      case VT_R8:
      case VT_DATE:
      case VT_BSTR:
      case VT_DISPATCH:
      case VT_VARIANT:
        if (value.byref) break;
        [[fallthrough]];
      default:
        throw std::runtime_error("Ошибка типа параметра. " + std::to_string(value.vt));
    }
    CopyOrThrow(copy.put(), value, true);
  } else {
    CopyOrThrow(copy.put(), value, false);
  }
  if (m_elementType == VT_VARIANT) {
    auto* target = static_cast<VARIANT*>(cell);
    VariantClear(target);
    *target = copy.release();
    return;
  }
  const ole::OleVariant converted = ole::VarAsType(copy, m_elementType);
  const int32_t at[2] = {row, col};
  const HRESULT hr = PutArrayElement(m_data.get(), at, converted);
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  ole::OleCheck(hr);
}

void ValueArray::Adopt(SAFEARRAY* psa, int32_t elementType) {
  if (!psa) return;
  const uint32_t dims = SafeArrayGetDim(psa);
  if (dims != 2) {
    throw std::runtime_error(
        Format("Массив значений принимает только двумерные массивы. Число измерений: %d", dims));
  }
  const int32_t wanted = elementType & ~VT_ARRAY;
  VARTYPE actual = VT_EMPTY;
  if (FAILED(SafeArrayGetVartype(psa, &actual)) || actual != wanted) {
    throw std::runtime_error(
        Format("Тип элементов массива (%d) не совпадает с указанным (%d).", actual, wanted));
  }
  if (psa != m_data.get()) m_data.reset(psa);
  m_elementType = static_cast<VARTYPE>(wanted);
  m_rowCount = CountFromUpper(psa, 1);
  m_colCount = CountFromUpper(psa, 2);
}

// ---- ISafeArray ----

HRESULT ValueArray::SetBounds(int32_t rows, int32_t cols) {
  return ole::Safecall([&] { Resize(rows, cols); });
}

HRESULT ValueArray::SetValue(int32_t row, int32_t col, const VARIANT* value) {
  return ole::Safecall([&] {
    CheckOut(value);
    StoreValue(row, col, *value);
  });
}

HRESULT ValueArray::GetPSA(SAFEARRAY** out) {
  return ole::Safecall([&] {
    CheckOut(out);
    *out = m_data.get();
  });
}

HRESULT ValueArray::GetVarType(int32_t* out) {
  return ole::Safecall([&] {
    CheckOut(out);
    *out = m_elementType;
  });
}

HRESULT ValueArray::Empty(int32_t* out) {
  return ole::Safecall([&] {
    CheckOut(out);
    *out = m_rowCount <= 0 || m_colCount <= 0 ? 1 : 0;
  });
}

HRESULT ValueArray::SetPSA(SAFEARRAY* psa) {
  return ole::Safecall([&] { Adopt(psa, VT_VARIANT); });
}

HRESULT ValueArray::SetPSAType(SAFEARRAY* psa, int32_t elementType) {
  return ole::Safecall([&] { Adopt(psa, elementType); });
}

HRESULT ValueArray::GetBounds(int32_t* rows, int32_t* cols) {
  return ole::Safecall([&] {
    CheckOut(rows);
    CheckOut(cols);
    *rows = m_rowCount;
    *cols = m_colCount;
  });
}

HRESULT ValueArray::SaveToFile(BSTR fileName, VARIANT_BOOL* ok) {
  return ole::Safecall([&] {
    if (ok) *ok = VARIANT_FALSE;
    SaveFile(ole::BstrToUtf8(fileName));
    if (ok) *ok = VARIANT_TRUE;
  });
}

HRESULT ValueArray::LoadFromFile(BSTR fileName, VARIANT_BOOL* ok) {
  return ole::Safecall([&] {
    if (ok) *ok = VARIANT_FALSE;
    const bool loaded = LoadFile(ole::BstrToUtf8(fileName));
    if (ok) *ok = loaded ? VARIANT_TRUE : VARIANT_FALSE;
  });
}

HRESULT ValueArray::LoadFromFileAsStream(BSTR fileName, VARIANT_BOOL* ok) {
  return ole::Safecall([&] {
    if (ok) *ok = VARIANT_FALSE;
    const bool loaded = LoadRawFile(ole::BstrToUtf8(fileName));
    if (ok) *ok = loaded ? VARIANT_TRUE : VARIANT_FALSE;
  });
}

HRESULT ValueArray::SaveToFileAsStream(BSTR fileName, VARIANT_BOOL* ok) {
  return ole::Safecall([&] {
    if (ok) *ok = VARIANT_FALSE;
    const bool saved = SaveRawFile(ole::BstrToUtf8(fileName));
    if (ok) *ok = saved ? VARIANT_TRUE : VARIANT_FALSE;
  });
}

HRESULT ValueArray::GetValue(int32_t row, int32_t col, VARIANT* out) {
  if (out) VariantInit(out);
  return ole::Safecall([&] {
    CheckOut(out);
    *out = ValueAt(row, col).release();
  });
}

}  // namespace labelplu
