#include "values/VariantStream.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "base/Errors.h"
#include "base/TextUtils.h"
#include "base/VariantUtils.h"
#include "labelplu/valuearray.h"
#include "platform/ole/Variant.h"

namespace labelplu {
namespace {

constexpr uint32_t kRefRecord = VT_BYREF;

// Value bytes of the fixed-size types, indexed by type code.
constexpr int kValueSize[21] = {0, 0, 2, 4, 4, 8, 8, 8, 0, 0, 4, 2, 0, 0, 0, 0, 1, 1, 2, 4, 8};

int ValueSize(uint32_t code) {
  return code <= 20 ? kValueSize[code] : 0;
}

bool IsRawElement(uint32_t code) {
  return (code >= VT_I2 && code <= VT_DATE) || code == VT_BOOL || code == VT_UI1;
}

// Element types written one value at a time, with their element size.
int PerElementSize(uint32_t code) {
  switch (code) {
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return sizeof(void*);
    case VT_VARIANT:
      return sizeof(VARIANT);
    case VT_ERROR:
    case VT_I1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
      return ValueSize(code);
    default:
      return 0;
  }
}

[[noreturn]] void RaiseUnsupported(uint32_t typeWord, const std::string& representation) {
  throw InvalidStreamOperation(
      "Неподдерживаемый тип данных.\r\nТип данных=" + std::to_string(typeWord) +
      "\r\nПредставление: (" + representation + ")");
}

[[noreturn]] void RaiseUnsupported(const VARIANT& value) {
  RaiseUnsupported(value.vt, ValueText(value));
}

struct ArrayDeleter {
  void operator()(SAFEARRAY* psa) const { SafeArrayDestroy(psa); }
};
using ArrayPtr = std::unique_ptr<SAFEARRAY, ArrayDeleter>;

struct Shape {
  size_t dims = 0;
  std::array<int32_t, kMaxArrayDims> lower{};
  std::array<int64_t, kMaxArrayDims> count{};
  int64_t total = 1;
};

// Calls f(memory offset in elements) for every element, last dimension
// varying fastest; in memory the first index varies fastest.
template <class F>
void ForEachElement(const Shape& shape, F f) {
  if (shape.total == 0) return;
  const size_t d = shape.dims;
  std::array<int64_t, kMaxArrayDims> stride{};
  std::array<int64_t, kMaxArrayDims> index{};
  int64_t step = 1;
  for (size_t k = 0; k < d; ++k) {
    stride[k] = step;
    step *= shape.count[k];
  }
  for (int64_t n = 0; n < shape.total; ++n) {
    int64_t offset = 0;
    for (size_t k = 0; k < d; ++k) offset += index[k] * stride[k];
    f(offset);
    for (size_t k = d; k-- > 0;) {
      if (++index[k] < shape.count[k]) break;
      index[k] = 0;
    }
  }
}

void WriteU32(ByteStream& stream, uint32_t value) {
  stream.Write(&value, 4);
}
void WriteI32(ByteStream& stream, int32_t value) {
  stream.Write(&value, 4);
}

void WriteVariantAt(ByteStream& stream, const VARIANT& value, int depth);

void WriteArrayAt(ByteStream& stream, SAFEARRAY* psa, uint32_t tag, int depth) {
  const uint32_t element = tag & VT_TYPEMASK;
  const bool raw = IsRawElement(element);
  const int size = raw ? ValueSize(element) : PerElementSize(element);
  if (!psa || size == 0 || SafeArrayGetElemsize(psa) != static_cast<uint32_t>(size)) {
    RaiseUnsupported(tag, "Неопределено");
  }
  Shape shape;
  shape.dims = SafeArrayGetDim(psa);
  if (shape.dims < 1 || shape.dims > static_cast<size_t>(kMaxArrayDims))
    RaiseUnsupported(tag, "Неопределено");
  for (size_t k = 0; k < shape.dims; ++k) {
    int32_t upper = 0;
    SafeArrayGetLBound(psa, static_cast<uint32_t>(k + 1), &shape.lower[k]);
    SafeArrayGetUBound(psa, static_cast<uint32_t>(k + 1), &upper);
    shape.count[k] = static_cast<int64_t>(upper) - shape.lower[k] + 1;
    shape.total *= shape.count[k];
  }
  const auto* data = static_cast<const uint8_t*>(psa->pvData);
  if (shape.total > 0 && !data) RaiseUnsupported(tag, "Неопределено");
  WriteU32(stream, tag);
  WriteI32(stream, static_cast<int32_t>(shape.dims));
  for (size_t k = 0; k < shape.dims; ++k) WriteI32(stream, shape.lower[k]);
  for (size_t k = 0; k < shape.dims; ++k) {
    WriteI32(stream, static_cast<int32_t>(shape.lower[k] + shape.count[k] - 1));
  }
  if (raw) {
    const int64_t bytes = shape.total * size;
    if (bytes > 0x7FFFFFFF) {
      throw StreamWriteError("Ошибка записи потока. Превышен размер потока.");
    }
    WriteI32(stream, static_cast<int32_t>(bytes));
    stream.Write(data, static_cast<int32_t>(bytes));
    return;
  }
  ForEachElement(shape, [&](int64_t offset) {
    const uint8_t* slot = data + offset * size;
    if (element == VT_VARIANT) {
      WriteVariantAt(stream, *reinterpret_cast<const VARIANT*>(slot), depth + 1);
      return;
    }
    VARIANT view;  // borrows the element's value; never cleared
    VariantInit(&view);
    view.vt = static_cast<VARTYPE>(element);
    std::memcpy(&view.llVal, slot, static_cast<size_t>(size));
    WriteVariantAt(stream, view, depth + 1);
  });
}

void WriteValueArrayObject(ByteStream& stream, const VARIANT& value, IDispatch* object, int depth) {
  ISafeArray* table = nullptr;
  if (!object || FAILED(object->QueryInterface(IID_ISafeArray, reinterpret_cast<void**>(&table))) ||
      !table) {
    RaiseUnsupported(value);
  }
  SAFEARRAY* psa = nullptr;
  int32_t element = VT_EMPTY;
  const bool ok = SUCCEEDED(table->GetPSA(&psa)) && SUCCEEDED(table->GetVarType(&element));
  try {
    if (!ok || element < 0 || element > VT_TYPEMASK) RaiseUnsupported(value);
    WriteArrayAt(stream, psa, VT_ARRAY | static_cast<uint32_t>(element), depth + 1);
  } catch (...) {
    table->Release();
    throw;
  }
  table->Release();
}

void WriteVariantAt(ByteStream& stream, const VARIANT& value, int depth) {
  if (depth > kMaxStreamDepth) {
    throw StreamWriteError("Ошибка записи потока. Превышена глубина вложения значений.");
  }
  const uint32_t tag = value.vt;
  const bool byRef = (tag & VT_BYREF) != 0;
  if (byRef && !value.byref) RaiseUnsupported(tag, "Неопределено");
  if (tag & VT_ARRAY) {
    WriteArrayAt(stream, byRef ? *value.pparray : value.parray, tag, depth);
    return;
  }
  const uint32_t code = tag & VT_TYPEMASK;
  switch (code) {
    case VT_EMPTY:
    case VT_NULL:
      WriteU32(stream, tag);
      return;
    case VT_BSTR: {
      const BSTR text = byRef ? *value.pbstrVal : value.bstrVal;
      const uint32_t length = SysStringLen(text);
      uint32_t n = 0;
      while (n < length && text[n] != 0) ++n;
      WriteU32(stream, tag);
      WriteI32(stream, static_cast<int32_t>(n));
      if (n > 0x3FFFFFFF) throw StreamWriteError("Ошибка записи потока. Превышен размер потока.");
      stream.Write(text, static_cast<int32_t>(n * 2));
      return;
    }
    case VT_DISPATCH:
      WriteValueArrayObject(stream, value, byRef ? *value.ppdispVal : value.pdispVal, depth);
      return;
    case VT_VARIANT:
      if (!byRef) RaiseUnsupported(value);
      WriteU32(stream, kRefRecord);
      WriteVariantAt(stream, *value.pvarVal, depth + 1);
      return;
    default:
      break;
  }
  const int size = ValueSize(code);
  if (size == 0 || (tag & ~static_cast<uint32_t>(VT_BYREF | VT_TYPEMASK)) != 0)
    RaiseUnsupported(value);
  WriteU32(stream, tag);
  stream.Write(byRef ? value.byref : static_cast<const void*>(&value.llVal), size);
}

// ---- Reading ----

int32_t ReadI32(ByteStream& stream) {
  int32_t value = 0;
  stream.Read(&value, 4);
  return value;
}

void ReadVariantAt(ByteStream& stream, VARIANT& value, bool& byRefSeen, bool& refRecordSeen,
                   int depth);

// Takes the element read into the array slot, converted to the element type.
void StoreElement(ByteStream& stream, uint8_t* slot, uint32_t element, int size, VARIANT& read) {
  if (element == VT_VARIANT) {
    std::memcpy(slot, &read, sizeof(VARIANT));
    VariantInit(&read);
    return;
  }
  ole::OleVariant converted;
  try {
    converted = ole::VarAsType(read, static_cast<VARTYPE>(element));
  } catch (const ole::VariantError&) {
    VariantClear(&read);
    stream.DumpToLogFolder(std::to_string(stream.Position()) + "_" + std::to_string(stream.Size()) +
                           ".txt");
    throw;
  }
  VariantClear(&read);
  VARIANT value = converted.release();  // ownership of a string or object moves into the slot
  std::memcpy(slot, &value.llVal, static_cast<size_t>(size));
}

SAFEARRAY* ReadArrayAt(ByteStream& stream, uint32_t tag, int depth) {
  const uint32_t element = tag & VT_TYPEMASK;
  const bool raw = IsRawElement(element);
  const int size = raw ? ValueSize(element) : PerElementSize(element);
  if (size == 0 || (tag & ~static_cast<uint32_t>(VT_ARRAY | VT_TYPEMASK)) != 0)
    RaiseUnsupported(tag, "Неопределено");
  const int32_t d = ReadI32(stream);
  if (d < 1 || d > kMaxArrayDims) stream.FailRead(d, "Неверное число измерений массива.");
  Shape shape;
  shape.dims = static_cast<size_t>(d);
  std::array<int32_t, kMaxArrayDims> upper{};
  stream.Read(shape.lower.data(), d * 4);
  stream.Read(upper.data(), d * 4);
  // Every element takes at least one byte of the rest of the stream (4 when
  // written as a value), so a claim the stream cannot hold fails before
  // anything is allocated.
  const int64_t perElement = raw ? size : 4;
  const int64_t fitting = stream.Remaining() / perElement;
  bool empty = false;
  for (size_t k = 0; k < shape.dims; ++k) {
    const int64_t count = static_cast<int64_t>(upper[k]) - shape.lower[k] + 1;
    if (count < 0) stream.FailRead(count, "Неверные границы массива.");
    shape.count[k] = count;
    empty = empty || count == 0;
  }
  // An empty dimension anywhere makes the array empty, however large the
  // others are: it then claims nothing of the stream.
  shape.total = empty ? 0 : 1;
  for (size_t k = 0; k < shape.dims && !empty; ++k) {
    shape.total *= shape.count[k];  // total <= fitting < 2^31 and count < 2^32: no overflow
    if (shape.total > fitting) {
      stream.FailRead(shape.total > INT64_MAX / perElement ? INT64_MAX : shape.total * perElement,
                      "Неверный размер массива.");
    }
  }
  int32_t bytes = 0;
  if (raw) {
    bytes = ReadI32(stream);
    if (bytes != shape.total * size) stream.FailRead(bytes, "Неверный размер данных массива.");
    if (bytes > stream.Remaining()) stream.FailRead(bytes);
  }
  std::array<SAFEARRAYBOUND, kMaxArrayDims> bounds{};
  for (size_t k = 0; k < shape.dims; ++k) {
    bounds[k].lLbound = shape.lower[k];
    bounds[k].cElements = static_cast<uint32_t>(shape.count[k]);
  }
  ArrayPtr psa(
      SafeArrayCreate(static_cast<VARTYPE>(element), static_cast<uint32_t>(d), bounds.data()));
  if (!psa) throw std::bad_alloc();
  if (SafeArrayGetElemsize(psa.get()) != static_cast<uint32_t>(size)) {
    RaiseUnsupported(tag, "Неопределено");
  }
  auto* data = static_cast<uint8_t*>(psa->pvData);
  if (raw) {
    stream.Read(data, bytes);
    return psa.release();
  }
  bool byRef = false;
  bool refRecord = false;
  if (element == VT_VARIANT) {
    // The slots start empty and a value lands in its slot only once read
    // whole, so elements are read in place.
    auto* slots = reinterpret_cast<VARIANT*>(data);
    ForEachElement(shape, [&](int64_t offset) {
      ReadVariantAt(stream, slots[offset], byRef, refRecord, depth + 1);
    });
    return psa.release();
  }
  ForEachElement(shape, [&](int64_t offset) {
    VARIANT read;
    VariantInit(&read);
    ReadVariantAt(stream, read, byRef, refRecord, depth + 1);
    StoreElement(stream, data + offset * size, element, size, read);
  });
  return psa.release();
}

// Hands a two-dimensional array over to a new value array object.
void WrapValueArray(ArrayPtr psa, uint32_t element, VARIANT& out) {
  ISafeArray* table = nullptr;
  const HRESULT hr = CoCreateInstance(&CLSID_ValueArray, nullptr, 0, &IID_ISafeArray,
                                      reinterpret_cast<void**>(&table));
  if (hr == REGDB_E_CLASSNOTREG) throw std::runtime_error("value array class not available");
  if (FAILED(hr) || !table) throw std::runtime_error("Не удалось создать массив значений.");
  if (FAILED(table->SetPSAType(psa.get(), static_cast<int32_t>(element)))) {
    table->Release();
    throw std::runtime_error("Массив значений не принял данные.");
  }
  (void)psa.release();
  out.vt = VT_DISPATCH;
  out.pdispVal = table;
}

void ReadVariantAt(ByteStream& stream, VARIANT& value, bool& byRefSeen, bool& refRecordSeen,
                   int depth) {
  if (value.vt != VT_EMPTY) VariantClear(&value);
  if (depth > kMaxStreamDepth) stream.FailRead(0, "Превышена глубина вложения значений.");
  uint32_t tag = static_cast<uint32_t>(ReadI32(stream));
  if (tag & VT_BYREF) byRefSeen = true;
  if (tag == kRefRecord) {
    refRecordSeen = true;
    ReadVariantAt(stream, value, byRefSeen, refRecordSeen, depth + 1);
    return;
  }
  tag &= ~static_cast<uint32_t>(VT_BYREF);
  VARIANT result;
  VariantInit(&result);
  if (tag & VT_ARRAY) {
    ArrayPtr psa(ReadArrayAt(stream, tag, depth));
    if (SafeArrayGetDim(psa.get()) == 2) {
      WrapValueArray(std::move(psa), tag & VT_TYPEMASK, result);
    } else {
      result.vt = static_cast<VARTYPE>(tag);
      result.parray = psa.release();
    }
    value = result;
    return;
  }
  switch (tag) {
    case VT_EMPTY:
    case VT_NULL:
      result.vt = static_cast<VARTYPE>(tag);
      break;
    case VT_BSTR:
    case VT_STRING: {
      const int32_t n = ReadI32(stream);
      const int64_t bytes = tag == VT_BSTR ? static_cast<int64_t>(n) * 2 : n;
      if (n < 0 || bytes > stream.Remaining()) stream.FailRead(bytes);
      BSTR text = nullptr;
      if (tag == VT_BSTR) {
        text = SysAllocStringLen(nullptr, static_cast<uint32_t>(n));
        if (!text) throw std::bad_alloc();
        std::memcpy(text, stream.Memory() + stream.Position(), static_cast<size_t>(bytes));
        stream.SetPosition(stream.Position() + static_cast<int32_t>(bytes));
      } else {
        std::string single(static_cast<size_t>(n), '\0');
        stream.Read(single.data(), n);
        const std::u16string wide = Cp1251ToUtf16(single);
        text = SysAllocStringLen(wide.data(), static_cast<uint32_t>(wide.size()));
        if (!text) throw std::bad_alloc();
      }
      result.vt = VT_BSTR;
      result.bstrVal = text;
      break;
    }
    default: {
      const int size = ValueSize(tag);
      if (size == 0) {
        RaiseUnsupported(tag, tag == VT_DISPATCH || tag == VT_UNKNOWN ? "Объект" : "Неопределено");
      }
      stream.Read(&result.llVal, size);
      result.vt = static_cast<VARTYPE>(tag);
      break;
    }
  }
  value = result;
}

}  // namespace

void WriteVariant(ByteStream& stream, const VARIANT& value) {
  WriteVariantAt(stream, value, 0);
}

void WriteArray(ByteStream& stream, SAFEARRAY* psa, uint32_t tag) {
  WriteArrayAt(stream, psa, tag, 0);
}

void ReadVariant(ByteStream& stream, VARIANT& value, bool& byRefSeen, bool& refRecordSeen) {
  ReadVariantAt(stream, value, byRefSeen, refRecordSeen, 0);
}

void ReadVariant(ByteStream& stream, VARIANT& value) {
  bool byRef = false;
  bool refRecord = false;
  ReadVariant(stream, value, byRef, refRecord);
}

SAFEARRAY* ReadArray(ByteStream& stream, uint32_t tag) {
  return ReadArrayAt(stream, tag, 0);
}

}  // namespace labelplu
