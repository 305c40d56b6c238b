#include "host/JsonVariant.h"

#include <cstdio>
#include <limits>
#include <optional>
#include <vector>

#include "base/VariantUtils.h"
#include "host/CsvReader.h"
#include "host/FileText.h"
#include "host/HostError.h"
#include "host/HostMessages.h"
#include "host/ValueArrays.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/VarFormat.h"

namespace labelplu::host {

using nlohmann::json;
using nlohmann::ordered_json;
using ole::ComPtr;
using ole::OleVariant;

namespace {

void CheckDepth(int depth) {
  if (depth > kMaxValueDepth) {
    throw HostError(Say(HostMessage::NestedTooDeep, kMaxValueDepth));
  }
}

std::string ResolvePath(const json& path, const std::filesystem::path& baseDir,
                        const std::string& form) {
  if (!path.is_string()) {
    throw HostError(Say(HostMessage::PathNotString, form, path.dump()));
  }
  std::filesystem::path p(path.get<std::string>());
  if (p.empty()) throw HostError(Say(HostMessage::PathEmpty, form));
  if (p.is_relative() && !baseDir.empty()) p = baseDir / p;
  return p.string();
}

OleVariant FromTable(const ComPtr<ISafeArray>& table) {
  return OleVariant(static_cast<IDispatch*>(table.get()));
}

OleVariant ToVariant(const json& value, const std::filesystem::path& baseDir, int depth);

OleVariant TableFromRows(const json& rows, const std::filesystem::path& baseDir, int depth) {
  size_t cols = 0;
  for (const json& row : rows) {
    if (!row.is_array()) {
      throw HostError(Say(HostMessage::ArrayNotTable,
                          row.dump(-1, ' ', false, json::error_handler_t::replace)));
    }
    cols = std::max(cols, row.size());
  }
  ComPtr<ISafeArray> table =
      NewValueArray(static_cast<int64_t>(rows.size()), static_cast<int64_t>(cols));
  int32_t i = 0;
  for (const json& row : rows) {
    int32_t j = 0;
    for (const json& cell : row) {
      SetCell(table.get(), i, j, ToVariant(cell, baseDir, depth + 1));
      ++j;
    }
    ++i;
  }
  return FromTable(table);
}

OleVariant FromObject(const json& object, const std::filesystem::path& baseDir) {
  if (object.size() == 1) {
    const std::string& key = object.begin().key();
    const json& path = object.begin().value();
    if (key == "file") {
      const std::string bytes = ReadFileBytes(ResolvePath(path, baseDir, key));
      return OleVariant(std::string_view(bytes));
    }
    if (key == "csv") {
      return FromTable(ValueArrayFromTextRows(ReadCsvFile(ResolvePath(path, baseDir, key))));
    }
    if (key == "storage") return FromTable(LoadStorageFile(ResolvePath(path, baseDir, key)));
  }
  throw HostError(
      Say(HostMessage::ObjectForms, object.dump(-1, ' ', false, json::error_handler_t::replace)));
}

OleVariant ToVariant(const json& value, const std::filesystem::path& baseDir, int depth) {
  CheckDepth(depth);
  switch (value.type()) {
    case json::value_t::null:
      return OleVariant();
    case json::value_t::boolean:
      return OleVariant(value.get<bool>());
    case json::value_t::number_integer: {
      const int64_t n = value.get<int64_t>();
      if (n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max()) {
        return OleVariant(static_cast<int32_t>(n));
      }
      return OleVariant::FromInt64(n);
    }
    case json::value_t::number_unsigned: {
      const uint64_t n = value.get<uint64_t>();
      if (n <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        return OleVariant(static_cast<int32_t>(n));
      }
      if (n <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
        return OleVariant::FromInt64(static_cast<int64_t>(n));
      }
      throw HostError(Say(HostMessage::IntegerTooBig, value.dump()));
    }
    case json::value_t::number_float:
      return OleVariant(value.get<double>());
    case json::value_t::string:
      return OleVariant(std::string_view(value.get_ref<const std::string&>()));
    case json::value_t::array:
      return TableFromRows(value, baseDir, depth);
    case json::value_t::object:
      return FromObject(value, baseDir);
    default:
      throw HostError(Say(HostMessage::JsonTypeNotArgument));
  }
}

// ---- variant to JSON ----

ordered_json ToJson(const VARIANT& value, int depth);

std::optional<std::string> ReadXmlProperty(IDispatch* object) {
  // Some objects read names as BSTRs, so a real one is passed.
  ole::BstrPtr name(ole::Utf8ToBstr("xml"));
  OLECHAR* names[] = {name.get()};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) {
    OleFailureText(E_FAIL);  // drops the error information the object may have left
    return std::nullopt;
  }
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  OleVariant result;
  EXCEPINFO excep{};
  const HRESULT hr =
      object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.put(), &excep, nullptr);
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
  if (FAILED(hr)) {
    OleFailureText(hr);
    return std::nullopt;
  }
  try {
    return ole::VarToText(result);
  } catch (const ole::VariantError&) {
    return std::nullopt;
  }
}

ordered_json TableToJson(ISafeArray* table, int depth) {
  int32_t rows = 0;
  int32_t cols = 0;
  GetBounds(table, &rows, &cols);
  ordered_json out = ordered_json::array();
  for (int32_t i = 0; i < rows; ++i) {
    ordered_json row = ordered_json::array();
    for (int32_t j = 0; j < cols; ++j) row.push_back(ToJson(GetCell(table, i, j), depth + 1));
    out.push_back(std::move(row));
  }
  return out;
}

ordered_json ObjectToJson(IUnknown* object, int depth) {
  if (!object) return nullptr;
  ComPtr<ISafeArray> table;
  if (SUCCEEDED(object->QueryInterface(IID_ISafeArray, table.PutVoid())) && table) {
    return TableToJson(table.get(), depth);
  }
  ComPtr<IDispatch> dispatch;
  if (SUCCEEDED(object->QueryInterface(IID_IDispatch, dispatch.PutVoid())) && dispatch) {
    if (auto xml = ReadXmlProperty(dispatch.get())) return ordered_json{{"document", *xml}};
  }
  return ordered_json{{"object", nullptr}};
}

ordered_json ArrayDimension(SAFEARRAY* psa, std::vector<int32_t>& indices, uint32_t dim,
                            int depth) {
  int32_t lower = 0;
  int32_t upper = -1;
  if (FAILED(SafeArrayGetLBound(psa, dim + 1, &lower)) ||
      FAILED(SafeArrayGetUBound(psa, dim + 1, &upper))) {
    throw HostError(Say(HostMessage::CannotReadArrayBounds));
  }
  ordered_json out = ordered_json::array();
  for (int64_t k = lower; k <= upper; ++k) {
    indices[dim] = static_cast<int32_t>(k);
    if (dim + 1 < indices.size()) {
      out.push_back(ArrayDimension(psa, indices, dim + 1, depth));
    } else {
      OleVariant element;
      const HRESULT hr = GetArrayElement(psa, indices.data(), element.put());
      if (FAILED(hr)) ThrowOleFailure(hr, Say(HostMessage::CannotReadArrayElement));
      out.push_back(ToJson(element, depth + 1));
    }
  }
  return out;
}

ordered_json ArrayToJson(SAFEARRAY* psa, int depth) {
  if (!psa) return nullptr;
  const uint32_t dims = SafeArrayGetDim(psa);
  if (dims == 0) return ordered_json::array();
  std::vector<int32_t> indices(dims, 0);
  return ArrayDimension(psa, indices, 0, depth);
}

ordered_json ToJson(const VARIANT& value, int depth) {
  CheckDepth(depth);
  if (value.vt & VT_ARRAY) {
    return ArrayToJson(
        (value.vt & VT_BYREF) ? (value.pparray ? *value.pparray : nullptr) : value.parray, depth);
  }
  if (value.vt == (VT_VARIANT | VT_BYREF)) {
    return value.pvarVal ? ToJson(*value.pvarVal, depth + 1) : ordered_json(nullptr);
  }
  if (value.vt & VT_BYREF) {
    OleVariant direct;
    const HRESULT hr = VariantCopyInd(direct.put(), &value);
    if (FAILED(hr)) ThrowOleFailure(hr, Say(HostMessage::CannotReadByRef));
    return ToJson(direct, depth + 1);
  }
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return nullptr;
    case VT_I1:
      return value.cVal;
    case VT_I2:
      return value.iVal;
    case VT_I4:
    case VT_INT:
    case VT_ERROR:
      return value.lVal;
    case VT_I8:
      return value.llVal;
    case VT_UI1:
      return value.bVal;
    case VT_UI2:
      return value.uiVal;
    case VT_UI4:
    case VT_UINT:
      return value.ulVal;
    case VT_UI8:
      return value.ullVal;
    case VT_R4:
      return static_cast<double>(value.fltVal);
    case VT_R8:
      return value.dblVal;
    case VT_DECIMAL:
      try {
        return ole::VarToDouble(value);
      } catch (const ole::VariantError& e) {
        throw HostError(Say(HostMessage::CannotShowDecimal, e.what()));
      }
    case VT_CY:
      return static_cast<double>(value.cyVal) / 10000.0;
    case VT_DATE: {
      std::string text;
      if (ole::DateTimeToText(value.date, text)) return text;
      return value.date;
    }
    case VT_BOOL:
      return value.boolVal != VARIANT_FALSE;
    case VT_BSTR:
      return ole::BstrToUtf8(value.bstrVal);
    case VT_DISPATCH:
      return ObjectToJson(value.pdispVal, depth);
    case VT_UNKNOWN:
      return ObjectToJson(value.punkVal, depth);
    default:
      throw HostError(Say(HostMessage::NoJsonForm, ole::VarTypeName(value.vt)));
  }
}

}  // namespace

OleVariant JsonToVariant(const json& value, const std::filesystem::path& baseDir) {
  return ToVariant(value, baseDir, 0);
}

ordered_json VariantToJson(const VARIANT& value) {
  return ToJson(value, 0);
}

}  // namespace labelplu::host
