// labelplu: the value array interface.
//
// A value array is a two-dimensional table of variants (rows and columns
// counted from 0) shared between the driver and its host as a reference-
// counted automation object. Print data, property tables and packed method
// arguments travel as value arrays. Besides the fixed slots below, the object
// answers late-bound calls through IDispatch ("GetBounds", "SetBounds",
// "GetValue", "SetValue", "Empty", "SetRowValues", "LoadFromFile",
// "SaveToFile", "LoadFromFileAsStream", "SaveToFileAsStream", "RowCount",
// "ColCount", "__PSA", "__SetPSA").
//
// Every slot returns an HRESULT; on failure the thread's error information
// (GetErrorInfo) holds the message. Call an object only from one thread at a
// time.
#ifndef LABELPLU_VALUEARRAY_H
#define LABELPLU_VALUEARRAY_H

#include "labelplu/oleauto.h"

namespace labelplu {

// {C71ED758-08C7-4ACB-9497-120FDBCFDD21}
inline constexpr IID IID_ISafeArray = {
    0xC71ED758, 0x08C7, 0x4ACB, {0x94, 0x97, 0x12, 0x0F, 0xDB, 0xCF, 0xDD, 0x21}};
// The class of value arrays, for CoCreateInstance once the plug-in is loaded:
// {67ACED41-31C6-434E-9632-96018EB2B4EB}
inline constexpr CLSID CLSID_ValueArray = {
    0x67ACED41, 0x31C6, 0x434E, {0x96, 0x32, 0x96, 0x01, 0x8E, 0xB2, 0xB4, 0xEB}};

struct ISafeArray : IDispatch {
  // Sets the rows and columns in use, growing the storage when needed.
  virtual HRESULT SetBounds(int32_t rows, int32_t cols) = 0;
  // Stores a copy of value into the cell (row, col).
  virtual HRESULT SetValue(int32_t row, int32_t col, const VARIANT* value) = 0;
  // The underlying two-dimensional array itself (not a copy; owned by the
  // object, valid until the object changes its storage or is freed).
  virtual HRESULT GetPSA(SAFEARRAY** out) = 0;
  // The element type of the storage (VT_VARIANT unless adopted otherwise).
  virtual HRESULT GetVarType(int32_t* out) = 0;
  // 1 when there are no rows or no columns in use, else 0.
  virtual HRESULT Empty(int32_t* out) = 0;
  // Adopts a two-dimensional array of variants (the object takes ownership).
  virtual HRESULT SetPSA(SAFEARRAY* psa) = 0;
  // Adopts a two-dimensional array of the given element type.
  virtual HRESULT SetPSAType(SAFEARRAY* psa, int32_t elementType) = 0;
  // The rows and columns in use.
  virtual HRESULT GetBounds(int32_t* rows, int32_t* cols) = 0;
  // File operations; *ok is VARIANT_TRUE on success. The file name is a BSTR
  // owned by the caller.
  virtual HRESULT SaveToFile(BSTR fileName, VARIANT_BOOL* ok) = 0;
  virtual HRESULT LoadFromFile(BSTR fileName, VARIANT_BOOL* ok) = 0;
  virtual HRESULT LoadFromFileAsStream(BSTR fileName, VARIANT_BOOL* ok) = 0;
  virtual HRESULT SaveToFileAsStream(BSTR fileName, VARIANT_BOOL* ok) = 0;
  // A copy of the cell (row, col) into *out (which the caller clears).
  virtual HRESULT GetValue(int32_t row, int32_t col, VARIANT* out) = 0;
};

}  // namespace labelplu

#endif  // LABELPLU_VALUEARRAY_H
