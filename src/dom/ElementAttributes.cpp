// The element's list of attributes.

#include <CorvaneXML/XMLElement.h>

#include <CorvaneXML/XMLAttribute.h>

#include "dom/Access.h"
#include "dom/DocumentHome.h"
#include "dom/Factories.h"
#include "dom/ListHints.h"
#include "foundation/Raise.h"

#include <cstring>

namespace CorvaneXML {

namespace {

XIXMLAttribute* LastAttribute(const XCXMLElement& element) {
    return LastMember(&element, CElementAccess::FirstAttribute(element));
}

XIXMLAttribute* AttributeBefore(const XCXMLElement& element, XIXMLAttribute* attribute) {
    return MemberBefore(&element, CElementAccess::FirstAttribute(element), attribute);
}

}  // namespace

XIXMLAttribute* XCXMLElement::AddAttribute(const XCXMLKey& name, const char* value) {
    Require(value != nullptr, message::kNullValue);
    // Not carved from the document's chunks.
    ForbidChunkRelease(this);
    return AppendAttribute(*this, name, NodeText(value), nullptr);
}

XCXMLAttribute* AppendAttribute(XCXMLElement& element, const XCXMLKey& name, const CNodeText& value,
                                CNodeArena* arena) {
    XIXMLAttribute* const firstAttribute = CElementAccess::FirstAttribute(element);
    if (firstAttribute == nullptr) return AppendAttributeAfter(element, nullptr, name, value, arena);
    XCXMLAttribute* const first = OwnAttribute(firstAttribute);
    XCXMLAttribute* const last = first != nullptr ? OwnAttribute(CAttributeAccess::Previous(*first)) : nullptr;
    if (last != nullptr && CAttributeAccess::Next(*last) == nullptr && CAttributeAccess::Owner(*last) == &element) {
        // The library's own attributes at both ends of the list: what
        // LastAttribute and SetNext would do, without calls through the
        // interface for each attribute read.
        return AppendAttributeAfter(element, last, name, value, arena);
    }
    XCXMLAttribute* const attribute = CreateAttribute(&element, name, value, arena);
    XIXMLAttribute* const found = LastAttribute(element);
    found->SetNext(attribute);
    CAttributeAccess::Previous(*attribute) = found;
    SetPrevious(CElementAccess::FirstAttribute(element), attribute);
    return attribute;
}

XCXMLAttribute* AppendAttributeAfter(XCXMLElement& element, XCXMLAttribute* last, const XCXMLKey& name,
                                     const CNodeText& value, CNodeArena* arena) {
    XCXMLAttribute* const attribute = CreateAttribute(&element, name, value, arena);
    XIXMLAttribute*& first = CElementAccess::FirstAttribute(element);
    if (last == nullptr) {
        first = attribute;
        CAttributeAccess::Previous(*attribute) = attribute;
    } else {
        CAttributeAccess::Next(*last) = attribute;
        CAttributeAccess::Previous(*attribute) = last;
        CAttributeAccess::Previous(*static_cast<XCXMLAttribute*>(first)) = attribute;
    }
    return attribute;
}

void XCXMLElement::RemoveAttribute(XIXMLAttribute* attribute) {
    Require(attribute != nullptr, "Attribute is null");
    ForbidChunkRelease(this);
    UnlinkAttribute(*this, attribute);
}

void UnlinkAttribute(XCXMLElement& element, XIXMLAttribute* attribute) {
    // A removed attribute keeps its owner and next links, so only the links
    // of the attributes around it say that it is gone; and, for the
    // library's own, an empty hint, which the library's list operations
    // never leave on an attribute in a list.
    XIXMLAttribute*& first = CElementAccess::FirstAttribute(element);
    XIXMLAttribute* const next = attribute->GetNext();
    if (first == attribute) {
        XIXMLAttribute* const last = next != nullptr ? LastAttribute(element) : nullptr;
        first = next;
        SetPrevious(next, last);
    } else {
        XIXMLAttribute* const previous = AttributeBefore(element, attribute);
        Require(previous != nullptr, "XCXMLElement::RemoveAttribute previous == NULL");
        LinkNext(previous, next);
        SetPrevious(next != nullptr ? next : first, previous);
    }
    SetPrevious(attribute, nullptr);
}

XIXMLAttribute* XCXMLElement::GetFirstAttribute() const { return firstAttribute_; }

XIXMLAttribute* XCXMLElement::FindAttribute(const XCXMLKey& name) const {
    // The key of "" is the wildcard: it stands for whatever attribute comes first.
    const char* text = name;
    if (text != nullptr && *text == '\0') return firstAttribute_;
    for (XIXMLAttribute* attribute = firstAttribute_; attribute != nullptr; attribute = attribute->GetNext()) {
        if (attribute->GetName() == name) return attribute;
    }
    return nullptr;
}

bool XCXMLElement::TestAttribute(const XCXMLKey& name, const char* value) const {
    // A null value is never equal to anything.
    const XIXMLAttribute* attribute = FindAttribute(name);
    return attribute != nullptr && value != nullptr && std::strcmp(attribute->GetValue(), value) == 0;
}

}  // namespace CorvaneXML
