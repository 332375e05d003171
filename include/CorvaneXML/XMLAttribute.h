#ifndef CORVANEXML_XMLATTRIBUTE_H
#define CORVANEXML_XMLATTRIBUTE_H

#include <CorvaneTools/CorvaneTools.h>
#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLInterfaces.h>
#include <CorvaneXML/XMLKey.h>

#include <cstddef>

namespace CorvaneXML {

// The library's attribute: a key of the owner's document and an owned value.
// Elements make them in AddAttribute.
class CORVANEXML_API XCXMLAttribute : public XIXMLAttribute {
public:
    // Copies the key and the value (null raises); does not link itself into
    // the owner's list (the owner's AddAttribute does).
    XCXMLAttribute(XIXMLElement* owner, const XCXMLKey& name, const char* value);
    XCXMLAttribute(const XCXMLAttribute&) = delete;
    XCXMLAttribute& operator=(const XCXMLAttribute&) = delete;
    ~XCXMLAttribute() override;

    void Destroy() override;
    XIXMLAttribute* GetNext() const override;
    void SetNext(XIXMLAttribute* next) override;
    XIXMLElement* GetNode() const override;
    const XCXMLKey& GetName() const override;
    void SetName(const XCXMLKey& name) override;
    const char* GetValue() const override;
    void SetValue(const char* value) override;
    void GetFmtValue(const char* format, void* out) const override;
    void SetFmtValue(const char* format, ...) override;
    void WriteTo(XCXMLWriter* writer) const override;
    XIXMLAttribute* Copy(XIXMLElement* target) const override;

    // Attributes share the memory scheme of nodes (see XCXMLNode).
    static void* operator new(std::size_t size);
    static void operator delete(void* block) noexcept;

private:
    friend struct CAttributeAccess;  // the library's own use of the fields below

    XIXMLAttribute* next_;
    XIXMLAttribute* previous_;  // opaque: a hint for the library's list operations
    XIXMLElement* owner_;
    XCXMLKey name_;
    char* value_;
    Corvane::XCMine guard_;
};

}  // namespace CorvaneXML

#endif
