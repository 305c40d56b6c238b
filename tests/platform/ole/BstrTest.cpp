#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/ole/Bstr.h"
#include "platform/ole/Utf.h"

using namespace labelplu::ole;

namespace {

uint32_t PrefixOf(BSTR s) {
  uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<const char*>(s) - 4, 4);
  return bytes;
}

TEST(Bstr, RoundTripsThroughUtf8WithLengthPrefixAndTerminator) {
  struct Case {
    const char* utf8;
    std::u16string utf16;
  };
  const Case cases[] = {
      {"", u""},
      {"abc", u"abc"},
      {"Очищено Clear", u"Очищено Clear"},
      {"\xF0\x9F\x98\x80 G-clef \xF0\x9D\x84\x9E",
       u"\U0001F600 G-clef \U0001D11E"},  // surrogate pairs
  };
  for (const Case& c : cases) {
    BstrPtr s(Utf8ToBstr(c.utf8));
    ASSERT_NE(s, nullptr) << c.utf8;
    EXPECT_EQ(BstrView(s.get()), c.utf16) << c.utf8;
    EXPECT_EQ(PrefixOf(s.get()), c.utf16.size() * 2) << c.utf8;
    EXPECT_EQ(SysStringByteLen(s.get()), c.utf16.size() * 2);
    EXPECT_EQ(SysStringLen(s.get()), c.utf16.size());
    EXPECT_EQ(s.get()[c.utf16.size()], 0) << c.utf8;
    EXPECT_EQ(BstrToUtf8(s.get()), c.utf8);

    char* out = nullptr;
    EXPECT_EQ(SysStringToUtf8(s.get(), &out), std::strlen(c.utf8));
    ASSERT_NE(out, nullptr);
    EXPECT_STREQ(out, c.utf8);
    std::free(out);

    BstrPtr viaC(SysAllocStringUtf8(c.utf8, static_cast<size_t>(-1)));
    EXPECT_EQ(BstrView(viaC.get()), c.utf16);
  }
}

TEST(Bstr, NullIsTheEmptyText) {
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  EXPECT_EQ(BstrToUtf8(nullptr), "");
  SysFreeString(nullptr);
  BstrPtr empty(SysAllocString(nullptr));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringLen(empty.get()), 0u);
  char* out = nullptr;
  EXPECT_EQ(SysStringToUtf8(nullptr, &out), 0u);
  ASSERT_NE(out, nullptr);
  EXPECT_STREQ(out, "");
  std::free(out);
}

TEST(Bstr, AllocationKeepsEmbeddedZerosAndExactLength) {
  const OLECHAR text[] = {u'a', 0, u'b', u'c'};
  BstrPtr s(SysAllocStringLen(text, 4));
  EXPECT_EQ(SysStringLen(s.get()), 4u);
  EXPECT_EQ(BstrView(s.get()), std::u16string_view(text, 4));
  BstrPtr cut(SysAllocString(text));  // stops at the first zero
  EXPECT_EQ(BstrView(cut.get()), u"a");
  BstrPtr zeros(SysAllocStringLen(nullptr, 3));
  EXPECT_EQ(BstrView(zeros.get()), std::u16string(3, u'\0'));
  BstrPtr part(SysAllocStringUtf8("abcdef", 3));
  EXPECT_EQ(BstrView(part.get()), u"abc");
  // A length whose byte count cannot be stored in the prefix.
  EXPECT_EQ(SysAllocStringLen(nullptr, 0x80000000u), nullptr);
}

TEST(Utf, IllFormedInputBecomesReplacementCharacters) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  };
  const Case cases[] = {
      {"a\xFF"
       "b",
       u"a\uFFFDb"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xE2\x82", u"\uFFFD"},                            // truncated at the end
      {"\xE2\x82x", u"\uFFFDx"},                          // truncated in the middle
      {"\xD0\x9F\xD1", u"П\uFFFD"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);

  EXPECT_EQ(Utf16ToUtf8(u"x\xD800y"), "x\xEF\xBF\xBDy");  // lone high surrogate
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
}

}  // namespace
