// Placeholder serialisation entry points, linked into the test programs only
// while the library is built without its writer sources (tests/CMakeLists.txt
// drops this file as soon as src/writer has any). They keep the node classes'
// tables complete so that the other areas can be tested on their own.

#include <CorvaneXML/XMLData.h>
#include <CorvaneXML/XMLDocument.h>
#include <CorvaneXML/XMLElement.h>
#include <CorvaneXML/XMLMarkup.h>

#include <CorvaneTools/CorvaneTools.h>

namespace CorvaneXML {

namespace {
[[noreturn]] void NotBuilt() { Corvane::CvThrow::Signale("writer not built"); }
}  // namespace

void XCXMLElement::Write(XIXMLWriteStream*) const { NotBuilt(); }
void XCXMLElement::WriteTo(XCXMLWriter*, int) const { NotBuilt(); }
void XCXMLRoot::WriteTo(XCXMLWriter*, int) const { NotBuilt(); }
void XCXMLAttribute::WriteTo(XCXMLWriter*) const { NotBuilt(); }
void XCXMLData::WriteTo(XCXMLWriter*, int) const { NotBuilt(); }
void XCXMLDocType::WriteTo(XCXMLWriter*, int) const { NotBuilt(); }
void XCXMLComment::WriteTo(XCXMLWriter*, int) const { NotBuilt(); }
void XCXMLPI::WriteTo(XCXMLWriter*, int) const { NotBuilt(); }
void XCXMLTree::Write(XIXMLWriteStream*) const { NotBuilt(); }

}  // namespace CorvaneXML
