// libFuzzer target: the storage file loader (ValueArray::LoadFromBytes, what
// LoadFromFile runs on the bytes of a file).
//
// Any input must end in a loaded table or an exception, never a crash, a
// hang or an allocation beyond what the input can describe. A table that
// loads and saves again must load back to the same variant stream. Each
// input also runs with its checksum and size field repaired, and packed as
// the payload of a valid file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>
#include <vector>

#include "fuzz/FuzzSetup.h"
#include "values/ValueArrayStorage.h"
#include "values/VariantStream.h"

using namespace labelplu;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Setup();
  return 0;
}

namespace {

void LoadAndCheck(std::span<const uint8_t> bytes) {
  auto table = ValueArray::Create();
  try {
    table->LoadFromBytes(bytes);
  } catch (const std::exception&) {
    return;
  }
  ByteStream first;
  std::vector<uint8_t> saved;
  try {
    table->WriteTo(first);
    saved = table->SaveToBytes(0.0);
  } catch (const InvalidStreamOperation&) {
    return;  // a type the reader accepts but the writer refuses
  }
  auto again = ValueArray::Create();
  again->LoadFromBytes(saved);  // must not throw: it was just written
  ByteStream second;
  again->WriteTo(second);
  if (fuzz::Contents(first) != fuzz::Contents(second)) fuzz::Finding("storage round trip differs");
}

void PutLE32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LoadAndCheck({data, size});
  // Compressed data defeats most mutations too: the input itself, taken as
  // the variant stream and packed into a valid file, reaches the table
  // reader directly.
  if (size <= 0x7FFFFFFF) {
    ByteStream stream;
    stream.Write(data, static_cast<int32_t>(size));
    LoadAndCheck(PackStorage(stream, 0.0));
  }
  // The checksum and the size field stop almost every mutation; the same
  // input with both repaired reaches the inflater and the table reader.
  if (size >= kStorageHeaderSize && size <= 0x7FFFFFFF) {
    std::vector<uint8_t> repaired(data, data + size);
    PutLE32(repaired.data() + 19, StorageChecksum(std::span(repaired).subspan(kStorageHeaderSize)));
    PutLE32(repaired.data() + 23, static_cast<uint32_t>(size));
    if (!std::equal(repaired.begin(), repaired.end(), data)) LoadAndCheck(repaired);
  }
  return 0;
}
