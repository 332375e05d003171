#ifndef CORVANEXML_XMLNODE_H
#define CORVANEXML_XMLNODE_H

#include <CorvaneTools/CorvaneTools.h>
#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLInterfaces.h>

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

protected:
    // The guard check that Destroy() makes, for subclasses that take a node
    // apart without going through its Destroy().
    void CheckGuard() const { guard_.CheckMine(); }

private:
    XIXMLNode* next_;
    XIXMLElement* parent_;
    Corvane::XCMine guard_;
};

}  // namespace CorvaneXML

#endif
