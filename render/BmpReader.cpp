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
  const size_t n = file.size();
  const uint8_t* d = file.data();
  if (n < kFileHeader + 12) {
    throw BmpError("file of " + Str(int64_t(n)) + " bytes is too short for a bitmap header");
  }
  if (d[0] != 'B' || d[1] != 'M') throw BmpError("not a bitmap file (no \"BM\" signature)");
  const uint32_t offBits = U32(d + 10);
  const uint32_t infoSize = U32(d + kFileHeader);
  if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 &&
      infoSize != 124) {
    throw BmpError("unsupported information header size " + Str(infoSize));
  }
  if (kFileHeader + infoSize > n) {
    throw BmpError("information header of " + Str(infoSize) +
                   " bytes runs past the end of the file");
  }
  const uint8_t* h = d + kFileHeader;
  const bool core = infoSize == 12;
  int64_t width, height;
  uint16_t planes, bitCount;
  uint32_t compression = kRgb, clrUsed = 0;
  if (core) {
    width = U16(h + 4);
    height = U16(h + 6);
    planes = U16(h + 8);
    bitCount = U16(h + 10);
  } else {
    width = static_cast<int32_t>(U32(h + 4));
    height = static_cast<int32_t>(U32(h + 8));
    planes = U16(h + 12);
    bitCount = U16(h + 14);
    compression = U32(h + 16);
    clrUsed = U32(h + 32);
  }
  if (planes != 1) throw BmpError("plane count " + Str(planes) + " is not 1");
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32) {
    throw BmpError("unsupported bit count " + Str(bitCount));
  }
  switch (compression) {
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
      throw BmpError("unknown compression " + Str(compression));
  }
  const bool topDown = height < 0;
  const int64_t rows = topDown ? -height : height;
  if (width < 1 || width > gdi::kMaxRasterSide || rows < 1 || rows > gdi::kMaxRasterSide) {
    throw BmpError("picture size " + Str(width) + " x " + Str(height) +
                   " is outside 1..65535 per side");
  }
  if (width * rows > gdi::kMaxRasterPixels) {
    throw BmpError("picture of " + Str(width) + " x " + Str(rows) + " pixels is too large");
  }

  size_t tableAt = kFileHeader + infoSize;
  BmpLayout layout;
  layout.width = static_cast<int32_t>(width);
  layout.height = static_cast<int32_t>(rows);
  layout.topDown = topDown;
  layout.bitCount = bitCount;
  if (compression != kRgb) {
    const uint8_t* masks = h + 40;
    if (infoSize == 40) {
      const size_t count = compression == kAlphaBitFields ? 4 : 3;
      if (tableAt + 4 * count > n) throw BmpError("bit-field masks run past the end of the file");
      masks = d + tableAt;
      tableAt += 4 * count;
    }
    for (int i = 0; i < 3; ++i) layout.masks[i] = U32(masks + 4 * i);
    if (layout.masks[0] == 0 && layout.masks[1] == 0 && layout.masks[2] == 0) {
      throw BmpError("bit fields with all masks 0");
    }
  }

  std::vector<gdi::RGBQUAD> palette;
  if (bitCount <= 8) {
    const uint32_t full = 1u << bitCount;
    uint32_t count = (clrUsed == 0 || clrUsed > full) ? full : clrUsed;
    // The OS/2 header has no entry count: the table fills the gap up to the pixels.
    if (core && offBits >= tableAt) count = std::min<uint32_t>(count, (offBits - tableAt) / 3);
    const size_t entry = core ? 3 : 4;
    if (tableAt + entry * count > n) throw BmpError("colour table runs past the end of the file");
    palette.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* e = d + tableAt + entry * i;
      palette[i] = gdi::RGBQUAD{e[0], e[1], e[2], 0};
    }
    layout.palette = palette;
  }

  const uint64_t stride = gdi::DibStride(layout.width, bitCount);
  const uint64_t need = stride * static_cast<uint64_t>(rows);
  if (offBits < kFileHeader + infoSize || offBits > n) {
    throw BmpError("pixel data offset " + Str(offBits) + " lies outside the file of " +
                   Str(int64_t(n)) + " bytes");
  }
  if (n - offBits < need) {
    throw BmpError("truncated: " + Str(int64_t(need)) + " bytes of pixels needed at offset " +
                   Str(offBits) + ", " + Str(int64_t(n - offBits)) + " present");
  }
  layout.bits = file.subspan(offBits, static_cast<size_t>(need));
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
