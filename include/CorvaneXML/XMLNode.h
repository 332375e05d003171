#ifndef CORVANEXML_XMLNODE_H
#define CORVANEXML_XMLNODE_H

#include <CorvaneTools/CorvaneTools.h>
#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLInterfaces.h>

#include <cstddef>

namespace CorvaneXML {

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
    // memory came from, so every node made with new, by a host too, goes
    // through these.
    static void* operator new(std::size_t size);
    static void operator delete(void* block) noexcept;

private:
    friend struct CNodeAccess;  // the library's own use of the fields below

    XIXMLNode* next_;
    XIXMLElement* parent_;
    XIXMLNode* previous_;  // opaque: a hint for the library's list operations
    Corvane::XCMine guard_;
};

}  // namespace CorvaneXML

#endif
