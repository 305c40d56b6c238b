#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/ole/Bstr.h"
#include "platform/ole/Utf.h"

using namespace labelplu::ole;

namespace {

std::u16string Format(const GUID& g) {
  OLECHAR buf[39];
  EXPECT_EQ(StringFromGUID2(&g, buf, 39), 39);
  return buf;
}

TEST(Guid, FormatsUpperCaseAndParsesBack) {
  const GUID g = {0x67ACED41, 0x31C6, 0x434E, {0x96, 0x32, 0x96, 0x01, 0x8E, 0xB2, 0xB4, 0xEB}};
  EXPECT_EQ(Format(g), u"{67ACED41-31C6-434E-9632-96018EB2B4EB}");
  GUID parsed{};
  ASSERT_EQ(CLSIDFromString(u"{67aced41-31c6-434e-9632-96018eb2b4eb}", &parsed), S_OK);
  EXPECT_TRUE(IsEqualGUID(&parsed, &g));
  EXPECT_EQ(Format(IID_IDispatch), u"{00020400-0000-0000-C000-000000000046}");

  OLECHAR small[38];
  EXPECT_EQ(StringFromGUID2(&g, small, 38), 0);
}

TEST(Guid, RejectsAnythingButTheBracedForm) {
  const char16_t* bad[] = {
      u"",
      u"{}",
      u"67ACED41-31C6-434E-9632-96018EB2B4EB",     // no braces
      u"{67ACED41-31C6-434E-9632-96018EB2B4E}",    // 37 characters
      u"{67ACED41-31C6-434E-9632-96018EB2B4EB}x",  // 39 characters
      u"{67ACED41-31C6-434E-9632-96018EB2B4EG}",   // not hex
      u"{67ACED4131C6-434E-9632-96018EB2B4EB-}",   // hyphens misplaced
      u"(67ACED41-31C6-434E-9632-96018EB2B4EB)",
      u"{67ACED41-31C6-434E-9632-96018EB2B4E\0}",  // ends early
  };
  for (const char16_t* text : bad) {
    GUID out;
    std::memset(&out, 0xAB, sizeof out);
    EXPECT_EQ(CLSIDFromString(text, &out), E_INVALIDARG) << Utf16ToUtf8(text);
    EXPECT_TRUE(IsEqualGUID(&out, &IID_NULL));
  }
  GUID out;
  EXPECT_EQ(CLSIDFromString(nullptr, &out), E_INVALIDARG);
}

TEST(Guid, CreatesRandomVersion4Guids) {
  GUID a, b;
  ASSERT_EQ(CoCreateGuid(&a), S_OK);
  ASSERT_EQ(CoCreateGuid(&b), S_OK);
  EXPECT_FALSE(IsEqualGUID(&a, &b));
  for (const GUID& g : {a, b}) {
    EXPECT_EQ(g.Data3 >> 12, 4);
    EXPECT_EQ(g.Data4[0] & 0xC0, 0x80);
    GUID back;
    ASSERT_EQ(CLSIDFromString(Format(g).c_str(), &back), S_OK);
    EXPECT_TRUE(IsEqualGUID(&back, &g));
  }
}

}  // namespace
