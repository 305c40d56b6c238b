// Storage files and raw byte files written and read back; crash-safe
// replacement of existing files.
#include <sys/stat.h>

#include <cstring>
#include <random>

#include "tests/values/StorageFixture.h"
#include "values/ByteStream.h"
#include "values/VariantStream.h"

namespace labelplu {
namespace {

using namespace test;

std::u16string RandomText(std::mt19937& random, size_t length) {
  std::uniform_int_distribution<int> code(0x20, 0xD7FF);
  std::u16string text(length, u' ');
  for (char16_t& c : text) c = static_cast<char16_t>(code(random));
  return text;
}

TEST_F(StorageTest, EveryValueTypeComesBack) {
  const int16_t i2 = -300;
  const int32_t i4 = -70000;
  const float r4 = 1.25f;
  const double r8 = -2.5e100;
  const int64_t cy = 123456789;
  const double date = 45000.75;
  const int32_t error = static_cast<int32_t>(0x80020004u);
  const int16_t yes = VARIANT_TRUE;
  const int8_t i1 = -7;
  const uint8_t ui1 = 250;
  const uint16_t ui2 = 65000;
  const uint32_t ui4 = 4000000000u;
  const int64_t i8 = -9000000000000LL;
  VARIANT null{};
  null.vt = VT_NULL;
  Var label(Str("Этикетка №1 — €"));
  std::vector<VARIANT> cells = {
      Raw(VT_I2, &i2, 2),
      Raw(VT_I4, &i4, 4),
      Raw(VT_R4, &r4, 4),
      Raw(VT_R8, &r8, 8),
      Raw(VT_CY, &cy, 8),
      Raw(VT_DATE, &date, 8),
      Raw(VT_ERROR, &error, 4),
      Raw(VT_BOOL, &yes, 2),
      Raw(VT_I1, &i1, 1),
      Raw(VT_UI1, &ui1, 1),
      Raw(VT_UI2, &ui2, 2),
      Raw(VT_UI4, &ui4, 4),
      Raw(VT_I8, &i8, 8),
      VARIANT{},
      null,
      label.v,
  };
  Var inner(Str("внутри"));
  auto nested = Table(1, 2, {inner.v, I4(7)});
  cells.push_back(Object(nested.get()));
  Var line(ArrayOf(SafeArrayCreateVector(VT_I4, 1, 3)));
  for (int32_t i = 1; i <= 3; ++i) SafeArrayPutElement(line.v.parray, &i, &i);
  cells.push_back(line.v);
  const int32_t cols = 5;
  const int32_t rows = static_cast<int32_t>(cells.size() + cols - 1) / cols;
  auto table = Table(rows, cols, cells);

  auto back = SaveAndLoad(table.get(), Path("types.sa"));
  ASSERT_EQ(back->RowCount(), rows);
  ASSERT_EQ(back->ColCount(), cols);
  for (size_t i = 0; i < cells.size(); ++i) {
    const VARIANT& sent = cells[i];
    Var got;
    ASSERT_EQ(
        back->GetValue(static_cast<int32_t>(i) / cols, static_cast<int32_t>(i) % cols, &got.v),
        S_OK);
    SCOPED_TRACE(i);
    if (sent.vt == VT_DISPATCH) {
      ISafeArray* copy = nullptr;
      ASSERT_EQ(got.v.vt, VT_DISPATCH);
      ASSERT_EQ(got.v.pdispVal->QueryInterface(IID_ISafeArray, reinterpret_cast<void**>(&copy)),
                S_OK);
      EXPECT_NE(copy, static_cast<ISafeArray*>(nested.get()));
      EXPECT_EQ(CellText(copy, 0, 0) + CellText(copy, 0, 1), "внутри7");
      copy->Release();
    } else if (sent.vt & VT_ARRAY) {
      ASSERT_EQ(got.v.vt, VT_ARRAY | VT_I4);
      int32_t lower = 0, upper = 0, last = 0;
      SafeArrayGetLBound(got.v.parray, 1, &lower);
      SafeArrayGetUBound(got.v.parray, 1, &upper);
      SafeArrayGetElement(got.v.parray, &upper, &last);
      EXPECT_EQ(lower, 1);
      EXPECT_EQ(upper, 3);
      EXPECT_EQ(last, 3);
    } else if (sent.vt == VT_BSTR) {
      EXPECT_EQ(Text(got), Text(sent));
    } else {
      static constexpr size_t kSize[21] = {0, 0, 2, 4, 4, 8, 8, 8, 0, 0, 4,
                                           2, 0, 0, 0, 0, 1, 1, 2, 4, 8};
      EXPECT_EQ(got.v.vt, sent.vt);
      EXPECT_EQ(std::memcmp(&got.v.llVal, &sent.llVal, kSize[sent.vt]), 0) << "value bytes";
    }
  }
  // Cells past the values are empty.
  Var last;
  ASSERT_EQ(back->GetValue(rows - 1, cols - 1, &last.v), S_OK);
  EXPECT_EQ(last.v.vt, VT_EMPTY);
}

TEST_F(StorageTest, TenThousandRowsComeBack) {
  auto table = Table(10000, 3);
  for (int32_t i = 0; i < 10000; ++i) {
    Var text(Str("строка " + std::to_string(i)));
    const VARIANT number = I4(i);
    const VARIANT half = R8(i * 0.5);
    ASSERT_EQ(table->SetValue(i, 0, &number), S_OK);
    ASSERT_EQ(table->SetValue(i, 1, &half), S_OK);
    ASSERT_EQ(table->SetValue(i, 2, &text.v), S_OK);
  }
  auto back = SaveAndLoad(table.get(), Path("rows.sa"));
  ASSERT_EQ(back->RowCount(), 10000);
  ASSERT_EQ(back->ColCount(), 3);
  for (int32_t i = 0; i < 10000; ++i) {
    Var number, half;
    back->GetValue(i, 0, &number.v);
    back->GetValue(i, 1, &half.v);
    ASSERT_EQ(number.v.lVal, i);
    ASSERT_EQ(half.v.dblVal, i * 0.5);
    ASSERT_EQ(CellText(back.get(), i, 2), "строка " + std::to_string(i));
  }
}

// Found by fuzzing: an array with an empty dimension after a non-empty one
// was refused when nothing followed it in the stream.
TEST_F(StorageTest, ArraysWithAnEmptyDimensionComeBack) {
  const SAFEARRAYBOUND cube[3] = {{1, 1}, {0, 0}, {2, 3}};
  Var empty3d(ArrayOf(SafeArrayCreate(VT_VARIANT, 3, cube)));
  ByteStream stream;
  WriteVariant(stream, empty3d.v);
  stream.SetPosition(0);
  Var back;
  ReadVariant(stream, back.v);
  EXPECT_EQ(back.v.vt, VT_ARRAY | VT_VARIANT);
  EXPECT_EQ(SafeArrayGetDim(back.v.parray), 3u);

  const SAFEARRAYBOUND noColumns[2] = {{2, 0}, {0, 0}};
  auto table = ValueArray::Create();
  ASSERT_EQ(table->SetPSA(SafeArrayCreate(VT_VARIANT, 2, noColumns)), S_OK);
  auto loaded = SaveAndLoad(table.get(), Path("no-columns.sa"));
  EXPECT_EQ(loaded->RowCount(), 2);
  EXPECT_EQ(loaded->ColCount(), 0);
}

// Such data used to fail with "Ошибка при упаковке": the compressor had no
// more room than the input itself.
TEST_F(StorageTest, DataThatDoesNotCompressIsStored) {
  std::mt19937 random(7);
  const Bytes noise = [&] {
    Bytes b(200000);
    for (uint8_t& x : b) x = static_cast<uint8_t>(random());
    return b;
  }();
  const std::string raw = Path("noise.bin");
  PutFile(raw, noise);
  auto bytes = ValueArray::Create();
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(CallFile(bytes.get(), &ISafeArray::LoadFromFileAsStream, raw, &ok), S_OK);
  auto back = SaveAndLoad(bytes.get(), Path("noise.sa"));
  EXPECT_GT(FileBytes(Path("noise.sa")).size(), noise.size()) << "the data grew when compressed";
  EXPECT_EQ(back->ElementType(), VT_UI1);
  EXPECT_EQ(back->RowCount(), 1);
  EXPECT_EQ(back->ColCount(), 200000);
  EXPECT_EQ(std::memcmp(back->Data()->pvData, noise.data(), noise.size()), 0);

  auto texts = Table(20, 1);
  std::vector<std::u16string> sent;
  for (int32_t i = 0; i < 20; ++i) {
    sent.push_back(RandomText(random, 5000));
    Var text(VARIANT{});
    text.v.vt = VT_BSTR;
    text.v.bstrVal = ole::Utf16ToBstr(sent.back());
    ASSERT_EQ(texts->SetValue(i, 0, &text.v), S_OK);
  }
  back = SaveAndLoad(texts.get(), Path("texts.sa"));
  for (int32_t i = 0; i < 20; ++i) {
    Var cell;
    back->GetValue(i, 0, &cell.v);
    ASSERT_EQ(ole::BstrView(cell.v.bstrVal), sent[static_cast<size_t>(i)]);
  }
}

TEST_F(StorageTest, FailedSavesLeaveTheOldFileAndNoTemporaryFile) {
  const std::string path = Path("kept.sa");
  const Bytes old = SavedSample();
  PutFile(path, old);
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  const auto entriesBefore = FolderEntries();

  // A cell the format cannot carry: nothing is written at all.
  auto stranger = ole::MakeCom<PlainObject>();
  auto bad = Table(1, 1, {Object(stranger.get())});
  VARIANT_BOOL ok = VARIANT_TRUE;
  EXPECT_EQ(Failure(CallFile(bad.get(), kSave, path, &ok)),
            "Неподдерживаемый тип данных.\r\nТип данных=9\r\nПредставление: (Объект)");
  EXPECT_EQ(ok, VARIANT_FALSE);
  EXPECT_EQ(FileBytes(path), old);

  // The rename fails (a folder that is not empty is in the way): the
  // temporary file is removed again.
  const std::string folder = Path("folder.sa");
  std::filesystem::create_directory(folder);
  PutFile(folder + "/inside", Bytes{1});
  EXPECT_NE(
      Failure(CallFile(Sample().get(), kSave, folder, &ok)).find("Ошибка записи файла " + folder),
      std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(Failure(CallFile(Sample().get(), kSave, Path("none/x.sa"), &ok))
                .rfind("Не удалось создать файл", 0),
            0u);
  std::filesystem::remove_all(folder);
  EXPECT_EQ(FolderEntries(), entriesBefore);

  // A successful save puts a new file in place of the old one, never
  // writes into it: a second name of the old file still shows it whole.
  // The permission bits carry over.
  std::filesystem::create_hard_link(path, Path("old-name.sa"));
  auto other = Table(1, 1, {I4(5)});
  ASSERT_EQ(CallFile(other.get(), kSave, path, &ok), S_OK);
  EXPECT_EQ(FileBytes(Path("old-name.sa")), old);
  EXPECT_NE(FileBytes(path), old);
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  std::filesystem::remove(Path("old-name.sa"));
  EXPECT_EQ(FolderEntries(), entriesBefore);

  // A new file: 0644 without the umask's bits. Through a link, the target
  // is replaced and the link stays.
  const mode_t mask = umask(027);
  ASSERT_EQ(CallFile(other.get(), kSave, Path("new.sa"), &ok), S_OK);
  umask(mask);
  ASSERT_EQ(stat(Path("new.sa").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  std::filesystem::create_symlink(path, Path("link.sa"));
  ASSERT_EQ(CallFile(Sample().get(), kSave, Path("link.sa"), &ok), S_OK);
  EXPECT_TRUE(std::filesystem::is_symlink(Path("link.sa")));
  EXPECT_EQ(FileBytes(path).size(), old.size());
}

TEST_F(StorageTest, RawByteFiles) {
  const Bytes data{0, 1, 2, 250, 255, 'x'};
  PutFile(Path("in.bin"), data);
  auto table = ValueArray::Create();
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(CallFile(table.get(), &ISafeArray::LoadFromFileAsStream, Path("in.bin"), &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(table->RowCount(), 1);
  EXPECT_EQ(table->ColCount(), 6);
  Var cell;
  table->GetValue(0, 3, &cell.v);
  EXPECT_EQ(cell.v.vt, VT_UI1);
  EXPECT_EQ(cell.v.bVal, 250);
  ASSERT_EQ(CallFile(table.get(), &ISafeArray::SaveToFileAsStream, Path("out.bin"), &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(FileBytes(Path("out.bin")), data);

  // Only byte arrays are written; missing files report false.
  auto cells = Table(1, 1, {I4(1)});
  ASSERT_EQ(CallFile(cells.get(), &ISafeArray::SaveToFileAsStream, Path("never.bin"), &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_FALSE);
  EXPECT_FALSE(std::filesystem::exists(Path("never.bin")));
  ASSERT_EQ(CallFile(table.get(), &ISafeArray::LoadFromFileAsStream, Path("never.bin"), &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_FALSE);
  EXPECT_EQ(table->ColCount(), 6);

  PutFile(Path("empty.bin"), {});
  ASSERT_EQ(CallFile(table.get(), &ISafeArray::LoadFromFileAsStream, Path("empty.bin"), &ok), S_OK);
  EXPECT_EQ(table->RowCount(), 1);
  EXPECT_EQ(table->ColCount(), 0);
}

TEST_F(StorageTest, LateBoundFileCallsRaiseTheSameMessages) {
  Var path(Str(Path("late.sa")));
  auto table = Sample();
  EXPECT_EQ(Call(table.get(), u"SaveToFile", DISPATCH_METHOD, {path.v}), S_OK);
  auto back = ValueArray::Create();
  EXPECT_EQ(Call(back.get(), u"LoadFromFile", DISPATCH_METHOD, {path.v}), S_OK);
  EXPECT_EQ(CellText(back.get(), 0, 1), "два");

  Bytes damaged = FileBytes(Path("late.sa"));
  damaged[5] = '?';
  PutFile(Path("late.sa"), damaged);
  EXCEPINFO excep{};
  EXPECT_EQ(Call(back.get(), u"loadfromfile", DISPATCH_METHOD, {path.v}, nullptr, &excep),
            DISP_E_EXCEPTION);
  EXPECT_EQ(ole::BstrToUtf8(excep.bstrDescription), kStorageSignatureError);
  SysFreeString(excep.bstrDescription);
  EXPECT_EQ(ole::TakeErrorText(), kStorageSignatureError);
}

}  // namespace
}  // namespace labelplu
