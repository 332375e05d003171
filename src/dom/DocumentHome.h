#ifndef CORVANEXML_DOM_DOCUMENTHOME_H
#define CORVANEXML_DOM_DOCUMENTHOME_H

#include <CorvaneXML/XMLElement.h>

#include <atomic>
#include <cstddef>

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
    explicit CDocumentHome(const XCXMLElement* rootElement) noexcept
        : root(rootElement), owner(rootElement) {}

    // The root while it lives: GetKey ends there.
    std::atomic<const XIXMLElement*> root;
    // The root element, for its destructor, which gives up the root's hold last.
    const XCXMLElement* const owner;
    // 1 for the root while it lives, 2 for every element that is out: 1
    // exactly when the document is whole.
    std::atomic<std::size_t> holds{1};

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

    bool Whole() const noexcept { return holds.load(std::memory_order_relaxed) == 1; }
};

// Gives up `holds` holds; the last one deletes the home.
inline void ReleaseHome(CDocumentHome* home, std::size_t holds) noexcept {
    if (home->holds.fetch_sub(holds, std::memory_order_acq_rel) == holds) delete home;
}

inline CDocumentHome* XCXMLElement::SettledHome() const {
    CDocumentHome* const home = Home();
    return home != nullptr && !OutOfHome() && home->Whole() ? home : nullptr;
}

inline void XCXMLElement::ForgetPosition() const {
    if (CDocumentHome* home = SettledHome()) {
        if (home->position.list == this) home->position = {};
        if (home->elementPosition.list == this) home->elementPosition = {};
    }
}

}  // namespace CorvaneXML

#endif
