// The file operations of ValueArray: storage files and raw byte files.
#include <limits>
#include <memory>
#include <stdexcept>

#include "base/Errors.h"
#include "values/ByteStream.h"
#include "values/FileIO.h"
#include "values/ValueArray.h"
#include "values/ValueArrayStorage.h"
#include "values/VariantStream.h"

namespace labelplu {
namespace {

constexpr int64_t kMaxFileSize = std::numeric_limits<int32_t>::max();

}  // namespace

void ValueArray::WriteTo(ByteStream& stream) const {
  WriteArray(stream, m_data.get(), VT_ARRAY | m_elementType);
}

std::vector<uint8_t> ValueArray::SaveToBytes(double saveTime) const {
  ByteStream stream;
  WriteTo(stream);
  return PackStorage(stream, saveTime);
}

// The payload is one two-dimensional array (normally the tag 0x200C), read
// straight into the array this object adopts: no value array object in
// between and no copy of the table.
void ValueArray::ReadTable(ByteStream& stream) {
  uint32_t tag = VT_BYREF;
  while (tag == VT_BYREF) stream.Read(&tag, 4);  // reference records lead to the value
  tag &= ~static_cast<uint32_t>(VT_BYREF);
  if (!(tag & VT_ARRAY)) {
    throw std::runtime_error(Format("Хранилище не содержит таблицу значений. Тип данных=%d", tag));
  }
  EnsureValueArrayClass();  // tables nested in cells come back as value arrays
  ArrayPtr psa(ReadArray(stream, tag));
  Adopt(psa.get(), static_cast<int32_t>(tag & VT_TYPEMASK));
  (void)psa.release();
}

void ValueArray::LoadFromBytes(std::span<const uint8_t> bytes) {
  ByteStream stream;
  UnpackStorage(bytes, stream);
  ReadTable(stream);
}

void ValueArray::SaveFile(const std::string& name) const {
  const std::vector<uint8_t> file = SaveToBytes(LocalOleDateNow());
  ReplaceFile(name, file);
}

bool ValueArray::LoadFile(const std::string& name) {
  ByteStream stream;
  {
    InputFile file;
    if (!file.Open(name)) return false;
    if (file.Size() > kMaxFileSize) throw std::runtime_error(kStorageSizeError);
    // The file image goes as soon as it is inflated.
    std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
    file.ReadAll(bytes.data());
    UnpackStorage(bytes, stream);
  }
  ReadTable(stream);
  return true;
}

bool ValueArray::SaveRawFile(const std::string& name) const {
  if (((VT_ARRAY | m_elementType) & 0x11) != 0x11) return false;
  const SAFEARRAY* psa = m_data.get();
  const uint64_t count = uint64_t{psa->rgsabound[0].cElements} * psa->rgsabound[1].cElements;
  ReplaceFile(name, std::span(static_cast<const uint8_t*>(psa->pvData), count));
  return true;
}

bool ValueArray::LoadRawFile(const std::string& name) {
  InputFile file;
  if (!file.Open(name)) return false;
  if (file.Size() > kMaxFileSize) {
    throw std::runtime_error(Format("Файл слишком велик для массива байтов: %s", name));
  }
  const SAFEARRAYBOUND bounds[2] = {{1, 0}, {static_cast<uint32_t>(file.Size()), 0}};
  ArrayPtr psa(SafeArrayCreate(VT_UI1, 2, bounds));
  if (!psa) throw std::bad_alloc();
  file.ReadAll(static_cast<uint8_t*>(psa->pvData));
  Adopt(psa.get(), VT_UI1);
  (void)psa.release();
  return true;
}

}  // namespace labelplu
