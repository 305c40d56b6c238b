// Storage files: the exact layout and the checks a damaged file fails.
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <functional>

#include "tests/values/StorageFixture.h"
#include "values/ByteStream.h"

namespace labelplu {
namespace {

using namespace test;

TEST(StorageChecksumTest, IsTheUninvertedCrc32FromZero) {
  const Bytes abc{'a', 'b', 'c'};
  EXPECT_EQ(StorageChecksum(abc), 0xCA6598D0u);
  EXPECT_EQ(StorageChecksum({}), 0u);
  // A running checksum continues where the previous part ended.
  EXPECT_EQ(StorageChecksum(std::span(abc).subspan(2), StorageChecksum(std::span(abc).first(2))),
            0xCA6598D0u);
}

TEST_F(StorageTest, HeaderAndPayloadAreLaidOutExactly) {
  auto sample = Sample();
  ByteStream stream;
  sample->WriteTo(stream);
  const Bytes expected = StreamBytes(stream);
  EXPECT_EQ(WordAt(expected, 0), 0x200C);

  const double before = LocalOleDateNow();
  const Bytes file = SavedSample();
  const double after = LocalOleDateNow();
  ASSERT_GT(file.size(), kStorageHeaderSize);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 11),
            (Bytes{9, 'S', 'a', 'F', 'e', 'A', 'r', 'R', 'a', 'Y', 1}));
  double saved = 0;
  std::memcpy(&saved, file.data() + 11, 8);
  EXPECT_GE(saved, before);
  EXPECT_LE(saved, after);
  const Bytes packed(file.begin() + 31, file.end());
  EXPECT_EQ(static_cast<uint32_t>(WordAt(file, 19)), StorageChecksum(packed));
  EXPECT_EQ(WordAt(file, 23), static_cast<int32_t>(file.size()));
  EXPECT_EQ(WordAt(file, 27), static_cast<int32_t>(expected.size()));
  EXPECT_EQ(packed[0], 0x78);
  EXPECT_EQ(packed[1], 0xDA) << "zlib header of level 9";
  Bytes inflated(expected.size());
  uLongf inflatedSize = inflated.size();
  ASSERT_EQ(uncompress(inflated.data(), &inflatedSize, packed.data(), packed.size()), Z_OK);
  EXPECT_EQ(inflated, expected);
}

TEST_F(StorageTest, LocalTimeIsDaysSince1899) {
  const time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  const double days = LocalOleDateNow();
  const double fraction = days - std::floor(days);
  const int minutes = static_cast<int>(std::lround(fraction * 1440.0));
  // Within a minute or so of the wall clock of this zone.
  EXPECT_LE(std::abs(minutes - (local.tm_hour * 60 + local.tm_min)) % 1439, 1);
}

TEST_F(StorageTest, DamagedFilesFailWithTheirText) {
  const Bytes good = SavedSample();
  Bytes payload;
  {
    ByteStream stream;
    Sample()->WriteTo(stream);
    payload = StreamBytes(stream);
  }
  Bytes scalar = Words({3, 5});
  Bytes line = Words({0x200C, 1, 0, 0, 0});
  Bytes huge = Words({0x200C, 2, 0, 0, 1000000, 1000000});
  using Edit = std::function<Bytes()>;
  auto edited = [&](const std::function<void(Bytes&)>& edit) {
    return Edit([&good, edit] {
      Bytes b = good;
      edit(b);
      return b;
    });
  };
  const struct {
    const char* what;
    Edit file;
    const char* failure;
  } cases[] = {
      {"cut by one byte", edited([](Bytes& b) { b.pop_back(); }), kStorageSizeError},
      {"one byte more", edited([](Bytes& b) { b.push_back(0); }), kStorageSizeError},
      {"only 20 bytes", edited([](Bytes& b) { b.resize(20); }), kStorageSizeError},
      {"empty", edited([](Bytes& b) { b.clear(); }), kStorageSizeError},
      {"size field", edited([](Bytes& b) { ++b[23]; }), kStorageSizeError},
      {"signature letter", edited([](Bytes& b) { b[5] = 'a'; }), kStorageSignatureError},
      {"signature length", edited([](Bytes& b) { b[0] = 8; }), kStorageSignatureError},
      {"version 2", edited([](Bytes& b) { b[10] = 2; }), kStorageVersionError},
      {"payload byte", edited([](Bytes& b) { b[40] ^= 1; }), kStorageChecksumError},
      {"last byte", edited([](Bytes& b) { b.back() ^= 0x80; }), kStorageChecksumError},
      {"checksum field", edited([](Bytes& b) { b[19] ^= 1; }), kStorageChecksumError},
      {"stream size + 1",
       edited([](Bytes& b) { PutWord(b, 27, static_cast<uint32_t>(WordAt(b, 27) + 1)); }),
       kStorageUnpackError},
      {"stream size - 1",
       edited([](Bytes& b) { PutWord(b, 27, static_cast<uint32_t>(WordAt(b, 27) - 1)); }),
       kStorageUnpackError},
      {"stream size beyond any inflation", edited([](Bytes& b) { PutWord(b, 27, 0x7FFFFFFF); }),
       kStorageUnpackError},
      {"negative stream size", edited([](Bytes& b) { PutWord(b, 27, 0xFFFFFFF0u); }),
       kStorageUnpackError},
      {"compressed data cut", [&] { return Storage(payload, -1, 4); }, kStorageUnpackError},
      {"inflates to fewer bytes", [] { return Storage(Bytes{}, 64); }, kStorageUnpackError},
      {"not a zlib stream", [] { return StorageOf(Bytes(100, 0x55), 100); }, kStorageUnpackError},
      {"payload is a number", [&] { return Storage(scalar); },
       "Хранилище не содержит таблицу значений. Тип данных=3"},
      {"payload is one-dimensional", [&] { return Storage(line); },
       "Массив значений принимает только двумерные массивы. Число измерений: 1"},
      {"payload claims 10^12 cells", [&] { return Storage(huge); },
       "Ошибка чтения потока. Неверный размер массива. Pos=24 Size=24 Count=4000004"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = Path("damaged.sa");
    PutFile(path, c.file());
    EXPECT_EQ(LoadFailure(path), c.failure);
  }
  // Neither the time nor a lower version is checked.
  Bytes older = good;
  older[10] = 0;
  older[12] ^= 0xFF;
  PutFile(Path("older.sa"), older);
  EXPECT_EQ(LoadFailure(Path("older.sa")), "<ok>");
}

TEST_F(StorageTest, FilesBeyondTheSizeFieldsAreRefusedUnread) {
  const std::string path = Path("sparse.sa");
  PutFile(path, SavedSample());
  ASSERT_EQ(truncate(path.c_str(), 0x80000000LL), 0);  // sparse: no disk space used
  EXPECT_EQ(LoadFailure(path), kStorageSizeError);
}

TEST_F(StorageTest, MissingFilesReportFalseAndKeepTheContents) {
  for (const std::string& path : {Path("missing.sa"), Path(""), Path("missing/x.sa")}) {
    Var keep(Str("прежнее"));
    auto table = Table(1, 1, {keep.v});
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(CallFile(table.get(), kLoad, path, &ok), S_OK) << path;
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(CellText(table.get(), 0, 0), "прежнее");
  }
}

}  // namespace
}  // namespace labelplu
