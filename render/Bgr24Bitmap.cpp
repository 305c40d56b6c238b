// labelplu: the fast bitmap's storage, canvas, transfers and loading.
#include "render/Bgr24Bitmap.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/gdi/RasterTarget.h"
#include "render/BmpReader.h"

namespace labelplu {

using gdi::COLORREF;
using gdi::GdiError;

Bgr24Bitmap::~Bgr24Bitmap() {
  DropCanvas();
}

void Bgr24Bitmap::DropCanvas() {
  if (m_canvas) m_canvas->End();
  m_canvas.reset();
  m_view.reset();
}

void Bgr24Bitmap::SetSize(int32_t width, int32_t height) {
  if (width == m_width && height == m_height) return;
  if (width < 0 || height < 0 || width > gdi::kMaxRasterSide || height > gdi::kMaxRasterSide ||
      int64_t{width} * height > gdi::kMaxRasterPixels) {
    throw GdiError("fast bitmap: size " + std::to_string(width) + " x " + std::to_string(height) +
                   " is outside 0..65535 per side or 2^28 pixels");
  }
  const int32_t stride = ((width * 24 + 31) / 32) * 4;
  const int64_t byteSize = int64_t{stride} * height;
  // Allocate before touching anything, so that a failure leaves the bitmap as it was.
  std::unique_ptr<uint8_t[]> bits;
  if (byteSize > 0) bits = std::make_unique<uint8_t[]>(static_cast<size_t>(byteSize));  // zeroed
  std::vector<uint8_t*> rows(static_cast<size_t>(height), nullptr);
  if (bits) {
    for (int32_t r = 0; r < height; ++r) {
      rows[static_cast<size_t>(r)] = bits.get() + int64_t{height - 1 - r} * stride;
    }
  }
  DropCanvas();
  m_bits = std::move(bits);
  m_rows = std::move(rows);
  m_width = width;
  m_height = height;
  m_stride = stride;
  m_rowSlack = width % 4;
  m_byteSize = static_cast<int32_t>(byteSize);
  m_header.biWidth = width;
  m_header.biHeight = -height;
  m_header.biSizeImage = static_cast<uint32_t>(byteSize);
}

void Bgr24Bitmap::Fill(COLORREF color) {
  if (IsEmpty()) return;
  const uint8_t b = gdi::GetBValue(color), g = gdi::GetGValue(color), r = gdi::GetRValue(color);
  uint8_t* first = m_bits.get();
  for (int32_t x = 0; x < m_width; ++x) {
    first[3 * x] = b;
    first[3 * x + 1] = g;
    first[3 * x + 2] = r;
  }
  for (int32_t y = 1; y < m_height; ++y)
    std::memcpy(first + int64_t{y} * m_stride, first, size_t(m_stride));
}

COLORREF Bgr24Bitmap::Pixel(int32_t x, int32_t row) const {
  if (x < 0 || row < 0 || x >= m_width || row >= m_height || IsEmpty()) return gdi::CLR_INVALID;
  const uint8_t* p = Row(row) + 3 * x;
  return gdi::RGB(p[2], p[1], p[0]);
}

void Bgr24Bitmap::SetPixel(int32_t x, int32_t row, COLORREF color) {
  if (x < 0 || row < 0 || x >= m_width || row >= m_height || IsEmpty()) return;
  uint8_t* p = Row(row) + 3 * x;
  p[0] = gdi::GetBValue(color);
  p[1] = gdi::GetGValue(color);
  p[2] = gdi::GetRValue(color);
}

gdi::Canvas& Bgr24Bitmap::Canvas() {
  if (m_canvas) return *m_canvas;
  if (IsEmpty()) throw GdiError("fast bitmap: an empty bitmap has no canvas");
  auto view =
      std::make_unique<QImage>(m_bits.get(), m_width, m_height, m_stride, QImage::Format_BGR888);
  view->setDotsPerMeterX(gdi::DotsPerMetre(m_dpiX));
  view->setDotsPerMeterY(gdi::DotsPerMetre(m_dpiY));
  auto canvas = std::make_unique<gdi::Canvas>(*view);
  m_view = std::move(view);
  m_canvas = std::move(canvas);
  return *m_canvas;
}

void Bgr24Bitmap::SetResolution(int32_t dpiX, int32_t dpiY) {
  if (dpiX < 1 || dpiY < 1 || dpiX > 100000 || dpiY > 100000) {
    throw GdiError("fast bitmap: resolution " + std::to_string(dpiX) + " x " +
                   std::to_string(dpiY) + " dpi is outside 1..100000");
  }
  DropCanvas();
  m_dpiX = dpiX;
  m_dpiY = dpiY;
}

gdi::DibRef Bgr24Bitmap::DibRef() const {
  return gdi::DibRef{m_header, {}, {m_bits.get(), static_cast<size_t>(m_byteSize)}};
}

QImage Bgr24Bitmap::ToImage() const {
  if (IsEmpty()) return {};
  return gdi::DibToImage(DibRef());
}

void Bgr24Bitmap::DrawTo(gdi::Canvas& canvas, int32_t x, int32_t y) const {
  if (IsEmpty()) return;
  canvas.SetDIBitsToDevice(x, y, m_width, m_height, 0, 0, DibRef());
}

void Bgr24Bitmap::StretchDrawTo(gdi::Canvas& canvas, int32_t x, int32_t y, int32_t width,
                                int32_t height) const {
  if (IsEmpty()) return;
  canvas.SetStretchBltMode(gdi::COLORONCOLOR);
  canvas.StretchDIBits(x, y, width, height, 0, 0, m_width, m_height, DibRef());
}

void Bgr24Bitmap::CopyInto(Bgr24Bitmap& dest, int32_t x, int32_t y) const {
  if (IsEmpty() || dest.IsEmpty() || &dest == this) return;
  // Lines from the top: source line t lands on destination line y + t.
  const int64_t left = std::max<int64_t>(0, x),
                right = std::min<int64_t>(dest.m_width, int64_t{x} + m_width);
  const int64_t top = std::max<int64_t>(0, y),
                bottom = std::min<int64_t>(dest.m_height, int64_t{y} + m_height);
  if (left >= right || top >= bottom) return;
  const size_t bytes = static_cast<size_t>(3 * (right - left));
  for (int64_t line = top; line < bottom; ++line) {
    const uint8_t* from = Row(static_cast<int32_t>(m_height - 1 - (line - y))) + 3 * (left - x);
    uint8_t* to = dest.Row(static_cast<int32_t>(dest.m_height - 1 - line)) + 3 * left;
    std::memcpy(to, from, bytes);
  }
}

void Bgr24Bitmap::LoadFromBmpFile(const std::string& path) {
  try {
    ReadBmpFile(path, *this);
  } catch (...) {
    SetSize(0, 0);
    throw;
  }
}

void Bgr24Bitmap::LoadFromBmpData(const std::vector<uint8_t>& data) {
  try {
    ReadBmp(data, *this);
  } catch (...) {
    SetSize(0, 0);
    throw;
  }
}

void Bgr24Bitmap::LoadFromBitmapHandle(const gdi::DibRef& bitmap) {
  gdi::ValidateDib(bitmap);
  BmpLayout layout;
  layout.width = bitmap.header.biWidth;
  layout.height = bitmap.header.biHeight < 0 ? -bitmap.header.biHeight : bitmap.header.biHeight;
  layout.topDown = bitmap.header.biHeight < 0;
  layout.bitCount = bitmap.header.biBitCount;
  layout.palette = bitmap.colors;
  layout.bits = bitmap.bits;
  DecodeBmpRows(layout, *this);
}

void Bgr24Bitmap::LoadFromBitmapHandle(const QImage& image) {
  if (image.isNull()) {
    SetSize(0, 0);
    return;
  }
  const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
  SetSize(bgr.width(), bgr.height());
  const size_t bytes = 3 * static_cast<size_t>(m_width);
  for (int32_t line = 0; line < m_height; ++line) {
    std::memcpy(Row(m_height - 1 - line), bgr.constScanLine(line), bytes);
  }
}

}  // namespace labelplu
