// The encoder's data rules: check characters, working copies, validation,
// display texts and the Code 128 code-set choice.
#include "render/BarcodeEncoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/LinearBarcodeRenderer.h"
#include "tests/render/BarcodeTestSupport.h"

using namespace labelplu;

namespace {

BarcodeOptions Options(bool check, Code128CodeSet subset = csCodeA) {
  BarcodeOptions o;
  o.AddCheckChar = check;
  o.Code128Subset = subset;
  return o;
}

std::string Modules(const std::string& data, BarcodeSymbology type, bool check = false) {
  return test::ModuleString(EncodeBarCode(data, type, Options(check)));
}

TEST(BarcodeEncoder, UpcEanCheckDigitIsComputedForTheDataLengthAndVerifiedForTheFullOne) {
  EXPECT_EQ(UpcEanCheckDigit("123456789012"), 8);
  struct Case {
    std::string code;
    BarcodeSymbology type;
    std::string number;
  };
  const Case cases[] = {
      {"123456789012", bcEAN_13, "1234567890128"},
      {"1234567890128", bcEAN_13, "1234567890128"},
      {" 590123412345 ", bcEAN_13, "5901234123457"},
      {"9638507", bcEAN_8, "96385074"},
      {"96385074", bcEAN_8, "96385074"},
      {"03600029145", bcUPC_A, "036000291452"},
      {"036000291452", bcUPC_A, "036000291452"},
      // UPC-E: the body alone has number system 0; seven digits lead with
      // the number system (0 or 1); eight end with the expanded number's
      // check digit.
      {"123450", bcUPC_E, "01234505"},
      {"0123450", bcUPC_E, "01234505"},
      {"01234505", bcUPC_E, "01234505"},
      {"1234567", bcUPC_E, "12345670"},
      {"16543214", bcUPC_E, "16543214"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UpcEanDigits(c.code, c.type), c.number) << c.code;
    // The data length and the full length make the same symbol.
    EXPECT_EQ(Modules(c.code, c.type), Modules(c.number, c.type)) << c.code;
  }
  EXPECT_EQ(ExpandUpcE("234567", '1'), "12345600007");
}

TEST(BarcodeEncoder, UpcEanOfAWrongLengthOrCheckDigitIsRefusedWithItsReason) {
  struct Case {
    std::string code;
    BarcodeSymbology type;
    std::string error;
  };
  const Case cases[] = {
      // Once padded with zeros or cut to another valid number.
      {"12345", bcEAN_13, "Неверная длина штрихкода EAN-13: 5 цифр, нужно 12 или 13"},
      {"12345678901234567", bcEAN_13, "Неверная длина штрихкода EAN-13: 17 цифр, нужно 12 или 13"},
      {"1", bcEAN_13, "Неверная длина штрихкода EAN-13: 1 цифра, нужно 12 или 13"},
      {"12345678901234", bcEAN_13, "Неверная длина штрихкода EAN-13: 14 цифр, нужно 12 или 13"},
      {"1234567890123", bcEAN_13, "Неверная контрольная цифра штрихкода EAN-13: 3, должна быть 8"},
      {"123456", bcEAN_8, "Неверная длина штрихкода EAN-8: 6 цифр, нужно 7 или 8"},
      {"123456789", bcEAN_8, "Неверная длина штрихкода EAN-8: 9 цифр, нужно 7 или 8"},
      {"96385070", bcEAN_8, "Неверная контрольная цифра штрихкода EAN-8: 0, должна быть 4"},
      {"036", bcUPC_A, "Неверная длина штрихкода UPC-A: 3 цифры, нужно 11 или 12"},
      {"0360002914522", bcUPC_A, "Неверная длина штрихкода UPC-A: 13 цифр, нужно 11 или 12"},
      {"036000291451", bcUPC_A, "Неверная контрольная цифра штрихкода UPC-A: 1, должна быть 2"},
      {"12345", bcUPC_E, "Неверная длина штрихкода UPC-E: 5 цифр, нужно 6, 7 или 8"},
      {"123456789", bcUPC_E, "Неверная длина штрихкода UPC-E: 9 цифр, нужно 6, 7 или 8"},
      {"2123456", bcUPC_E, "Неверная система нумерации штрихкода UPC-E: 2, должна быть 0 или 1"},
      {"91234565", bcUPC_E, "Неверная система нумерации штрихкода UPC-E: 9, должна быть 0 или 1"},
      {"01234500", bcUPC_E, "Неверная контрольная цифра штрихкода UPC-E: 0, должна быть 5"},
      // The digit rule comes first, the length next.
      {"12A", bcEAN_13, kBarCodeBadCharText},
      {" ", bcEAN_8, kBarCodeEmptyText},
  };
  for (const Case& c : cases) {
    try {
      EncodeBarCode(c.code, c.type, Options(false));
      ADD_FAILURE() << c.code << " encoded";
    } catch (const BarcodeError& e) {
      EXPECT_EQ(e.what(), c.error) << c.code;
    }
    LinearBarcodeRenderer bc;
    bc.SetBarCodeType(c.type);
    bc.SetCode(c.code);
    EXPECT_TRUE(bc.ErrorFlag()) << c.code;
    EXPECT_EQ(bc.ErrorMessage(), c.error) << c.code;
    EXPECT_TRUE(bc.Elements().empty()) << c.code;
  }
}

TEST(BarcodeEncoder, DisplayTexts) {
  struct Case {
    std::string code;
    BarcodeSymbology type;
    bool check;
    std::string shown;
  };
  const Case cases[] = {
      {"03600029145", bcUPC_A, false, "036000291452"},
      {"036", bcUPC_A, false, "036"},  // refused: shown as given
      {"123456", bcUPC_E, false, "123456"},
      {"0123450", bcUPC_E, false, "01234505"},
      {"1234567", bcUPC_E, false, "12345670"},
      {"123", bcUPC_E, false, "123"},
      {"9638507", bcEAN_8, false, "96385074"},
      {"590123412345", bcEAN_13, false, "5901234123457"},
      {"123", bcInterleaved2of5, false, "0123"},
      {"1234", bcInterleaved2of5, true, "012348"},
      {"a1234b", bcCodabar, false, "1234"},
      {"CODE39", bcCode39, true, "CODE39"},
      {"*CODE39*", bcCode39, false, "CODE39"},
      {"A\tB", bcCode128, false, "A B"},
      {"A\nB", bcCode93, false, "A B"},
      {"", bcEAN_13, false, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BarCodeDisplayText(c.code, c.type, c.check), c.shown) << c.code;
  }
}

TEST(BarcodeEncoder, Interleaved2of5PadsToAnEvenCountWithTheCheckDigit) {
  EXPECT_EQ(Modules("123", bcInterleaved2of5), Modules("0123", bcInterleaved2of5));
  EXPECT_EQ(Modules("1234", bcInterleaved2of5, true), Modules("012348", bcInterleaved2of5));
}

TEST(BarcodeEncoder, BadDataRaisesTheTwoErrors) {
  struct Case {
    std::string code;
    BarcodeSymbology type;
    const char* error;
  };
  const Case cases[] = {
      {"12345678901A", bcEAN_13, kBarCodeBadCharText},
      {"   ", bcUPC_A, kBarCodeEmptyText},
      {"12 34", bcInterleaved2of5, kBarCodeBadCharText},
      {"a12e4b", bcCodabar, kBarCodeBadCharText},
      {"12/3", bcCode11, kBarCodeBadCharText},
      {"code", bcCode39, kBarCodeBadCharText},
      {"Ш", bcCode93, kBarCodeBadCharText},
      {"Ш", bcCode128, kBarCodeBadCharText},
      {"\x7f", bcCode128, kBarCodeBadCharText},
  };
  for (const Case& c : cases) {
    try {
      EncodeBarCode(c.code, c.type, Options(false));
      ADD_FAILURE() << c.code << " encoded";
    } catch (const BarcodeError& e) {
      EXPECT_STREQ(e.what(), c.error) << c.code;
    }
  }
  EXPECT_TRUE(EncodeBarCode("", bcEAN_13, Options(false)).empty());
}

// The symbol check value of Code 128: the start value plus each value
// weighted by its position, modulo 103.
int32_t Code128Check(const std::vector<int32_t>& values) {
  int64_t sum = values[0];
  for (size_t i = 1; i < values.size(); ++i) sum += static_cast<int64_t>(i) * values[i];
  return static_cast<int32_t>(sum % 103);
}

TEST(BarcodeEncoder, Code128ValuesEndWithTheCheckValueOnceAndTheStop) {
  const std::string startA = "\xC2\x88";  // #136
  struct Case {
    std::string code;
    Code128CodeSet subset;
    std::vector<int32_t> values;  // without check value and stop
  };
  const Case cases[] = {
      // Upper case, digits and control characters in code set A, and
      // anything in B without controls.
      {"ABC123", csCodeA, {103, 33, 34, 35, 17, 18, 19}},
      {"A\tB", csCodeA, {103, 33, 73, 34}},
      {"Ab1", csCodeB, {104, 33, 66, 17}},
      // Lower case starts in code set B and scans as itself.
      {"abc", csCodeA, {104, 65, 66, 67}},
      // Data naming its start code is taken as written, lower case included.
      {startA + "abc", csCodeA, {103, 65, 66, 67}},
      // Mixed: one control among lower case is shifted, a run switches sets.
      {"a\tb", csCodeA, {104, 65, 98, 73, 66}},
      {"ab\r\ncd", csCodeA, {104, 65, 66, 101, 77, 74, 100, 67, 68}},
      {"\tx", csCodeB, {103, 73, 98, 88}},
      {"AB  ", csCodeA, {103, 33, 34}},
  };
  for (const Case& c : cases) {
    std::vector<int32_t> expected = c.values;
    expected.push_back(Code128Check(c.values));
    expected.push_back(106);
    EXPECT_EQ(Code128Values(c.code, c.subset), expected) << c.code;
  }
  EXPECT_EQ(Code128Check({103, 33, 73, 34}), (103 + 33 + 2 * 73 + 3 * 34) % 103);
}

TEST(BarcodeEncoder, MandatoryCheckCharactersDoNotFollowTheFlag) {
  // Code 93 and Code 128 carry their check characters whatever the flag
  // says, and once: the flag on adds nothing more.
  for (const std::string code : {"CODE 93", "abc", "Shelf-42"}) {
    for (const BarcodeSymbology type : {bcCode93, bcCode128}) {
      EXPECT_EQ(Modules(code, type, false), Modules(code, type, true)) << code;
    }
  }
  // Code 11 and Interleaved 2 of 5 keep the flag's meaning.
  EXPECT_NE(Modules("123-45", bcCode11, false), Modules("123-45", bcCode11, true));
  EXPECT_NE(Modules("1234", bcInterleaved2of5, false), Modules("1234", bcInterleaved2of5, true));
}

TEST(BarcodeEncoder, Code93FullAsciiAndCheckCharacters) {
  const std::vector<int32_t> plus = Code93Values("A+B");
  EXPECT_EQ(std::vector<int32_t>(plus.begin(), plus.end() - 2), (std::vector<int32_t>{10, 41, 11}));
  const std::vector<int32_t> lower = Code93Values("a!");
  EXPECT_EQ(std::vector<int32_t>(lower.begin(), lower.end() - 2),
            (std::vector<int32_t>{46, 10, 45, 10}));
  // C over weights 1..20 from the right, K over data and C with 1..15.
  const std::vector<int32_t> v = Code93Values("TEST93");
  ASSERT_EQ(v.size(), 8u);
  EXPECT_EQ(v[6], (29 * 6 + 14 * 5 + 28 * 4 + 29 * 3 + 9 * 2 + 3 * 1) % 47);
  EXPECT_EQ(v[7], (29 * 7 + 14 * 6 + 28 * 5 + 29 * 4 + 9 * 3 + 3 * 2 + v[6]) % 47);
}

TEST(BarcodeEncoder, UpcEExpansionFollowsTheLastDigit) {
  EXPECT_EQ(ExpandUpcE("123450"), "01200000345");
  EXPECT_EQ(ExpandUpcE("123453"), "01230000045");
  EXPECT_EQ(ExpandUpcE("123454"), "01234000005");
  EXPECT_EQ(ExpandUpcE("123457"), "01234500007");
  EXPECT_THROW(ExpandUpcE("12345"), BarcodeError);
}

TEST(BarcodeEncoder, SettingTheCodeFollowsTheCurrentType) {
  LinearBarcodeRenderer bc;
  bc.SetBarCodeType(bcCode39);
  bc.SetAddCheckChar(true);
  bc.SetCode("abc-1");
  EXPECT_EQ(bc.Code(), "ABC-1");
  EXPECT_FALSE(bc.ErrorFlag());
  EXPECT_EQ(test::ModuleString(bc.Elements()), Modules("*ABC-1*", bcCode39));
  EXPECT_EQ(bc.DisplayText(), "ABC-1");

  bc.SetBarCodeType(bcCodabar);
  bc.SetCode("A123B");
  EXPECT_EQ(bc.Code(), "a123b");
  bc.SetBarCodeType(bcEAN_13);
  EXPECT_TRUE(bc.ErrorFlag());
  EXPECT_STREQ(bc.ErrorMessage().c_str(), kBarCodeBadCharText);
  bc.SetCode("");
  EXPECT_FALSE(bc.ErrorFlag());
  EXPECT_TRUE(bc.Elements().empty());
}

}  // namespace
