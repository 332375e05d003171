#ifndef CORVANEXML_XMLELEMENT_H
#define CORVANEXML_XMLELEMENT_H

#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLInterfaces.h>
#include <CorvaneXML/XMLKey.h>
#include <CorvaneXML/XMLNode.h>

#include <cstdint>

namespace CorvaneXML {

// The library's element. Owns its attributes and children; destroying it
// destroys its attributes first, then its children with their subtrees.
class CORVANEXML_API XCXMLElement : public XIXMLElement, public XCXMLNode {
public:
    // Appends the new element to `parent` when it is not null.
    XCXMLElement(XIXMLElement* parent, const XCXMLKey& name);
    XCXMLElement(const XCXMLElement&) = delete;
    XCXMLElement& operator=(const XCXMLElement&) = delete;
    ~XCXMLElement() override;

    using XIXMLElement::AddAttribute;
    using XIXMLElement::AddElement;
    using XIXMLElement::FindElement;
    using XIXMLElement::FindAttribute;
    using XIXMLElement::TestAttribute;
    using XIXMLElement::Destroy;

    // XIXMLElement
    XIXMLNode* AsNode() override;
    const XIXMLNode* AsNode() const override;
    void Write(XIXMLWriteStream* stream) const override;
    const XCXMLKey& GetKey(const char* name) const override;
    void AddNode(XIXMLNode* node) override;
    void RemoveNode(XIXMLNode* node) override;
    void MoveNode(XIXMLNode* node, XIXMLNode* before) override;
    unsigned int IndexOf(const XIXMLNode* node) const override;
    XIXMLAttribute* AddAttribute(const XCXMLKey& name, const char* value) override;
    void RemoveAttribute(XIXMLAttribute* attribute) override;
    XIXMLPI* AddPI(const char* processor, const char* instruction) override;
    XIXMLComment* AddComment(const char* comment) override;
    XIXMLDocType* AddDocType(const XCXMLKey& token, const char* publicId, const char* systemId,
                             const char* local) override;
    XIXMLData* AddData(XIXMLData::IXMLCData* provider) override;
    XIXMLData* AddData(const char* text) override;
    XIXMLElement* AddElement(const XCXMLKey& name) override;
    const XCXMLKey& GetName() const override;
    void SetName(const XCXMLKey& name) override;
    XIXMLData* GetData() override;
    const XIXMLData* GetData() const override;
    XIXMLNode* GetFirstNode() const override;
    XIXMLElement* FindFirstElement() const override;
    XIXMLElement* NextElement() const override;
    XIXMLElement* FindElement(const XCXMLKey& name) const override;
    XIXMLElement* NextSameElement() const override;
    unsigned int NbElements() const override;
    XIXMLElement* FindElementByIndex(unsigned int index) const override;
    XIXMLAttribute* GetFirstAttribute() const override;
    XIXMLAttribute* FindAttribute(const XCXMLKey& name) const override;
    bool TestAttribute(const XCXMLKey& name, const char* value) const override;

    // XIXMLNode
    XIXMLElement* AsElement() override;
    void WriteTo(XCXMLWriter* writer, int depth) const override;
    XIXMLNode* Copy(XIXMLElement* parent) const override;
    // Stores the link as XCXMLNode does; the library also notes there
    // whether the element has left its document.
    void SetParent(XIXMLElement* parent) override;

private:
    friend struct CElementAccess;  // the library's own use of the fields below

    XCXMLKey name_;
    XIXMLNode* firstChild_;
    XIXMLAttribute* firstAttribute_;
    std::uintptr_t home_;  // opaque: what the library shares among a document's elements
};

}  // namespace CorvaneXML

#endif
