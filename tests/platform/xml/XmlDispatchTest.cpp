// Documents as automation objects: what a host sees by late binding, and
// documents a host hands over.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "platform/ole/Bstr.h"
#include "platform/ole/ComObject.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/ole/Variant.h"
#include "platform/xml/XmlDom.h"

using namespace labelplu;
using namespace labelplu::xml;
using ole::ComPtr;
using ole::OleVariant;

namespace {

struct CallResult {
  HRESULT hr = S_OK;
  OleVariant value;
  std::string error;
};

// A late-bound call as a host makes it: the name looked up first, the
// arguments stored last-first.
CallResult Call(IDispatch* object, const char* name, uint16_t flags,
                const std::vector<OleVariant>& args = {}) {
  CallResult out;
  ole::BstrPtr bstr(ole::Utf8ToBstr(name));
  OLECHAR* names[] = {bstr.get()};
  DISPID id = DISPID_UNKNOWN;
  out.hr = object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  if (FAILED(out.hr)) return out;
  std::vector<VARIANT> reversed;
  std::transform(args.rbegin(), args.rend(), std::back_inserter(reversed),
                 [](const OleVariant& arg) { return arg.get(); });
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
  if (flags & DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  EXCEPINFO excep{};
  out.hr = object->Invoke(id, IID_NULL, 0, flags, &params, out.value.put(), &excep, nullptr);
  out.error = ole::BstrToUtf8(excep.bstrDescription);
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
  ole::TakeErrorText();
  return out;
}

OleVariant Get(IDispatch* object, const char* name, const std::vector<OleVariant>& args = {}) {
  CallResult r = Call(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
  EXPECT_EQ(r.hr, S_OK) << name << ": " << r.error;
  return std::move(r.value);
}

IDispatch* ObjectIn(const OleVariant& v) {
  EXPECT_EQ(v.Type(), VT_DISPATCH);
  return v.Type() == VT_DISPATCH ? v.get().pdispVal : nullptr;
}

// Another DOM's document: answers only "xml".
class ForeignDocument final : public ole::ComObject<IDispatch> {
 public:
  explicit ForeignDocument(std::string text) : m_text(std::move(text)) {}
  HRESULT GetTypeInfoCount(uint32_t* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(uint32_t, uint32_t, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const IID&, OLECHAR** names, uint32_t, uint32_t, DISPID* ids) override {
    *ids = ole::BstrToUtf8(names[0]) == "xml" ? 7 : DISPID_UNKNOWN;
    return *ids == 7 ? S_OK : DISP_E_UNKNOWNNAME;
  }
  HRESULT Invoke(DISPID, const IID&, uint32_t, uint16_t, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                 uint32_t*) override {
    *result = OleVariant(std::string_view(m_text)).release();
    return S_OK;
  }

 private:
  std::string m_text;
};

TEST(XmlDispatch, HostReadsAndChangesADocumentByLateBinding) {
  XmlDocument doc;
  ComPtr<IDispatch> object = NewNodeDispatch(doc);
  EXPECT_EQ(VarToBool(Get(
                object.get(), "LOADXML",
                {OleVariant("<?xml version=\"1.0\" encoding=\"UTF-16\"?><Система>"
                            "<Модель Код=\"{1}\"/><Модель Код=\"{2}\" Тип=\"x\"/></Система>")})),
            true);
  EXPECT_EQ(VarToText(Get(object.get(), "Xml")),
            "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<Система><Модель Код=\"{1}\"/>"
            "<Модель Код=\"{2}\" Тип=\"x\"/></Система>\r\n");

  OleVariant root = Get(object.get(), "documentElement");
  EXPECT_EQ(VarToText(Get(ObjectIn(root), "nodeName")), "Система");
  OleVariant list = Get(object.get(), "selectNodes", {OleVariant("//Модель")});
  EXPECT_EQ(VarToInt32(Get(ObjectIn(list), "length")), 2);
  OleVariant second = Get(ObjectIn(list), "item", {OleVariant(int32_t(1))});
  EXPECT_EQ(VarToText(Get(ObjectIn(second), "getAttribute", {OleVariant("Код")})), "{2}");
  EXPECT_EQ(Get(ObjectIn(second), "getAttribute", {OleVariant("Нет")}).Type(), VT_NULL);
  EXPECT_EQ(Get(ObjectIn(list), "item", {OleVariant(int32_t(5))}).get().pdispVal, nullptr);

  // Changes made by the host are the document's own.
  Get(ObjectIn(second), "setAttribute", {OleVariant("Флаг"), OleVariant(true)});
  OleVariant made = Get(object.get(), "createElement", {OleVariant("Новый")});
  Get(ObjectIn(root), "appendChild", {made});
  EXPECT_EQ(doc.documentElement().xml(),
            "<Система><Модель Код=\"{1}\"/><Модель Код=\"{2}\" Тип=\"x\" "
            "Флаг=\"-1\"/><Новый/></Система>");
  OleVariant single = Get(object.get(), "selectSingleNode", {OleVariant("//Новый")});
  EXPECT_EQ(VarToText(Get(ObjectIn(single), "xml")), "<Новый/>");
  EXPECT_EQ(Get(object.get(), "selectSingleNode", {OleVariant("//Нет")}).get().pdispVal, nullptr);
}

TEST(XmlDispatch, FailuresBecomeResultCodesWithText) {
  XmlDocument doc;
  ComPtr<IDispatch> object = NewNodeDispatch(doc);
  CallResult bad = Call(object.get(), "loadXML", DISPATCH_METHOD, {OleVariant("<a>\n<b></a>")});
  EXPECT_EQ(bad.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(bad.error.rfind("XML parse error at line 2: ", 0), 0u) << bad.error;
  EXPECT_EQ(Call(object.get(), "noSuchMember", DISPATCH_METHOD).hr, DISP_E_UNKNOWNNAME);
  EXPECT_EQ(Call(object.get(), "selectNodes", DISPATCH_METHOD).hr, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(object.get(), "selectNodes", DISPATCH_METHOD, {OleVariant("//[")}).hr,
            DISP_E_EXCEPTION);
  // Document members are not offered by elements.
  doc.loadXML("<a/>");
  ComPtr<IDispatch> element = NewNodeDispatch(doc.documentElement());
  EXPECT_EQ(Call(element.get(), "loadXML", DISPATCH_METHOD, {OleVariant("<b/>")}).hr,
            DISP_E_UNKNOWNNAME);
}

TEST(XmlDispatch, PropertyPutsAndTypedValues) {
  XmlDocument doc;
  ComPtr<IDispatch> object = NewNodeDispatch(doc);
  OleVariant image = Get(object.get(), "createElement", {OleVariant("Image")});
  EXPECT_EQ(Call(object.get(), "documentElement", DISPATCH_PROPERTYPUTREF, {image}).hr, S_OK);
  EXPECT_EQ(Call(ObjectIn(image), "dataType", DISPATCH_PROPERTYPUT, {OleVariant("bin.base64")}).hr,
            S_OK);
  SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, 3);
  std::memcpy(bytes->pvData, "\x00\xFF\x10", 3);
  EXPECT_EQ(
      Call(ObjectIn(image), "nodeTypedValue", DISPATCH_PROPERTYPUT, {OleVariant::AdoptArray(bytes)})
          .hr,
      S_OK);
  EXPECT_EQ(VarToText(Get(ObjectIn(image), "text")), "AP8Q");
  OleVariant back = Get(ObjectIn(image), "nodeTypedValue");
  ASSERT_EQ(back.Type(), VT_ARRAY | VT_UI1);
  ASSERT_EQ(back.get().parray->rgsabound[0].cElements, 3u);
  EXPECT_EQ(std::memcmp(back.get().parray->pvData, "\x00\xFF\x10", 3), 0);
  EXPECT_EQ(Call(object.get(), "async", DISPATCH_PROPERTYPUT, {OleVariant(false)}).hr, S_OK);
  EXPECT_FALSE(doc.async());
}

TEST(XmlDispatch, DocumentsHandedOverByAHost) {
  // Our own document object gives the very document.
  XmlDocument doc;
  doc.loadXML("<a/>");
  ComPtr<IDispatch> own = NewNodeDispatch(doc);
  XmlDocument same = DocumentFromDispatch(own.get());
  same.documentElement().setAttribute("x", "1");
  EXPECT_EQ(doc.xml(), "<a x=\"1\"/>\r\n");
  EXPECT_EQ(OwnNodeFromDispatch(own.get()), std::optional<XmlNode>(doc));

  // Another DOM's document is read through its "xml" text.
  ComPtr<ForeignDocument> foreign = ole::MakeCom<ForeignDocument>(
      "<?xml version=\"1.0\" encoding=\"UTF-16\"?><Устройство Код=\"{F}\"/>");
  XmlDocument parsed = DocumentFromDispatch(foreign.get());
  EXPECT_EQ(parsed.documentElement().getAttribute("Код"), "{F}");
  EXPECT_FALSE(OwnNodeFromDispatch(foreign.get()));

  // One of our elements counts as the document of its own text.
  ComPtr<IDispatch> element = NewNodeDispatch(doc.documentElement());
  EXPECT_EQ(DocumentFromDispatch(element.get()).xml(), "<a x=\"1\"/>\r\n");

  // A foreign node can be appended through our objects.
  OleVariant foreignArg(static_cast<IDispatch*>(foreign.get()));
  Get(NewNodeDispatch(doc.documentElement()).get(), "appendChild", {foreignArg});
  EXPECT_EQ(doc.xml(), "<a x=\"1\"><Устройство Код=\"{F}\"/></a>\r\n");

  EXPECT_THROW(DocumentFromDispatch(nullptr), XmlError);
  ComPtr<IDispatch> list = NewNodeListDispatch(doc.selectNodes("//*"));
  EXPECT_THROW(DocumentFromDispatch(list.get()), XmlError);
  ComPtr<ForeignDocument> broken = ole::MakeCom<ForeignDocument>("<a>");
  EXPECT_THROW(DocumentFromDispatch(broken.get()), XmlParseError);
}

}  // namespace
