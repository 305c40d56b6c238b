// A test double of the value array class: ISafeArray over one SAFEARRAY,
// announced under CLSID_ValueArray so that the code under test can create it.
#ifndef LABELPLU_TESTS_VALUES_TESTVALUEARRAY_H
#define LABELPLU_TESTS_VALUES_TESTVALUEARRAY_H

#include <vector>

#include "base/VariantUtils.h"
#include "labelplu/valuearray.h"
#include "platform/ole/ComObject.h"
#include "platform/ole/ContractInterfaces.h"

namespace labelplu::test {

class TestValueArray final : public ole::ComObject<ISafeArray> {
 public:
  ~TestValueArray() override { SafeArrayDestroy(m_psa); }

  HRESULT GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(uint32_t, uint32_t, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const IID&, OLECHAR**, uint32_t, uint32_t, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT Invoke(DISPID, const IID&, uint32_t, uint16_t, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                 uint32_t*) override {
    return E_NOTIMPL;
  }

  // A fresh rows x cols table of variants (contents are not kept).
  HRESULT SetBounds(int32_t rows, int32_t cols) override {
    const SAFEARRAYBOUND bounds[2] = {{static_cast<uint32_t>(rows), 0},
                                      {static_cast<uint32_t>(cols), 0}};
    return SetPSAType(SafeArrayCreate(VT_VARIANT, 2, bounds), VT_VARIANT);
  }
  HRESULT SetValue(int32_t row, int32_t col, const VARIANT* value) override {
    const int32_t at[2] = {row + Lower(1), col + Lower(2)};
    return PutArrayElement(m_psa, at, *value);
  }
  HRESULT GetPSA(SAFEARRAY** out) override {
    *out = m_psa;
    return S_OK;
  }
  HRESULT GetVarType(int32_t* out) override {
    *out = m_type;
    return S_OK;
  }
  HRESULT Empty(int32_t* out) override {
    int32_t rows = 0;
    int32_t cols = 0;
    GetBounds(&rows, &cols);
    *out = rows <= 0 || cols <= 0;
    return S_OK;
  }
  HRESULT SetPSA(SAFEARRAY* psa) override { return SetPSAType(psa, VT_VARIANT); }
  HRESULT SetPSAType(SAFEARRAY* psa, int32_t type) override {
    if (!psa || SafeArrayGetDim(psa) != 2) return E_INVALIDARG;
    SafeArrayDestroy(m_psa);
    m_psa = psa;
    m_type = type;
    return S_OK;
  }
  HRESULT GetBounds(int32_t* rows, int32_t* cols) override {
    *rows = Count(1);
    *cols = Count(2);
    return S_OK;
  }
  HRESULT SaveToFile(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT LoadFromFile(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT LoadFromFileAsStream(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT SaveToFileAsStream(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT GetValue(int32_t row, int32_t col, VARIANT* out) override {
    if (row < 0 || row >= Count(1) || col < 0 || col >= Count(2)) return DISP_E_BADINDEX;
    const int32_t at[2] = {row + Lower(1), col + Lower(2)};
    return GetArrayElement(m_psa, at, out);
  }

  // Creates a value array of rows x cols variants filled from cells (row by
  // row); the caller owns the returned reference.
  static ISafeArray* Make(int32_t rows, int32_t cols, const std::vector<VARIANT>& cells = {}) {
    auto* table = new TestValueArray();
    table->SetBounds(rows, cols);
    for (size_t i = 0; i < cells.size(); ++i) {
      table->SetValue(static_cast<int32_t>(i) / cols, static_cast<int32_t>(i) % cols, &cells[i]);
    }
    return table;
  }

  static HRESULT Factory(const IID* iid, void** out) {
    auto* table = new TestValueArray();
    const HRESULT hr = table->QueryInterface(*iid, out);
    table->Release();
    return hr;
  }

  // Announces the double as the value array class.
  static void Announce() { OleRegisterClass(&CLSID_ValueArray, "AddIn", &Factory); }
  static void Revoke() { OleRevokeClass(&CLSID_ValueArray); }

 private:
  TestValueArray() = default;

  int32_t Lower(uint32_t dim) const {
    int32_t lower = 0;
    if (m_psa) SafeArrayGetLBound(m_psa, dim, &lower);
    return lower;
  }
  int32_t Count(uint32_t dim) const {
    int32_t lower = 0;
    int32_t upper = -1;
    if (m_psa) {
      SafeArrayGetLBound(m_psa, dim, &lower);
      SafeArrayGetUBound(m_psa, dim, &upper);
    }
    return upper - lower + 1;
  }

  SAFEARRAY* m_psa = nullptr;
  int32_t m_type = VT_VARIANT;
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_VALUES_TESTVALUEARRAY_H
