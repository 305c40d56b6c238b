// Template files in Windows-1251 and in UTF-8: which bytes are read how, and
// that a UTF-8 file loads the same label as its Windows-1251 twin.
#include <gtest/gtest.h>

#include <string>

#include "label/Cp1251.h"
#include "label/Label.h"
#include "label/TemplateError.h"
#include "tests/support/TempDir.h"

namespace labelplu {
namespace {

TEST(TemplateEncoding, ByteOrderMarkOrADeclarationNamingUtf8MeanUtf8) {
  struct Case {
    std::string bytes;
    TemplateEncoding expected;
  };
  const Case cases[] = {
      {"\xEF\xBB\xBF<Label/>", TemplateEncoding::Utf8WithBom},
      {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"windows-1251\"?><Label/>",
       TemplateEncoding::Utf8WithBom},
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><Label/>", TemplateEncoding::Utf8Declared},
      {"<?xml version='1.0' encoding='utf-8'?><Label/>", TemplateEncoding::Utf8Declared},
      {"<?xml version=\"1.0\"\r\n encoding = \"Utf-8\" standalone=\"yes\"?><Label/>",
       TemplateEncoding::Utf8Declared},
      {"<?xml version=\"1.0\" encoding=\"windows-1251\"?><Label/>", TemplateEncoding::Windows1251},
      {"<?xml version=\"1.0\"?><Label/>", TemplateEncoding::Windows1251},
      {"<?xml version=\"1.0\" encoding=\"UTF-16\"?><Label/>", TemplateEncoding::Windows1251},
      {"<?xml version=\"1.0\" encoding=\"UTF-8x\"?><Label/>", TemplateEncoding::Windows1251},
      {"<?xml-stylesheet encoding=\"UTF-8\"?><Label/>", TemplateEncoding::Windows1251},
      {" <?xml version=\"1.0\" encoding=\"UTF-8\"?><Label/>", TemplateEncoding::Windows1251},
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"", TemplateEncoding::Windows1251},
      {"<Label encoding=\"UTF-8\"/>", TemplateEncoding::Windows1251},
      {"", TemplateEncoding::Windows1251},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(DetectTemplateEncoding(c.bytes), c.expected);
  }
}

TEST(TemplateEncoding, BytesBecomeUtf8OrFailAtTheFirstBadByte) {
  const std::string utf8Decl = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
  EXPECT_EQ(TemplateBytesToUtf8("\xEF\xBB\xBF<a b=\"Цена\"/>"), "<a b=\"Цена\"/>");
  EXPECT_EQ(TemplateBytesToUtf8(utf8Decl + "<a b=\"Цена\"/>"), utf8Decl + "<a b=\"Цена\"/>");
  EXPECT_EQ(TemplateBytesToUtf8("<a b=\"\xD6\xE5\xED\xE0\"/>"), "<a b=\"Цена\"/>");
  struct Bad {
    std::string bytes;
    size_t offset;
  };
  const Bad bad[] = {
      {"\xEF\xBB\xBF<a b=\"\xD6\xE5\"/>", 9},                   // Windows-1251 behind a mark
      {utf8Decl + "<a>\xC3</a>", utf8Decl.size() + 3},          // cut sequence
      {utf8Decl + "<a>\xED\xA0\x80</a>", utf8Decl.size() + 3},  // a surrogate
      {"<a>\x98</a>", 3},                                       // not Windows-1251
  };
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.bytes);
    try {
      TemplateBytesToUtf8(b.bytes);
      ADD_FAILURE() << "no error";
    } catch (const CodePageError& e) {
      EXPECT_EQ(e.Offset, b.offset);
    }
  }
}

TEST(TemplateEncoding, TextSavedAsUtf8IsToldFromWindows1251) {
  EXPECT_TRUE(IsNonAsciiUtf8("<a b=\"Цена\"/>"));
  EXPECT_FALSE(IsNonAsciiUtf8("<a b=\"\xD6\xE5\xED\xE0 \xA8\xB8\"/>"));  // "Цена Ёё"
  EXPECT_FALSE(IsNonAsciiUtf8("<a b=\"price\"/>"));
}

constexpr const char* kTemplate = R"(<?xml version="1.0" encoding="windows-1251"?>
<Label Width="40" Height="30">
  <Item ClassName="TextGraphic">
    <Property Name="DS" Value="dsPrice"/>
    <Property Name="Value" Value="Цена: 99,90 руб. «Ёлка» №1"/>
  </Item>
</Label>
)";

TEST(TemplateEncoding, Utf8FilesLoadAsTheirWindows1251Twin) {
  test::TempDir dir;
  const std::string utf8 = kTemplate;
  std::string declared = utf8;
  declared.replace(declared.find("windows-1251"), 12, "UTF-8");
  const std::string cp1251 = Utf8ToCp1251Xml(utf8);
  Label twin;
  twin.LoadFromFile(dir.Write("twin.lb3", cp1251).string());
  ASSERT_EQ(twin.ItemCount(), 1);
  const std::string expected = twin.SaveToXml();
  EXPECT_NE(expected.find("Цена: 99,90 руб. «Ёлка» №1"), std::string::npos) << expected;
  for (const std::string& bytes : {"\xEF\xBB\xBF" + utf8, declared}) {
    SCOPED_TRACE(bytes.substr(0, 45));
    Label label;
    label.LoadFromFile(dir.Write("utf8.lb3", bytes).string());
    EXPECT_EQ(label.SaveToXml(), expected);
  }
  // Bad UTF-8 in a file that says it is UTF-8 names its line.
  try {
    Label label;
    label.LoadFromFile(dir.Write("bad.lb3", declared.substr(0, 60) + "\n\xC3(").string());
    ADD_FAILURE() << "no error";
  } catch (const TemplateError& e) {
    EXPECT_EQ(e.Line(), 3);
    EXPECT_NE(e.Reason().find("is not valid UTF-8"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace labelplu
