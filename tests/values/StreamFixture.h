// Common setting of the variant stream tests: the value array test double
// announced, dump files in a temporary folder.
#ifndef LABELPLU_TESTS_VALUES_STREAMFIXTURE_H
#define LABELPLU_TESTS_VALUES_STREAMFIXTURE_H

#include <gtest/gtest.h>

#include "tests/values/DumpFolderScope.h"
#include "tests/values/StreamBytes.h"
#include "tests/values/TestValueArray.h"
#include "tests/values/TestVariants.h"
#include "values/VariantStream.h"

namespace labelplu::test {

class StreamTest : public ::testing::Test {
 protected:
  void SetUp() override { TestValueArray::Announce(); }
  void TearDown() override { TestValueArray::Revoke(); }

  Bytes Written(const VARIANT& value) {
    ByteStream stream;
    WriteVariant(stream, value);
    return StreamBytes(stream);
  }

  // Writes value and reads it back from the start.
  void RoundTrip(const VARIANT& value, VARIANT& out, bool* byRef = nullptr,
                 bool* refRecord = nullptr) {
    ByteStream stream;
    WriteVariant(stream, value);
    const int32_t size = stream.Size();
    stream.SetPosition(0);
    bool seenByRef = false;
    bool seenRecord = false;
    ReadVariant(stream, out, seenByRef, seenRecord);
    EXPECT_EQ(stream.Position(), size) << "the whole value is read";
    if (byRef) *byRef = seenByRef;
    if (refRecord) *refRecord = seenRecord;
  }

  // The value array behind a VT_DISPATCH variant (not AddRef'd).
  static ISafeArray* TableOf(const VARIANT& value) {
    EXPECT_EQ(value.vt, VT_DISPATCH);
    if (value.vt != VT_DISPATCH) return nullptr;
    ISafeArray* table = nullptr;
    value.pdispVal->QueryInterface(IID_ISafeArray, reinterpret_cast<void**>(&table));
    if (table) table->Release();
    return table;
  }

  DumpFolderScope m_dumps;
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_VALUES_STREAMFIXTURE_H
