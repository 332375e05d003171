#include <CorvaneXML/XMLElement.h>

#include <CorvaneXML/XMLData.h>
#include <CorvaneXML/XMLMarkup.h>

#include "dom/PlainElement.h"
#include "foundation/Checks.h"

#include <new>

#include <CorvaneTools/CorvaneTools.h>

namespace CorvaneXML {

using Corvane::CvThrow;

const XIXMLElement* KeySource(const XIXMLElement* element) {
    while (element != nullptr && IsPlainElement(element)) {
        element = element->AsNode()->GetParent();
    }
    CvThrow::IfNULL(element, "XCXMLElement::GetKey - element isn't in a tree");
    return element;
}

XCXMLElement::XCXMLElement(XIXMLElement* parent, const XCXMLKey& name)
    : XCXMLNode(parent),
      name_(name),
      firstChild_(nullptr),
      firstAttribute_(nullptr),
      lastChild_(nullptr),
      lastAttribute_(nullptr) {}

XIXMLNode* XCXMLElement::AsNode() { return this; }
const XIXMLNode* XCXMLElement::AsNode() const { return this; }
XIXMLElement* XCXMLElement::AsElement() { return this; }

const XCXMLKey& XCXMLElement::GetKey(const char* name) const {
    return KeySource(GetParent())->GetKey(name);
}

const XCXMLKey& XCXMLElement::GetName() const { return name_; }
void XCXMLElement::SetName(const XCXMLKey& name) { name_ = name; }

// --- list editing -----------------------------------------------------------

XIXMLNode* XCXMLElement::LastChild() const {
    if (firstChild_ == nullptr) return nullptr;
    if (lastChild_ != nullptr && lastChild_->GetNext() == nullptr &&
        lastChild_->GetParent() == static_cast<const XIXMLElement*>(this)) {
        return lastChild_;
    }
    XIXMLNode* last = firstChild_;
    while (last->GetNext() != nullptr) last = last->GetNext();
    lastChild_ = last;
    return last;
}

void XCXMLElement::AddNode(XIXMLNode* node) {
    check::IfFalse(node != nullptr, message::kNullNode);
    check::IfFalse(node->GetParent() == nullptr && node->GetNext() == nullptr, "Node is already in an element");
    if (firstChild_ == nullptr) {
        firstChild_ = node;
    } else {
        LastChild()->SetNext(node);
    }
    lastChild_ = node;
    node->SetParent(this);
}

void XCXMLElement::RemoveNode(XIXMLNode* node) {
    check::IfFalse(node != nullptr && node->GetParent() == this, "Node is not a child of this element");
    // Forgotten first, so that a failed unlinking cannot leave the hint on it.
    if (lastChild_ == node) lastChild_ = nullptr;
    XIXMLNode* previous = nullptr;
    if (firstChild_ == node) {
        firstChild_ = node->GetNext();
    } else {
        for (XIXMLNode* current = firstChild_; current != node; current = current->GetNext()) {
            CvThrow::IfNULL(current, "XCXMLElement::RemoveNode previous == NULL");
            previous = current;
        }
        previous->SetNext(node->GetNext());
    }
    if (node->GetNext() == nullptr) lastChild_ = previous;
    node->SetParent(nullptr);
    node->SetNext(nullptr);
}

void XCXMLElement::MoveNode(XIXMLNode* node, XIXMLNode* before) {
    if (node == before) return;
    CvThrow::IfFalse(node != nullptr, "%s", message::kNullNode);
    if (node->GetNext() == before) return;
    RemoveNode(node);
    if (firstChild_ == before) {
        firstChild_ = node;
    } else if (before == nullptr) {
        LastChild()->SetNext(node);
    } else {
        XIXMLNode* previous = nullptr;
        for (XIXMLNode* current = firstChild_; current != before; current = current->GetNext()) {
            CvThrow::IfNULL(current, "XCXMLElement::MoveNode previous == NULL");
            previous = current;
        }
        previous->SetNext(node);
    }
    if (before == nullptr) lastChild_ = node;
    node->SetNext(before);
    node->SetParent(this);
}

unsigned int XCXMLElement::IndexOf(const XIXMLNode* node) const {
    unsigned int index = 0;
    for (const XIXMLNode* child = firstChild_; child != nullptr; child = child->GetNext()) {
        if (child == node) return index;
        ++index;
    }
    return 0xFFFFFFFFu;
}

// --- navigation -------------------------------------------------------------

XIXMLNode* XCXMLElement::GetFirstNode() const { return firstChild_; }

XIXMLElement* XCXMLElement::FindFirstElement() const {
    for (XIXMLNode* child = firstChild_; child != nullptr; child = child->GetNext()) {
        if (XIXMLElement* element = child->AsElement()) return element;
    }
    return nullptr;
}

XIXMLElement* XCXMLElement::NextElement() const {
    for (XIXMLNode* sibling = GetNext(); sibling != nullptr; sibling = sibling->GetNext()) {
        if (XIXMLElement* element = sibling->AsElement()) return element;
    }
    return nullptr;
}

XIXMLElement* XCXMLElement::FindElement(const XCXMLKey& name) const {
    for (XIXMLNode* child = firstChild_; child != nullptr; child = child->GetNext()) {
        XIXMLElement* element = child->AsElement();
        if (element != nullptr && element->GetName() == name) return element;
    }
    return nullptr;
}

XIXMLElement* XCXMLElement::NextSameElement() const {
    for (XIXMLElement* element = NextElement(); element != nullptr;
         element = element->NextElement()) {
        if (element->GetName() == name_) return element;
    }
    return nullptr;
}

unsigned int XCXMLElement::NbElements() const {
    unsigned int count = 0;
    for (XIXMLNode* child = firstChild_; child != nullptr; child = child->GetNext()) {
        if (child->AsElement() != nullptr) ++count;
    }
    return count;
}

XIXMLElement* XCXMLElement::FindElementByIndex(unsigned int index) const {
    for (XIXMLNode* child = firstChild_; child != nullptr; child = child->GetNext()) {
        XIXMLElement* element = child->AsElement();
        if (element != nullptr && index-- == 0) return element;
    }
    return nullptr;
}

XIXMLData* XCXMLElement::GetData() {
    for (XIXMLNode* child = firstChild_; child != nullptr; child = child->GetNext()) {
        if (XIXMLData* data = child->AsData()) return data;
    }
    return nullptr;
}

const XIXMLData* XCXMLElement::GetData() const {
    return const_cast<XCXMLElement*>(this)->GetData();
}

// --- factories --------------------------------------------------------------

XIXMLElement* XCXMLElement::AddElement(const XCXMLKey& name) { return PlaceElement(name, nullptr); }

XCXMLElement* XCXMLElement::PlaceElement(const XCXMLKey& name, CNodeArena* arena) {
    XCXMLElement* element = new (XCXMLPlacement{arena, 0}) XCXMLElement(this, name);
    if (element == nullptr) throw std::bad_alloc();
    return element;
}

XIXMLData* XCXMLElement::AddData(XIXMLData::IXMLCData* provider) {
    CvThrow::SiFaux(GetData() == nullptr, "Only one data node for an element");
    return new XCXMLData(this, provider);
}

XIXMLData* XCXMLElement::AddData(const char* text) { return PlaceData(text, nullptr); }

XIXMLData* XCXMLElement::PlaceData(const char* text, CNodeArena* arena) {
    CvThrow::SiFaux(GetData() == nullptr, "Only one data node for an element");
    return XCXMLData::Create(this, text, arena);
}

XIXMLDocType* XCXMLElement::AddDocType(const XCXMLKey& token, const char* publicId,
                                       const char* systemId, const char* local) {
    return new XCXMLDocType(this, token, publicId, systemId, local);
}

XIXMLComment* XCXMLElement::AddComment(const char* comment) {
    return new XCXMLComment(this, comment);
}

XIXMLPI* XCXMLElement::AddPI(const char* processor, const char* instruction) {
    return new XCXMLPI(this, processor, instruction);
}

}  // namespace CorvaneXML
