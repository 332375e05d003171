#ifndef CORVANEXML_DOM_FACTORIES_H
#define CORVANEXML_DOM_FACTORIES_H

// How the library makes the nodes it makes most: each in one block with its
// text, and, while a document is read, in the arena of that document.

#include <CorvaneXML/XMLAttribute.h>
#include <CorvaneXML/XMLData.h>
#include <CorvaneXML/XMLDocument.h>
#include <CorvaneXML/XMLElement.h>

#include "dom/Access.h"
#include "foundation/NodeMemory.h"

namespace CorvaneXML {

struct CDocumentHome;

// An attribute or text node and its text in one block, from `arena` when one
// is given, else from the heap. Raise as the constructors do.
XCXMLAttribute* CreateAttribute(XIXMLElement* owner, const XCXMLKey& name, const CNodeText& value, CNodeArena* arena);
XCXMLData* CreateData(XIXMLElement* parent, const CNodeText& text, CNodeArena* arena);

// The tree reader's way into the library's own elements: what their
// AddElement, AddAttribute and AddData do, with the memory of the new node
// from `arena` (the arena of the document being read).
XCXMLElement* AppendElement(XCXMLElement& parent, const XCXMLKey& name, CNodeArena* arena);
XCXMLAttribute* AppendAttribute(XCXMLElement& element, const XCXMLKey& name, const CNodeText& value, CNodeArena* arena);
XCXMLData* AppendData(XCXMLElement& element, const CNodeText& text, CNodeArena* arena);

// The same, when the last child or attribute is known to be `last` (null:
// there is none), the library's own, and the first one too; `home` is what
// HomeForChildren(parent) would answer. The tree reader knows all of this
// while no code but its own can reach the document it reads.
XCXMLElement* AppendElementAfter(XCXMLElement& parent, XCXMLNode* last, const XCXMLKey& name, CNodeArena* arena,
                                 CDocumentHome* home);
XCXMLAttribute* AppendAttributeAfter(XCXMLElement& element, XCXMLAttribute* last, const XCXMLKey& name,
                                     const CNodeText& value, CNodeArena* arena);
XCXMLData* AppendDataAfter(XCXMLElement& element, XCXMLNode* last, const CNodeText& text, CNodeArena* arena);
// What AddComment, AddPI and AddDocType do, for the tree reader.
void AppendComment(XCXMLElement& parent, const char* comment);
void AppendPI(XCXMLElement& parent, const char* processor, const char* instruction);
void AppendDocType(XCXMLElement& parent, const XCXMLKey& token, const char* publicId, const char* systemId,
                   const char* local);

// `element` when it is one of the library's own elements (exactly an
// XCXMLElement or an XCXMLRoot), whose factories the Append functions are;
// else null.
inline XCXMLElement* OwnElement(XIXMLElement* element) {
    if (element == nullptr || (!IsPlainElement(element) && !IsExactly<XCXMLRoot>(*element))) return nullptr;
    return static_cast<XCXMLElement*>(element);
}

}  // namespace CorvaneXML

#endif
