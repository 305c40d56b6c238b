#include "values/ValueArrayStorage.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <limits>
#include <stdexcept>

namespace labelplu {
namespace {

constexpr uint8_t kSignature[10] = {9, 'S', 'a', 'F', 'e', 'A', 'r', 'R', 'a', 'Y'};
constexpr size_t kVersionAt = 10;
constexpr size_t kTimeAt = 11;
constexpr size_t kChecksumAt = 19;
constexpr size_t kTotalSizeAt = 23;
constexpr size_t kStreamSizeAt = 27;
constexpr int64_t kMaxFileSize = std::numeric_limits<int32_t>::max();
// Deflate cannot expand its input by more than about 1032 times; the
// constant covers the zlib wrapper and the smallest streams.
constexpr int64_t kMaxInflateRatio = 1032;
constexpr int64_t kInflateSlack = 1024;
// Days from 1899-12-30 to 1970-01-01.
constexpr double kUnixEpochOleDate = 25569.0;

void PutLE32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetLE32(const uint8_t* at) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(at[i]) << (8 * i);
  return value;
}

void PutLE64(uint8_t* at, uint64_t value) {
  for (int i = 0; i < 8; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

[[noreturn]] void Fail(const char* text) {
  throw std::runtime_error(text);
}

struct InflateGuard {
  z_stream* zs;
  ~InflateGuard() { inflateEnd(zs); }
};

}  // namespace

// zlib's crc32 is this checksum with the register inverted before and after
// (c := (c >> 8) ^ table[(c ^ b) & 0xFF] over the reflected 0xEDB88320 table),
// so inverting around it gives the plain register; it is several times faster
// than a byte-wise table loop.
uint32_t StorageChecksum(std::span<const uint8_t> bytes, uint32_t crc) {
  while (!bytes.empty()) {
    const auto n = static_cast<uInt>(std::min<size_t>(bytes.size(), 1u << 30));
    crc = static_cast<uint32_t>(crc32(crc ^ 0xFFFFFFFFu, bytes.data(), n)) ^ 0xFFFFFFFFu;
    bytes = bytes.subspan(n);
  }
  return crc;
}

double LocalOleDateNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const time_t seconds = now.tv_sec;
  tm local{};
  localtime_r(&seconds, &local);
  const double localSeconds = static_cast<double>(seconds) + static_cast<double>(local.tm_gmtoff) +
                              static_cast<double>(now.tv_nsec) / 1e9;
  return kUnixEpochOleDate + localSeconds / 86400.0;
}

std::vector<uint8_t> PackStorage(const ByteStream& stream, double saveTime) {
  const auto streamSize = static_cast<uLong>(stream.Size());
  // The room zlib asks for, so that data that does not compress still fits.
  uLongf packedSize = compressBound(streamSize);
  std::vector<uint8_t> file(kStorageHeaderSize + packedSize);
  if (compress2(file.data() + kStorageHeaderSize, &packedSize, stream.Memory(), streamSize,
                Z_BEST_COMPRESSION) != Z_OK ||
      kStorageHeaderSize + packedSize > static_cast<uint64_t>(kMaxFileSize)) {
    Fail(kStoragePackError);
  }
  file.resize(kStorageHeaderSize + packedSize);
  std::memcpy(file.data(), kSignature, sizeof kSignature);
  file[kVersionAt] = kStorageVersion;
  uint64_t timeBits = 0;
  std::memcpy(&timeBits, &saveTime, sizeof timeBits);
  PutLE64(file.data() + kTimeAt, timeBits);
  const std::span<const uint8_t> packed(file.data() + kStorageHeaderSize, packedSize);
  PutLE32(file.data() + kChecksumAt, StorageChecksum(packed));
  PutLE32(file.data() + kTotalSizeAt, static_cast<uint32_t>(file.size()));
  PutLE32(file.data() + kStreamSizeAt, static_cast<uint32_t>(streamSize));
  return file;
}

void UnpackStorage(std::span<const uint8_t> file, ByteStream& stream) {
  stream.Clear();
  if (file.size() < kStorageHeaderSize || file.size() > static_cast<uint64_t>(kMaxFileSize) ||
      GetLE32(file.data() + kTotalSizeAt) != file.size()) {
    Fail(kStorageSizeError);
  }
  if (std::memcmp(file.data(), kSignature, sizeof kSignature) != 0) Fail(kStorageSignatureError);
  if (file[kVersionAt] > kStorageVersion) Fail(kStorageVersionError);
  const std::span<const uint8_t> packed = file.subspan(kStorageHeaderSize);
  if (StorageChecksum(packed) != GetLE32(file.data() + kChecksumAt)) Fail(kStorageChecksumError);

  const auto streamSize = static_cast<int32_t>(GetLE32(file.data() + kStreamSizeAt));
  if (streamSize < 0 ||
      streamSize > static_cast<int64_t>(packed.size()) * kMaxInflateRatio + kInflateSlack) {
    Fail(kStorageUnpackError);
  }
  // Inflate in one call straight into the stream's memory.
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) Fail(kStorageUnpackError);
  InflateGuard guard{&zs};
  uint8_t none = 0;
  uint8_t* memory = stream.Allocate(streamSize);
  zs.next_in = const_cast<Bytef*>(packed.data());  // zlib does not write its input
  zs.avail_in = static_cast<uInt>(packed.size());
  zs.next_out = memory ? memory : &none;
  zs.avail_out = static_cast<uInt>(streamSize);
  // Anything but the end of the compressed data with the output exactly full
  // is a fault: more data than claimed (Z_BUF_ERROR with no room left), an
  // early end of the input (Z_BUF_ERROR), damage (Z_DATA_ERROR).
  const int result = inflate(&zs, Z_FINISH);
  const int64_t total = static_cast<int64_t>(zs.total_out);
  if (result != Z_STREAM_END || total != streamSize) {
    stream.Clear();
    Fail(kStorageUnpackError);
  }
}

}  // namespace labelplu
