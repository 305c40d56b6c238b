// Automation objects for the host's unit tests: a value array kept in memory
// (announced under CLSID_ValueArray while a TableClass lives) and a document
// whose late-bound "xml" property answers a fixed text.
#ifndef LABELPLU_TESTS_HOST_HOSTTESTOBJECTS_H
#define LABELPLU_TESTS_HOST_HOSTTESTOBJECTS_H

#include <string>
#include <vector>

#include "labelplu/valuearray.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/ComObject.h"
#include "platform/ole/ContractInterfaces.h"
#include "platform/ole/Variant.h"

namespace labelplu::test {

class MemoryTable final : public ole::ComObject<ISafeArray> {
 public:
  HRESULT GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(uint32_t, uint32_t, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const IID&, OLECHAR**, uint32_t, uint32_t, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT Invoke(DISPID, const IID&, uint32_t, uint16_t, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                 uint32_t*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT SetBounds(int32_t rows, int32_t cols) override {
    if (rows < 0 || cols < 0) return E_INVALIDARG;
    m_rows = rows;
    m_cols = cols;
    m_cells.assign(static_cast<size_t>(rows) * static_cast<size_t>(cols), ole::OleVariant());
    return S_OK;
  }
  HRESULT SetValue(int32_t row, int32_t col, const VARIANT* value) override {
    if (!Inside(row, col)) return DISP_E_BADINDEX;
    m_cells[Index(row, col)] = ole::OleVariant(*value);
    return S_OK;
  }
  HRESULT GetPSA(SAFEARRAY**) override { return E_NOTIMPL; }
  HRESULT GetVarType(int32_t* out) override {
    *out = VT_VARIANT;
    return S_OK;
  }
  HRESULT Empty(int32_t* out) override {
    *out = m_rows == 0 || m_cols == 0;
    return S_OK;
  }
  HRESULT SetPSA(SAFEARRAY*) override { return E_NOTIMPL; }
  HRESULT SetPSAType(SAFEARRAY*, int32_t) override { return E_NOTIMPL; }
  HRESULT GetBounds(int32_t* rows, int32_t* cols) override {
    *rows = m_rows;
    *cols = m_cols;
    return S_OK;
  }
  HRESULT SaveToFile(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT LoadFromFile(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT LoadFromFileAsStream(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT SaveToFileAsStream(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT GetValue(int32_t row, int32_t col, VARIANT* out) override {
    if (!Inside(row, col)) return DISP_E_BADINDEX;
    return VariantCopy(out, &m_cells[Index(row, col)].get());
  }

 private:
  bool Inside(int32_t row, int32_t col) const {
    return row >= 0 && row < m_rows && col >= 0 && col < m_cols;
  }
  size_t Index(int32_t row, int32_t col) const {
    return static_cast<size_t>(row) * static_cast<size_t>(m_cols) + static_cast<size_t>(col);
  }

  int32_t m_rows = 0;
  int32_t m_cols = 0;
  std::vector<ole::OleVariant> m_cells;
};

// Announces MemoryTable as the value array class for its lifetime.
class TableClass {
 public:
  TableClass() { OleRegisterClass(&CLSID_ValueArray, "MemoryTable", Create); }
  ~TableClass() { OleRevokeClass(&CLSID_ValueArray); }
  TableClass(const TableClass&) = delete;
  TableClass& operator=(const TableClass&) = delete;

 private:
  static HRESULT Create(const IID* iid, void** out) {
    auto table = ole::MakeCom<MemoryTable>();
    return table->QueryInterface(*iid, out);
  }
};

// An object with one late-bound property, "xml".
class XmlDocument final : public ole::ComObject<IDispatch> {
 public:
  explicit XmlDocument(std::string xml) : m_xml(std::move(xml)) {}
  HRESULT GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(uint32_t, uint32_t, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const IID&, OLECHAR** names, uint32_t count, uint32_t,
                        DISPID* ids) override {
    if (count != 1 || std::u16string_view(names[0]) != u"xml") return DISP_E_UNKNOWNNAME;
    ids[0] = 7;
    return S_OK;
  }
  HRESULT Invoke(DISPID id, const IID&, uint32_t, uint16_t flags, DISPPARAMS*, VARIANT* result,
                 EXCEPINFO*, uint32_t*) override {
    if (id != 7 || !(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    VariantClear(result);
    result->vt = VT_BSTR;
    result->bstrVal = ole::Utf8ToBstr(m_xml);
    return S_OK;
  }

 private:
  std::string m_xml;
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_HOST_HOSTTESTOBJECTS_H
