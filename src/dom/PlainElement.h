#ifndef CORVANEXML_DOM_PLAINELEMENT_H
#define CORVANEXML_DOM_PLAINELEMENT_H

#include <CorvaneXML/XMLElement.h>

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

// The element that finally answers GetKey for `element`: a plain element only
// forwards to its parent, so this skips plain elements upwards without
// recursion. Raises when the chain ends without reaching a root.
const XIXMLElement* KeySource(const XIXMLElement* element);

}  // namespace CorvaneXML

#endif
