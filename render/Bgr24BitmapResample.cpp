// labelplu: the fast bitmap's pixel loops: nearest and bilinear resampling,
// rotation. Integer fixed point throughout; no call or allocation per pixel.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "render/Bgr24Bitmap.h"

namespace labelplu {
namespace {

void CopyPixels(const Bgr24Bitmap& from, Bgr24Bitmap& to) {
  for (int32_t r = 0; r < from.Height(); ++r) {
    std::memcpy(to.Row(r), from.Row(r), static_cast<size_t>(from.Stride()));
  }
}

// Rounds half to even, as the scale factors of the enlarging branch are
// rounded (the default floating-point rounding mode).
int64_t RoundEven(double v) {
  return static_cast<int64_t>(std::nearbyint(v));
}

}  // namespace

void Bgr24Bitmap::ResizeNearest(Bgr24Bitmap& dest) const {
  const int32_t w = m_width, h = m_height, dw = dest.m_width, dh = dest.m_height;
  if (dest.IsEmpty() || IsEmpty() || &dest == this) return;
  if (w == dw && h == dh) {
    CopyPixels(*this, dest);
    return;
  }
  const float kx = static_cast<float>(dw) / static_cast<float>(w);
  const float ky = static_cast<float>(dh) / static_cast<float>(h);
  if (kx >= 1 && ky >= 1) {
    // Spans start at trunc(k × i) and are round(k + 0.5) long; later spans
    // overwrite the overlap. The products are exact in double.
    const int64_t spanX = RoundEven(double{kx} + 0.5);
    const int64_t spanY = RoundEven(double{ky} + 0.5);
    std::vector<uint8_t> line(static_cast<size_t>(dest.m_stride));
    for (int32_t i = 0; i < h; ++i) {
      const uint8_t* src = Row(i);
      for (int32_t j = 0; j < w; ++j) {
        const int64_t start = static_cast<int64_t>(double{kx} * j);
        const int64_t end = std::min<int64_t>(start + spanX, dw);
        const uint8_t* p = src + 3 * j;
        for (int64_t c = start; c < end; ++c) {
          uint8_t* q = line.data() + 3 * c;
          q[0] = p[0];
          q[1] = p[1];
          q[2] = p[2];
        }
      }
      const int64_t start = static_cast<int64_t>(double{ky} * i);
      const int64_t end = std::min<int64_t>(start + spanY, dh);
      for (int64_t r = start; r < end; ++r) {
        std::memcpy(dest.Row(static_cast<int32_t>(r)), line.data(), line.size());
      }
    }
    return;
  }
  // 16.16 positions; sides are at most 65535, so every product fits 64 bits.
  const uint64_t stepX = (uint64_t(w) << 16) / uint64_t(dw);
  const uint64_t stepY = (uint64_t(h) << 16) / uint64_t(dh);
  uint64_t sy = 0;
  for (int32_t r = 0; r < dh; ++r, sy += stepY) {
    const uint8_t* src = Row(static_cast<int32_t>(sy >> 16));
    uint8_t* q = dest.Row(r);
    uint64_t sx = 0;
    for (int32_t c = 0; c < dw; ++c, sx += stepX, q += 3) {
      const uint8_t* p = src + 3 * (sx >> 16);
      q[0] = p[0];
      q[1] = p[1];
      q[2] = p[2];
    }
  }
}

void Bgr24Bitmap::ResizeSmooth(Bgr24Bitmap& dest) const {
  const int32_t w = m_width, h = m_height, dw = dest.m_width, dh = dest.m_height;
  if (dest.IsEmpty() || IsEmpty() || &dest == this) return;
  if (w == 1) {
    ResizeNearest(dest);
    return;
  }
  if (w == dw && h == dh) {
    CopyPixels(*this, dest);
    return;
  }
  // 17.15 fixed point. The last destination column and row map to strictly
  // less than the last source one, so p + 1 and the next row stay inside; a
  // single source row has no next row and is its own neighbour (fy is 0).
  const uint64_t stepX = (uint64_t(w - 1) << 15) / uint64_t(dw);
  const uint64_t stepY = (uint64_t(h - 1) << 15) / uint64_t(dh);
  uint64_t y = 0;
  for (int32_t r = 0; r < dh; ++r, y += stepY) {
    const int32_t pr = static_cast<int32_t>(y >> 15);
    const uint8_t* p = Row(pr);
    const uint8_t* q = Row(pr + 1 < h ? pr + 1 : pr);
    const uint32_t fy = static_cast<uint32_t>(y & 32767);
    uint8_t* out = dest.Row(r);
    uint64_t x = 0;
    for (int32_t c = 0; c < dw; ++c, x += stepX, out += 3) {
      const uint32_t fx = static_cast<uint32_t>(x & 32767);
      const size_t i = 3 * static_cast<size_t>(x >> 15);
      const uint32_t w10 = ((32768 - fy) * fx) >> 15;
      const uint32_t w00 = 32768 - fy - w10;
      const uint32_t w11 = (fy * fx) >> 15;
      const uint32_t w01 = fy - w11;
      for (size_t k = 0; k < 3; ++k) {
        out[k] = static_cast<uint8_t>(
            (w00 * p[i + k] + w10 * p[i + 3 + k] + w01 * q[i + k] + w11 * q[i + 3 + k]) >> 15);
      }
    }
  }
}

void Bgr24Bitmap::RotateInto(const Bgr24Bitmap& source, Bgr24Bitmap& dest, int32_t cx, int32_t cy,
                             double degrees) {
  if (source.IsEmpty() || dest.IsEmpty() || &source == &dest) return;
  const int32_t ex = (dest.m_width - source.m_width) / 2;
  const int32_t ey = (dest.m_height - source.m_height) / 2;
  if (degrees == 0.0) {
    // No turn: the general walk below reduces to row copies at the offset
    // (ex, ey), whatever the centre.
    const int64_t c0 = std::max<int64_t>(0, ex);
    const int64_t c1 = std::min<int64_t>(dest.m_width, int64_t{ex} + source.m_width);
    if (c1 <= c0) return;
    for (int32_t r = 0; r < dest.m_height; ++r) {
      const int64_t row = int64_t{r} - ey;
      if (row < 0 || row >= source.m_height) continue;
      std::memcpy(dest.Row(r) + 3 * c0, source.Row(static_cast<int32_t>(row)) + 3 * (c0 - ex),
                  static_cast<size_t>(3 * (c1 - c0)));
    }
    return;
  }
  const double theta = -degrees * std::numbers::pi / 180.0;
  const double cosT = std::cos(theta), sinT = std::sin(theta);
  // 16.16 positions in 64 bits: sides up to 65535 and centres anywhere in
  // 32 bits would overflow 32-bit fixed point.
  const int64_t stepCol = RoundEven(cosT * 65536.0);
  const int64_t stepRow = RoundEven(sinT * 65536.0);
  const uint64_t sw = static_cast<uint64_t>(source.m_width);
  const uint64_t sh = static_cast<uint64_t>(source.m_height);
  for (int32_t r = 0; r < dest.m_height; ++r) {
    const double dy = static_cast<double>(r) - cy;
    int64_t sx = RoundEven((cx - cosT * cx - sinT * dy - ex) * 65536.0);
    int64_t sy = RoundEven((cy - sinT * cx + cosT * dy - ey) * 65536.0);
    uint8_t* q = dest.Row(r);
    for (int32_t c = 0; c < dest.m_width; ++c, sx += stepCol, sy += stepRow, q += 3) {
      const uint64_t col = static_cast<uint64_t>(sx >> 16);
      const uint64_t row = static_cast<uint64_t>(sy >> 16);
      if (col < sw && row < sh) {
        const uint8_t* p = source.Row(static_cast<int32_t>(row)) + 3 * col;
        q[0] = p[0];
        q[1] = p[1];
        q[2] = p[2];
      }
    }
  }
}

}  // namespace labelplu
