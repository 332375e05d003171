// Destruction and deep copy of an element's subtree. Both walk the tree with
// loops over the tree's own links rather than by recursion, so that a
// document nested a million levels deep is copied and released on an
// ordinary stack. The visiting order, and where failures are caught and
// reported, are exactly those of the recursive definition: each level
// behaves as if its own destructor or Copy were running.

#include <CorvaneXML/XMLElement.h>

#include <CorvaneXML/XMLAttribute.h>
#include <CorvaneXML/XMLData.h>

#include "dom/Access.h"
#include "dom/DocumentHome.h"
#include "dom/ListHints.h"
#include "foundation/DestructorReport.h"
#include "foundation/NodeMemory.h"
#include "foundation/Raise.h"

#include <vector>

namespace CorvaneXML {

namespace {

XCXMLElement* AsPlain(XIXMLNode* node) { return static_cast<XCXMLElement*>(node); }
const XCXMLElement* AsPlain(const XIXMLNode* node) { return static_cast<const XCXMLElement*>(node); }

// Whether `element` is `node` or lies below it.
bool Encloses(const XIXMLNode* node, const XIXMLElement* element) {
    for (; element != nullptr; element = element->AsNode()->GetParent()) {
        if (element->AsNode() == node) return true;
    }
    return false;
}

// The library's own attributes and text nodes whose text lies in their own
// block: once off its list, nothing of such an object's destructor is left
// to do but release the block.
bool EndsWithItsBlock(XCXMLAttribute& attribute) {
    return CAttributeAccess::Value(attribute) == TextBehind(&attribute);
}

bool EndsWithItsBlock(XCXMLData& data) { return CDataAccess::Text(data) == TextBehind(&data); }

// Destroys the element's attributes, head first.
void DestroyAttributes(XCXMLElement& element, CBlockRelease& release) {
    XIXMLAttribute*& first = CElementAccess::FirstAttribute(element);
    while (first != nullptr) {
        XCXMLAttribute* const own = OwnAttribute(first);
        if (own == nullptr || CAttributeAccess::Owner(*own) != &element) {
            first->Destroy();
            continue;
        }
        // The library's own attribute: its Destroy() checks the guard and
        // its destructor unlinks it from the front of this list; done here
        // without the calls through the interfaces.
        CAttributeAccess::CheckGuard(*own);
        first = CAttributeAccess::Next(*own);
        SetPrevious(first, CAttributeAccess::Previous(*own));
        if (EndsWithItsBlock(*own)) {
            release.Release(own);
        } else {
            CAttributeAccess::Owner(*own) = nullptr;
            delete own;
        }
    }
}

// What RemoveNode does for the first child, for destruction, which knows
// the child is first and of one of the library's own classes.
void UnlinkFirstChild(XCXMLElement& element, XCXMLNode& child) {
    XIXMLNode*& first = CElementAccess::FirstChild(element);
    first = CNodeAccess::Next(child);
    SetPrevious(first, CNodeAccess::Previous(child));
    CNodeAccess::Parent(child) = nullptr;
    CNodeAccess::Next(child) = nullptr;
}

// The document of the root `root`, when it can be released by chunks (see
// CDocumentHome); null otherwise.
CDocumentHome* ReleasableByChunks(const XCXMLElement& root) {
    CDocumentHome* const home = HomeOf(root);
    if (home == nullptr || home->owner != &root) return nullptr;
    return home->releasableByChunks.load(std::memory_order_relaxed) ? home : nullptr;
}

// Ends everything below the root of `home`'s document without visiting it:
// the markup nodes, which own texts elsewhere, one by one, out of their
// lists first, then the plain nodes with the chunks they lie in.
void ReleaseByChunks(CDocumentHome& home) {
    for (XCXMLNode* node : home.markup) {
        CNodeAccess::Parent(*node) = nullptr;
        delete node;
    }
    std::vector<XCXMLNode*>().swap(home.markup);
    home.chunks.FreeAll();
}

// Appends a copy of `source` and its attributes, without children, to
// `parent`, interning names through `keys`.
XIXMLElement* CopyShallow(const XCXMLElement& source, const XIXMLElement* keys, XIXMLElement* parent) {
    const XCXMLKey name = keys->GetKey(source.GetName());
    XIXMLElement* copy = parent->AddElement(name);
    for (const XIXMLAttribute* attribute = CElementAccess::FirstAttribute(source); attribute != nullptr;
         attribute = attribute->GetNext()) {
        if (IsExactly<XCXMLAttribute>(*attribute)) {
            // What the attribute's Copy does, without climbing to the root again.
            const XCXMLKey key = keys->GetKey(attribute->GetName());
            copy->AddAttribute(key, attribute->GetValue());
        } else {
            attribute->Copy(copy);
        }
    }
    return copy;
}

}  // namespace

XCXMLElement::~XCXMLElement() {
    // `level` is the element whose children are being destroyed. Plain
    // children are entered instead of destroyed through their Destroy(), and
    // deleted once they are empty; by then their own destructor has nothing
    // left to do but leave their parent's list. A position remembered in a
    // list is forgotten before the list's nodes go. Plain children with
    // nothing more to undo are not destroyed one by one: their blocks go
    // back to their chunks in rows. A document's root whose document has
    // nothing below it that needs a visit frees its chunks instead.
    ForgetPosition(*this);
    if (CDocumentHome* home = ReleasableByChunks(*this)) {
        ReleaseByChunks(*home);
        firstChild_ = nullptr;
        LeaveHome(*this);
        return;
    }
    CBlockRelease release;
    XCXMLElement* level = this;
    for (;;) {
        try {
            // The top's attributes; a no-op when the walk comes back up to it.
            if (level == this) DestroyAttributes(*this, release);
            while (level->firstChild_ != nullptr) {
                XIXMLNode* child = level->firstChild_;
                if (IsExactly<XCXMLData>(*child)) {
                    // What its Destroy() and destructor would do, without the
                    // calls through the interfaces.
                    XCXMLData* data = static_cast<XCXMLData*>(child);
                    CNodeAccess::CheckGuard(*data);
                    UnlinkFirstChild(*level, *data);
                    if (EndsWithItsBlock(*data)) {
                        release.Release(data);
                    } else {
                        delete data;
                    }
                    continue;
                }
                if (!IsPlainElement(child)) {
                    child->Destroy();
                    continue;
                }
                XCXMLElement* element = AsPlain(child);
                CNodeAccess::CheckGuard(*element);
                level = element;
                ForgetPosition(*level);
                DestroyAttributes(*level, release);
            }
        } catch (...) {
            ReportDestructorException("XCXMLElement");
            // What this level had left is abandoned, as its destructor would.
            level->firstAttribute_ = nullptr;
            level->firstChild_ = nullptr;
            continue;
        }
        if (level == this) break;
        // The element this walk entered `level` from: this one or a plain one.
        XCXMLElement* parent = static_cast<XCXMLElement*>(CNodeAccess::Parent(*level));
        // Emptied, and still its parent's first child. Its destructor would
        // only leave its home, which matters for an element that is out.
        UnlinkFirstChild(*parent, *level);
        if (IsOutOfHome(*level)) {
            delete level;
        } else {
            release.Release(level);
        }
        level = parent;
    }
    release.Flush();
    // The root lets go of its document's chunks; those that still hold a
    // node taken out of the document go with their last node.
    CDocumentHome* const home = HomeOf(*this);
    if (home != nullptr && home->owner == this) home->chunks.Drop();
    LeaveHome(*this);
}

XIXMLNode* XCXMLElement::Copy(XIXMLElement* parent) const {
    Require(parent != nullptr, message::kNullTarget);

    // Names are interned where the destination's GetKey would end up. Below a
    // chain of plain copies that is always the same element; a copy of
    // another kind answers GetKey itself, for it and everything below it.
    const XIXMLElement* const sharedKeys = KeySource(parent);
    unsigned int ownKeyLevels = 0;

    XIXMLElement* const top = CopyShallow(*this, sharedKeys, parent);
    if (!IsPlainElement(top)) ++ownKeyLevels;

    // A destination inside this element is refused, as the copy would copy
    // itself without end; found, without climbing, when the walk meets the
    // copy being built, which then goes again. A node of a host's class
    // copies itself, so before the first that is an element, whether the
    // destination is inside is found by a climb.
    bool climbed = false;
    auto refuse = [top] {
        top->Destroy();
        Raise("XCXMLElement::Copy - destination inside the copied element");
    };
    const XCXMLElement* source = this;
    XIXMLElement* target = top;
    const XIXMLNode* child = firstChild_;
    for (;;) {
        if (child == top->AsNode()) refuse();
        if (child != nullptr) {
            if (!IsPlainElement(child)) {
                if (!climbed && const_cast<XIXMLNode*>(child)->AsElement() != nullptr) {
                    climbed = true;
                    if (Encloses(this, parent)) refuse();
                }
                child->Copy(target);
                child = child->GetNext();
                continue;
            }
            source = AsPlain(child);
            target = CopyShallow(*source, ownKeyLevels == 0 ? sharedKeys : target, target);
            if (!IsPlainElement(target)) ++ownKeyLevels;
            child = source->firstChild_;
            continue;
        }
        if (source == this) break;
        if (!IsPlainElement(target)) --ownKeyLevels;
        child = source->GetNext();
        source = AsPlain(source->GetParent()->AsNode());
        target = target->AsNode()->GetParent();
    }
    return top->AsNode();
}

}  // namespace CorvaneXML
