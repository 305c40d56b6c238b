// labelplu: the canvas's plain types and constants, shaped like the
// platform's GDI ones so that drawing code reads like the platform's.
#ifndef LABELPLU_PLATFORM_GDI_GDITYPES_H
#define LABELPLU_PLATFORM_GDI_GDITYPES_H

#include <cstdint>
#include <stdexcept>
#include <string>

namespace labelplu::gdi {

// Every failure of the canvas (no painter, an invalid bitmap, no GUI
// application for fonts, an absurd size) is reported with this exception;
// what() says what was wrong and with which value.
class GdiError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A colour as 0x00BBGGRR, as the platform keeps it.
using COLORREF = uint32_t;

constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
         (static_cast<COLORREF>(b) << 16);
}
constexpr uint8_t GetRValue(COLORREF c) {
  return static_cast<uint8_t>(c & 0xFF);
}
constexpr uint8_t GetGValue(COLORREF c) {
  return static_cast<uint8_t>((c >> 8) & 0xFF);
}
constexpr uint8_t GetBValue(COLORREF c) {
  return static_cast<uint8_t>((c >> 16) & 0xFF);
}

// GetPixel's answer outside the device or on a device without pixels.
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// a × b / c in 64-bit arithmetic, rounded to nearest with halves away from
// zero, as the platform's MulDiv; -1 when c is 0 or the result does not fit
// in 32 bits.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// Integer device coordinates (pixels). A RECT's right and bottom are
// exclusive.
struct POINT {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const POINT&, const POINT&) = default;
};
struct SIZE {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const SIZE&, const SIZE&) = default;
};
struct RECT {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  friend bool operator==(const RECT&, const RECT&) = default;
};

// ---- pens -------------------------------------------------------------------
inline constexpr int32_t PS_SOLID = 0;
inline constexpr int32_t PS_DASH = 1;         // 18 on, 6 off (one-pixel pens only)
inline constexpr int32_t PS_DOT = 2;          // 3 on, 3 off
inline constexpr int32_t PS_DASHDOT = 3;      // 9, 6, 3, 6
inline constexpr int32_t PS_DASHDOTDOT = 4;   // 9, 3, 3, 3, 3, 3
inline constexpr int32_t PS_NULL = 5;         // no outline ("clear")
inline constexpr int32_t PS_INSIDEFRAME = 6;  // solid; Rectangle keeps it inside its bounds

// A pen as the canvas draws with it. Width in device pixels; 0 counts as 1.
// A pen of width 1 is a one-pixel ("cosmetic") pen: lines exclude their last
// pixel, and the dash styles apply. A wider pen is solid whatever its dash
// style, with round ends and joins, centred on the path, as the platform's.
struct Pen {
  int32_t style = PS_SOLID;
  int32_t width = 1;
  COLORREF color = RGB(0, 0, 0);
  friend bool operator==(const Pen&, const Pen&) = default;
};

// ---- brushes ----------------------------------------------------------------
inline constexpr int32_t BS_SOLID = 0;
inline constexpr int32_t BS_NULL = 1;  // no fill ("clear")

struct Brush {
  int32_t style = BS_SOLID;
  COLORREF color = RGB(255, 255, 255);
  friend bool operator==(const Brush&, const Brush&) = default;
};

// ---- fonts ------------------------------------------------------------------
inline constexpr int32_t FW_DONTCARE = 0;  // taken as FW_NORMAL
inline constexpr int32_t FW_NORMAL = 400;
inline constexpr int32_t FW_BOLD = 700;

inline constexpr uint8_t ANSI_CHARSET = 0;
inline constexpr uint8_t DEFAULT_CHARSET = 1;
inline constexpr uint8_t RUSSIAN_CHARSET = 204;

inline constexpr uint8_t DEFAULT_QUALITY = 0;
inline constexpr uint8_t DRAFT_QUALITY = 1;
inline constexpr uint8_t PROOF_QUALITY = 2;
inline constexpr uint8_t NONANTIALIASED_QUALITY = 3;
inline constexpr uint8_t ANTIALIASED_QUALITY = 4;
inline constexpr uint8_t CLEARTYPE_QUALITY = 5;

inline constexpr uint8_t DEFAULT_PITCH = 0;
inline constexpr uint8_t FIXED_PITCH = 1;
inline constexpr uint8_t VARIABLE_PITCH = 2;

// A font description, built like the platform's CreateFont arguments.
//  - lfHeight, device pixels: negative = the character (em) height |lfHeight|;
//    positive = the cell height (ascent + descent) lfHeight; 0 = an 8-point
//    character height at the device's LOGPIXELSY.
//  - lfEscapement: the direction of writing, tenths of a degree
//    counter-clockwise from the x axis (900 reads bottom-to-top). Text turns
//    about its reference point (Canvas::TextOut).
//  - lfWeight: 1..1000, FW_NORMAL 400, FW_BOLD 700; 0 counts as 400.
//  - lfCharSet: kept for the template's sake; text is Unicode (UTF-8), so any
//    character the face holds is drawn whatever the charset.
//  - lfQuality: NONANTIALIASED_QUALITY paints glyphs without antialiasing;
//    every other value paints them antialiased (greyscale, never subpixel).
//  - lfPitchAndFamily: FIXED_PITCH asks for a fixed-pitch face when the
//    named one is missing.
//  - lfFaceName: UTF-8; resolved through fontconfig ("Arial" becomes
//    Liberation Sans, a face with the same metrics).
struct LOGFONT {
  int32_t lfHeight = 0;
  int32_t lfEscapement = 0;
  int32_t lfWeight = FW_NORMAL;
  bool lfItalic = false;
  bool lfUnderline = false;
  bool lfStrikeOut = false;
  uint8_t lfCharSet = DEFAULT_CHARSET;
  uint8_t lfQuality = DEFAULT_QUALITY;
  uint8_t lfPitchAndFamily = DEFAULT_PITCH;
  std::string lfFaceName = "Arial";
  friend bool operator==(const LOGFONT&, const LOGFONT&) = default;
};

// Metrics of the selected font, device pixels. tmHeight = tmAscent +
// tmDescent is the cell height that TextOut fills; tmInternalLeading =
// tmHeight - the character (em) height.
struct TEXTMETRIC {
  int32_t tmHeight = 0;
  int32_t tmAscent = 0;
  int32_t tmDescent = 0;
  int32_t tmInternalLeading = 0;
  int32_t tmExternalLeading = 0;
  int32_t tmAveCharWidth = 0;  // advance of "x"
  int32_t tmMaxCharWidth = 0;
  int32_t tmWeight = FW_NORMAL;
};

// ---- canvas modes -----------------------------------------------------------
// Background of TextOut.
inline constexpr int32_t TRANSPARENT = 1;
inline constexpr int32_t OPAQUE = 2;

// Mix of the pen and brush with the device (SetROP2). XOR works on raster
// devices only; on other devices it paints as R2_COPYPEN.
inline constexpr int32_t R2_NOT = 6;
inline constexpr int32_t R2_XORPEN = 7;
inline constexpr int32_t R2_NOTXORPEN = 10;
inline constexpr int32_t R2_COPYPEN = 13;

// Polygon fill rule (SetPolyFillMode and CreatePolygonRgn).
inline constexpr int32_t ALTERNATE = 1;  // even-odd
inline constexpr int32_t WINDING = 2;    // non-zero

// Stretch mode of StretchDIBits. Every mode picks the nearest source pixel
// (COLORONCOLOR); HALFTONE resamples smoothly.
inline constexpr int32_t BLACKONWHITE = 1;
inline constexpr int32_t WHITEONBLACK = 2;
inline constexpr int32_t COLORONCOLOR = 3;
inline constexpr int32_t HALFTONE = 4;

// Region combination (Region::CombineRgn, Canvas::ExtSelectClipRgn).
inline constexpr int32_t RGN_AND = 1;
inline constexpr int32_t RGN_OR = 2;
inline constexpr int32_t RGN_XOR = 3;
inline constexpr int32_t RGN_DIFF = 4;
inline constexpr int32_t RGN_COPY = 5;

// Region kinds returned by region and clip operations.
inline constexpr int32_t RGN_ERROR = 0;
inline constexpr int32_t NULLREGION = 1;
inline constexpr int32_t SIMPLEREGION = 2;
inline constexpr int32_t COMPLEXREGION = 3;

// ---- device capabilities (Canvas::GetDeviceCaps) ---------------------------
inline constexpr int32_t HORZSIZE = 4;           // printable width, mm
inline constexpr int32_t VERTSIZE = 6;           // printable height, mm
inline constexpr int32_t HORZRES = 8;            // printable width, pixels
inline constexpr int32_t VERTRES = 10;           // printable height, pixels
inline constexpr int32_t BITSPIXEL = 12;         // bits per pixel of the device
inline constexpr int32_t LOGPIXELSX = 88;        // dots per inch, horizontally
inline constexpr int32_t LOGPIXELSY = 90;        // dots per inch, vertically
inline constexpr int32_t PHYSICALWIDTH = 110;    // paper width, pixels
inline constexpr int32_t PHYSICALHEIGHT = 111;   // paper height, pixels
inline constexpr int32_t PHYSICALOFFSETX = 112;  // printable area's left edge on the paper, pixels
inline constexpr int32_t PHYSICALOFFSETY = 113;  // printable area's top edge on the paper, pixels

}  // namespace labelplu::gdi

#endif  // LABELPLU_PLATFORM_GDI_GDITYPES_H
