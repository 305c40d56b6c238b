// labelplu: the fast bitmap, a 24-bit picture whose pixels the image
// items scale and rotate directly, row by row, and that carries its own
// canvas so that the barcode encoder can paint into it.
//
// Geometry: a pixel is three bytes, blue, green, red. Stride = bytes per row
// = ((Width × 24 + 31) div 32) × 4; RowSlack = Width mod 4 (the padding bytes
// after the last pixel); ByteSize = Stride × Height. Rows are addressed
// bottom-up as in a bitmap file: Row(0) is the bottom row of the picture,
// Row(Height - 1) the top one. In memory the rows lie top row first (the
// layout a QImage in Format_BGR888 shares), so that the canvas paints into
// the very same pixels; the row table hides this from the pixel loops.
//
// Limits: sides 0..65535, area at most gdi::kMaxRasterPixels (2^28 pixels).
// A bitmap with a side of 0 is empty: no pixels, no canvas.
//
// Ownership and threads: the bitmap owns its pixels and canvas; it can be
// neither copied nor moved (the canvas points at it). One thread at a time.
#ifndef LABELPLU_RENDER_BGR24BITMAP_H
#define LABELPLU_RENDER_BGR24BITMAP_H

#include <QImage>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Canvas.h"
#include "platform/gdi/Dib.h"
#include "platform/gdi/GdiTypes.h"

namespace labelplu {

class Bgr24Bitmap {
 public:
  Bgr24Bitmap() = default;  // 0 × 0
  // Throws gdi::GdiError as SetSize does.
  Bgr24Bitmap(int32_t width, int32_t height) { SetSize(width, height); }
  ~Bgr24Bitmap();
  Bgr24Bitmap(const Bgr24Bitmap&) = delete;
  Bgr24Bitmap& operator=(const Bgr24Bitmap&) = delete;

  // ---- geometry -------------------------------------------------------------
  int32_t Width() const { return m_width; }
  int32_t Height() const { return m_height; }
  int32_t Stride() const { return m_stride; }
  int32_t RowSlack() const { return m_rowSlack; }
  int32_t ByteSize() const { return m_byteSize; }
  bool IsEmpty() const { return m_byteSize == 0; }

  // The first pixel of row `row` counted from the bottom (0 <= row <
  // Height()); unchecked, for pixel loops.
  uint8_t* Row(int32_t row) { return m_rows[static_cast<size_t>(row)]; }
  const uint8_t* Row(int32_t row) const { return m_rows[static_cast<size_t>(row)]; }

  // When both equal the current size, nothing happens and the pixels stay.
  // Otherwise the bitmap gets the new size with all pixels black; the
  // canvas (if one was made) is ended and dropped first, so references to
  // it become invalid. Throws gdi::GdiError for a negative side, a side
  // above 65535 or an area above gdi::kMaxRasterPixels (the bitmap is then
  // unchanged).
  void SetSize(int32_t width, int32_t height);

  // Fills every pixel with the colour (0x00BBGGRR).
  void Fill(gdi::COLORREF color);
  // The pixel in column x of row `row` counted from the bottom, as
  // 0x00BBGGRR; gdi::CLR_INVALID outside the bitmap. For checks, not loops.
  gdi::COLORREF Pixel(int32_t x, int32_t row) const;
  void SetPixel(int32_t x, int32_t row, gdi::COLORREF color);

  // ---- canvas ---------------------------------------------------------------
  // The bitmap's own canvas, painting straight into its pixels; made on
  // first use and valid until SetSize changes the size or the bitmap dies.
  // Its resolution is the one SetResolution gave (96 dpi, the screen's, by
  // default). Throws gdi::GdiError for an empty bitmap.
  gdi::Canvas& Canvas();
  // Dots per inch the canvas reports (LOGPIXELSX/Y); 1..100000, else
  // gdi::GdiError. Ends and drops a canvas made before.
  void SetResolution(int32_t dpiX, int32_t dpiY);

  // The information header that transfers use: 40 bytes, Width, -Height
  // (rows top row first in memory), 1 plane, 24 bits, BI_RGB.
  const gdi::BITMAPINFOHEADER& Header() const { return m_header; }
  // The pixels as a bitmap reference for the canvas's transfers; valid
  // until SetSize. Empty spans for an empty bitmap.
  gdi::DibRef DibRef() const;
  // A deep copy of the picture in Format_RGB32, top row first; a null image
  // when empty.
  QImage ToImage() const;

  // ---- transfers ---------------------------------------------------------------
  // The whole picture 1:1 onto the canvas at (x, y) (its top-left corner),
  // source copy. Nothing for an empty bitmap.
  void DrawTo(gdi::Canvas& canvas, int32_t x, int32_t y) const;
  // Sets the canvas's stretch mode to COLORONCOLOR (left so) and copies the
  // whole picture stretched onto x, y, width × height. Nothing for an empty
  // bitmap.
  void StretchDrawTo(gdi::Canvas& canvas, int32_t x, int32_t y, int32_t width,
                     int32_t height) const;
  // Copies this picture into `dest` with its top-left corner at column x,
  // line y from the top of `dest`, clipped to `dest`.
  void CopyInto(Bgr24Bitmap& dest, int32_t x, int32_t y) const;

  // ---- resampling (Bgr24BitmapResample.cpp) ------------------------------------------
  // Resamples this picture into dest's current size by nearest pixel:
  // enlarging in both directions repeats each source pixel over the
  // destination span it starts (single-precision scale factors, one row
  // buffer per call); otherwise each destination pixel takes the source pixel at
  // its 16.16 fixed-point position. Equal sizes copy. Nothing when dest or
  // this bitmap is empty. `dest` must not be this bitmap.
  void ResizeNearest(Bgr24Bitmap& dest) const;
  // Bilinear resampling in 17.15 fixed point into dest's current size;
  // a source one pixel wide goes through ResizeNearest, equal sizes copy,
  // a source one row high repeats that row's interpolation. Nothing when
  // dest or this bitmap is empty. `dest` must not be this bitmap.
  void ResizeSmooth(Bgr24Bitmap& dest) const;
  // Turns `source` by `degrees` into `dest` about dest's point (cx, cy)
  // (column, row from the bottom): θ := -degrees × π / 180 and each
  // destination pixel takes the source pixel at cx + cos θ (c - cx) -
  // sin θ (r - cy) - ex, cy + sin θ (c - cx) + cos θ (r - cy) - ey, with
  // ex, ey half the size difference (a smaller source sits centred),
  // computed per row in 16.16 fixed point. Positive degrees turn the picture
  // counter-clockwise (callers pass -angle to turn clockwise). Pixels whose
  // source lies outside `source` keep their value. `dest` must not be
  // `source`.
  static void RotateInto(const Bgr24Bitmap& source, Bgr24Bitmap& dest, int32_t cx, int32_t cy,
                         double degrees);

  // ---- loading ----------------------------------------------------------------
  // Reads a bitmap file (BmpReader.h: 1, 4, 8 bits with a palette, 16 and
  // 32 bits with or without bit fields, 24 bits; rows bottom-up or
  // top-down) into a 24-bit picture of its size. On failure the bitmap is
  // left empty (0 × 0) and BmpError says what is wrong with which file.
  void LoadFromBmpFile(const std::string& path);
  // The same for a bitmap file held in memory.
  void LoadFromBmpData(const std::vector<uint8_t>& data);
  // Takes the size and the pixels of a canvas bitmap (any bit count
  // gdi::ValidateDib accepts; colour-table indices past the table read as
  // black). Throws gdi::GdiError when ValidateDib does or the area is above
  // gdi::kMaxRasterPixels (the bitmap is then unchanged).
  void LoadFromBitmapHandle(const gdi::DibRef& bitmap);
  // The same for an image (any format; alpha dropped). A null image empties
  // the bitmap.
  void LoadFromBitmapHandle(const QImage& image);

 private:
  void DropCanvas();

  int32_t m_rowSlack = 0;
  int32_t m_stride = 0;
  int32_t m_byteSize = 0;
  int32_t m_width = 0;
  int32_t m_height = 0;
  std::vector<uint8_t*> m_rows;  // bottom row first
  std::unique_ptr<uint8_t[]> m_bits;
  gdi::BITMAPINFOHEADER m_header;
  int32_t m_dpiX = 96;
  int32_t m_dpiY = 96;
  std::unique_ptr<QImage> m_view;  // over m_bits, for the canvas only
  std::unique_ptr<gdi::Canvas> m_canvas;
};

}  // namespace labelplu

#endif  // LABELPLU_RENDER_BGR24BITMAP_H
