#ifndef CORVANEXML_DOM_DOCUMENTHOME_H
#define CORVANEXML_DOM_DOCUMENTHOME_H

#include <CorvaneXML/XMLDocument.h>
#include <CorvaneXML/XMLElement.h>

#include "dom/Access.h"
#include "foundation/NodeMemory.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace CorvaneXML {

// What the library's own elements of one document share, so that one deep in
// the tree can intern a name without climbing to the root.
//
// A root makes its home; an element that a factory makes under the root, or
// under an element of the same home that is in its place, shares it. Such an
// element is "at home" while its parent is the root or another element at
// home; when anything else becomes its parent (none, on RemoveNode; an
// element of a host's class; an element of another document) it is "out",
// and it holds the home alive. A climb from an element at home passes only
// elements at home until it reaches the root or an element that is out; so
// while no element is out, every element at home is in the document, under
// library elements only, and GetKey may go straight to the root.
//
// The count of holds is atomic because an element taken out may be handed
// to another thread and destroyed there. Everything else is read and written
// only while no element is out, which means only by the thread that uses the
// document.
struct CDocumentHome {
    // Holds of the root while it lives, and of every element that is out.
    static constexpr std::size_t kRootHolds = 1;
    static constexpr std::size_t kOutHolds = 2;

    explicit CDocumentHome(const XCXMLElement* rootElement) noexcept : root(rootElement), owner(rootElement) {}

    // The root while it lives: GetKey ends there.
    std::atomic<const XIXMLElement*> root;
    // The root element, for its destructor, which gives up the root's hold last.
    const XCXMLElement* const owner;
    // Exactly kRootHolds when the document is whole.
    std::atomic<std::size_t> holds{kRootHolds};

    // The last child found by position in one element, so that loops over
    // Index() and FindElementByIndex in order continue from it instead of
    // starting over. Forgotten whenever that element's list changes other
    // than at its end.
    struct Position {
        const XCXMLElement* list = nullptr;
        XIXMLNode* node = nullptr;
        unsigned int index = 0;
    };
    Position position;         // by IndexOf: index among all children
    Position elementPosition;  // by FindElementByIndex: among element children

    // The chunks the document's nodes were read into.
    CChunkList chunks;
    // Comments, processing instructions and DOCTYPEs that the reader put
    // below the root. Their texts are blocks of their own, so they are
    // destroyed one by one even when the rest goes by chunks.
    std::vector<XCXMLNode*> markup;
    // Whether the document can be released by freeing `chunks`, without a
    // visit to each node. The tree reader sets it in the document it makes,
    // whose root is the library's own. It stays set while everything below
    // the root is one of `markup` or one of the library's plain nodes and
    // attributes carved from `chunks` (its texts in its block, every element
    // at home), and while every object still counted in `chunks` is below
    // the root: then no destructor below the root would do anything that
    // can be seen but free memory. Anything else that befalls the document
    // clears it for good (see ForbidChunkRelease); destroying a plain node
    // or attribute does not, nor does destroying an element with only plain
    // contents.
    std::atomic<bool> releasableByChunks{false};

    bool Whole() const noexcept { return holds.load(std::memory_order_relaxed) == kRootHolds; }
};

// Gives up `holds` holds; the last one deletes the home.
inline void ReleaseHome(CDocumentHome* home, std::size_t holds) noexcept {
    if (home->holds.fetch_sub(holds, std::memory_order_acq_rel) == holds) delete home;
}

// An element's home word: the home, null for an element a factory did not
// make (or made under an element of another kind), with the low bit set
// while the element is out.
constexpr std::uintptr_t kOutOfHome = 1;

inline CDocumentHome* HomeOf(const XCXMLElement& element) {
    return reinterpret_cast<CDocumentHome*>(CElementAccess::Home(element) & ~kOutOfHome);
}

inline bool IsOutOfHome(const XCXMLElement& element) { return (CElementAccess::Home(element) & kOutOfHome) != 0; }

// The home, while the document is whole and the element in it.
inline CDocumentHome* SettledHome(const XCXMLElement& element) {
    CDocumentHome* const home = HomeOf(element);
    return home != nullptr && !IsOutOfHome(element) && home->Whole() ? home : nullptr;
}

// Notes that the document of `element`, when it has one, can no longer be
// released by chunks. An element of a host's class has no home; a document
// it is in has already been noted when it came in.
inline void ForbidChunkRelease(const XIXMLElement* element) noexcept {
    if (element == nullptr || (!IsPlainElement(element) && !IsExactly<XCXMLRoot>(*element))) return;
    CDocumentHome* const home = HomeOf(*static_cast<const XCXMLElement*>(element));
    if (home != nullptr && home->releasableByChunks.load(std::memory_order_relaxed)) {
        home->releasableByChunks.store(false, std::memory_order_relaxed);
    }
}

// Forgets a position remembered in the element's list, which is changing.
inline void ForgetPosition(const XCXMLElement& element) {
    if (CDocumentHome* home = SettledHome(element)) {
        if (home->position.list == &element) home->position = {};
        if (home->elementPosition.list == &element) home->elementPosition = {};
    }
}

// The home shared by the children a factory of `element` makes.
CDocumentHome* HomeForChildren(const XCXMLElement& element);

// Gives up the element's hold on its home, in its destructor.
void LeaveHome(XCXMLElement& element);

// The element that finally answers GetKey for `element`: a plain element only
// forwards to its parent, so this skips plain elements upwards without
// recursion, and stops at once at the root of a settled home. Raises when the
// chain ends without reaching a root.
const XIXMLElement* KeySource(const XIXMLElement* element);

}  // namespace CorvaneXML

#endif
