// The generic XML helpers: new documents, the pretty-printer of written
// templates, the writability check and find/replace-all.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/xml/XmlHelpers.h"

using namespace labelplu::xml;

namespace {

TEST(XmlHelpers, NewDocumentWithDeclaration) {
  XmlDocument doc = NewXmlDocument("Устройство", Utf16Declaration());
  EXPECT_EQ(doc.xml(), "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<Устройство/>\r\n");
  EXPECT_FALSE(doc.async());
  EXPECT_EQ(doc.getProperty("SelectionLanguage"), "XPath");
  EXPECT_EQ(NewXmlDocument("", "").xml(), "");
  EXPECT_EQ(NewXmlDocument("EquList", "").xml(), "<EquList/>\r\n");
}

TEST(XmlHelpers, FormatXmlText) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"<Label><Item Name=\"a\"/><Item><P>t</P></Item></Label>",
       "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<Label>\r\n\t<Item "
       "Name=\"a\"/>\r\n\t<Item>"
       "\r\n\t\t<P>t\r\n\t\t</P>\r\n\t</Item>\r\n</Label>"},
      {"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<a><b/></a>\r\n",
       "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<a>\r\n\t<b/>\r\n</a>"},
      {"<?xml version=\"1.0\"?><?app x?><a/>",
       "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<?app x?>\r\n<a/>"},
      {"text ?> only", "text ?> only"},
      {"", "<?xml version=\"1.0\" encoding=\"windows-1251\"?>"},
      {"</a></b>", "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n</a>\r\n</b>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    std::string text = c.in;
    FormatXmlText(text);
    EXPECT_EQ(text, c.out);
  }
}

TEST(XmlHelpers, ReplaceAll) {
  struct Case {
    const char* source;
    const char* pattern;
    const char* replacement;
    bool caseSensitive;
    const char* result;
  };
  const Case cases[] = {
      {"ab AB", "ab", "x", false, "x x"},
      {"ab AB", "ab", "x", true, "x AB"},
      {"жЖ ж", "ж", "z", false, "zЖ z"},
      {"aaaa", "aa", "b", true, "bb"},
      {"aaa", "aa", "b", true, "ba"},
      {"xyz", "q", "long replacement", false, "xyz"},
      {"a.b.c", ".", "<=>", false, "a<=>b<=>c"},
      {"abc", "abc", "", false, ""},
      {"", "a", "b", false, ""},
      {"hello world hello", "HELLO", "bye", false, "bye world bye"},
      {"short", "longer pattern", "x", false, "short"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(ReplaceAll(c.source, c.pattern, c.replacement, c.caseSensitive), c.result);
  }
  // Growth well beyond the first size.
  std::string many;
  std::string expected;
  for (int i = 0; i < 10000; ++i) {
    many += "a-";
    expected += "bcdef-";
  }
  EXPECT_EQ(ReplaceAll(many, "A", "bcdef"), expected);
  try {
    BuildShiftTable("", false);
    ADD_FAILURE() << "no error";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "BufferLen is 0");
  }
  const auto table = BuildShiftTable("abcab", false);
  EXPECT_EQ(table['A'], 1u);
  EXPECT_EQ(table['C'], 2u);
  EXPECT_EQ(table['B'], 3u);
  EXPECT_EQ(table['a'], 5u);
  EXPECT_EQ(UpperCaseTable()['z'], 'Z');
  EXPECT_EQ(UpperCaseTable()[0xD0], 0xD0);
}

TEST(XmlHelpers, RequireXmlWritable) {
  struct Case {
    std::string text;
    const char* error;  // null: accepted
  };
  const Case cases[] = {
      {"tab\tline\ncr\r Ё ж \xEF\xBF\xBD", nullptr},
      {"", nullptr},
      {std::string("a\0b", 3),
       "the name holds the character U+0000, which a settings document "
       "cannot hold"},
      {"a\x1F", "the name holds the character U+001F, which a settings document cannot hold"},
      {"x\xEF\xBF\xBE",
       "the name holds the character U+FFFE, which a settings document cannot "
       "hold"},
      {"\xEF\xBF\xBFx",
       "the name holds the character U+FFFF, which a settings document cannot "
       "hold"},
      {"\xEF\xBF", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    if (!c.error) {
      EXPECT_NO_THROW(RequireXmlWritable(c.text, "the name"));
      continue;
    }
    try {
      RequireXmlWritable(c.text, "the name");
      ADD_FAILURE() << "no error";
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
  }
}

}  // namespace
