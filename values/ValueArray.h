// labelplu: ValueArray, the value array object, and its class.
//
// A value array is a two-dimensional table of variants (row index first,
// both counted from 0) reachable through ISafeArray (include/labelplu/
// valuearray.h) and through late-bound calls by name (AutomationObject). It
// saves itself to and loads itself from a compressed storage file
// (ValueArrayStorage.h) and reads or writes a raw byte file.
//
// Every ISafeArray slot runs under Safecall: a failure becomes a failure
// HRESULT with its message in the thread's error information. The late-bound
// names raise the same messages through IDispatch::Invoke (DISP_E_EXCEPTION).
//
// Threads: an object is used by one thread at a time; the class functions at
// the end may be called from any thread.
#ifndef LABELPLU_VALUES_VALUEARRAY_H
#define LABELPLU_VALUES_VALUEARRAY_H

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "labelplu/valuearray.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/ContractInterfaces.h"
#include "platform/ole/Variant.h"
#include "values/AutomationObject.h"

namespace labelplu {

class ByteStream;

class ValueArray final : public AutomationObject<ISafeArray> {
 public:
  // A new value array: a 1 x 1 array of variants, no rows or columns in use,
  // its late-bound names registered.
  static ole::ComPtr<ValueArray> Create();

  // ---- ISafeArray ----
  // Nothing when rows or cols is negative or both equal the counts in use.
  // Otherwise a new variant array of max(rows, 1) x max(cols, 1) cells takes
  // the cells both tables share; the others are empty.
  HRESULT SetBounds(int32_t rows, int32_t cols) override;
  // Stores value into the cell. A by-reference 32-bit integer, double, date,
  // wide string, object or variant is stored as the value it points to;
  // another by-reference type fails with "Ошибка типа параметра. <type>". A
  // cell outside the counts fails with "Номер элемента массива за пределами
  // границ. X:.. Y:.. CountX:.. CountY:..\r\n<value as text>".
  HRESULT SetValue(int32_t row, int32_t col, const VARIANT* value) override;
  HRESULT GetPSA(SAFEARRAY** out) override;
  HRESULT GetVarType(int32_t* out) override;
  HRESULT Empty(int32_t* out) override;
  // Adopt psa (null changes nothing): the object owns it from then on; the
  // counts become the upper bounds + 1. An array that is not two-dimensional,
  // or whose element type differs from the one given (VT_VARIANT for
  // SetPSA), is refused with a message and stays the caller's.
  HRESULT SetPSA(SAFEARRAY* psa) override;
  HRESULT SetPSAType(SAFEARRAY* psa, int32_t elementType) override;
  HRESULT GetBounds(int32_t* rows, int32_t* cols) override;
  // Writes the storage file (replacing it atomically).
  HRESULT SaveToFile(BSTR fileName, VARIANT_BOOL* ok) override;
  // *ok = false when the file does not exist (the contents stay); otherwise
  // loads the storage file or fails with its failure text, the contents
  // unchanged.
  HRESULT LoadFromFile(BSTR fileName, VARIANT_BOOL* ok) override;
  // Reads the whole file into a 1 x <file size> array of bytes; *ok = false
  // when the file does not exist.
  HRESULT LoadFromFileAsStream(BSTR fileName, VARIANT_BOOL* ok) override;
  // For an array of bytes (element type AND 0x11 = 0x11): writes as many bytes
  // of the array memory as the array has elements (atomically). Otherwise
  // nothing is written and *ok = false.
  HRESULT SaveToFileAsStream(BSTR fileName, VARIANT_BOOL* ok) override;
  // A copy of the cell; outside the counts "Номер элемента массива за
  // пределами границ.".
  HRESULT GetValue(int32_t row, int32_t col, VARIANT* out) override;

  // ---- C++ access (raise std::exception on failure) ----
  // Loads a storage file image (the bytes of a file SaveToFile writes) and
  // adopts its table, failing with the texts of ValueArrayStorage.h; the
  // contents are unchanged on failure.
  void LoadFromBytes(std::span<const uint8_t> bytes);
  // The storage file image of the table, stamped with saveTime (days since
  // 1899-12-30, local time).
  std::vector<uint8_t> SaveToBytes(double saveTime) const;
  // The variant stream of the table (what the storage file compresses).
  void WriteTo(ByteStream& stream) const;

  int32_t RowCount() const { return m_rowCount; }
  int32_t ColCount() const { return m_colCount; }
  // The array held (owned by the object) and its element type.
  SAFEARRAY* Data() const { return m_data.get(); }
  VARTYPE ElementType() const { return m_elementType; }

 protected:
  void RegisterNames() override;

 private:
  struct ArrayDeleter {
    void operator()(SAFEARRAY* psa) const { SafeArrayDestroy(psa); }
  };
  using ArrayPtr = std::unique_ptr<SAFEARRAY, ArrayDeleter>;

  ValueArray();
  ~ValueArray() override;

  // The operations behind the slots and the late-bound names.
  void Resize(int32_t rows, int32_t cols);
  ole::OleVariant ValueAt(int32_t row, int32_t col) const;
  void StoreValue(int32_t row, int32_t col, const VARIANT& value);
  void Adopt(SAFEARRAY* psa, int32_t elementType);
  void ReadTable(ByteStream& stream);
  void SaveFile(const std::string& name) const;
  bool LoadFile(const std::string& name);
  bool SaveRawFile(const std::string& name) const;
  bool LoadRawFile(const std::string& name);
  // The address of cell (row, col) or null when the array has no such cell.
  void* CellAt(int32_t row, int32_t col) const;

  ArrayPtr m_data;
  VARTYPE m_elementType = VT_VARIANT;
  int32_t m_rowCount = 0;
  int32_t m_colCount = 0;
};

// ---- The value array class (CLSID_ValueArray) ----

// Announces the class to the runtime's class table (server name "AddIn"), so
// that CoCreateInstance(CLSID_ValueArray) creates ValueArray objects. Calling
// it again does no harm. Raises ole::OleException when the table refuses.
void AnnounceValueArrayClass();
// Removes the announcement.
void RevokeValueArrayClass();
// Announces the class the first time it is called in the process.
void EnsureValueArrayClass();
// Creates a value array through the class table (announcing the class on
// first use, and again when it has been revoked meanwhile). The caller owns
// the reference. Raises ole::OleException on failure.
ole::ComPtr<ISafeArray> CreateValueArray();

}  // namespace labelplu

#endif  // LABELPLU_VALUES_VALUEARRAY_H
