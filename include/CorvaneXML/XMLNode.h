#ifndef CORVANEXML_XMLNODE_H
#define CORVANEXML_XMLNODE_H

#include <CorvaneTools/CorvaneTools.h>
#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLInterfaces.h>

#include <cstddef>

namespace CorvaneXML {

class CNodeArena;

// Where the library puts a node or attribute it makes itself: in the arena of
// a document being read, or in a heap block of its own when `arena` is null,
// with room for `textBytes` of text right behind the object.
struct XCXMLPlacement {
    CNodeArena* arena;
    std::size_t textBytes;
};

// Base of the library's nodes: the tree links and the object guard.
// Constructing a node with a parent appends it to that parent; destroying an
// attached node unlinks it. Unlinking failures in the destructor are reported
// through Corvane::XCReporter, never thrown.
class CORVANEXML_API XCXMLNode : public XIXMLNode {
public:
    explicit XCXMLNode(XIXMLElement* parent);
    XCXMLNode(const XCXMLNode&) = delete;
    XCXMLNode& operator=(const XCXMLNode&) = delete;
    ~XCXMLNode() override;

    void Destroy() override;
    XIXMLNode* GetNext() const override;
    void SetNext(XIXMLNode* next) override;
    XIXMLElement* GetParent() const override;
    void SetParent(XIXMLElement* parent) override;
    unsigned int Index() const override;

    // Nodes and attributes carry a word in front that says where their
    // memory came from; every node made with new, by the library or by a
    // host, goes through these.
    static void* operator new(std::size_t size);
    static void operator delete(void* block) noexcept;

protected:
    // Null when memory is exhausted, so a factory raises its own error.
    static void* operator new(std::size_t size, XCXMLPlacement where) noexcept;
    static void operator delete(void* block, XCXMLPlacement where) noexcept;

    // The guard check that Destroy() makes, for subclasses that take a node
    // apart without going through its Destroy().
    void CheckGuard() const { guard_.CheckMine(); }

private:
    friend class XCXMLElement;

    XIXMLNode* next_;
    XIXMLElement* parent_;
    // The node before this one in its parent's list, or the last one for the
    // first node: a hint kept by the library's elements, which check it
    // before use, because a list may hold nodes of a host's classes too.
    XIXMLNode* previous_;
    Corvane::XCMine guard_;
};

}  // namespace CorvaneXML

#endif
