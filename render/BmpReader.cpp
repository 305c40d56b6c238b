// labelplu: bitmap file reading.
#include "render/BmpReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <fstream>
#include <vector>

#include "platform/gdi/RasterTarget.h"
#include "render/Bgr24Bitmap.h"

namespace labelplu {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kJpeg = 4, kPng = 5,
                   kAlphaBitFields = 6;
constexpr size_t kFileHeader = 14;

uint16_t U16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// One colour channel of a 16- or 32-bit pixel: the bits under the mask
// scaled to 0..255.
struct ColorChannel {
  uint32_t mask = 0;
  int shift = 0;
  uint64_t max = 0;  // 0: the channel is absent and reads as 0

  explicit ColorChannel(uint32_t m) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    const uint32_t bits = m >> shift;
    if ((bits & (bits + 1)) != 0) throw BmpError("bit-field mask is not contiguous");
    max = bits;
  }
  uint8_t Get(uint32_t pixel) const {
    if (max == 0) return 0;
    const uint64_t v = (pixel & mask) >> shift;
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
  }
};

template <typename Read>
void DecodeMasked(const BmpLayout& l, Bgr24Bitmap& target, uint32_t stride, int bytesPerPixel,
                  Read read) {
  const ColorChannel r(l.masks[0]), g(l.masks[1]), b(l.masks[2]);
  for (int32_t k = 0; k < l.height; ++k) {
    const uint8_t* from = l.bits.data() + size_t{stride} * static_cast<size_t>(k);
    uint8_t* to = target.Row(l.topDown ? l.height - 1 - k : k);
    for (int32_t x = 0; x < l.width; ++x, from += bytesPerPixel, to += 3) {
      const uint32_t px = read(from);
      to[0] = b.Get(px);
      to[1] = g.Get(px);
      to[2] = r.Get(px);
    }
  }
}

std::string Str(int64_t v) {
  return std::to_string(v);
}

// The fields of the file and information headers that the reading needs.
struct BmpHeader {
  uint32_t offBits = 0;
  uint32_t infoSize = 0;
  bool core = false;  // the 12-byte OS/2 header
  int64_t width = 0;
  int64_t height = 0;
  uint16_t planes = 0;
  uint16_t bitCount = 0;
  uint32_t compression = kRgb;
  uint32_t clrUsed = 0;
};

// The headers, after checking that they are present and of a known kind.
BmpHeader ReadHeader(std::span<const uint8_t> file) {
  const size_t n = file.size();
  const uint8_t* d = file.data();
  if (n < kFileHeader + 12) {
    throw BmpError("file of " + Str(int64_t(n)) + " bytes is too short for a bitmap header");
  }
  if (d[0] != 'B' || d[1] != 'M') throw BmpError("not a bitmap file (no \"BM\" signature)");
  BmpHeader header;
  header.offBits = U32(d + 10);
  header.infoSize = U32(d + kFileHeader);
  const uint32_t infoSize = header.infoSize;
  if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 &&
      infoSize != 124) {
    throw BmpError("unsupported information header size " + Str(infoSize));
  }
  if (kFileHeader + infoSize > n) {
    throw BmpError("information header of " + Str(infoSize) +
                   " bytes runs past the end of the file");
  }
  const uint8_t* h = d + kFileHeader;
  header.core = infoSize == 12;
  if (header.core) {
    header.width = U16(h + 4);
    header.height = U16(h + 6);
    header.planes = U16(h + 8);
    header.bitCount = U16(h + 10);
  } else {
    header.width = static_cast<int32_t>(U32(h + 4));
    header.height = static_cast<int32_t>(U32(h + 8));
    header.planes = U16(h + 12);
    header.bitCount = U16(h + 14);
    header.compression = U32(h + 16);
    header.clrUsed = U32(h + 32);
  }
  return header;
}

// Planes, bit count and compression: what the decoder can read.
void CheckPixelFormat(const BmpHeader& header) {
  const uint16_t bitCount = header.bitCount;
  if (header.planes != 1) throw BmpError("plane count " + Str(header.planes) + " is not 1");
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32) {
    throw BmpError("unsupported bit count " + Str(bitCount));
  }
  switch (header.compression) {
    case kRgb:
      break;
    case kBitFields:
    case kAlphaBitFields:
      if (bitCount != 16 && bitCount != 32) {
        throw BmpError("bit fields with " + Str(bitCount) + " bits per pixel");
      }
      break;
    case kRle8:
    case kRle4:
      throw BmpError("run-length compressed (RLE) bitmaps are not supported");
    case kJpeg:
    case kPng:
      throw BmpError("bitmaps holding JPEG or PNG data are not supported");
    default:
      throw BmpError("unknown compression " + Str(header.compression));
  }
}

// The layout's sides and row order, after checking the picture's size.
BmpLayout CheckedLayout(const BmpHeader& header) {
  const int64_t width = header.width;
  const int64_t height = header.height;
  const bool topDown = height < 0;
  const int64_t rows = topDown ? -height : height;
  if (width < 1 || width > gdi::kMaxRasterSide || rows < 1 || rows > gdi::kMaxRasterSide) {
    throw BmpError("picture size " + Str(width) + " x " + Str(height) +
                   " is outside 1..65535 per side");
  }
  if (width * rows > gdi::kMaxRasterPixels) {
    throw BmpError("picture of " + Str(width) + " x " + Str(rows) + " pixels is too large");
  }
  BmpLayout layout;
  layout.width = static_cast<int32_t>(width);
  layout.height = static_cast<int32_t>(rows);
  layout.topDown = topDown;
  layout.bitCount = header.bitCount;
  return layout;
}

// Stores the bit-field masks into the layout. They end the larger
// information headers; the 40-byte one is followed by them, before the
// colour table. Returns where the colour table starts.
size_t ReadMasks(std::span<const uint8_t> file, const BmpHeader& header, size_t tableAt,
                 BmpLayout& layout) {
  const uint8_t* masks = file.data() + kFileHeader + 40;
  if (header.infoSize == 40) {
    const size_t count = header.compression == kAlphaBitFields ? 4 : 3;
    if (tableAt + 4 * count > file.size()) {
      throw BmpError("bit-field masks run past the end of the file");
    }
    masks = file.data() + tableAt;
    tableAt += 4 * count;
  }
  for (int i = 0; i < 3; ++i) layout.masks[i] = U32(masks + 4 * i);
  if (layout.masks[0] == 0 && layout.masks[1] == 0 && layout.masks[2] == 0) {
    throw BmpError("bit fields with all masks 0");
  }
  return tableAt;
}

// The colour table of a picture of 1, 4 or 8 bits, starting at tableAt.
std::vector<gdi::RGBQUAD> ReadPalette(std::span<const uint8_t> file, const BmpHeader& header,
                                      size_t tableAt) {
  const uint32_t full = 1u << header.bitCount;
  uint32_t count = (header.clrUsed == 0 || header.clrUsed > full) ? full : header.clrUsed;
  // The OS/2 header has no entry count: the table fills the gap up to the pixels.
  if (header.core && header.offBits >= tableAt) {
    count = std::min<uint32_t>(count, (header.offBits - tableAt) / 3);
  }
  const size_t entry = header.core ? 3 : 4;
  if (tableAt + entry * count > file.size()) {
    throw BmpError("colour table runs past the end of the file");
  }
  std::vector<gdi::RGBQUAD> palette(count);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = file.data() + tableAt + entry * i;
    palette[i] = gdi::RGBQUAD{e[0], e[1], e[2], 0};
  }
  return palette;
}

// The pixel rows of the layout, after checking that the file holds them.
std::span<const uint8_t> PixelRows(std::span<const uint8_t> file, const BmpHeader& header,
                                   const BmpLayout& layout) {
  const size_t n = file.size();
  const uint32_t offBits = header.offBits;
  const uint64_t stride = gdi::DibStride(layout.width, header.bitCount);
  const uint64_t need = stride * static_cast<uint64_t>(layout.height);
  if (offBits < kFileHeader + header.infoSize || offBits > n) {
    throw BmpError("pixel data offset " + Str(offBits) + " lies outside the file of " +
                   Str(int64_t(n)) + " bytes");
  }
  if (n - offBits < need) {
    throw BmpError("truncated: " + Str(int64_t(need)) + " bytes of pixels needed at offset " +
                   Str(offBits) + ", " + Str(int64_t(n - offBits)) + " present");
  }
  return file.subspan(offBits, static_cast<size_t>(need));
}

}  // namespace

void DecodeBmpRows(const BmpLayout& l, Bgr24Bitmap& target) {
  const uint32_t stride = gdi::DibStride(l.width, l.bitCount);
  target.SetSize(l.width, l.height);
  auto dest = [&](int32_t k) { return target.Row(l.topDown ? l.height - 1 - k : k); };
  auto source = [&](int32_t k) { return l.bits.data() + size_t{stride} * static_cast<size_t>(k); };
  switch (l.bitCount) {
    case 1:
    case 4:
    case 8: {
      std::array<uint8_t, 256 * 3> lut{};  // indices past the table: black
      const size_t n = std::min<size_t>(l.palette.size(), 256);
      for (size_t i = 0; i < n; ++i) {
        lut[3 * i] = l.palette[i].rgbBlue;
        lut[3 * i + 1] = l.palette[i].rgbGreen;
        lut[3 * i + 2] = l.palette[i].rgbRed;
      }
      const int bits = l.bitCount;
      const uint32_t perByte = 8u / static_cast<uint32_t>(bits);
      const uint32_t valueMask = (1u << bits) - 1;
      for (int32_t k = 0; k < l.height; ++k) {
        const uint8_t* from = source(k);
        uint8_t* to = dest(k);
        for (int32_t x = 0; x < l.width; ++x, to += 3) {
          const uint32_t ux = static_cast<uint32_t>(x);
          const uint32_t byte = from[ux / perByte];
          const uint32_t shift = 8 - static_cast<uint32_t>(bits) * (ux % perByte + 1);
          const uint8_t* c = &lut[3 * ((byte >> shift) & valueMask)];
          to[0] = c[0];
          to[1] = c[1];
          to[2] = c[2];
        }
      }
      break;
    }
    case 16: {
      BmpLayout m = l;
      if (m.masks[0] == 0 && m.masks[1] == 0 && m.masks[2] == 0) {
        m.masks[0] = 0x7C00;
        m.masks[1] = 0x03E0;
        m.masks[2] = 0x001F;
      }
      DecodeMasked(m, target, stride, 2, [](const uint8_t* p) { return uint32_t{U16(p)}; });
      break;
    }
    case 24:
      for (int32_t k = 0; k < l.height; ++k) {
        std::memcpy(dest(k), source(k), size_t{3} * static_cast<size_t>(l.width));
      }
      break;
    case 32:
      if (l.masks[0] == 0 && l.masks[1] == 0 && l.masks[2] == 0) {
        for (int32_t k = 0; k < l.height; ++k) {
          const uint8_t* from = source(k);
          uint8_t* to = dest(k);
          for (int32_t x = 0; x < l.width; ++x, from += 4, to += 3) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
          }
        }
      } else {
        DecodeMasked(l, target, stride, 4, [](const uint8_t* p) { return U32(p); });
      }
      break;
    default:
      throw BmpError("unsupported bit count " + Str(l.bitCount));
  }
}

void ReadBmp(std::span<const uint8_t> file, Bgr24Bitmap& target) {
  const BmpHeader header = ReadHeader(file);
  CheckPixelFormat(header);
  BmpLayout layout = CheckedLayout(header);
  size_t tableAt = kFileHeader + header.infoSize;
  if (header.compression != kRgb) tableAt = ReadMasks(file, header, tableAt, layout);
  std::vector<gdi::RGBQUAD> palette;
  if (header.bitCount <= 8) {
    palette = ReadPalette(file, header, tableAt);
    layout.palette = palette;
  }
  layout.bits = PixelRows(file, header, layout);
  DecodeBmpRows(layout, target);
}

void ReadBmpFile(const std::string& path, Bgr24Bitmap& target) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw BmpError("cannot open bitmap file \"" + path + "\"");
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) throw BmpError("cannot read bitmap file \"" + path + "\"");
  if (size > kMaxBmpFileBytes) {
    throw BmpError("bitmap file \"" + path + "\" of " + Str(size) + " bytes is too large");
  }
  std::vector<uint8_t> data(static_cast<size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(data.data()), size)) {
    throw BmpError("cannot read bitmap file \"" + path + "\"");
  }
  try {
    ReadBmp(data, target);
  } catch (const BmpError& e) {
    throw BmpError("bitmap file \"" + path + "\": " + e.what());
  }
}

}  // namespace labelplu
