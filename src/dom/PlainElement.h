#ifndef CORVANEXML_DOM_PLAINELEMENT_H
#define CORVANEXML_DOM_PLAINELEMENT_H

#include <CorvaneXML/XMLData.h>
#include <CorvaneXML/XMLElement.h>
#include <CorvaneXML/XMLMarkup.h>

#include "foundation/ExactType.h"

namespace CorvaneXML {

// True for an element of exactly the library's own element class: its
// behaviour is known, so walks over deep trees may take it apart, copy it and
// delegate through it in a loop instead of through its virtual operations
// (which would recurse once per level). Subclasses, the root and host
// implementations keep their virtual calls.
inline bool IsPlainElement(const XIXMLNode* node) {
    return IsExactly<XCXMLElement>(*node);
}

inline bool IsPlainElement(const XIXMLElement* element) {
    return IsExactly<XCXMLElement>(*element);
}

// The library's own nodes keep the link to the node before them. In the last
// step of its destruction, when it leaves its parent's list, a node is a
// plain XCXMLNode, which keeps the link too.
inline XCXMLNode* OwnNode(XIXMLNode* node) {
    if (node == nullptr) return nullptr;
    if (IsExactly<XCXMLElement>(*node) || IsExactly<XCXMLData>(*node) || IsExactly<XCXMLNode>(*node) ||
        IsExactly<XCXMLComment>(*node) || IsExactly<XCXMLPI>(*node) || IsExactly<XCXMLDocType>(*node)) {
        return static_cast<XCXMLNode*>(node);
    }
    return nullptr;
}

inline void XCXMLElement::SetPrevious(XIXMLNode* node, XIXMLNode* previous) {
    if (XCXMLNode* own = OwnNode(node)) own->previous_ = previous;
}

// The element that finally answers GetKey for `element`: a plain element only
// forwards to its parent, so this skips plain elements upwards without
// recursion. Raises when the chain ends without reaching a root.
const XIXMLElement* KeySource(const XIXMLElement* element);

}  // namespace CorvaneXML

#endif
