// Inputs for the resource-bound tests: bitmap headers that claim more than
// they hold (scratch folders come from TempDir.h).
#ifndef LABELPLU_TESTS_ROBUSTNESS_ROBUSTNESSSUPPORT_H
#define LABELPLU_TESTS_ROBUSTNESS_ROBUSTNESSSUPPORT_H

#include <QByteArray>

#include <cstdint>
#include <cstring>
#include <string>

#include "tests/support/TempDir.h"

namespace labelplu::test {

// A bitmap file of a 14-byte file header and a 40-byte information header
// claiming width × height at bitCount, followed by 64 bytes of pixels only.
inline std::string BmpHeader(int32_t width, int32_t height, uint16_t bitCount) {
  std::string file(14 + 40 + 64, '\0');
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
  auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&file[at], &v, 2); };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  put16(26, 1);
  put16(28, bitCount);
  return file;
}

inline std::string Base64(const std::string& bytes) {
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toBase64().toStdString();
}

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_ROBUSTNESS_ROBUSTNESSSUPPORT_H
