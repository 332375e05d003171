// The element as a node: its name, its list of children, navigation, and the
// factories that append new nodes. Its attribute list is in
// ElementAttributes.cpp, its destruction and deep copy in ElementSubtree.cpp,
// its writing in src/writer.

#include <CorvaneXML/XMLElement.h>

#include <CorvaneXML/XMLDocument.h>
#include <CorvaneXML/XMLMarkup.h>

#include "dom/Access.h"
#include "dom/DocumentHome.h"
#include "dom/Factories.h"
#include "dom/ListHints.h"
#include "foundation/NodeMemory.h"
#include "foundation/Raise.h"

#include <memory>
#include <new>

namespace CorvaneXML {

namespace {

XIXMLNode* LastChild(const XCXMLElement& element) { return LastMember(&element, CElementAccess::FirstChild(element)); }

XIXMLNode* ChildBefore(const XCXMLElement& element, XIXMLNode* child) {
    return MemberBefore(&element, CElementAccess::FirstChild(element), child);
}

// The document's root, when `element` is known to be under it through the
// library's own elements alone; null when only a climb can tell.
const XIXMLElement* SettledRoot(const XCXMLElement& element) {
    const CDocumentHome* home = SettledHome(element);
    return home != nullptr ? home->root.load(std::memory_order_relaxed) : nullptr;
}

// Notes whether the element, a plain one with a home, is out of its
// document once `parent` holds it.
void Rehome(XCXMLElement& element, XIXMLElement* parent) {
    CDocumentHome* const home = HomeOf(element);
    if (home == nullptr) return;
    const bool settles = parent != nullptr && (IsPlainElement(parent) || IsExactly<XCXMLRoot>(*parent)) &&
                         HomeForChildren(*static_cast<XCXMLElement*>(parent)) == home;
    std::uintptr_t& word = CElementAccess::Home(element);
    if (IsOutOfHome(element)) {
        if (!settles) return;
        word &= ~kOutOfHome;
        ReleaseHome(home, CDocumentHome::kOutHolds);
    } else if (!settles) {
        // The first element out: positions are not kept while the document
        // is not whole, and must be found empty when it is whole again.
        if (home->holds.fetch_add(CDocumentHome::kOutHolds, std::memory_order_acq_rel) == CDocumentHome::kRootHolds) {
            home->position = {};
            home->elementPosition = {};
        }
        word |= kOutOfHome;
    }
}

// The last child of one of the library's own elements, when it is one of
// the library's own nodes and its links agree (see ListHints.h).
XCXMLNode* OwnLastChild(XCXMLElement& parent) {
    XCXMLNode* const first = OwnNode(CElementAccess::FirstChild(parent));
    XCXMLNode* const last = first != nullptr ? OwnNode(CNodeAccess::Previous(*first)) : nullptr;
    return last != nullptr && CNodeAccess::Next(*last) == nullptr && CNodeAccess::Parent(*last) == &parent ? last
                                                                                                           : nullptr;
}

// Whether a node made by a factory of `parent` may be appended by
// AppendMade, which does what constructing it with `parent` does through
// AddNode, without the calls through the interfaces. `last` is the last
// child for AppendMade (null while there is none).
bool AppendsDirectly(XCXMLElement& parent, XCXMLNode*& last) {
    if (!IsExactly<XCXMLElement>(parent) && !IsExactly<XCXMLRoot>(parent)) return false;
    if (CElementAccess::FirstChild(parent) == nullptr) {
        last = nullptr;
        return true;
    }
    last = OwnLastChild(parent);
    return last != nullptr;
}

// The first child is the library's own whenever there is a last one: so
// AppendsDirectly found it, and so the tree reader made it.
void AppendMade(XCXMLElement& parent, XCXMLNode* last, XCXMLNode& node) {
    XIXMLNode*& first = CElementAccess::FirstChild(parent);
    if (last == nullptr) {
        first = &node;
        CNodeAccess::Previous(node) = &node;
    } else {
        CNodeAccess::Next(*last) = &node;
        CNodeAccess::Previous(node) = last;
        CNodeAccess::Previous(*static_cast<XCXMLNode*>(first)) = &node;
    }
    CNodeAccess::Parent(node) = &parent;
}

const char kOneDataNode[] = "Only one data node for an element";

// A text node appended to an element known to have none yet.
XCXMLData* AppendSoleData(XCXMLElement& element, const CNodeText& text, CNodeArena* arena) {
    XCXMLNode* last = nullptr;
    if (!AppendsDirectly(element, last)) return CreateData(&element, text, arena);
    XCXMLData* const data = CreateData(nullptr, text, arena);
    AppendMade(element, last, *data);
    return data;
}

}  // namespace

// --- the document home ------------------------------------------------------

CDocumentHome* HomeForChildren(const XCXMLElement& element) {
    if (IsOutOfHome(element) || (!IsExactly<XCXMLElement>(element) && !IsExactly<XCXMLRoot>(element))) return nullptr;
    return HomeOf(element);
}

void LeaveHome(XCXMLElement& element) {
    CDocumentHome* const home = HomeOf(element);
    if (home == nullptr) return;
    if (IsOutOfHome(element)) {
        ReleaseHome(home, CDocumentHome::kOutHolds);
    } else if (home->owner == &element) {
        ReleaseHome(home, CDocumentHome::kRootHolds);
    }
    CElementAccess::Home(element) = 0;
}

const XIXMLElement* KeySource(const XIXMLElement* element) {
    while (element != nullptr && IsPlainElement(element)) {
        if (const XIXMLElement* root = SettledRoot(*static_cast<const XCXMLElement*>(element))) return root;
        element = element->AsNode()->GetParent();
    }
    Require(element != nullptr, "XCXMLElement::GetKey - element isn't in a tree");
    return element;
}

// --- the element -------------------------------------------------------------

XCXMLElement::XCXMLElement(XIXMLElement* parent, const XCXMLKey& name)
    : XCXMLNode(parent), name_(name), firstChild_(nullptr), firstAttribute_(nullptr), home_(0) {}

XIXMLNode* XCXMLElement::AsNode() { return this; }
const XIXMLNode* XCXMLElement::AsNode() const { return this; }
XIXMLElement* XCXMLElement::AsElement() { return this; }

const XCXMLKey& XCXMLElement::GetKey(const char* name) const { return KeySource(GetParent())->GetKey(name); }

const XCXMLKey& XCXMLElement::GetName() const { return name_; }
void XCXMLElement::SetName(const XCXMLKey& name) { name_ = name; }

void XCXMLElement::SetParent(XIXMLElement* parent) {
    if (home_ != 0 && IsExactly<XCXMLElement>(*this)) Rehome(*this, parent);
    XCXMLNode::SetParent(parent);
}

// --- list editing -----------------------------------------------------------

void XCXMLElement::AddNode(XIXMLNode* node) {
    Require(node != nullptr, message::kNullNode);
    Require(node->GetParent() == nullptr && node->GetNext() == nullptr, "Node is already in an element");
    ForbidChunkRelease(this);
    XIXMLNode* const last = LastChild(*this);
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
        XIXMLNode* const last = next != nullptr ? LastChild(*this) : nullptr;
        firstChild_ = next;
        SetPrevious(next, last);
    } else {
        XIXMLNode* const previous = ChildBefore(*this, node);
        Require(previous != nullptr, "XCXMLElement::RemoveNode previous == NULL");
        LinkNext(previous, next);
        SetPrevious(next != nullptr ? next : firstChild_, previous);
    }
    ForgetPosition(*this);
    // The node's SetParent notes that the document changed, unless the node
    // is in its last step of destruction and leaves for good.
    node->SetParent(nullptr);
    node->SetNext(nullptr);
}

void XCXMLElement::MoveNode(XIXMLNode* node, XIXMLNode* before) {
    if (node == before) return;
    Require(node != nullptr, message::kNullNode);
    if (node->GetNext() == before) return;
    RemoveNode(node);
    if (firstChild_ == before) {
        XIXMLNode* const last = before != nullptr ? LastChild(*this) : node;
        firstChild_ = node;
        SetPrevious(node, last);
        SetPrevious(before, node);
    } else if (before == nullptr) {
        XIXMLNode* const last = LastChild(*this);
        last->SetNext(node);
        SetPrevious(node, last);
        SetPrevious(firstChild_, node);
    } else {
        XIXMLNode* const previous = ChildBefore(*this, before);
        Require(previous != nullptr, "XCXMLElement::MoveNode previous == NULL");
        previous->SetNext(node);
        SetPrevious(node, previous);
        SetPrevious(before, node);
    }
    ForgetPosition(*this);
    node->SetNext(before);
    node->SetParent(this);
}

unsigned int XCXMLElement::IndexOf(const XIXMLNode* node) const {
    if (node == nullptr) return kNoIndex;
    // From the last position found to the end, then from the start up to it.
    CDocumentHome* const home = SettledHome(*this);
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
    if (child == nullptr) return kNoIndex;
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
    for (XIXMLElement* element = NextElement(); element != nullptr; element = element->NextElement()) {
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
    CDocumentHome* const home = SettledHome(*this);
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

const XIXMLData* XCXMLElement::GetData() const { return const_cast<XCXMLElement*>(this)->GetData(); }

// --- factories --------------------------------------------------------------

// What the factories make is not carved from the document's chunks.
XIXMLElement* XCXMLElement::AddElement(const XCXMLKey& name) {
    ForbidChunkRelease(this);
    return AppendElement(*this, name, nullptr);
}

XCXMLElement* AppendElement(XCXMLElement& parent, const XCXMLKey& name, CNodeArena* arena) {
    XCXMLNode* last = nullptr;
    if (AppendsDirectly(parent, last)) return AppendElementAfter(parent, last, name, arena, HomeForChildren(parent));
    XCXMLElement* element =
        ConstructInBlock<XCXMLElement>(AllocateNodeBlock(sizeof(XCXMLElement), arena), &parent, name);
    if (element == nullptr) throw std::bad_alloc();
    CElementAccess::Home(*element) = reinterpret_cast<std::uintptr_t>(HomeForChildren(parent));
    return element;
}

XCXMLElement* AppendElementAfter(XCXMLElement& parent, XCXMLNode* last, const XCXMLKey& name, CNodeArena* arena,
                                 CDocumentHome* home) {
    XCXMLElement* element =
        ConstructInBlock<XCXMLElement>(AllocateNodeBlock(sizeof(XCXMLElement), arena), nullptr, name);
    if (element == nullptr) throw std::bad_alloc();
    AppendMade(parent, last, *element);
    CElementAccess::Home(*element) = reinterpret_cast<std::uintptr_t>(home);
    return element;
}

XIXMLData* XCXMLElement::AddData(XIXMLData::IXMLCData* provider) {
    Require(GetData() == nullptr, kOneDataNode);
    return new XCXMLData(this, provider);
}

XIXMLData* XCXMLElement::AddData(const char* text) {
    ForbidChunkRelease(this);
    Require(GetData() == nullptr, kOneDataNode);
    Require(text != nullptr, message::kNullText);
    return AppendSoleData(*this, NodeText(text), nullptr);
}

XCXMLData* AppendData(XCXMLElement& element, const CNodeText& text, CNodeArena* arena) {
    Require(element.GetData() == nullptr, kOneDataNode);
    return AppendSoleData(element, text, arena);
}

XCXMLData* AppendDataAfter(XCXMLElement& element, XCXMLNode* last, const CNodeText& text, CNodeArena* arena) {
    Require(element.GetData() == nullptr, kOneDataNode);
    XCXMLData* const data = CreateData(nullptr, text, arena);
    AppendMade(element, last, *data);
    return data;
}

XIXMLDocType* XCXMLElement::AddDocType(const XCXMLKey& token, const char* publicId, const char* systemId,
                                       const char* local) {
    return new XCXMLDocType(this, token, publicId, systemId, local);
}

XIXMLComment* XCXMLElement::AddComment(const char* comment) { return new XCXMLComment(this, comment); }

XIXMLPI* XCXMLElement::AddPI(const char* processor, const char* instruction) {
    return new XCXMLPI(this, processor, instruction);
}

namespace {

// What constructing a markup node with `parent` does, for the tree reader,
// with `node` made without one; the node is noted among the document's
// markup, so that the document can still be released by chunks.
void AppendMarkup(XCXMLElement& parent, std::unique_ptr<XCXMLNode> node) {
    XCXMLNode* last = nullptr;
    if (!AppendsDirectly(parent, last)) {
        parent.AddNode(node.get());
        node.release();
        return;
    }
    AppendMade(parent, last, *node);
    XCXMLNode* const made = node.release();
    CDocumentHome* const home = HomeForChildren(parent);
    if (home == nullptr || !home->releasableByChunks.load(std::memory_order_relaxed)) return;
    try {
        home->markup.push_back(made);
    } catch (...) {
        // Out of memory for the note: the document goes node by node.
        ForbidChunkRelease(&parent);
    }
}

}  // namespace

void AppendComment(XCXMLElement& parent, const char* comment) {
    AppendMarkup(parent, std::make_unique<XCXMLComment>(nullptr, comment));
}

void AppendPI(XCXMLElement& parent, const char* processor, const char* instruction) {
    AppendMarkup(parent, std::make_unique<XCXMLPI>(nullptr, processor, instruction));
}

void AppendDocType(XCXMLElement& parent, const XCXMLKey& token, const char* publicId, const char* systemId,
                   const char* local) {
    AppendMarkup(parent, std::make_unique<XCXMLDocType>(nullptr, token, publicId, systemId, local));
}

}  // namespace CorvaneXML
