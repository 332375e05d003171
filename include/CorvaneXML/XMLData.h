#ifndef CORVANEXML_XMLDATA_H
#define CORVANEXML_XMLDATA_H

#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLInterfaces.h>
#include <CorvaneXML/XMLNode.h>

#include <cstddef>
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
    friend class XCXMLElement;
    struct InlineText {};
    XCXMLData(XIXMLElement* parent, const char* text, std::size_t size, InlineText);
    // The element's factory for owned text: object and text in one block,
    // placed in `arena` when one is given.
    static XCXMLData* Create(XIXMLElement* parent, const char* text, CNodeArena* arena);
    const char* InlineArea() const { return reinterpret_cast<const char*>(this + 1); }
    void FreeText();

    // A node holds owned text or a host's provider, never both; text nodes
    // are many, so both share one word, the provider marked by the low bit
    // (texts and objects both start at even addresses).
    char* Text() const { return (content_ & 1) != 0 ? nullptr : reinterpret_cast<char*>(content_); }
    XIXMLData::IXMLCData* Provider() const {
        return (content_ & 1) != 0 ? reinterpret_cast<XIXMLData::IXMLCData*>(content_ & ~std::uintptr_t{1}) : nullptr;
    }
    void SetText(char* text) { content_ = reinterpret_cast<std::uintptr_t>(text); }

    std::uintptr_t content_;
};

}  // namespace CorvaneXML

#endif
