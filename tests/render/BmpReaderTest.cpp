// Bitmap files of every bit depth read into the fast bitmap, and files that
// must be refused before anything is allocated.
#include "render/BmpReader.h"

#include <gtest/gtest.h>

#include <QImage>

#include <fstream>

#include "render/Bgr24Bitmap.h"
#include "tests/support/TempDir.h"

using namespace labelplu;
using gdi::COLORREF;
using gdi::RGB;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

// A 3 × 2 picture (3 wide, so rows carry padding): six raw pixel values,
// top line first, written at the case's depth, and the colours they mean.
struct BmpCase {
  const char* name;
  uint16_t bits;
  uint32_t compression;
  uint32_t infoSize;  // 12, 40 or 124
  bool topDown;
  std::vector<COLORREF> palette;  // written as the colour table
  std::vector<uint32_t> masks;    // R, G, B; after a 40-byte header or inside a larger one
  uint32_t raw[6];
  COLORREF expected[6];
};

void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> MakeBmp(const BmpCase& k) {
  std::vector<uint8_t> info;
  const int32_t height = k.topDown ? -2 : 2;
  if (k.infoSize == 12) {
    Put(info, 12, 4), Put(info, 3, 2), Put(info, 2, 2), Put(info, 1, 2), Put(info, k.bits, 2);
  } else {
    Put(info, k.infoSize, 4), Put(info, 3, 4), Put(info, static_cast<uint32_t>(height), 4);
    Put(info, 1, 2), Put(info, k.bits, 2), Put(info, k.compression, 4);
    Put(info, 0, 4), Put(info, 0, 4), Put(info, 0, 4);
    Put(info, static_cast<uint32_t>(k.palette.size()), 4), Put(info, 0, 4);
    if (k.infoSize == 40) {
      for (uint32_t m : k.masks) Put(info, m, 4);
    } else {
      for (size_t i = 0; i < 3; ++i) Put(info, i < k.masks.size() ? k.masks[i] : 0, 4);
      info.resize(k.infoSize, 0);
    }
  }
  for (COLORREF c : k.palette) {
    Put(info, gdi::GetBValue(c), 1), Put(info, gdi::GetGValue(c), 1),
        Put(info, gdi::GetRValue(c), 1);
    if (k.infoSize != 12) Put(info, 0, 1);
  }
  std::vector<uint8_t> pixels;
  const size_t stride = gdi::DibStride(3, k.bits);
  for (int i = 0; i < 2; ++i) {
    const int line = k.topDown ? i : 1 - i;
    std::vector<uint8_t> row(stride, 0xEE);  // padding garbage must not matter
    for (int x = 0; x < 3; ++x) {
      const uint32_t v = k.raw[3 * line + x];
      if (k.bits < 8) {
        const int per = 8 / k.bits, shift = 8 - k.bits * (x % per + 1);
        uint8_t& b = row[static_cast<size_t>(x / per)];
        if (x % per == 0) b = 0;
        b = static_cast<uint8_t>(b | (v << shift));
      } else {
        for (int j = 0; j < k.bits / 8; ++j) {
          const int at = x * k.bits / 8 + j;
          row[static_cast<size_t>(at)] = static_cast<uint8_t>(v >> (8 * j));
        }
      }
    }
    pixels.insert(pixels.end(), row.begin(), row.end());
  }
  std::vector<uint8_t> file{'B', 'M'};
  const uint32_t off = static_cast<uint32_t>(14 + info.size());
  Put(file, static_cast<uint32_t>(off + pixels.size()), 4), Put(file, 0, 4), Put(file, off, 4);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

void ExpectPicture(const Bgr24Bitmap& bmp, const COLORREF (&expected)[6]) {
  ASSERT_EQ(bmp.Width(), 3);
  ASSERT_EQ(bmp.Height(), 2);
  for (int line = 0; line < 2; ++line)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(bmp.Pixel(x, 1 - line), expected[3 * line + x]) << "x " << x << ", line " << line;
}

const COLORREF kGray4[] = {RGB(10, 20, 30), RGB(200, 150, 100)};

const BmpCase kCases[] = {
    {"1 bit",
     1,
     0,
     40,
     false,
     {kGray4[0], kGray4[1]},
     {},
     {0, 1, 1, 0, 1, 0},
     {kGray4[0], kGray4[1], kGray4[1], kGray4[0], kGray4[1], kGray4[0]}},
    {"4 bits",
     4,
     0,
     40,
     false,
     {kBlack, kRed, kGreen, kBlue, kWhite},
     {},
     {4, 3, 2, 1, 0, 9},
     {kWhite, kBlue, kGreen, kRed, kBlack, kBlack}},  // index 9 is past the table
    {"8 bits top-down",
     8,
     0,
     40,
     true,
     {kRed, kGreen, kBlue},
     {},
     {0, 1, 2, 2, 1, 200},
     {kRed, kGreen, kBlue, kBlue, kGreen, kBlack}},
    {"8 bits OS/2 header",
     8,
     0,
     12,
     false,
     {kRed, kGreen},
     {},
     {1, 0, 1, 0, 1, 0},
     {kGreen, kRed, kGreen, kRed, kGreen, kRed}},
    {"16 bits 5-5-5",
     16,
     0,
     40,
     false,
     {},
     {},
     {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x0000, 0x4210},
     {kRed, kGreen, kBlue, kWhite, kBlack, RGB(132, 132, 132)}},
    {"16 bits 5-6-5",
     16,
     3,
     40,
     false,
     {},
     {0xF800, 0x07E0, 0x001F},
     {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8410},
     {kRed, kGreen, kBlue, kWhite, kBlack, RGB(132, 130, 132)}},
    {"24 bits",
     24,
     0,
     40,
     false,
     {},
     {},
     {0xFF0000, 0x00FF00, 0x0000FF, 0x010203, 0, 0xFFFFFF},
     {kRed, kGreen, kBlue, RGB(1, 2, 3), kBlack, kWhite}},
    {"24 bits top-down",
     24,
     0,
     40,
     true,
     {},
     {},
     {0xFF0000, 0x00FF00, 0x0000FF, 0x010203, 0, 0xFFFFFF},
     {kRed, kGreen, kBlue, RGB(1, 2, 3), kBlack, kWhite}},
    {"32 bits",
     32,
     0,
     40,
     false,
     {},
     {},
     {0xABFF0000, 0xAB00FF00, 0xAB0000FF, 0x00010203, 0, 0xFFFFFFFF},
     {kRed, kGreen, kBlue, RGB(1, 2, 3), kBlack, kWhite}},
    {"32 bits R-G-B-x masks, V5 header",
     32,
     3,
     124,
     false,
     {},
     {0x000000FF, 0x0000FF00, 0x00FF0000},
     {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00030201, 0, 0xFFFFFFFF},
     {kRed, kGreen, kBlue, RGB(1, 2, 3), kBlack, kWhite}},
};

}  // namespace

TEST(BmpReader, ReadsEveryBitDepthAndRowOrder) {
  for (const BmpCase& k : kCases) {
    SCOPED_TRACE(k.name);
    Bgr24Bitmap bmp;
    bmp.LoadFromBmpData(MakeBmp(k));
    ExpectPicture(bmp, k.expected);
  }
}

TEST(BmpReader, ReadsFilesThatQtWrites) {
  const test::TempDir dir;
  QImage picture(5, 3, QImage::Format_RGB32);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) picture.setPixel(x, y, qRgb(40 * x, 80 * y, (x + y) % 2 ? 255 : 0));
  const QImage mono = picture.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
  for (const QImage& image : {picture, mono, picture.convertToFormat(QImage::Format_Indexed8)}) {
    const std::string path = dir.File("picture.bmp");
    ASSERT_TRUE(image.save(QString::fromStdString(path), "BMP"));
    Bgr24Bitmap bmp;
    bmp.LoadFromBmpFile(path);
    ASSERT_EQ(bmp.Width(), 5);
    ASSERT_EQ(bmp.Height(), 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) {
        const QRgb c = image.pixel(x, y);
        EXPECT_EQ(bmp.Pixel(x, 2 - y), RGB(qRed(c), qGreen(c), qBlue(c)))
            << "format " << image.format() << " at " << x << "," << y;
      }
  }
}

TEST(BmpReader, RefusesDamagedAndHostileHeaders) {
  const std::vector<uint8_t> good = MakeBmp(kCases[6]);  // 24 bits, 40-byte header
  auto patch = [&](size_t at, uint32_t v, int bytes) {
    std::vector<uint8_t> f = good;
    for (int i = 0; i < bytes; ++i)
      f[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    return f;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    const char* message;
  };
  const Case cases[] = {
      {"empty", {}, "too short"},
      {"cut in the header", std::vector<uint8_t>(good.begin(), good.begin() + 30), "past the end"},
      {"one pixel byte missing", std::vector<uint8_t>(good.begin(), good.end() - 1), "truncated"},
      {"signature", patch(0, 'X', 1), "signature"},
      {"header size", patch(14, 1000, 4), "header size 1000"},
      {"width 0", patch(18, 0, 4), "outside"},
      {"width 70000", patch(18, 70000, 4), "outside"},
      {"height INT32_MIN", patch(22, 0x80000000u, 4), "outside"},
      {"60000 x 60000 claimed", patch(18, 60000, 4), "truncated"},
      {"planes", patch(26, 2, 2), "plane count"},
      {"bit count 7", patch(28, 7, 2), "bit count 7"},
      {"RLE8", patch(30, 1, 4), "RLE"},
      {"RLE4", patch(30, 2, 4), "RLE"},
      {"JPEG", patch(30, 4, 4), "JPEG"},
      {"bit fields with 24 bits", patch(30, 3, 4), "bit fields"},
      {"pixel offset past the end", patch(10, 1u << 30, 4), "offset"},
      {"pixel offset inside the header", patch(10, 20, 4), "offset"},
  };
  for (const Case& k : cases) {
    Bgr24Bitmap bmp(4, 4);
    try {
      bmp.LoadFromBmpData(k.file);
      ADD_FAILURE() << k.name << ": read without error";
    } catch (const BmpError& e) {
      EXPECT_NE(std::string(e.what()).find(k.message), std::string::npos)
          << k.name << ": " << e.what();
    }
    EXPECT_TRUE(bmp.IsEmpty()) << k.name;
  }

  // Huge dimensions with too few bytes: refused before any allocation.
  std::vector<uint8_t> huge = patch(18, 16384, 4);
  for (int i = 0; i < 4; ++i)
    huge[22 + static_cast<size_t>(i)] = static_cast<uint8_t>(16384u >> (8 * i));
  Bgr24Bitmap bmp;
  EXPECT_THROW(bmp.LoadFromBmpData(huge), BmpError);  // 2^28 pixels: within limits, file too short
  huge[22 + 1] = 0x80;                                // height 32768: above 2^28 pixels
  EXPECT_THROW(bmp.LoadFromBmpData(huge), BmpError);

  // Bit-field and colour-table problems.
  BmpCase split = kCases[5];
  split.masks = {0xF00F, 0x07E0, 0x001F};
  EXPECT_THROW(bmp.LoadFromBmpData(MakeBmp(split)), BmpError);
  std::vector<uint8_t> table = MakeBmp(kCases[2]);
  table[46] = 0;  // clrUsed 0: 256 entries claimed, three present
  table[47] = 1;
  table.resize(14 + 40 + 12);
  EXPECT_THROW(bmp.LoadFromBmpData(table), BmpError);
}

TEST(BmpReader, NamesTheFileThatCannotBeRead) {
  Bgr24Bitmap bmp(2, 2);
  try {
    bmp.LoadFromBmpFile("/nonexistent/picture.bmp");
    FAIL() << "read a missing file";
  } catch (const BmpError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/picture.bmp"), std::string::npos);
  }
  EXPECT_TRUE(bmp.IsEmpty());
}
