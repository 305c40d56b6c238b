// Common setting of the value array tests: the real value array class
// announced, dump files and test files in temporary folders, and helpers for
// late-bound calls and raw file bytes.
#ifndef LABELPLU_TESTS_VALUES_VALUEARRAYFIXTURE_H
#define LABELPLU_TESTS_VALUES_VALUEARRAYFIXTURE_H

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/ole/Bstr.h"
#include "platform/ole/ErrorInfo.h"
#include "tests/support/TempDir.h"
#include "tests/values/DumpFolderScope.h"
#include "tests/values/StreamBytes.h"
#include "tests/values/TestVariants.h"
#include "values/ValueArray.h"

namespace labelplu::test {

class ValueArrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AnnounceValueArrayClass();
    ole::TakeErrorText();
  }

  // A new table of rows x cols filled row by row from cells.
  static ole::ComPtr<ValueArray> Table(int32_t rows, int32_t cols,
                                       const std::vector<VARIANT>& cells = {}) {
    auto table = ValueArray::Create();
    EXPECT_EQ(table->SetBounds(rows, cols), S_OK);
    for (size_t i = 0; i < cells.size(); ++i) {
      EXPECT_EQ(table->SetValue(static_cast<int32_t>(i) / cols, static_cast<int32_t>(i) % cols,
                                &cells[i]),
                S_OK);
    }
    return table;
  }

  // The message a failed slot left, or "<ok>" when hr succeeded.
  static std::string Failure(HRESULT hr) { return SUCCEEDED(hr) ? "<ok>" : ole::TakeErrorText(); }

  // A file in the test's folder; Path("") is the folder itself, with a
  // trailing '/'.
  std::string Path(const std::string& name) const { return m_folder.File(name); }

  static Bytes FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  static void PutFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }

  // Slot calls with a file name.
  using FileSlot = HRESULT (ISafeArray::*)(BSTR, VARIANT_BOOL*);
  static HRESULT CallFile(ISafeArray* table, FileSlot slot, const std::string& path,
                          VARIANT_BOOL* ok) {
    ole::BstrPtr name(ole::Utf8ToBstr(path));
    return (table->*slot)(name.get(), ok);
  }

  // A late-bound call by name with the arguments in call order (they are
  // handed over last-first, as COM does).
  static HRESULT Call(IDispatch* object, const std::u16string& name, uint16_t flags,
                      std::vector<VARIANT> args, VARIANT* result = nullptr,
                      EXCEPINFO* excep = nullptr) {
    std::u16string copy = name;
    OLECHAR* names[1] = {copy.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT found = object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    if (FAILED(found)) return found;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
    return object->Invoke(id, IID_NULL, 0, flags, &params, result, excep, nullptr);
  }

  // The cell (row, col) as text ("<error>" when GetValue fails).
  static std::string CellText(ISafeArray* table, int32_t row, int32_t col) {
    Var cell;
    if (FAILED(table->GetValue(row, col, &cell.v))) return "<error: " + ole::TakeErrorText() + ">";
    return ole::VarToText(cell.v);
  }

  TempDir m_folder;
  DumpFolderScope m_dumps;
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_VALUES_VALUEARRAYFIXTURE_H
