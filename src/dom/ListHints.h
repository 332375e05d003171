#ifndef CORVANEXML_DOM_LISTHINTS_H
#define CORVANEXML_DOM_LISTHINTS_H

// The lists of an element's children and attributes are singly linked, as
// the interfaces promise. The library's own nodes and attributes also keep
// the member before them (the first keeps the last), so that appending,
// removing from the end and inserting before a member cost no walk. The
// links are hints, trusted only while they still agree with the list, since
// a list may hold members of a host's classes too; otherwise the list is
// walked. The element's own list edits keep them pointing at live members.

#include "dom/Access.h"

namespace CorvaneXML {

// The hint a member keeps, or null for a member of a host's class.
inline XIXMLNode** PreviousHint(XIXMLNode* node) {
    XCXMLNode* const own = OwnNode(node);
    return own != nullptr ? &CNodeAccess::Previous(*own) : nullptr;
}

inline XIXMLAttribute** PreviousHint(XIXMLAttribute* attribute) {
    XCXMLAttribute* const own = OwnAttribute(attribute);
    return own != nullptr ? &CAttributeAccess::Previous(*own) : nullptr;
}

// What the member's SetNext does, done by the library's own list operations.
// For the library's own members without the call, which a host's call
// would be: a change to the document (see ForbidChunkRelease).
inline void LinkNext(XIXMLNode* node, XIXMLNode* next) {
    if (XCXMLNode* const own = OwnNode(node)) {
        CNodeAccess::Next(*own) = next;
    } else {
        node->SetNext(next);
    }
}

inline void LinkNext(XIXMLAttribute* attribute, XIXMLAttribute* next) {
    if (XCXMLAttribute* const own = OwnAttribute(attribute)) {
        CAttributeAccess::Next(*own) = next;
    } else {
        attribute->SetNext(next);
    }
}

// The element whose list the member says it is in.
inline XIXMLElement* ListOwner(const XIXMLNode* node) { return node->GetParent(); }
inline XIXMLElement* ListOwner(const XIXMLAttribute* attribute) { return attribute->GetNode(); }

inline void SetPrevious(XIXMLNode* node, XIXMLNode* previous) {
    if (XIXMLNode** hint = PreviousHint(node)) *hint = previous;
}

inline void SetPrevious(XIXMLAttribute* attribute, XIXMLAttribute* previous) {
    if (XIXMLAttribute** hint = PreviousHint(attribute)) *hint = previous;
}

// The last member of the list that starts with `first` in `element`.
template <class Member>
Member* LastMember(const XIXMLElement* element, Member* first) {
    if (first == nullptr) return nullptr;
    Member** const hint = PreviousHint(first);
    if (hint != nullptr) {
        Member* last = *hint;
        if (last != nullptr && last->GetNext() == nullptr && ListOwner(last) == element) return last;
    }
    Member* last = first;
    while (last->GetNext() != nullptr) last = last->GetNext();
    if (hint != nullptr) *hint = last;
    return last;
}

// The member before `member` in that list; null when `member` is the first
// or not in it.
template <class Member>
Member* MemberBefore(const XIXMLElement* element, Member* first, Member* member) {
    if (Member** hint = PreviousHint(member)) {
        Member* previous = *hint;
        if (previous != nullptr && previous != member && previous->GetNext() == member &&
            ListOwner(previous) == element) {
            return previous;
        }
    }
    Member* previous = nullptr;
    for (Member* current = first; current != member; current = current->GetNext()) {
        if (current == nullptr) return nullptr;
        previous = current;
    }
    return previous;
}

// What the element's RemoveAttribute does once the attribute is known not
// to be null, for an attribute that leaves for good: its destructor.
void UnlinkAttribute(XCXMLElement& element, XIXMLAttribute* attribute);

}  // namespace CorvaneXML

#endif
