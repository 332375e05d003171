#include <CorvaneXML/XMLElement.h>

#include "foundation/Checks.h"

#include <CorvaneTools/CorvaneTools.h>

#include <cstring>
#include "foundation/ExactType.h"

namespace CorvaneXML {

using Corvane::CvThrow;

XIXMLAttribute* XCXMLElement::LastAttribute() const {
    if (firstAttribute_ == nullptr) return nullptr;
    if (lastAttribute_ != nullptr && lastAttribute_->GetNext() == nullptr &&
        lastAttribute_->GetNode() == static_cast<const XIXMLElement*>(this)) {
        return lastAttribute_;
    }
    XIXMLAttribute* last = firstAttribute_;
    while (last->GetNext() != nullptr) last = last->GetNext();
    lastAttribute_ = last;
    return last;
}

XIXMLAttribute* XCXMLElement::AddAttribute(const XCXMLKey& name, const char* value) {
    return PlaceAttribute(name, value, nullptr);
}

XIXMLAttribute* XCXMLElement::PlaceAttribute(const XCXMLKey& name, const char* value,
                                             CNodeArena* arena) {
    XCXMLAttribute* attribute = XCXMLAttribute::Create(this, name, value, arena);
    XCXMLAttribute* const own = static_cast<XCXMLAttribute*>(lastAttribute_);
    if (firstAttribute_ == nullptr) {
        firstAttribute_ = attribute;
    } else if (own != nullptr && IsExactly<XCXMLAttribute>(*lastAttribute_) &&
               own->next_ == nullptr && own->owner_ == this) {
        // The hint is one of the library's own attributes and still the last:
        // what LastAttribute and SetNext would do, without calls through the
        // interface for each attribute read.
        own->next_ = attribute;
    } else {
        LastAttribute()->SetNext(attribute);
    }
    lastAttribute_ = attribute;
    return attribute;
}

void XCXMLElement::RemoveAttribute(XIXMLAttribute* attribute) {
    check::SiNULL(attribute, "Attribute is null");
    // A removed attribute keeps its owner and next links, so it could still
    // pass for the last one: forget it before anything else.
    if (lastAttribute_ == attribute) lastAttribute_ = nullptr;
    XIXMLAttribute* previous = nullptr;
    if (firstAttribute_ == attribute) {
        firstAttribute_ = attribute->GetNext();
    } else {
        for (XIXMLAttribute* current = firstAttribute_; current != attribute;
             current = current->GetNext()) {
            CvThrow::IfNULL(current, "XCXMLElement::RemoveAttribute previous == NULL");
            previous = current;
        }
        previous->SetNext(attribute->GetNext());
    }
    if (attribute->GetNext() == nullptr) lastAttribute_ = previous;
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
