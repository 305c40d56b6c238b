// Value arrays asked for 2^31 rows: by the interface, by late-bound name, and
// by storage files whose stream or header claims dimensions and sizes the
// file cannot hold. Each is refused before anything large is allocated and
// leaves the table as it was.
#include <gtest/gtest.h>

#include <zlib.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ole/Bstr.h"
#include "platform/ole/ErrorInfo.h"
#include "tests/robustness/ResourceMeter.h"
#include "tests/robustness/RobustnessSupport.h"
#include "values/ByteStream.h"
#include "values/ValueArray.h"
#include "values/ValueArrayStorage.h"

namespace labelplu::test {
namespace {

class ValueBounds : public ::testing::Test {
 protected:
  void SetUp() override {
    AnnounceValueArrayClass();
    ole::TakeErrorText();
    m_previous = SetStreamDumpFolderProvider([path = m_dir.File("")] { return path; });
  }
  void TearDown() override { SetStreamDumpFolderProvider(m_previous); }

  static ole::ComPtr<ValueArray> SmallTable() {
    auto table = ValueArray::Create();
    EXPECT_EQ(table->SetBounds(2, 3), S_OK);
    return table;
  }
  static void ExpectBounds(ISafeArray* table, int32_t rows, int32_t cols) {
    int32_t r = -1, c = -1;
    ASSERT_EQ(table->GetBounds(&r, &c), S_OK);
    EXPECT_EQ(r, rows);
    EXPECT_EQ(c, cols);
  }
  // LoadFromFile of the bytes; the error text it leaves ("" when it loaded).
  std::string LoadError(ISafeArray* table, const std::vector<uint8_t>& bytes) {
    const std::string path =
        m_dir
            .Write("table.dat",
                   std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()))
            .string();
    ole::BstrPtr name(ole::Utf8ToBstr(path));
    VARIANT_BOOL ok = VARIANT_FALSE;
    std::string message;
    const Usage usage = Measure("storage file with a huge claim", [&] {
      if (FAILED(table->LoadFromFile(name.get(), &ok))) message = ole::TakeErrorText();
    });
    EXPECT_LT(usage.peakGrowthMb, 64);
    return message;
  }

  TempDir m_dir;
  DumpFolderProvider m_previous;
};

TEST_F(ValueBounds, SetBoundsPastTheLimitIsRefusedAndKeepsTheTable) {
  auto table = SmallTable();
  const struct {
    int32_t rows, cols;
    const char* message;
  } cases[] = {
      {INT32_MAX, 1, "Недостаточно памяти для массива 2147483647 x 1."},
      {INT32_MAX, INT32_MAX, "Недостаточно памяти для массива 2147483647 x 2147483647."},
      {1 << 28, 1, "Недостаточно памяти для массива 268435456 x 1."},  // 4 GiB of cells
      {65536, 65536, "Недостаточно памяти для массива 65536 x 65536."},
  };
  for (const auto& c : cases) {
    HRESULT hr = S_OK;
    const Usage usage =
        Measure("SetBounds past the limit", [&] { hr = table->SetBounds(c.rows, c.cols); });
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(ole::TakeErrorText(), c.message);
    EXPECT_LT(usage.peakGrowthMb, 16);
    ExpectBounds(table.get(), 2, 3);
  }
}

TEST_F(ValueBounds, LateBoundSetBoundsAnswersTheSameError) {
  auto table = SmallTable();
  IDispatch* object = table.get();
  for (std::u16string name : {u"SetBounds", u"setbounds"}) {
    OLECHAR* names[1] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    ASSERT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    VARIANT args[2];  // last argument first
    args[0].vt = VT_I4;
    args[0].lVal = 1;
    args[1].vt = VT_I4;
    args[1].lVal = INT32_MAX;
    DISPPARAMS params{args, nullptr, 2, 0};
    EXCEPINFO excep{};
    const HRESULT hr =
        object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, &excep, nullptr);
    EXPECT_EQ(hr, DISP_E_EXCEPTION);
    ASSERT_NE(excep.bstrDescription, nullptr);
    EXPECT_EQ(ole::BstrToUtf8(excep.bstrDescription),
              "Недостаточно памяти для массива 2147483647 x 1.");
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrHelpFile);
    ExpectBounds(table.get(), 2, 3);
  }
}

void PutI32(ByteStream& stream, int32_t value) {
  stream.Write(&value, 4);
}

// Writes a two-dimensional array header of the tag claiming rows × cols
// (upper bounds rows - 1, cols - 1), then `tail` zero bytes.
void ArrayClaim(ByteStream& stream, uint32_t tag, int64_t rows, int64_t cols, int32_t tail) {
  PutI32(stream, static_cast<int32_t>(tag));
  PutI32(stream, 2);
  PutI32(stream, 0);
  PutI32(stream, 0);
  PutI32(stream, static_cast<int32_t>(rows - 1));
  PutI32(stream, static_cast<int32_t>(cols - 1));
  const std::vector<uint8_t> zeros(static_cast<size_t>(tail), 0);
  if (tail > 0) stream.Write(zeros.data(), tail);
}

TEST_F(ValueBounds, StorageFilesClaimingHugeTablesAreRefused) {
  const struct {
    uint32_t tag;
    int64_t rows, cols;
  } cases[] = {
      {VT_ARRAY | VT_VARIANT, INT32_MAX, 1},
      {VT_ARRAY | VT_VARIANT, 65536, 65536},
      {VT_ARRAY | VT_UI1, INT32_MAX, 1},  // raw element bytes
      {VT_ARRAY | VT_R8, 1 << 20, 1 << 20},
  };
  for (const auto& c : cases) {
    auto table = SmallTable();
    ByteStream stream;
    ArrayClaim(stream, c.tag, c.rows, c.cols, 64);
    const std::string message = LoadError(table.get(), PackStorage(stream, 0.0));
    EXPECT_NE(message.find("Неверный размер массива."), std::string::npos) << message;
    ExpectBounds(table.get(), 2, 3);
  }
}

TEST_F(ValueBounds, StorageHeaderClaimingAHugeStreamIsRefused) {
  auto table = SmallTable();
  ByteStream stream;
  ArrayClaim(stream, VT_ARRAY | VT_VARIANT, 1, 1, 4);
  std::vector<uint8_t> file = PackStorage(stream, 0.0);
  // The unpacked size of the header (the last four bytes of it) claims 2^31 - 1.
  const uint32_t claim = INT32_MAX;
  std::memcpy(file.data() + kStorageHeaderSize - 4, &claim, 4);
  EXPECT_EQ(LoadError(table.get(), file), kStorageUnpackError);
  ExpectBounds(table.get(), 2, 3);

  // A total size in the header larger than the file.
  file = PackStorage(stream, 0.0);
  const uint32_t total = UINT32_MAX;
  std::memcpy(file.data() + 23, &total, 4);
  EXPECT_EQ(LoadError(table.get(), file), kStorageSizeError);
}

}  // namespace
}  // namespace labelplu::test
