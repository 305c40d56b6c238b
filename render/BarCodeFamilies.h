// labelplu: the per-family element builders behind EncodeBarCode, and the
// small helpers they share. Internal to the render library.
#ifndef LABELPLU_RENDER_BARCODEFAMILIES_H
#define LABELPLU_RENDER_BARCODEFAMILIES_H

#include <string>
#include <string_view>

#include "BarCodeEncoder.h"

namespace labelplu::barcode {

// Appends an element, merging nothing: every pattern element stays one entry.
inline void Add(TStBarCodeInfo& info, int32_t modules, uint8_t kind) {
  info.push_back(TStBarData{modules, kind});
}

// Delphi-style trim: characters up to the blank go at both ends.
std::string_view Trim(std::string_view text);
// Throws the empty / bad-character errors unless `text` is non-empty digits.
void RequireDigits(std::string_view text);

TStBarCodeInfo EncodeUpcA(std::string_view digits);
TStBarCodeInfo EncodeUpcE(std::string_view digits);
TStBarCodeInfo EncodeEan8(std::string_view digits);
TStBarCodeInfo EncodeEan13(std::string_view digits);

// `digits` already padded to an even count with the check digit if any.
TStBarCodeInfo EncodeInterleaved2of5(std::string_view digits, int32_t wide);
TStBarCodeInfo EncodeCodabar(std::string_view code, int32_t wide);
TStBarCodeInfo EncodeCode11(std::string_view code, bool addCheckChar, int32_t wide);
// `code` already enclosed in '*'.
TStBarCodeInfo EncodeCode39(std::string_view code);
TStBarCodeInfo EncodeCode93(std::string_view code, bool addCheckChar);
TStBarCodeInfo EncodeCode128(std::string_view code, TStCode128Subset subset, bool addCheckChar);

}  // namespace labelplu::barcode

#endif
