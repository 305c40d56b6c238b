// Building and inspecting raw variant-stream bytes in tests.
#ifndef LABELPLU_TESTS_VALUES_STREAMBYTES_H
#define LABELPLU_TESTS_VALUES_STREAMBYTES_H

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "values/ByteStream.h"

namespace labelplu::test {

using Bytes = std::vector<uint8_t>;

// Little-endian 32-bit words.
inline Bytes Words(std::initializer_list<int64_t> words) {
  Bytes out;
  for (int64_t w : words) {
    const auto u = static_cast<uint32_t>(w);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
  }
  return out;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline Bytes StreamBytes(const ByteStream& stream) {
  return Bytes(stream.Memory(), stream.Memory() + stream.Size());
}

// Puts bytes into stream and rewinds it.
inline void Load(ByteStream& stream, const Bytes& bytes) {
  stream.Clear();
  stream.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
  stream.SetPosition(0);
}

inline int32_t WordAt(const Bytes& bytes, size_t offset) {
  int32_t w = 0;
  std::memcpy(&w, bytes.data() + offset, 4);
  return w;
}

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_VALUES_STREAMBYTES_H
