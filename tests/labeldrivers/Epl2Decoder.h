// Decodes the EPL2 that CUPS's label driver writes for an "EPL2 Label
// Printer" queue back into pages.
//
// The stream is a sequence of command lines. "N" clears the image buffer,
// "q<dots>" sets the label width, "GW<x>,<y>,<bytes per row>,<rows>" is
// followed by exactly bytes-per-row × rows bytes of binary graphic data
// (most significant bit leftmost, a 0 bit a black dot) and "P<copies>"
// prints the buffer. Other commands (darkness, speed, options) are skipped:
// they change no dot.
#ifndef LABELPLU_TESTS_LABELDRIVERS_EPL2DECODER_H
#define LABELPLU_TESTS_LABELDRIVERS_EPL2DECODER_H

#include <string_view>
#include <vector>

#include "tests/labeldrivers/DriverPage.h"

namespace labelplu::test {

// The pages of stream, one per "P" command. EPL2 states no label length:
// every page is pageHeightDots high, or as high as its lowest graphic row
// when pageHeightDots is 0. Throws std::runtime_error, naming the byte
// offset, for a malformed or truncated GW command, graphics outside the
// label, or a "P" before any "q".
std::vector<DriverPage> DecodeEpl2(std::string_view stream, int pageHeightDots = 0);

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_LABELDRIVERS_EPL2DECODER_H
