// libFuzzer target: the variant stream reader (ReadVariant).
//
// Any input must end in a value or an exception, never a crash, a hang or an
// allocation beyond what the input can describe. A value that is read,
// written and read again must write the same bytes the second time.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "fuzz/FuzzSetup.h"
#include "values/VariantStream.h"

using namespace labelplu;

namespace {

struct Value {
  VARIANT v;
  Value() { VariantInit(&v); }
  ~Value() { VariantClear(&v); }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Setup();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0x7FFFFFFF) return 0;
  ByteStream input;
  input.Write(data, static_cast<int32_t>(size));
  input.SetPosition(0);
  Value value;
  try {
    ReadVariant(input, value.v);
  } catch (const std::exception&) {
    return 0;
  }
  ByteStream first;
  try {
    WriteVariant(first, value.v);
  } catch (const InvalidStreamOperation&) {
    return 0;  // a type the reader accepts but the writer refuses
  }
  first.SetPosition(0);
  Value back;
  ReadVariant(first, back.v);  // must not throw: it was just written
  ByteStream second;
  WriteVariant(second, back.v);
  if (fuzz::Contents(first) != fuzz::Contents(second)) fuzz::Finding("stream round trip differs");
  return 0;
}
