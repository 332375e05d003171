#include <CorvaneXML/XMLElement.h>

#include <CorvaneXML/XMLData.h>
#include <CorvaneXML/XMLMarkup.h>

#include <CorvaneXML/XMLDocument.h>

#include "dom/DocumentHome.h"
#include "dom/PlainElement.h"
#include "foundation/Raise.h"

#include <new>


namespace CorvaneXML {


const XIXMLElement* KeySource(const XIXMLElement* element) {
    while (element != nullptr && IsPlainElement(element)) {
        if (const XIXMLElement* root = static_cast<const XCXMLElement*>(element)->SettledRoot()) return root;
        element = element->AsNode()->GetParent();
    }
    Require(element != nullptr, "XCXMLElement::GetKey - element isn't in a tree");
    return element;
}

XCXMLElement::XCXMLElement(XIXMLElement* parent, const XCXMLKey& name)
    : XCXMLNode(parent), name_(name), firstChild_(nullptr), firstAttribute_(nullptr), home_(0) {}

XIXMLNode* XCXMLElement::AsNode() { return this; }
const XIXMLNode* XCXMLElement::AsNode() const { return this; }
XIXMLElement* XCXMLElement::AsElement() { return this; }

const XCXMLKey& XCXMLElement::GetKey(const char* name) const {
    return KeySource(GetParent())->GetKey(name);
}

const XCXMLKey& XCXMLElement::GetName() const { return name_; }
void XCXMLElement::SetName(const XCXMLKey& name) { name_ = name; }

// --- the document home ------------------------------------------------------

const XIXMLElement* XCXMLElement::SettledRoot() const {
    const CDocumentHome* home = SettledHome();
    return home != nullptr ? home->root.load(std::memory_order_relaxed) : nullptr;
}

CDocumentHome* XCXMLElement::HomeForChildren() const {
    if (OutOfHome() || (!IsExactly<XCXMLElement>(*this) && !IsExactly<XCXMLRoot>(*this))) return nullptr;
    return Home();
}

void XCXMLElement::SetParent(XIXMLElement* parent) {
    if (home_ != 0 && IsExactly<XCXMLElement>(*this)) Rehome(parent);
    XCXMLNode::SetParent(parent);
}

void XCXMLElement::Rehome(XIXMLElement* parent) {
    CDocumentHome* const home = Home();
    const bool settles = parent != nullptr &&
                         (IsPlainElement(parent) || IsExactly<XCXMLRoot>(*parent)) &&
                         static_cast<XCXMLElement*>(parent)->HomeForChildren() == home;
    if (OutOfHome()) {
        if (!settles) return;
        home_ &= ~std::uintptr_t{1};
        ReleaseHome(home, 2);
    } else if (!settles) {
        // The first element out: positions are not kept while the document
        // is not whole, and must be found empty when it is whole again.
        if (home->holds.fetch_add(2, std::memory_order_acq_rel) == 1) {
            home->position = {};
            home->elementPosition = {};
        }
        home_ |= 1;
    }
}

void XCXMLElement::LeaveHome() {
    CDocumentHome* const home = Home();
    if (home == nullptr) return;
    if (OutOfHome()) {
        ReleaseHome(home, 2);
    } else if (home->owner == this) {
        ReleaseHome(home, 1);
    }
    home_ = 0;
}

// --- list editing -----------------------------------------------------------

XIXMLNode* XCXMLElement::LastChild() const {
    if (firstChild_ == nullptr) return nullptr;
    XCXMLNode* const first = OwnNode(firstChild_);
    if (first != nullptr) {
        XIXMLNode* last = first->previous_;
        if (last != nullptr && last->GetNext() == nullptr &&
            last->GetParent() == static_cast<const XIXMLElement*>(this)) {
            return last;
        }
    }
    XIXMLNode* last = firstChild_;
    while (last->GetNext() != nullptr) last = last->GetNext();
    if (first != nullptr) first->previous_ = last;
    return last;
}

XIXMLNode* XCXMLElement::ChildBefore(XIXMLNode* child) const {
    if (XCXMLNode* own = OwnNode(child)) {
        XIXMLNode* previous = own->previous_;
        if (previous != nullptr && previous != child && previous->GetNext() == child &&
            previous->GetParent() == static_cast<const XIXMLElement*>(this)) {
            return previous;
        }
    }
    XIXMLNode* previous = nullptr;
    for (XIXMLNode* current = firstChild_; current != child; current = current->GetNext()) {
        if (current == nullptr) return nullptr;
        previous = current;
    }
    return previous;
}

void XCXMLElement::AddNode(XIXMLNode* node) {
    Require(node != nullptr, message::kNullNode);
    Require(node->GetParent() == nullptr && node->GetNext() == nullptr, "Node is already in an element");
    XIXMLNode* const last = LastChild();
    if (last == nullptr) {
        firstChild_ = node;
        SetPrevious(node, node);
    } else {
        last->SetNext(node);
        SetPrevious(node, last);
        SetPrevious(firstChild_, node);
    }
    node->SetParent(this);
}

void XCXMLElement::RemoveNode(XIXMLNode* node) {
    Require(node != nullptr && node->GetParent() == this, "Node is not a child of this element");
    XIXMLNode* const next = node->GetNext();
    if (firstChild_ == node) {
        XIXMLNode* const last = next != nullptr ? LastChild() : nullptr;
        firstChild_ = next;
        SetPrevious(next, last);
    } else {
        XIXMLNode* const previous = ChildBefore(node);
        Require(previous != nullptr, "XCXMLElement::RemoveNode previous == NULL");
        previous->SetNext(next);
        SetPrevious(next != nullptr ? next : firstChild_, previous);
    }
    ForgetPosition();
    node->SetParent(nullptr);
    node->SetNext(nullptr);
}

void XCXMLElement::MoveNode(XIXMLNode* node, XIXMLNode* before) {
    if (node == before) return;
    Require(node != nullptr, message::kNullNode);
    if (node->GetNext() == before) return;
    RemoveNode(node);
    if (firstChild_ == before) {
        XIXMLNode* const last = before != nullptr ? LastChild() : node;
        firstChild_ = node;
        SetPrevious(node, last);
        SetPrevious(before, node);
    } else if (before == nullptr) {
        XIXMLNode* const last = LastChild();
        last->SetNext(node);
        SetPrevious(node, last);
        SetPrevious(firstChild_, node);
    } else {
        XIXMLNode* const previous = ChildBefore(before);
        Require(previous != nullptr, "XCXMLElement::MoveNode previous == NULL");
        previous->SetNext(node);
        SetPrevious(node, previous);
        SetPrevious(before, node);
    }
    ForgetPosition();
    node->SetNext(before);
    node->SetParent(this);
}

unsigned int XCXMLElement::IndexOf(const XIXMLNode* node) const {
    if (node == nullptr) return 0xFFFFFFFFu;
    // From the last position found to the end, then from the start up to it.
    CDocumentHome* const home = SettledHome();
    XIXMLNode* from = firstChild_;
    unsigned int fromIndex = 0;
    if (home != nullptr && home->position.list == this) {
        from = home->position.node;
        fromIndex = home->position.index;
    }
    XIXMLNode* child = from;
    unsigned int index = fromIndex;
    for (; child != nullptr && child != node; child = child->GetNext()) ++index;
    if (child == nullptr && from != firstChild_) {
        index = 0;
        for (child = firstChild_; child != from && child != node; child = child->GetNext()) ++index;
        if (child == from) child = nullptr;
    }
    if (child == nullptr) return 0xFFFFFFFFu;
    if (home != nullptr) home->position = {this, child, index};
    return index;
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
    // Continues from the last element found when the one asked comes later.
    CDocumentHome* const home = SettledHome();
    XIXMLNode* child = firstChild_;
    unsigned int count = 0;
    if (home != nullptr && home->elementPosition.list == this && home->elementPosition.index <= index) {
        child = home->elementPosition.node;
        count = home->elementPosition.index;
    }
    for (; child != nullptr; child = child->GetNext()) {
        XIXMLElement* element = child->AsElement();
        if (element == nullptr) continue;
        if (count == index) {
            if (home != nullptr) home->elementPosition = {this, child, count};
            return element;
        }
        ++count;
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
    element->home_ = reinterpret_cast<std::uintptr_t>(HomeForChildren());
    return element;
}

XIXMLData* XCXMLElement::AddData(XIXMLData::IXMLCData* provider) {
    Require(GetData() == nullptr, "Only one data node for an element");
    return new XCXMLData(this, provider);
}

XIXMLData* XCXMLElement::AddData(const char* text) { return PlaceData(text, nullptr); }

XIXMLData* XCXMLElement::PlaceData(const char* text, CNodeArena* arena) {
    Require(GetData() == nullptr, "Only one data node for an element");
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
