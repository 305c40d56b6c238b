// The decoders of the label drivers' printer languages, on streams made by
// hand: every rule of the EPL2 graphic command and of ZPL's compressed hex.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/labeldrivers/Epl2Decoder.h"
#include "tests/labeldrivers/ZplDecoder.h"

using namespace labelplu::test;

namespace {

// The page as rows of '#' (a dot) and '.' (none).
std::vector<std::string> Dots(const QImage& image) {
  std::vector<std::string> rows;
  for (int y = 0; y < image.height(); ++y) {
    std::string row;
    for (int x = 0; x < image.width(); ++x) row += image.pixelColor(x, y).value() < 128 ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

TEST(Epl2Decoder, GraphicRowsBecomeDotsWhereTheirBitsAreZero) {
  // The first byte is '\n' (0x0A): the data is read by its length, not by lines.
  const std::string stream = std::string("\nN\nq16\nGW0,1,2,1\n") + "\x0A\xFE" +
                             "\nGW8,2,1,1\n\x7F\nP2\nN\nq16\nGW0,0,2,1\n" +
                             std::string("\xFF\0", 2) + "\nP1\n";
  const std::vector<DriverPage> pages = DecodeEpl2(stream, 3);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].Copies, 2);
  EXPECT_FALSE(pages[0].Turned);
  EXPECT_EQ(Dots(pages[0].Image), (std::vector<std::string>{
                                      "................",
                                      "####.#.#.......#",
                                      "........#.......",
                                  }));
  // "N" cleared the buffer; the second page has only its own row.
  EXPECT_EQ(Dots(pages[1].Image), (std::vector<std::string>{
                                      "........########",
                                      "................",
                                      "................",
                                  }));
  // Without a height the page ends at its lowest graphic row.
  EXPECT_EQ(DecodeEpl2(stream).at(0).Image.height(), 3);
  EXPECT_EQ(DecodeEpl2(stream).at(1).Image.height(), 1);
}

TEST(Epl2Decoder, MalformedGraphicsAreErrors) {
  const std::vector<std::string> bad = {
      "N\nq16\nGW0,0,2,1\n\xFF",            // data cut short
      "N\nGW0,0,2,1\n\xFF\xFF\nP1\n",       // no width
      "N\nq8\nGW0,0,2,1\n\xFF\xFF\nP1\n",   // wider than the label
      "N\nq16\nGW0,0,2\n\xFF\xFF\nP1\n",    // three numbers
      "N\nq16\nGW0,x,2,1\n\xFF\xFF\nP1\n",  // not a number
  };
  for (const std::string& stream : bad) {
    EXPECT_THROW(DecodeEpl2(stream), std::runtime_error) << stream;
  }
}

struct ZplCase {
  const char* data;
  int total;
  int bytesPerRow;
  std::vector<uint8_t> bytes;
};

// How ctest names a case: its data, line ends shown as \n.
void PrintTo(const ZplCase& c, std::ostream* out) {
  *out << '"';
  for (const char* p = c.data; *p != 0; ++p)
    *out << (*p == '\n' ? std::string("\\n") : std::string(1, *p));
  *out << '"';
}

class ZplExpand : public ::testing::TestWithParam<ZplCase> {};

TEST_P(ZplExpand, CompressedHexExpandsToTheBytes) {
  const ZplCase& c = GetParam();
  EXPECT_EQ(ExpandZplGraphic(c.data, c.total, c.bytesPerRow), c.bytes) << c.data;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> list) {
  std::vector<uint8_t> out;
  for (const int b : list) out.push_back(static_cast<uint8_t>(b));
  return out;
}

std::vector<uint8_t> Repeat(size_t n, uint8_t b, std::vector<uint8_t> tail = {}) {
  std::vector<uint8_t> out(n, b);
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ZplExpand,
    ::testing::Values(ZplCase{"F0a5", 2, 2, Bytes({0xF0, 0xA5})},
                      ZplCase{"IF0", 2, 2, Bytes({0xFF, 0xF0})},          // I: three times
                      ZplCase{"hO01", 25, 25, Repeat(24, 0x00, {0x01})},  // h+O: 40+9
                      ZplCase{"gF", 10, 10, Repeat(10, 0xFF)},            // g: 20
                      ZplCase{"z1", 200, 200, Repeat(200, 0x11)},         // z: 400
                      ZplCase{"A,", 3, 3, Bytes({0xA0, 0x00, 0x00})},     // ',' zeros
                      ZplCase{"3!", 3, 3, Bytes({0x3F, 0xFF, 0xFF})},     // '!' ones
                      ZplCase{"1F,\n:!", 6, 2, Bytes({0x1F, 0x00, 0x1F, 0x00, 0xFF, 0xFF})},
                      ZplCase{",::", 3, 1, Bytes({0x00, 0x00, 0x00})}));

TEST(ZplExpand, DataOutsideTheSchemeIsAnError) {
  const std::vector<std::string> bad = {
      "G",    // a repeat with no digit
      ":",    // no previous row
      "0:",   // ':' inside a row
      "IFF",  // three digits in a row of two
      "F",    // ends early
      "F#",   // not a digit
      "G,",   // a count before ','
  };
  for (const std::string& data : bad) {
    EXPECT_THROW(ExpandZplGraphic(data, 1, 1), std::runtime_error) << data;
  }
}

TEST(ZplDecoder, FormatsPlaceTheirGraphicAndCarryCopiesAndTurn) {
  const std::string stream =
      "~DGR:T.GRF,4,2,\nF0,:\n"
      "^XA\n^POI\n^PW24\n^LH1,0\n^FO7,1^XGR:T.GRF,1,1^FS\n^PQ3\n^XZ\n"
      "^XA\n^IDR:T.GRF^FS\n^XZ\n";
  const std::vector<DriverPage> pages = DecodeZpl(stream);
  ASSERT_EQ(pages.size(), 1u);  // the second format prints nothing
  EXPECT_EQ(pages[0].Copies, 3);
  EXPECT_TRUE(pages[0].Turned);
  EXPECT_EQ(Dots(pages[0].Image), (std::vector<std::string>{
                                      "........................",
                                      "........####............",
                                      "........####............",
                                  }));
  EXPECT_THROW(DecodeZpl("^XA^FO0,0^XGR:NONE.GRF,1,1^FS^XZ"), std::runtime_error);
  EXPECT_THROW(DecodeZpl("~DGR:T.GRF,1,1,F0\n^XA^XGR:T.GRF,2,2^FS^XZ"), std::runtime_error);
}

}  // namespace
