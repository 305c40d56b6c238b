// labelplu: device-independent bitmaps: checks, pixel reads, conversions.
#include "platform/gdi/Dib.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/gdi/DibPixels.h"

namespace labelplu::gdi {
namespace {

constexpr int32_t kMaxDibSide = 65535;

bool KnownBitCount(uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

QRgb PaletteColour(std::span<const RGBQUAD> colors, uint32_t index) {
  if (index >= colors.size()) return qRgb(0, 0, 0);
  const RGBQUAD& c = colors[index];
  return qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

}  // namespace

uint32_t DibStride(int32_t width, uint16_t bitCount) {
  if (width <= 0) return 0;
  const int64_t stride = ((static_cast<int64_t>(width) * bitCount + 31) / 32) * 4;
  return stride > 0x7FFFFFFF ? 0 : static_cast<uint32_t>(stride);
}

void ValidateDib(const DibRef& dib) {
  const BITMAPINFOHEADER& h = dib.header;
  if (h.biSize < 40)
    throw GdiError("bitmap header size " + std::to_string(h.biSize) + " is below 40");
  if (h.biPlanes != 1)
    throw GdiError("bitmap has " + std::to_string(h.biPlanes) + " planes instead of 1");
  if (!KnownBitCount(h.biBitCount)) {
    throw GdiError("bitmap bit count " + std::to_string(h.biBitCount) +
                   " is not 1, 4, 8, 16, 24 or 32");
  }
  if (h.biCompression != BI_RGB) {
    throw GdiError("bitmap compression " + std::to_string(h.biCompression) +
                   " is not supported (only BI_RGB)");
  }
  const int64_t height = h.biHeight < 0 ? -static_cast<int64_t>(h.biHeight) : h.biHeight;
  if (h.biWidth < 1 || h.biWidth > kMaxDibSide || height < 1 || height > kMaxDibSide) {
    throw GdiError("bitmap size " + std::to_string(h.biWidth) + " x " + std::to_string(height) +
                   " is outside 1.." + std::to_string(kMaxDibSide));
  }
  const uint64_t needed =
      static_cast<uint64_t>(DibStride(h.biWidth, h.biBitCount)) * static_cast<uint64_t>(height);
  if (dib.bits.size() < needed) {
    throw GdiError("bitmap of " + std::to_string(h.biWidth) + " x " + std::to_string(height) +
                   " at " + std::to_string(h.biBitCount) + " bits needs " + std::to_string(needed) +
                   " bytes, has " + std::to_string(dib.bits.size()));
  }
}

DibPixels::DibPixels(const DibRef& dib) : m_dib(dib) {
  ValidateDib(dib);
  m_width = dib.header.biWidth;
  m_bottomUp = dib.header.biHeight > 0;
  m_height = m_bottomUp ? dib.header.biHeight : -dib.header.biHeight;
  m_stride = DibStride(m_width, dib.header.biBitCount);
}

QRgb DibPixels::Pixel(int32_t x, int32_t y) const {
  const size_t row = static_cast<size_t>(m_bottomUp ? m_height - 1 - y : y);
  const uint8_t* line = m_dib.bits.data() + row * m_stride;
  const auto ux = static_cast<size_t>(x);
  switch (m_dib.header.biBitCount) {
    case 1:
      return PaletteColour(m_dib.colors, (line[ux / 8] >> (7 - ux % 8)) & 1);
    case 4:
      return PaletteColour(m_dib.colors, (line[ux / 2] >> (ux % 2 == 0 ? 4 : 0)) & 0x0F);
    case 8:
      return PaletteColour(m_dib.colors, line[ux]);
    case 16: {
      const auto v = static_cast<uint32_t>(line[ux * 2] | (line[ux * 2 + 1] << 8));
      // 5-5-5: widen each channel so that 31 becomes 255.
      auto widen = [](uint32_t c) { return static_cast<int>((c << 3) | (c >> 2)); };
      return qRgb(widen((v >> 10) & 31), widen((v >> 5) & 31), widen(v & 31));
    }
    case 24:
      return qRgb(line[ux * 3 + 2], line[ux * 3 + 1], line[ux * 3]);
    default:
      return qRgb(line[ux * 4 + 2], line[ux * 4 + 1], line[ux * 4]);
  }
}

QImage DibToImage(const DibRef& dib) {
  return DibToImage(dib, 0, 0, dib.header.biWidth, kMaxDibSide);
}

QImage DibToImage(const DibRef& dib, int32_t x, int32_t y, int32_t width, int32_t height) {
  const DibPixels pixels(dib);
  const int64_t x0 = std::max<int64_t>(x, 0);
  const int64_t y0 = std::max<int64_t>(y, 0);
  const int64_t x1 =
      std::min<int64_t>(static_cast<int64_t>(x) + std::max(width, 0), pixels.Width());
  const int64_t y1 =
      std::min<int64_t>(static_cast<int64_t>(y) + std::max(height, 0), pixels.Height());
  if (x1 <= x0 || y1 <= y0) return QImage();
  QImage image(static_cast<int>(x1 - x0), static_cast<int>(y1 - y0), QImage::Format_RGB32);
  if (image.isNull()) throw GdiError("out of memory converting a bitmap");
  const bool bottomUp = dib.header.biHeight > 0;
  const uint32_t stride = DibStride(dib.header.biWidth, dib.header.biBitCount);
  for (int64_t row = y0; row < y1; ++row) {
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(row - y0)));
    if (dib.header.biBitCount == 24) {
      // The common case (the fast bitmap's rows) without a call per pixel.
      const uint8_t* in = dib.bits.data() +
                          static_cast<size_t>(bottomUp ? pixels.Height() - 1 - row : row) * stride +
                          3 * x0;
      for (int64_t col = x0; col < x1; ++col, in += 3) out[col - x0] = qRgb(in[2], in[1], in[0]);
      continue;
    }
    for (int64_t col = x0; col < x1; ++col) {
      out[col - x0] = pixels.Pixel(static_cast<int32_t>(col), static_cast<int32_t>(row));
    }
  }
  if (dib.header.biXPelsPerMeter > 0) image.setDotsPerMeterX(dib.header.biXPelsPerMeter);
  if (dib.header.biYPelsPerMeter > 0) image.setDotsPerMeterY(dib.header.biYPelsPerMeter);
  return image;
}

Dib::Dib(int32_t width, int32_t height, uint16_t bitCount) {
  if (!KnownBitCount(bitCount)) {
    throw GdiError("bitmap bit count " + std::to_string(bitCount) +
                   " is not 1, 4, 8, 16, 24 or 32");
  }
  const int32_t absHeight = height < 0 ? -height : height;
  if (width < 1 || width > kMaxDibSide || absHeight < 1 || absHeight > kMaxDibSide) {
    throw GdiError("bitmap size " + std::to_string(width) + " x " + std::to_string(height) +
                   " is outside 1.." + std::to_string(kMaxDibSide));
  }
  m_header.biWidth = width;
  m_header.biHeight = height;
  m_header.biBitCount = bitCount;
  m_header.biSizeImage = DibStride(width, bitCount) * static_cast<uint32_t>(absHeight);
  if (bitCount <= 8) {
    m_colors.assign(size_t{1} << bitCount, RGBQUAD{});
    m_header.biClrUsed = static_cast<uint32_t>(m_colors.size());
  }
  m_bits.assign(m_header.biSizeImage, 0);
}

uint8_t* Dib::ScanLine(int32_t y) {
  const int32_t row = m_header.biHeight > 0 ? Height() - 1 - y : y;
  return m_bits.data() + static_cast<size_t>(row) * Stride();
}

const uint8_t* Dib::ScanLine(int32_t y) const {
  return const_cast<Dib*>(this)->ScanLine(y);
}

Dib Dib::FromImage(const QImage& image, uint16_t bitCount) {
  if (image.isNull()) throw GdiError("cannot make a bitmap of a null image");
  if (bitCount != 8 && bitCount != 24 && bitCount != 32) {
    throw GdiError("bitmap bit count " + std::to_string(bitCount) +
                   " is not 8, 24 or 32 for an image");
  }
  Dib dib(image.width(), image.height(), bitCount);
  dib.m_header.biXPelsPerMeter = image.dotsPerMeterX();
  dib.m_header.biYPelsPerMeter = image.dotsPerMeterY();
  const int w = image.width();
  if (bitCount == 8) {
    const QImage indexed =
        image.format() == QImage::Format_Indexed8
            ? image
            : image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    const QList<QRgb> table = indexed.colorTable();
    for (qsizetype i = 0; i < table.size() && i < 256; ++i) {
      dib.m_colors[static_cast<size_t>(i)] =
          RGBQUAD{static_cast<uint8_t>(qBlue(table[i])), static_cast<uint8_t>(qGreen(table[i])),
                  static_cast<uint8_t>(qRed(table[i])), 0};
    }
    for (int y = 0; y < image.height(); ++y)
      std::memcpy(dib.ScanLine(y), indexed.constScanLine(y), static_cast<size_t>(w));
    return dib;
  }
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    uint8_t* out = dib.ScanLine(y);
    const int step = bitCount / 8;
    for (int x = 0; x < w; ++x) {
      out[x * step] = static_cast<uint8_t>(qBlue(in[x]));
      out[x * step + 1] = static_cast<uint8_t>(qGreen(in[x]));
      out[x * step + 2] = static_cast<uint8_t>(qRed(in[x]));
      if (step == 4) out[x * step + 3] = 0;
    }
  }
  return dib;
}

}  // namespace labelplu::gdi
