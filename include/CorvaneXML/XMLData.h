#ifndef CORVANEXML_XMLDATA_H
#define CORVANEXML_XMLDATA_H

#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLInterfaces.h>
#include <CorvaneXML/XMLNode.h>

#include <cstdint>

namespace CorvaneXML {

// The library's text-data node: either owned text or a host provider, fixed
// at construction. Elements create it through AddData.
class CORVANEXML_API XCXMLData : public XIXMLData, public XCXMLNode {
public:
    // Owns `provider` from here on; a null provider raises (after the node
    // was appended, which unwinding undoes).
    XCXMLData(XIXMLElement* parent, XIXMLData::IXMLCData* provider);
    // Keeps a copy of `text`; a null text raises.
    XCXMLData(XIXMLElement* parent, const char* text);
    XCXMLData(const XCXMLData&) = delete;
    XCXMLData& operator=(const XCXMLData&) = delete;
    ~XCXMLData() override;

    using XIXMLData::SetData;

    // XIXMLData
    XIXMLNode* AsNode() override;
    const XIXMLNode* AsNode() const override;
    const char* GetData() const override;
    void SetData(const char* data) override;
    void GetFmtData(const char* format, void* out) const override;
    void SetFmtData(const char* format, ...) override;

    // XIXMLNode
    XIXMLData* AsData() override;
    void WriteTo(XCXMLWriter* writer, int depth) const override;
    XIXMLNode* Copy(XIXMLElement* parent) const override;

private:
    friend struct CDataAccess;  // the library's own use of the field below

    std::uintptr_t content_;  // opaque: the text or the provider, in one word
};

}  // namespace CorvaneXML

#endif
