// labelplu: the storage file of a value array.
//
// Layout (integers little-endian, no gaps):
//   0   1  9, the length of the signature
//   1   9  "SaFeArRaY"
//   10  1  format version, 1
//   11  8  time of saving: IEEE double, days since 1899-12-30 00:00, local time
//   19  4  checksum of the compressed bytes (StorageChecksum)
//   23  4  total file size = 31 + compressed size
//   27  4  size of the uncompressed stream
//   31  n  the variant stream of the table, compressed in the zlib format
//          (deflate, level 9)
//
// Threads: every function may be called from any thread.
#ifndef LABELPLU_VALUES_VALUEARRAYSTORAGE_H
#define LABELPLU_VALUES_VALUEARRAYSTORAGE_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "values/ByteStream.h"

namespace labelplu {

inline constexpr size_t kStorageHeaderSize = 31;
inline constexpr uint8_t kStorageVersion = 1;

// The failure texts of storage files.
inline constexpr const char* kStoragePackError = "Ошибка при упаковке";
inline constexpr const char* kStorageSizeError = "Хранилище повреждено - неверный размер файла";
inline constexpr const char* kStorageSignatureError = "Файл не является хранилищем ISafeArray";
inline constexpr const char* kStorageVersionError = "Неверная версия хранилища";
inline constexpr const char* kStorageChecksumError =
    "Хранилище повреждено - неверная контрольная сумма данных";
inline constexpr const char* kStorageUnpackError = "Ошибка распаковки данных";

// The checksum of the format: the reflected CRC-32 (polynomial 0xEDB88320)
// started at crc and without the final inversion; "abc" from 0 gives
// 0xCA6598D0.
uint32_t StorageChecksum(std::span<const uint8_t> bytes, uint32_t crc = 0);

// The present local time as days since 1899-12-30 00:00.
double LocalOleDateNow();

// A complete storage file holding the bytes of stream (its Size first bytes),
// with saveTime in the header. Raises std::runtime_error kStoragePackError
// when compression fails or the result does not fit the 32-bit size fields.
std::vector<uint8_t> PackStorage(const ByteStream& stream, double saveTime);

// Checks a storage file (size, signature, version, checksum, in this order)
// and inflates its payload into stream, which is cleared first and left at
// position 0 holding exactly the stored uncompressed size. Raises
// std::runtime_error with the matching failure text; a stored uncompressed
// size that the compressed bytes cannot produce (zlib expands by at most
// about 1032 times) or that the inflated data does not match exactly gives
// kStorageUnpackError before anything large is allocated.
void UnpackStorage(std::span<const uint8_t> file, ByteStream& stream);

}  // namespace labelplu

#endif  // LABELPLU_VALUES_VALUEARRAYSTORAGE_H
