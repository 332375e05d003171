#ifndef CORVANEXML_DOM_ACCESS_H
#define CORVANEXML_DOM_ACCESS_H

// The library's way to the fields its node classes keep private. Each class
// befriends one struct here and nothing else; what the library does with the
// fields beyond the classes' own members lives in src/dom.

#include <CorvaneXML/XMLAttribute.h>
#include <CorvaneXML/XMLData.h>
#include <CorvaneXML/XMLDocument.h>
#include <CorvaneXML/XMLElement.h>
#include <CorvaneXML/XMLMarkup.h>
#include <CorvaneXML/XMLNode.h>

#include "foundation/ExactType.h"

#include <cstdint>

namespace CorvaneXML {

struct CNodeAccess {
    // The node before this one in its parent's list (see ListHints.h).
    static XIXMLNode*& Previous(XCXMLNode& node) { return node.previous_; }
    // What Destroy() checks, for walks that take nodes apart themselves.
    static void CheckGuard(const XCXMLNode& node) { node.guard_.CheckMine(); }
    // GetNext and SetParent without the call through the interface.
    static XIXMLNode*& Next(XCXMLNode& node) { return node.next_; }
    static XIXMLElement*& Parent(XCXMLNode& node) { return node.parent_; }
};

struct CElementAccess {
    static XIXMLNode* FirstChild(const XCXMLElement& element) { return element.firstChild_; }
    static XIXMLNode*& FirstChild(XCXMLElement& element) { return element.firstChild_; }
    static XIXMLAttribute* FirstAttribute(const XCXMLElement& element) { return element.firstAttribute_; }
    static XIXMLAttribute*& FirstAttribute(XCXMLElement& element) { return element.firstAttribute_; }
    // See DocumentHome.h.
    static std::uintptr_t Home(const XCXMLElement& element) { return element.home_; }
    static std::uintptr_t& Home(XCXMLElement& element) { return element.home_; }
};

struct CRootAccess {
    static CHashKey& Keys(XCXMLRoot& root) { return *root.keys_; }
};

struct CAttributeAccess {
    static XIXMLAttribute*& Next(XCXMLAttribute& attribute) { return attribute.next_; }
    // The attribute before this one in its element's list (see ListHints.h).
    static XIXMLAttribute*& Previous(XCXMLAttribute& attribute) { return attribute.previous_; }
    static XIXMLElement*& Owner(XCXMLAttribute& attribute) { return attribute.owner_; }
    static const char* Value(const XCXMLAttribute& attribute) { return attribute.value_; }
    static void CheckGuard(const XCXMLAttribute& attribute) { attribute.guard_.CheckMine(); }
};

struct CDataAccess {
    // A node holds owned text or a host's provider, never both; text nodes
    // are many, so both share one word, the provider marked by the low bit
    // (texts and objects both start at even addresses).
    static constexpr std::uintptr_t kProviderBit = 1;

    static char* Text(const XCXMLData& data) {
        return (data.content_ & kProviderBit) != 0 ? nullptr : reinterpret_cast<char*>(data.content_);
    }
    static XIXMLData::IXMLCData* Provider(const XCXMLData& data) {
        return (data.content_ & kProviderBit) != 0
                   ? reinterpret_cast<XIXMLData::IXMLCData*>(data.content_ & ~kProviderBit)
                   : nullptr;
    }
    static void SetText(XCXMLData& data, char* text) { data.content_ = reinterpret_cast<std::uintptr_t>(text); }
};

// True for an element of exactly the library's own element class: its
// behaviour is known, so walks over deep trees may take it apart, copy it and
// delegate through it in a loop instead of through its virtual operations
// (which would recurse once per level). Subclasses, the root and host
// implementations keep their virtual calls.
inline bool IsPlainElement(const XIXMLNode* node) { return IsExactly<XCXMLElement>(*node); }
inline bool IsPlainElement(const XIXMLElement* element) { return IsExactly<XCXMLElement>(*element); }

// The library's own nodes keep the link to the node before them. In the last
// step of its destruction, when it leaves its parent's list, a node is a
// plain XCXMLNode, which keeps the link too.
inline XCXMLNode* OwnNode(XIXMLNode* node) {
    if (node == nullptr) return nullptr;
    if (IsExactly<XCXMLElement>(*node) || IsExactly<XCXMLData>(*node) || IsExactly<XCXMLNode>(*node) ||
        IsExactly<XCXMLComment>(*node) || IsExactly<XCXMLPI>(*node) || IsExactly<XCXMLDocType>(*node)) {
        return static_cast<XCXMLNode*>(node);
    }
    return nullptr;
}

inline XCXMLAttribute* OwnAttribute(XIXMLAttribute* attribute) {
    return attribute != nullptr && IsExactly<XCXMLAttribute>(*attribute) ? static_cast<XCXMLAttribute*>(attribute)
                                                                         : nullptr;
}

}  // namespace CorvaneXML

#endif
