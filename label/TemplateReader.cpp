// labelplu: loading a label from its template.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/TextUtils.h"
#include "label/Cp1251.h"
#include "label/Label.h"
#include "label/LabelItem.h"
#include "label/PropText.h"
#include "label/TemplateError.h"
#include "label/TemplateFile.h"
#include "platform/xml/XmlDom.h"
#include "platform/xml/XmlHelpers.h"

namespace labelplu {

namespace {

constexpr double kDefaultLabelSideMm = 50.0;
constexpr std::string_view kMemorySource = "label template";

// The root's size attribute: missing or not a number gives the default; a
// number outside the limits stops the load.
double ReadLabelSide(const xml::XmlNode& root, std::string_view name, const std::string& source) {
  const std::optional<std::string> text = root.getAttribute(name);
  double value = 0;
  if (!text || !ParseRealText(*text, value)) return kDefaultLabelSideMm;
  if (!(value > 0 && value <= kMaxLabelSideMm))
    throw TemplateError(source, 0,
                        "label " + std::string(name) + " \"" + *text + "\" mm is outside 0.." +
                            FormatRealText(kMaxLabelSideMm) + " mm");
  return value;
}

// Start tags of a template text, counted without parsing it: every "<" not
// followed by "/", "!" or "?" opens an element, since "<" never stands raw
// in text or attribute values. One inside a comment or CDATA section counts
// too, which errs towards refusing.
struct StartTags {
  int64_t elements = 0;
  int64_t items = 0;
};

StartTags CountStartTags(std::string_view text) {
  StartTags counts;
  for (size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    const std::string_view rest = text.substr(at + 1);
    if (rest.empty() || rest[0] == '/' || rest[0] == '!' || rest[0] == '?') continue;
    ++counts.elements;
    if (rest.size() > 4 && rest.compare(0, 4, "Item") == 0 &&
        (rest[4] == '>' || rest[4] == '/' || rest[4] == ' ' || rest[4] == '\t' || rest[4] == '\r' ||
         rest[4] == '\n'))
      ++counts.items;
  }
  return counts;
}

std::string TooManyItems(int64_t count) {
  return std::to_string(count) + " items are more than the " + std::to_string(kMaxTemplateItems) +
         " a label holds";
}

// The property a setting's name reaches on object, as SetPropText resolves
// it; null when it reaches none.
const PropertyInfo* ResolveSetting(const PublishedObject& object, std::string_view path,
                                   const PublishedObject*& owner) {
  const size_t dot = path.find('.');
  if (dot != std::string_view::npos) {
    const PropertyInfo* head = FindProperty(object, path.substr(0, dot));
    if (head == nullptr || head->Kind != PropertyKind::Object) return nullptr;
    return ResolveSetting(head->GetObject(object), path.substr(dot + 1), owner);
  }
  owner = &object;
  const PropertyInfo* prop = FindProperty(object, path);
  if (prop == nullptr && SameTextAscii(path, "Value")) prop = FindProperty(object, "ValueFileName");
  return prop;
}

// One setting of an item; settings that do not apply are skipped, as a
// template written by another version may hold names or values this one
// does not know. The observer hears of each one skipped.
void ApplySetting(LabelItem& item, const xml::XmlNode& node, TemplateLoadObserver* observer) {
  if (node.nodeType() != xml::NodeType::Element) return;
  const std::optional<std::string> name = node.getAttribute("Name");
  const std::optional<std::string> value = node.getAttribute("Value");
  const auto skipped = [&](SkippedSetting why, std::string_view detail) {
    if (observer != nullptr)
      observer->SettingSkipped(item, node.lineNumber(), why, name.value_or(std::string()),
                               value.value_or(std::string()), detail);
  };
  if (!name || !value) {
    skipped(SkippedSetting::Incomplete, {});
    return;
  }
  if (observer != nullptr) {
    const PublishedObject* owner = nullptr;
    const PropertyInfo* prop = ResolveSetting(item, *name, owner);
    if (prop == nullptr) {
      skipped(SkippedSetting::UnknownProperty, {});
      return;
    }
    if (value->empty() && prop->Kind != PropertyKind::String &&
        prop->Kind != PropertyKind::Object) {
      skipped(SkippedSetting::EmptyValue, {});
      return;
    }
  }
  try {
    SetPropText(&item, *name, *value);
  } catch (const PropertyError& e) {
    skipped(SkippedSetting::BadValue, e.what());
  }
}

void LoadItems(Label& label, const xml::XmlNodeList& items, TemplateLoadObserver* observer) {
  int32_t number = 0;
  for (const xml::XmlNode& item : items) {
    ++number;
    const std::string className = item.getAttribute("ClassName").value_or(std::string());
    const std::optional<ItemClass> cls = FindItemClass(className);
    if (!cls) {
      if (observer != nullptr) observer->UnknownClass(item.lineNumber(), number, className);
      continue;
    }
    LabelItem& added = label.AddItem(*cls);
    added.MarkChanged(true);
    if (observer != nullptr) observer->ItemLoaded(added, item.lineNumber(), number);
    for (const xml::XmlNode& node : item.childNodes()) ApplySetting(added, node, observer);
  }
}

void LoadImages(Label& label, const xml::XmlDocument& doc, const std::string& source) {
  EmbeddedImages& list = label.Images();
  list.Clear();
  const xml::XmlNode imageList = doc.selectSingleNode("Label/ImageList");
  if (!imageList || !imageList.hasChildNodes()) return;
  int64_t pixels = 0;
  for (const xml::XmlNode& node : imageList.childNodes()) {
    if (node.nodeType() != xml::NodeType::Element) continue;
    std::string name = node.getAttribute("Name").value_or(std::string());
    std::string path = node.getAttribute("Path").value_or(std::string());
    try {
      auto image = std::make_unique<EmbeddedImage>(name, std::move(path), node.nodeTypedBytes());
      pixels += int64_t{image->Bitmap().width()} * image->Bitmap().height();
      if (pixels > kMaxBitmapPixels)
        throw std::runtime_error("the embedded images are too large in all");
      list.Add(std::move(image));
    } catch (const std::runtime_error& e) {
      throw TemplateError(source, 0, "embedded image \"" + name + "\": " + e.what());
    }
  }
}

}  // namespace

int32_t Label::LoadFromXml(std::string_view xmlText, std::string_view sourceName) {
  return LoadTemplate(xmlText, sourceName, nullptr);
}

int32_t Label::LoadFromXmlObserved(std::string_view xmlText, std::string_view sourceName,
                                   TemplateLoadObserver& observer) {
  return LoadTemplate(xmlText, sourceName, &observer);
}

int32_t Label::LoadTemplate(std::string_view xmlText, std::string_view sourceName,
                            TemplateLoadObserver* observer) {
  const std::string source(sourceName.empty() ? kMemorySource : sourceName);
  BeginUpdate();
  try {
    const StartTags tags = CountStartTags(xmlText);
    if (tags.items > kMaxTemplateItems) throw TemplateError(source, 0, TooManyItems(tags.items));
    if (tags.elements > kMaxTemplateElements)
      throw TemplateError(source, 0,
                          std::to_string(tags.elements) + " elements are more than the " +
                              std::to_string(kMaxTemplateElements) + " a template may hold");
    const xml::XmlDocument doc = xml::CreateXmlDocument();
    try {
      doc.loadXML(xmlText);
    } catch (const xml::XmlParseError& e) {
      throw TemplateError(source, e.line(), "not an XML document: " + e.reason());
    }
    const xml::XmlNode root = doc.documentElement();
    if (root.nodeName() != "Label")
      throw TemplateError(
          source, 0,
          "not a label template: the root element is \"" + root.nodeName() + "\", not \"Label\"");
    const double width = ReadLabelSide(root, "Width", source);
    const double height = ReadLabelSide(root, "Height", source);
    const xml::XmlNodeList items = doc.selectNodes("Label/Item");
    if (items.length() > kMaxTemplateItems)
      throw TemplateError(source, 0, TooManyItems(items.length()));
    Clear();
    try {
      SetWidth(width);
      SetHeight(height);
      LoadItems(*this, items, observer);
      LoadImages(*this, doc, source);
    } catch (...) {
      Clear();  // no half-loaded label
      throw;
    }
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
  return 0;
}

std::string ReadTemplateFileBytes(const std::string& fileName) {
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(fileName, ec);
  if (ec) throw TemplateError(fileName, 0, "the file cannot be read: " + ec.message());
  if (size > kMaxTemplateBytes)
    throw TemplateError(
        fileName, 0,
        "the file of " + std::to_string(size) + " bytes is larger than a template may be");
  std::ifstream file(fileName, std::ios::binary);
  std::string bytes(static_cast<size_t>(size), '\0');
  if (!file || !file.read(bytes.data(), static_cast<std::streamsize>(size)))
    throw TemplateError(fileName, 0, "the file cannot be read");
  return bytes;
}

std::string DecodeTemplateFileBytes(std::string_view bytes, const std::string& fileName) {
  try {
    return TemplateBytesToUtf8(bytes);
  } catch (const CodePageError& e) {
    const auto line =
        1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(e.Offset), '\n');
    throw TemplateError(fileName, static_cast<int>(line), e.what());
  }
}

void Label::LoadFromFile(const std::string& fileName) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(fileName, ec)) return;
  const std::string text = DecodeTemplateFileBytes(ReadTemplateFileBytes(fileName), fileName);
  SetMode(kModeOffScreen);
  LoadFromXml(text, fileName);
}

}  // namespace labelplu
