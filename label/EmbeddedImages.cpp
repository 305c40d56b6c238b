// labelplu: embedded images of a label, and bitmap files.
#include "label/EmbeddedImages.h"

#include <QByteArray>

#include <cstring>
#include <stdexcept>

#include "base/TextUtils.h"
#include "platform/gdi/Dib.h"

namespace labelplu {

namespace {

uint32_t ReadU32(std::span<const uint8_t> b, size_t at) {
  return uint32_t{b[at]} | (uint32_t{b[at + 1]} << 8) | (uint32_t{b[at + 2]} << 16) |
         (uint32_t{b[at + 3]} << 24);
}

uint16_t ReadU16(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

[[noreturn]] void NotABitmap(const std::string& why) {
  throw std::runtime_error("not a bitmap file: " + why);
}

// The picture's size from the headers, checked against the limits before Qt
// allocates anything.
void CheckBitmapHeader(std::span<const uint8_t> bytes) {
  if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') NotABitmap("no BMP header");
  const uint32_t infoSize = ReadU32(bytes, 14);
  int64_t width = 0;
  int64_t height = 0;
  if (infoSize == 12) {  // the old core header: 16-bit sides
    width = ReadU16(bytes, 18);
    height = ReadU16(bytes, 20);
  } else if (infoSize >= 40 && bytes.size() >= 26) {
    width = static_cast<int32_t>(ReadU32(bytes, 18));
    height = static_cast<int32_t>(ReadU32(bytes, 22));
    if (height < 0) height = -height;
  } else {
    NotABitmap("unknown information header of " + std::to_string(infoSize) + " bytes");
  }
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
      width * height > kMaxBitmapPixels)
    NotABitmap("a picture of " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels is outside the limits");
}

}  // namespace

QImage DecodeBitmapFile(std::span<const uint8_t> bytes) {
  CheckBitmapHeader(bytes);
  QImage image;
  const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<qsizetype>(bytes.size()));
  if (!image.loadFromData(data, "BMP") || image.isNull()) NotABitmap("the picture does not decode");
  return image;
}

std::vector<uint8_t> EncodeBitmapFile(const QImage& image) {
  if (image.isNull()) throw std::runtime_error("cannot write an empty picture as a bitmap file");
  const gdi::Dib dib = gdi::Dib::FromImage(image, 24);
  gdi::BITMAPINFOHEADER header = dib.Header();
  header.biSize = 40;
  header.biSizeImage = static_cast<uint32_t>(dib.Bits().size());
  header.biClrUsed = 0;
  header.biClrImportant = 0;
  const uint32_t offset = 14 + 40;
  std::vector<uint8_t> out;
  out.reserve(offset + dib.Bits().size());
  out.push_back('B');
  out.push_back('M');
  PutU32(out, offset + static_cast<uint32_t>(dib.Bits().size()));
  PutU32(out, 0);
  PutU32(out, offset);
  PutU32(out, header.biSize);
  PutU32(out, static_cast<uint32_t>(header.biWidth));
  PutU32(out, static_cast<uint32_t>(header.biHeight));
  PutU16(out, header.biPlanes);
  PutU16(out, header.biBitCount);
  PutU32(out, header.biCompression);
  PutU32(out, header.biSizeImage);
  PutU32(out, static_cast<uint32_t>(header.biXPelsPerMeter));
  PutU32(out, static_cast<uint32_t>(header.biYPelsPerMeter));
  PutU32(out, header.biClrUsed);
  PutU32(out, header.biClrImportant);
  out.insert(out.end(), dib.Bits().begin(), dib.Bits().end());
  return out;
}

EmbeddedImage::EmbeddedImage(std::string name, std::string path, std::vector<uint8_t> fileBytes)
    : m_name(std::move(name)), m_path(std::move(path)), m_fileBytes(std::move(fileBytes)) {
  m_bitmap = DecodeBitmapFile(m_fileBytes);
}

EmbeddedImage::EmbeddedImage(std::string name, std::string path, const QImage& bitmap)
    : m_name(std::move(name)), m_path(std::move(path)), m_fileBytes(EncodeBitmapFile(bitmap)) {
  m_bitmap = DecodeBitmapFile(m_fileBytes);
}

void EmbeddedImages::Add(std::unique_ptr<EmbeddedImage> image) {
  if (image) m_images.push_back(std::move(image));
}

const EmbeddedImage* EmbeddedImages::Find(std::string_view name) const {
  for (const auto& image : m_images)
    if (SameText(image->Name(), name)) return image.get();
  return nullptr;
}

}  // namespace labelplu
