#include <CorvaneXML/XMLElement.h>

#include <CorvaneTools/CorvaneTools.h>

#include <cstring>

namespace CorvaneXML {

using Corvane::CvThrow;

XIXMLAttribute* XCXMLElement::AddAttribute(const XCXMLKey& name, const char* value) {
    XIXMLAttribute* attribute = new XCXMLAttribute(this, name, value);
    if (firstAttribute_ == nullptr) {
        firstAttribute_ = attribute;
    } else {
        XIXMLAttribute* last = firstAttribute_;
        while (last->GetNext() != nullptr) last = last->GetNext();
        last->SetNext(attribute);
    }
    return attribute;
}

void XCXMLElement::RemoveAttribute(XIXMLAttribute* attribute) {
    CvThrow::SiNULL(attribute);
    if (firstAttribute_ == attribute) {
        firstAttribute_ = attribute->GetNext();
        return;
    }
    XIXMLAttribute* previous = nullptr;
    for (XIXMLAttribute* current = firstAttribute_; current != attribute;
         current = current->GetNext()) {
        CvThrow::IfNULL(current, "XCXMLElement::RemoveAttribute previous == NULL");
        previous = current;
    }
    previous->SetNext(attribute->GetNext());
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
