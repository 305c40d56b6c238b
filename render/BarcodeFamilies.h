// labelplu: the per-family element builders behind EncodeBarCode, and the
// small helpers they share. Internal to the render library.
#ifndef LABELPLU_RENDER_BARCODEFAMILIES_H
#define LABELPLU_RENDER_BARCODEFAMILIES_H

#include <string>
#include <string_view>

#include "render/BarcodeEncoder.h"

namespace labelplu::barcode {

// Appends an element, merging nothing: every pattern element stays one entry.
inline void Add(BarElements& info, int32_t modules, uint8_t kind) {
  info.push_back(BarElement{modules, kind});
}

// Delphi-style trim: characters up to the blank go at both ends.
std::string_view Trim(std::string_view text);
// Throws the empty / bad-character errors unless `text` is non-empty digits.
void RequireDigits(std::string_view text);

// `digits` as UpcEanDigits gives them: the full number, check digit last.
BarElements EncodeUpcA(std::string_view digits);
BarElements EncodeUpcE(std::string_view digits);
BarElements EncodeEan8(std::string_view digits);
BarElements EncodeEan13(std::string_view digits);

// `digits` already padded to an even count with the check digit if any.
BarElements EncodeInterleaved2of5(std::string_view digits, int32_t wide);
BarElements EncodeCodabar(std::string_view code, int32_t wide);
BarElements EncodeCode11(std::string_view code, bool addCheckChar, int32_t wide);
// `code` already enclosed in '*'.
BarElements EncodeCode39(std::string_view code);
BarElements EncodeCode93(std::string_view code);
BarElements EncodeCode128(std::string_view code, Code128CodeSet subset);

}  // namespace labelplu::barcode

#endif  // LABELPLU_RENDER_BARCODEFAMILIES_H
