#include "base/TextUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace labelplu {
namespace {

TEST(CompareLocale, IgnoresCaseAcrossScripts) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"Ёлка", "ёЛКА", 0},
      {"ЁЛКА", "ЕЛКА", 1},  // Ё is not Е
      {"Äpfel ÿ", "äPFEL Ÿ", 0},
      {"ΣΟΦΙΑ", "σοφια", 0},
      {"ς", "Σ", 0},  // final sigma folds to σ
      {"Ґанок Ўсход Їжак", "ґАНОК ўСХОД їЖАК", 0},
      {"ＡＢＣ", "ａｂｃ", 0},
      {"Straße", "STRASSE", 1},  // simple folding keeps ß
      {"abc", "abd", -1},
      {"ab", "abc", -1},
      {"", "", 0},
      {"a\xff", "A\xff", 0},
      {"a\xfe", "a\xff", -1},
      {"\xd0", "Ж", 1},  // a broken sequence is not a letter
  };
  for (const Case& c : cases) {
    const int result = CompareLocale(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " / " << c.b;
    EXPECT_EQ(SameText(c.a, c.b), c.sign == 0) << c.a << " / " << c.b;
  }
}

TEST(FoldCase, SimpleFoldingTableSpotChecks) {
  struct Case {
    char32_t from;
    char32_t to;
  } cases[] = {
      {U'Z', U'z'},     {U'Ё', U'ё'},       {U'Я', U'я'},     {U'ё', U'ё'},
      {0x1E9E, 0x00DF},  // capital sharp s (an S entry)
      {0x0130, 0x0130},  // dotted I has only a full folding
      {0x1F88, 0x1F80}, {0x0100, 0x0101},   {0x0101, 0x0101}, {0x13F8, 0x13F0},
      {0xAB70, 0x13A0}, {0x10400, 0x10428}, {0x00B5, 0x03BC}, {0x212A, U'k'},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<uint32_t>(FoldCase(c.from)), static_cast<uint32_t>(c.to))
        << std::hex << static_cast<uint32_t>(c.from);
  }
}

TEST(SameTextAscii, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(SameTextAscii("Beep", "bEEP"));
  EXPECT_FALSE(SameTextAscii("Гудок", "ГУДОК"));
  EXPECT_TRUE(SameTextAscii("Гудок", "Гудок"));
  EXPECT_FALSE(SameTextAscii("ab", "abc"));
  EXPECT_FALSE(SameTextAscii("@", "`"));
}

TEST(NamePart, SplitsAtTheFirstComma) {
  EXPECT_EQ(NamePart("Гудок,Beep", 0), "Гудок");
  EXPECT_EQ(NamePart("Гудок,Beep", 1), "Beep");
  EXPECT_EQ(NamePart("Гудок", 0), "Гудок");
  EXPECT_EQ(NamePart("Гудок", 1), "");
  EXPECT_EQ(NamePart("a,b,c", 1), "b,c");
  EXPECT_EQ(NamePart(",x", 0), "");
  EXPECT_EQ(NamePart("a,b", 2), "");
}

TEST(HexToInt, ReadsDollarHexOrGivesZero) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {
      {"1F", 31},       {"$1f", 31},      {"7FFFFFFF", 0x7FFFFFFF},
      {"FFFFFFFF", -1}, {"000000001", 1}, {"100000000", 0},
      {"", 0},          {"$", 0},         {"G", 0},
      {" 1", 0},        {"1 ", 0},        {"$$1", 0},
      {"-1", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(HexToInt(c.text), c.value) << c.text;
}

TEST(HexToBytes, PairsOfDigits) {
  EXPECT_EQ(HexToBytes("4142"), "AB");
  EXPECT_EQ(HexToBytes("4G"), "");
  EXPECT_EQ(HexToBytes("41G2"), "");
  EXPECT_EQ(HexToBytes("414"), "");
  EXPECT_EQ(HexToBytes(""), "");
  EXPECT_EQ(HexToBytes("ff00"), std::string("\xff\0", 2));
}

TEST(Numbers, IfThenAndArcFunctions) {
  EXPECT_EQ(IfThen(true, 1, 2), 1);
  EXPECT_EQ(IfThen(false, std::string("a"), std::string("b")), "b");
  EXPECT_DOUBLE_EQ(ArcCos(1), 0);
  EXPECT_DOUBLE_EQ(ArcCos(0), std::numbers::pi / 2);
  EXPECT_DOUBLE_EQ(ArcCos(-1), std::numbers::pi);
  EXPECT_DOUBLE_EQ(ArcCos(0.5), std::acos(0.5));
  EXPECT_DOUBLE_EQ(Atan2(1, -1), 3 * std::numbers::pi / 4);
  EXPECT_DOUBLE_EQ(Atan2(-1, -1), -3 * std::numbers::pi / 4);
}

TEST(Cp1251, HighHalfTable) {
  EXPECT_EQ(Cp1251ToUtf16("A\xC0\xE0\xDF\xFF\xA8\xB8\x88\xB9\x98"), u"AАаЯяЁё€№\u0098");
}

}  // namespace
}  // namespace labelplu
