#include <CorvaneXML/XMLElement.h>

#include "foundation/Raise.h"


#include <cstring>
#include "foundation/ExactType.h"

namespace CorvaneXML {


namespace {

XCXMLAttribute* OwnAttribute(XIXMLAttribute* attribute) {
    return attribute != nullptr && IsExactly<XCXMLAttribute>(*attribute) ? static_cast<XCXMLAttribute*>(attribute)
                                                                          : nullptr;
}

}  // namespace

void XCXMLElement::SetPrevious(XIXMLAttribute* attribute, XIXMLAttribute* previous) {
    if (XCXMLAttribute* own = OwnAttribute(attribute)) own->previous_ = previous;
}

XIXMLAttribute* XCXMLElement::LastAttribute() const {
    if (firstAttribute_ == nullptr) return nullptr;
    XCXMLAttribute* const first = OwnAttribute(firstAttribute_);
    if (first != nullptr) {
        XIXMLAttribute* last = first->previous_;
        if (last != nullptr && last->GetNext() == nullptr &&
            last->GetNode() == static_cast<const XIXMLElement*>(this)) {
            return last;
        }
    }
    XIXMLAttribute* last = firstAttribute_;
    while (last->GetNext() != nullptr) last = last->GetNext();
    if (first != nullptr) first->previous_ = last;
    return last;
}

XIXMLAttribute* XCXMLElement::AttributeBefore(XIXMLAttribute* attribute) const {
    if (XCXMLAttribute* own = OwnAttribute(attribute)) {
        XIXMLAttribute* previous = own->previous_;
        if (previous != nullptr && previous != attribute && previous->GetNext() == attribute &&
            previous->GetNode() == static_cast<const XIXMLElement*>(this)) {
            return previous;
        }
    }
    XIXMLAttribute* previous = nullptr;
    for (XIXMLAttribute* current = firstAttribute_; current != attribute; current = current->GetNext()) {
        if (current == nullptr) return nullptr;
        previous = current;
    }
    return previous;
}

XIXMLAttribute* XCXMLElement::AddAttribute(const XCXMLKey& name, const char* value) {
    return PlaceAttribute(name, value, nullptr);
}

XIXMLAttribute* XCXMLElement::PlaceAttribute(const XCXMLKey& name, const char* value,
                                             CNodeArena* arena) {
    XCXMLAttribute* attribute = XCXMLAttribute::Create(this, name, value, arena);
    XCXMLAttribute* const first = OwnAttribute(firstAttribute_);
    XCXMLAttribute* const last = first != nullptr ? OwnAttribute(first->previous_) : nullptr;
    if (firstAttribute_ == nullptr) {
        firstAttribute_ = attribute;
        attribute->previous_ = attribute;
        return attribute;
    }
    if (last != nullptr && last->next_ == nullptr && last->owner_ == this) {
        // The library's own attributes at both ends of the list: what
        // LastAttribute and SetNext would do, without calls through the
        // interface for each attribute read.
        last->next_ = attribute;
        attribute->previous_ = last;
    } else {
        XIXMLAttribute* const found = LastAttribute();
        found->SetNext(attribute);
        attribute->previous_ = found;
    }
    SetPrevious(firstAttribute_, attribute);
    return attribute;
}

void XCXMLElement::RemoveAttribute(XIXMLAttribute* attribute) {
    Require(attribute != nullptr, "Attribute is null");
    // A removed attribute keeps its owner and next links, so only the links
    // of the attributes around it say that it is gone.
    XIXMLAttribute* const next = attribute->GetNext();
    if (firstAttribute_ == attribute) {
        XIXMLAttribute* const last = next != nullptr ? LastAttribute() : nullptr;
        firstAttribute_ = next;
        SetPrevious(next, last);
        return;
    }
    XIXMLAttribute* const previous = AttributeBefore(attribute);
    Require(previous != nullptr, "XCXMLElement::RemoveAttribute previous == NULL");
    previous->SetNext(next);
    SetPrevious(next != nullptr ? next : firstAttribute_, previous);
}

XIXMLAttribute* XCXMLElement::GetFirstAttribute() const { return firstAttribute_; }

XIXMLAttribute* XCXMLElement::FindAttribute(const XCXMLKey& name) const {
    // The key of "" is the wildcard: it stands for whatever attribute comes first.
    const char* text = name;
    if (text != nullptr && *text == '\0') return firstAttribute_;
    for (XIXMLAttribute* attribute = firstAttribute_; attribute != nullptr;
         attribute = attribute->GetNext()) {
        if (attribute->GetName() == name) return attribute;
    }
    return nullptr;
}

bool XCXMLElement::TestAttribute(const XCXMLKey& name, const char* value) const {
    // A null value is never equal to anything.
    const XIXMLAttribute* attribute = FindAttribute(name);
    return attribute != nullptr && value != nullptr &&
           std::strcmp(attribute->GetValue(), value) == 0;
}

}  // namespace CorvaneXML
