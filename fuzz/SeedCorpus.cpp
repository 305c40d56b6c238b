// Writes the seed inputs of the fuzz targets: a few storage files and
// variant streams covering every kind of value the format carries.
//
//   fuzz_seeds <storage folder> <stream folder>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/FuzzSetup.h"
#include "platform/ole/Bstr.h"
#include "values/VariantStream.h"

using namespace labelplu;

namespace {

void Put(const std::string& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) throw std::runtime_error("cannot write " + path);
}

void PutStream(const std::string& path, const VARIANT& value) {
  ByteStream stream;
  WriteVariant(stream, value);
  Put(path, stream.Memory(), static_cast<size_t>(stream.Size()));
}

void PutTable(const std::string& path, ValueArray& table) {
  const std::vector<uint8_t> file = table.SaveToBytes(45000.5);
  Put(path, file.data(), file.size());
}

VARIANT Of(VARTYPE vt, int64_t bits) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  v.llVal = bits;
  return v;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <storage folder> <stream folder>\n", argv[0]);
    return 2;
  }
  const std::string storage = std::string(argv[1]) + "/";
  const std::string streams = std::string(argv[2]) + "/";
  fuzz::Setup();

  ole::OleVariant text("Этикетка №1");
  auto nested = ValueArray::Create();
  nested->SetBounds(1, 2);
  nested->SetValue(0, 0, &text.get());
  const VARIANT kinds[] = {Of(VT_I2, -2),
                           Of(VT_I4, 5),
                           Of(VT_R4, 0x3FA00000),
                           Of(VT_R8, 0x4004000000000000),
                           Of(VT_CY, 12345),
                           Of(VT_DATE, 0x40E5F8C000000000),
                           Of(VT_BOOL, 0xFFFF),
                           Of(VT_I1, -7),
                           Of(VT_UI1, 250),
                           Of(VT_UI2, 65000),
                           Of(VT_UI4, 7),
                           Of(VT_I8, -9000000000000LL),
                           Of(VT_ERROR, 0x80020004),
                           Of(VT_NULL, 0),
                           Of(VT_EMPTY, 0)};
  auto mixed = ValueArray::Create();
  mixed->SetBounds(4, 5);
  for (int32_t i = 0; i < 15; ++i) mixed->SetValue(i / 5, i % 5, &kinds[i]);
  mixed->SetValue(3, 0, &text.get());
  ole::OleVariant object(static_cast<IDispatch*>(nested.get()));
  mixed->SetValue(3, 1, &object.get());
  PutTable(storage + "mixed.sa", *mixed);
  PutTable(storage + "nested.sa", *nested);
  auto empty = ValueArray::Create();
  PutTable(storage + "empty.sa", *empty);
  auto bytes = ValueArray::Create();
  const SAFEARRAYBOUND row[2] = {{1, 0}, {16, 0}};
  SAFEARRAY* raw = SafeArrayCreate(VT_UI1, 2, row);
  for (uint8_t i = 0; i < 16; ++i)
    static_cast<uint8_t*>(raw->pvData)[i] = static_cast<uint8_t>(i * 17);
  bytes->SetPSAType(raw, VT_UI1);
  PutTable(storage + "bytes.sa", *bytes);

  int n = 0;
  for (const VARIANT& kind : kinds) PutStream(streams + "scalar" + std::to_string(n++), kind);
  PutStream(streams + "text", text);
  PutStream(streams + "table", object);
  ole::OleVariant reference;
  reference.get().vt = VT_VARIANT | VT_BYREF;
  reference.get().pvarVal = &text.get();
  PutStream(streams + "reference", reference);
  SAFEARRAY* line = SafeArrayCreateVector(VT_I2, 1, 3);
  ole::OleVariant array = ole::OleVariant::AdoptArray(line);
  PutStream(streams + "line", array);
  SAFEARRAY* cube = nullptr;
  const SAFEARRAYBOUND cubeBounds[3] = {{2, 0}, {1, -1}, {2, 3}};
  cube = SafeArrayCreate(VT_VARIANT, 3, cubeBounds);
  ole::OleVariant cubeValue = ole::OleVariant::AdoptArray(cube);
  PutStream(streams + "cube", cubeValue);
  const uint8_t single[] = {0, 1, 0,    0,    3,   0,
                            0, 0, 0xCF, 0xF0, 0xE8};  // 256: "При" in Windows-1251
  Put(streams + "single", single, sizeof single);
  (void)reference.release();  // points at text: nothing of its own to free
  return 0;
}
