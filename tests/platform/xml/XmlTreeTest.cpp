// Changing the tree: insertion, removal, cloning, handles that outlive
// their document or its content, hierarchy errors.
#include <gtest/gtest.h>

#include "platform/xml/XmlDom.h"

using namespace labelplu::xml;

namespace {

TEST(XmlTree, ProcessingInstructionBeforeAbsentRootIsAppended) {
  XmlDocument doc;
  XmlNode pi = doc.createProcessingInstruction("xml", "version=\"1.0\"");
  EXPECT_EQ(doc.insertBefore(pi, doc.documentElement()), pi);
  doc.setDocumentElement(doc.createElement("a"));
  EXPECT_EQ(doc.firstChild(), pi);
  EXPECT_EQ(doc.documentElement().previousSibling(), pi);
  // Replacing the root keeps its place after the declaration.
  XmlNode old = doc.documentElement();
  doc.setDocumentElement(doc.createElement("b"));
  EXPECT_EQ(doc.xml(), "<?xml version=\"1.0\"?>\r\n<b/>\r\n");
  EXPECT_TRUE(old.parentNode().isNull());
  EXPECT_EQ(old.xml(), "<a/>");
}

TEST(XmlTree, DeepCloneIsIndependent) {
  XmlDocument doc;
  doc.loadXML("<r><e a=\"1\"><c>t</c></e></r>");
  XmlNode e = doc.selectSingleNode("/r/e");
  XmlNode deep = e.cloneNode(true);
  XmlNode shallow = e.cloneNode(false);
  EXPECT_EQ(deep.xml(), "<e a=\"1\"><c>t</c></e>");
  EXPECT_EQ(shallow.xml(), "<e a=\"1\"/>");
  EXPECT_TRUE(deep.parentNode().isNull());
  deep.setAttribute("a", "2");
  deep.firstChild().setText("u");
  EXPECT_EQ(e.xml(), "<e a=\"1\"><c>t</c></e>");
  doc.documentElement().appendChild(deep);
  EXPECT_EQ(doc.xml(), "<r><e a=\"1\"><c>t</c></e><e a=\"2\"><c>u</c></e></r>\r\n");
}

TEST(XmlTree, NodesOfAnotherDocumentAreCopiedIn) {
  // The list document gathers the roots of device documents.
  XmlDocument list;
  list.appendChild(list.createElement("EquList"));
  XmlNode copy;
  {
    XmlDocument device;
    device.loadXML("<?xml version=\"1.0\"?><Устройство Код=\"{A}\"><Параметры/></Устройство>");
    copy = list.documentElement().appendChild(device.documentElement().cloneNode(true));
    EXPECT_EQ(device.xml(),
              "<?xml version=\"1.0\"?>\r\n<Устройство Код=\"{A}\"><Параметры/></Устройство>\r\n");
  }
  EXPECT_EQ(copy.ownerDocument(), list);
  EXPECT_EQ(list.xml(), "<EquList><Устройство Код=\"{A}\"><Параметры/></Устройство></EquList>\r\n");
}

TEST(XmlTree, HandlesOutliveTheirDocumentHandleAndItsReload) {
  XmlNode loose;
  XmlNode inTree;
  XmlNodeList list;
  {
    XmlDocument doc;
    doc.loadXML("<a><b/><c/></a>");
    inTree = doc.selectSingleNode("//b");
    list = doc.selectNodes("//*");
    loose = doc.createElement("loose");
    loose.appendChild(doc.createElement("child"));
    doc.loadXML("<z/>");  // the old tree stays alive for the handles
    EXPECT_EQ(doc.xml(), "<z/>\r\n");
  }
  EXPECT_EQ(inTree.nodeName(), "b");
  EXPECT_EQ(inTree.parentNode().xml(), "<a><b/><c/></a>");
  EXPECT_EQ(list.length(), 3);
  EXPECT_EQ(loose.xml(), "<loose><child/></loose>");
  EXPECT_EQ(loose.ownerDocument().xml(), "<z/>\r\n");
}

TEST(XmlTree, RemovedAndReplacedChildrenStayUsable) {
  XmlDocument doc;
  doc.loadXML("<a><b>x</b><c/>tail</a>");
  XmlNode a = doc.documentElement();
  XmlNode b = a.firstChild();
  XmlNode tail = a.lastChild();
  EXPECT_EQ(a.removeChild(b), b);
  EXPECT_EQ(a.xml(), "<a><c/>tail</a>");
  a.setText("new");  // detaches <c/> and "tail"
  EXPECT_EQ(a.xml(), "<a>new</a>");
  EXPECT_EQ(tail.text(), "tail");
  // Adjacent text nodes are not merged: the inserted node stays itself.
  XmlNode more = a.appendChild(doc.createTextNode("+"));
  more.setText("!");
  a.insertBefore(b, a.firstChild());
  EXPECT_EQ(a.xml(), "<a><b>x</b>new!</a>");
  EXPECT_EQ(a.childNodes().length(), 3);
  EXPECT_THROW(a.removeChild(tail), XmlError);
}

TEST(XmlTree, HierarchyErrors) {
  XmlDocument doc;
  doc.loadXML("<a><b/></a>");
  XmlNode a = doc.documentElement();
  XmlNode b = a.firstChild();
  XmlNode text = doc.createTextNode("t");
  EXPECT_THROW(b.appendChild(a), XmlError);  // an ancestor
  EXPECT_THROW(a.appendChild(a), XmlError);  // itself
  EXPECT_THROW(doc.appendChild(doc.createElement("second")), XmlError);
  EXPECT_THROW(doc.appendChild(text), XmlError);  // text at the top
  EXPECT_THROW(text.appendChild(doc.createElement("x")), XmlError);
  EXPECT_THROW(a.insertBefore(doc.createElement("x"), text), XmlError);  // ref not a child
  EXPECT_THROW(a.appendChild(doc), XmlError);
  EXPECT_THROW(XmlNode().nodeName(), XmlError);
  EXPECT_THROW(doc.getAttribute("x"), XmlError);
  EXPECT_EQ(doc.xml(), "<a><b/></a>\r\n");
}

TEST(XmlTree, CloneOfADocumentIsANewDocument) {
  XmlDocument doc;
  doc.loadXML("<?xml version=\"1.0\"?><a x=\"1\"/>");
  XmlDocument copy = XmlDocument::ofNode(doc.cloneNode(true));
  EXPECT_FALSE(copy == doc);
  copy.documentElement().setAttribute("x", "2");
  EXPECT_EQ(doc.xml(), "<?xml version=\"1.0\"?>\r\n<a x=\"1\"/>\r\n");
  EXPECT_EQ(copy.xml(), "<?xml version=\"1.0\"?>\r\n<a x=\"2\"/>\r\n");
}

}  // namespace
