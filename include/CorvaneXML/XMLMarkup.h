#ifndef CORVANEXML_XMLMARKUP_H
#define CORVANEXML_XMLMARKUP_H

// Leaf nodes for markup the library keeps but does not interpret.

#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLInterfaces.h>
#include <CorvaneXML/XMLKey.h>
#include <CorvaneXML/XMLNode.h>

namespace CorvaneXML {

class CORVANEXML_API XCXMLDocType : public XIXMLDocType, public XCXMLNode {
public:
    // Each string is copied when present; null means absent.
    XCXMLDocType(XIXMLElement* parent, const XCXMLKey& token, const char* publicId, const char* systemId,
                 const char* local);
    XCXMLDocType(const XCXMLDocType&) = delete;
    XCXMLDocType& operator=(const XCXMLDocType&) = delete;
    ~XCXMLDocType() override;

    XIXMLNode* AsNode() override;
    const XIXMLNode* AsNode() const override;
    const XCXMLKey& GetToken() const override;
    void SetToken(const XCXMLKey& token) override;
    const char* GetPublic() const override;
    void SetPublic(const char* text) override;
    const char* GetSystem() const override;
    void SetSystem(const char* text) override;
    const char* GetLocal() const override;
    void SetLocal(const char* text) override;

    XIXMLDocType* AsDocType() override;
    void WriteTo(XCXMLWriter* writer, int depth) const override;
    XIXMLNode* Copy(XIXMLElement* parent) const override;

private:
    XCXMLKey token_;
    char* publicId_;
    char* systemId_;
    char* local_;
};

class CORVANEXML_API XCXMLComment : public XIXMLComment, public XCXMLNode {
public:
    // A null comment raises.
    XCXMLComment(XIXMLElement* parent, const char* comment);
    XCXMLComment(const XCXMLComment&) = delete;
    XCXMLComment& operator=(const XCXMLComment&) = delete;
    ~XCXMLComment() override;

    XIXMLNode* AsNode() override;
    const XIXMLNode* AsNode() const override;
    const char* GetComment() const override;
    void SetComment(const char* text) override;

    XIXMLComment* AsComment() override;
    void WriteTo(XCXMLWriter* writer, int depth) const override;
    XIXMLNode* Copy(XIXMLElement* parent) const override;

private:
    char* comment_;
};

class CORVANEXML_API XCXMLPI : public XIXMLPI, public XCXMLNode {
public:
    // A null processor or instruction raises.
    XCXMLPI(XIXMLElement* parent, const char* processor, const char* instruction);
    XCXMLPI(const XCXMLPI&) = delete;
    XCXMLPI& operator=(const XCXMLPI&) = delete;
    ~XCXMLPI() override;

    XIXMLNode* AsNode() override;
    const XIXMLNode* AsNode() const override;
    const char* GetProcessor() const override;
    void SetProcessor(const char* text) override;
    const char* GetInstruction() const override;
    void SetInstruction(const char* text) override;

    XIXMLPI* AsPI() override;
    void WriteTo(XCXMLWriter* writer, int depth) const override;
    XIXMLNode* Copy(XIXMLElement* parent) const override;

private:
    char* processor_;
    char* instruction_;
};

}  // namespace CorvaneXML

#endif
