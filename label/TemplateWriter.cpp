// labelplu: writing a label as its template.
#include <fstream>

#include "label/Cp1251.h"
#include "label/Label.h"
#include "label/LabelItem.h"
#include "label/PropText.h"
#include "label/TemplateError.h"
#include "platform/xml/XmlDom.h"
#include "platform/xml/XmlHelpers.h"

namespace labelplu {

namespace {

// One "Property" per published property of object, object properties as
// their own properties under "<name>.".
void WriteProperties(const xml::XmlDocument& doc, const xml::XmlNode& item,
                     const PublishedObject& object, const std::string& prefix) {
  for (const PropertyInfo& prop : object.Properties()) {
    const std::string name = prefix + std::string(prop.Name);
    if (prop.Kind == PropertyKind::Object) {
      WriteProperties(doc, item, prop.GetObject(object), name + ".");
      continue;
    }
    const xml::XmlNode setting = doc.createElement("Property");
    setting.setAttribute("Name", name);
    setting.setAttribute("Value", PropertyText(object, prop));
    item.appendChild(setting);
  }
}

}  // namespace

std::string Label::SaveToXml() const {
  const xml::XmlDocument doc = xml::CreateXmlDocument();
  const xml::XmlNode root = doc.createElement("Label");
  doc.setDocumentElement(root);
  root.setAttribute("Width", FormatRealText(m_width));
  root.setAttribute("Height", FormatRealText(m_height));
  for (const auto& item : m_items) {
    const xml::XmlNode element = doc.createElement("Item");
    element.setAttribute("ClassName", item->ClassName());
    root.appendChild(element);
    WriteProperties(doc, element, *item, std::string());
  }
  const EmbeddedImages& images = m_images;
  if (images.Count() > 0) {
    const xml::XmlNode list = doc.createElement("ImageList");
    list.setAttribute("Count", std::to_string(images.Count()));
    list.setAttribute("xmlns:dt", xml::kDataTypesNamespace);
    root.appendChild(list);
    for (int32_t i = 0; i < images.Count(); ++i) {
      const EmbeddedImage& image = images.Item(i);
      const xml::XmlNode node = doc.createElement("Image");
      node.setAttribute("Name", image.Name());
      node.setAttribute("Path", image.Path());
      list.appendChild(node);
      node.setNodeTypedBytes(image.FileBytes());
    }
  }
  std::string text = doc.xml();
  xml::FormatXmlText(text);
  return text;
}

void Label::SaveToFile(const std::string& fileName) const {
  const std::string bytes = Utf8ToCp1251Xml(SaveToXml());
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  if (!file) throw TemplateError(fileName, 0, "the file cannot be created");
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw TemplateError(fileName, 0, "the file cannot be written");
}

}  // namespace labelplu
