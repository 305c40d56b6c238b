// labelplu: device-independent bitmaps, laid out as the platform's (an
// information header, a colour table for up to 8 bits per pixel, rows of
// 4-byte stride, bottom-up unless the height is negative).
#ifndef LABELPLU_PLATFORM_GDI_DIB_H
#define LABELPLU_PLATFORM_GDI_DIB_H

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/GdiTypes.h"

namespace labelplu::gdi {

inline constexpr uint32_t BI_RGB = 0;  // the only compression the canvas reads

// The 40-byte information header of a bitmap, field for field as in a
// bitmap file (little-endian on every machine this runs on).
struct BITMAPINFOHEADER {
  uint32_t biSize = 40;
  int32_t biWidth = 0;
  int32_t biHeight = 0;  // > 0: rows bottom-up; < 0: rows top-down
  uint16_t biPlanes = 1;
  uint16_t biBitCount = 24;  // 1, 4, 8, 16 (5-5-5), 24 (B, G, R) or 32 (B, G, R, x)
  uint32_t biCompression = BI_RGB;
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;  // colour-table entries; 0 = 2^biBitCount for ≤ 8 bits
  uint32_t biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// A colour-table entry.
struct RGBQUAD {
  uint8_t rgbBlue = 0;
  uint8_t rgbGreen = 0;
  uint8_t rgbRed = 0;
  uint8_t rgbReserved = 0;
  friend bool operator==(const RGBQUAD&, const RGBQUAD&) = default;
};
static_assert(sizeof(RGBQUAD) == 4);

// Bytes per row of a bitmap: ((width × bitCount + 31) div 32) × 4; 0 for a
// width that is not positive or a row that would not fit in 31 bits.
uint32_t DibStride(int32_t width, uint16_t bitCount);

// A bitmap somebody else owns: the header, its colour table (entries past
// the table's end read as black) and the pixel rows. Nothing is copied; the
// spans must stay valid while the reference is used.
struct DibRef {
  BITMAPINFOHEADER header;
  std::span<const RGBQUAD> colors;
  std::span<const uint8_t> bits;
};

// Checks a bitmap for use: header size at least 40, 1 plane, a bit count
// from the list above, BI_RGB, width and |height| in 1..65535 and enough
// bytes for |height| rows of DibStride. Throws GdiError saying what is
// wrong.
void ValidateDib(const DibRef& dib);

// The bitmap as an image, top row first, in QImage::Format_RGB32, with its
// dots per metre. The second form converts only the rectangle x, y (from the
// picture's top-left corner), width × height, clipped to the bitmap (a null
// image when nothing remains). Throws GdiError when ValidateDib does.
QImage DibToImage(const DibRef& dib);
QImage DibToImage(const DibRef& dib, int32_t x, int32_t y, int32_t width, int32_t height);

// A bitmap that owns its header, colour table and rows.
class Dib {
 public:
  Dib() = default;

  // A bitmap of width × height pixels (height > 0: bottom-up) with bitCount
  // 1, 4, 8 or 24 (32 also), all bits zero, and a colour table of
  // 2^bitCount black entries for ≤ 8 bits. Throws GdiError for sizes
  // outside 1..65535 or another bit count.
  Dib(int32_t width, int32_t height, uint16_t bitCount);

  // The image's pixels as a bitmap (the platform's GetDIBits): bitCount 24
  // gives B, G, R rows; 8 gives the image's own colour table when it is an
  // indexed image of at most 256 colours, otherwise a colour table that
  // Qt's conversion to Format_Indexed8 picks (no dithering); 32 gives
  // B, G, R, x. Rows are bottom-up. The dots per metre are copied. Throws
  // GdiError for a null image or another bit count.
  static Dib FromImage(const QImage& image, uint16_t bitCount);

  BITMAPINFOHEADER& Header() { return m_header; }
  const BITMAPINFOHEADER& Header() const { return m_header; }
  std::vector<RGBQUAD>& Colors() { return m_colors; }
  const std::vector<RGBQUAD>& Colors() const { return m_colors; }
  std::vector<uint8_t>& Bits() { return m_bits; }
  const std::vector<uint8_t>& Bits() const { return m_bits; }

  int32_t Width() const { return m_header.biWidth; }
  // |biHeight|.
  int32_t Height() const { return m_header.biHeight < 0 ? -m_header.biHeight : m_header.biHeight; }
  uint32_t Stride() const { return DibStride(m_header.biWidth, m_header.biBitCount); }
  // The first byte of the row that shows as line y from the top (0 ≤ y <
  // Height()), whichever way the rows are stored.
  uint8_t* ScanLine(int32_t y);
  const uint8_t* ScanLine(int32_t y) const;

  DibRef Ref() const { return DibRef{m_header, m_colors, m_bits}; }
  QImage ToImage() const { return DibToImage(Ref()); }

 private:
  BITMAPINFOHEADER m_header;
  std::vector<RGBQUAD> m_colors;
  std::vector<uint8_t> m_bits;
};

}  // namespace labelplu::gdi

#endif  // LABELPLU_PLATFORM_GDI_DIB_H
