#include "host/ValueArrays.h"

#include <sys/stat.h>

#include "host/HostError.h"
#include "host/HostMessages.h"
#include "platform/ole/Bstr.h"

namespace labelplu::host {

using ole::ComPtr;
using ole::OleVariant;

ComPtr<ISafeArray> NewValueArray() {
  ComPtr<ISafeArray> table;
  const HRESULT hr =
      CoCreateInstance(&CLSID_ValueArray, nullptr, 0, &IID_ISafeArray, table.PutVoid());
  if (FAILED(hr) || !table) {
    ThrowOleFailure(FAILED(hr) ? hr : E_POINTER, Say(HostMessage::CannotCreateValueArray));
  }
  return table;
}

ComPtr<ISafeArray> NewValueArray(int64_t rows, int64_t cols) {
  if (rows < 0 || cols < 0) throw HostError(Say(HostMessage::NegativeArraySize));
  if (rows != 0 && cols > kMaxValueArrayCells / rows) {
    throw HostError(Say(HostMessage::ArrayTooLarge, rows, cols, kMaxValueArrayCells));
  }
  ComPtr<ISafeArray> table = NewValueArray();
  const HRESULT hr = table->SetBounds(static_cast<int32_t>(rows), static_cast<int32_t>(cols));
  if (FAILED(hr)) ThrowOleFailure(hr, Say(HostMessage::CannotSizeArray));
  return table;
}

void SetCell(ISafeArray* table, int32_t row, int32_t col, const VARIANT& value) {
  const HRESULT hr = table->SetValue(row, col, &value);
  if (FAILED(hr)) ThrowOleFailure(hr, Say(HostMessage::CannotStoreCell));
}

ComPtr<ISafeArray> ValueArrayFromTextRows(const std::vector<std::vector<std::string>>& rows) {
  size_t cols = 0;
  for (const auto& row : rows) cols = std::max(cols, row.size());
  ComPtr<ISafeArray> table =
      NewValueArray(static_cast<int64_t>(rows.size()), static_cast<int64_t>(cols));
  for (size_t i = 0; i < rows.size(); ++i) {
    for (size_t j = 0; j < rows[i].size(); ++j) {
      SetCell(table.get(), static_cast<int32_t>(i), static_cast<int32_t>(j),
              OleVariant(std::string_view(rows[i][j])));
    }
  }
  return table;
}

ComPtr<ISafeArray> LoadStorageFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    throw HostError(Say(HostMessage::StorageMissing, path));
  }
  if (!S_ISREG(st.st_mode)) throw HostError(Say(HostMessage::StorageNotRegular, path));
  ComPtr<ISafeArray> table = NewValueArray();
  ole::BstrPtr name(ole::Utf8ToBstr(path));
  VARIANT_BOOL ok = VARIANT_FALSE;
  const HRESULT hr = table->LoadFromFile(name.get(), &ok);
  if (FAILED(hr)) ThrowOleFailure(hr, Say(HostMessage::StorageCannotLoad, path));
  if (ok == VARIANT_FALSE) throw HostError(Say(HostMessage::StorageCannotLoad, path));
  return table;
}

ComPtr<ISafeArray> AsValueArray(const VARIANT& value) {
  const VARIANT* v = &value;
  for (int depth = 0; v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal && depth < 8; ++depth) {
    v = v->pvarVal;
  }
  IUnknown* object = nullptr;
  switch (v->vt) {
    case VT_DISPATCH:
      object = v->pdispVal;
      break;
    case VT_UNKNOWN:
      object = v->punkVal;
      break;
    case VT_DISPATCH | VT_BYREF:
      object = v->ppdispVal ? *v->ppdispVal : nullptr;
      break;
    case VT_UNKNOWN | VT_BYREF:
      object = v->ppunkVal ? *v->ppunkVal : nullptr;
      break;
    default:
      break;
  }
  ComPtr<ISafeArray> table;
  if (object) object->QueryInterface(IID_ISafeArray, table.PutVoid());
  return table;
}

void GetBounds(ISafeArray* table, int32_t* rows, int32_t* cols) {
  const HRESULT hr = table->GetBounds(rows, cols);
  if (FAILED(hr)) ThrowOleFailure(hr, Say(HostMessage::CannotReadBounds));
}

OleVariant GetCell(ISafeArray* table, int32_t row, int32_t col) {
  OleVariant cell;
  const HRESULT hr = table->GetValue(row, col, cell.put());
  if (FAILED(hr)) ThrowOleFailure(hr, Say(HostMessage::CannotReadCell));
  return cell;
}

}  // namespace labelplu::host
