// Common setting of the storage file tests: a sample table, hand-made
// storage files, and an object that is not a value array.
#ifndef LABELPLU_TESTS_VALUES_STORAGEFIXTURE_H
#define LABELPLU_TESTS_VALUES_STORAGEFIXTURE_H

#include <zlib.h>

#include <algorithm>
#include <filesystem>

#include "platform/ole/ComObject.h"
#include "tests/values/ValueArrayFixture.h"
#include "values/ValueArrayStorage.h"

namespace labelplu::test {

inline constexpr auto kSave = &ISafeArray::SaveToFile;
inline constexpr auto kLoad = &ISafeArray::LoadFromFile;

inline void PutWord(Bytes& bytes, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A storage file around already compressed bytes whose header claims
// streamSize; the checksum and total size always match, so only the payload
// can be at fault.
inline Bytes StorageOf(const Bytes& packed, uint32_t streamSize) {
  Bytes file = Bytes{9, 'S', 'a', 'F', 'e', 'A', 'r', 'R', 'a', 'Y', 1} + Bytes(8, 0) +
               Words({0, 0, 0}) + packed;
  PutWord(file, 19, StorageChecksum(packed));
  PutWord(file, 23, static_cast<uint32_t>(file.size()));
  PutWord(file, 27, streamSize);
  return file;
}

inline Bytes Storage(const Bytes& payload, int64_t streamSize = -1, size_t cutCompressed = 0) {
  uLongf packedSize = compressBound(payload.size());
  Bytes packed(packedSize);
  compress2(packed.data(), &packedSize, payload.data(), payload.size(), 9);
  packed.resize(packedSize - cutCompressed);
  return StorageOf(packed, static_cast<uint32_t>(streamSize < 0 ? payload.size()
                                                                : static_cast<size_t>(streamSize)));
}

class PlainObject final : public ole::ComObject<IDispatch> {
 public:
  HRESULT GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(uint32_t, uint32_t, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const IID&, OLECHAR**, uint32_t, uint32_t, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT Invoke(DISPID, const IID&, uint32_t, uint16_t, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                 uint32_t*) override {
    return E_NOTIMPL;
  }
};

class StorageTest : public ValueArrayTest {
 protected:
  // A 2 x 2 table: an integer, a string, a double and a nested table.
  ole::ComPtr<ValueArray> Sample() {
    Var one(I4(1)), two(Str("два")), half(R8(3.5));
    Var a(Str("a"));
    auto nested = Table(1, 2, {a.v, I4(5)});
    return Table(2, 2, {one.v, two.v, half.v, Object(nested.get())});
  }

  Bytes SavedSample() {
    const std::string path = Path("sample.sa");
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(CallFile(Sample().get(), kSave, path, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    return FileBytes(path);
  }

  // Loads path into a table holding "прежнее" and returns the failure text;
  // the old contents must survive a failure.
  std::string LoadFailure(const std::string& path) {
    Var keep(Str("прежнее"));
    auto table = Table(1, 1, {keep.v});
    VARIANT_BOOL ok = VARIANT_TRUE;
    std::string failure = Failure(CallFile(table.get(), kLoad, path, &ok));
    if (failure != "<ok>") {
      EXPECT_EQ(ok, VARIANT_FALSE);
      EXPECT_EQ(table->RowCount(), 1);
      EXPECT_EQ(CellText(table.get(), 0, 0), "прежнее");
    }
    return failure;
  }

  // Saves table to path and loads it into a new table.
  ole::ComPtr<ValueArray> SaveAndLoad(ValueArray* table, const std::string& path) {
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(Failure(CallFile(table, kSave, path, &ok)), "<ok>");
    EXPECT_EQ(ok, VARIANT_TRUE);
    auto back = ValueArray::Create();
    ok = VARIANT_FALSE;
    EXPECT_EQ(Failure(CallFile(back.get(), kLoad, path, &ok)), "<ok>");
    EXPECT_EQ(ok, VARIANT_TRUE);
    return back;
  }

  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path()))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_VALUES_STORAGEFIXTURE_H
