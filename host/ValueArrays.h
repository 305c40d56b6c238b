// labelplu host: creating and reading value arrays on the host's side.
//
// Value arrays are created through the class table (CoCreateInstance of
// CLSID_ValueArray), which the plug-in announces once it is loaded; without
// it every creation fails with a HostError saying so.
#ifndef LABELPLU_HOST_VALUEARRAYS_H
#define LABELPLU_HOST_VALUEARRAYS_H

#include <cstdint>
#include <string>
#include <vector>

#include "labelplu/valuearray.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/Variant.h"

namespace labelplu::host {

// The most cells (rows × columns) the host puts into one value array it
// builds; larger tables are refused with a HostError instead of allocating
// without bound.
inline constexpr int64_t kMaxValueArrayCells = int64_t{1} << 23;

// A new, empty value array. Throws HostError with the HRESULT and the
// runtime's error text when the class cannot be created.
ole::ComPtr<ISafeArray> NewValueArray();

// A new value array of rows × cols empty cells. Throws HostError when the
// size is negative or passes kMaxValueArrayCells, or creation fails.
ole::ComPtr<ISafeArray> NewValueArray(int64_t rows, int64_t cols);

// Stores value into cell (row, col). Throws HostError with the object's
// error text on failure.
void SetCell(ISafeArray* table, int32_t row, int32_t col, const VARIANT& value);

// A value array holding the rows (text cells; short rows padded with empty
// cells to the widest row).
ole::ComPtr<ISafeArray> ValueArrayFromTextRows(const std::vector<std::vector<std::string>>& rows);

// A value array loaded from a storage file (the compressed "SaFeArRaY"
// format written by SaveToFile). Throws HostError naming the file when it
// does not exist or the object refuses it (the object's message included).
ole::ComPtr<ISafeArray> LoadStorageFile(const std::string& path);

// The value array the variant refers to (VT_DISPATCH or VT_UNKNOWN, also by
// reference, whose object answers ISafeArray); null otherwise.
ole::ComPtr<ISafeArray> AsValueArray(const VARIANT& value);

// The rows and columns in use. Throws HostError on failure.
void GetBounds(ISafeArray* table, int32_t* rows, int32_t* cols);

// A copy of cell (row, col). Throws HostError on failure.
ole::OleVariant GetCell(ISafeArray* table, int32_t row, int32_t col);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_VALUEARRAYS_H
