// labelplu: reading bitmap files (the platform's BMP format) into a fast
// bitmap, with every header field checked against the file before anything
// is allocated, so that a damaged or hostile file ends in BmpError.
//
// Read: information headers of 12 (OS/2 core), 40, 52, 56, 108 and 124
// bytes; 1, 4 and 8 bits per pixel with a colour table (indices past the
// table read as black); 16 bits (5-5-5 without bit fields, any masks with
// BI_BITFIELDS / BI_ALPHABITFIELDS); 24 bits; 32 bits (B, G, R, x without bit
// fields, any masks with them); rows bottom-up (positive height) or top-down
// (negative height). Alpha is dropped. Not read, each with its own error:
// RLE4/RLE8 compression, embedded JPEG or PNG, other compressions.
// Sides must be 1..65535 and the area at most 2^28 pixels.
#ifndef LABELPLU_RENDER_BMPREADER_H
#define LABELPLU_RENDER_BMPREADER_H

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include "platform/gdi/Dib.h"

namespace labelplu {

class Bgr24Bitmap;

// A bitmap file that cannot be read: the message says what is wrong.
class BmpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The largest file ReadBmpFile reads (the largest picture at 32 bits plus
// headers).
inline constexpr int64_t kMaxBmpFileBytes = (int64_t{1} << 30) + (int64_t{1} << 20);

// Pixel rows ready for decoding: checked by the caller (bits holds height
// rows of DibStride(width, bitCount) bytes, sides and area within limits).
struct BmpLayout {
  int32_t width = 0;
  int32_t height = 0;  // positive
  bool topDown = false;
  uint16_t bitCount = 24;
  // For 16 and 32 bits: the red, green and blue masks (0 = the defaults,
  // 5-5-5 or 8-8-8).
  uint32_t masks[3] = {0, 0, 0};
  std::span<const gdi::RGBQUAD> palette;
  std::span<const uint8_t> bits;
};

// Sizes `target` to the layout and converts its rows to 24 bits.
void DecodeBmpRows(const BmpLayout& layout, Bgr24Bitmap& target);

// Reads a whole bitmap file held in memory into `target`. Throws BmpError;
// `target` may then hold anything (Bgr24Bitmap's loaders empty it).
void ReadBmp(std::span<const uint8_t> file, Bgr24Bitmap& target);
// Reads the file at `path` (at most kMaxBmpFileBytes); errors name the path.
void ReadBmpFile(const std::string& path, Bgr24Bitmap& target);

}  // namespace labelplu

#endif  // LABELPLU_RENDER_BMPREADER_H
