// Decodes the ZPL that CUPS's label driver writes for a "ZPL Label Printer"
// queue back into pages.
//
// The driver downloads each page as a graphic ("~DG<name>,<total bytes>,
// <bytes per row>,<data>") and prints it in a format "^XA … ^FO<x>,<y>
// ^XG<name>,1,1^FS … ^XZ"; "^PW" gives the label width, "^PQ" the copies,
// "^POI" turns the label half a turn. The graphic's data is ZPL's ASCII hex
// (a set bit a black dot) with ZPL's compression: G–Y repeat the following
// hex digit 1–19 times, g–z 20–400 times (in steps of 20; they add up, "hP"
// is 49), ',' fills the rest of the row with 0, '!' the rest with 1 bits,
// ':' repeats the previous row.
#ifndef LABELPLU_TESTS_LABELDRIVERS_ZPLDECODER_H
#define LABELPLU_TESTS_LABELDRIVERS_ZPLDECODER_H

#include <cstdint>
#include <string_view>
#include <vector>

#include "tests/labeldrivers/DriverPage.h"

namespace labelplu::test {

// The bytes of a compressed ~DG graphic: totalBytes bytes, rows of
// bytesPerRow. Blanks and line ends in data are skipped. Throws
// std::runtime_error for a character outside the scheme, a repeat with no
// digit to repeat, ':' with no previous row or in the middle of a row, a
// row that overflows, or data that ends before totalBytes.
std::vector<uint8_t> ExpandZplGraphic(std::string_view data, int totalBytes, int bytesPerRow);

// The pages of stream, one per format ("^XA … ^XZ") that recalls a graphic;
// a page is ^PW wide (else as wide as its graphics) and ^LL high (else as
// high as its graphics). Throws std::runtime_error for a graphic recalled
// but never downloaded, a magnification other than 1, or a malformed ~DG.
std::vector<DriverPage> DecodeZpl(std::string_view stream);

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_LABELDRIVERS_ZPLDECODER_H
