#include <CorvaneXML/XMLData.h>

#include <CorvaneXML/XMLElement.h>

#include "dom/FormattedValue.h"
#include "foundation/Raise.h"
#include "foundation/DestructorReport.h"
#include "foundation/OwnedText.h"


#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <new>

namespace CorvaneXML {


XCXMLData::XCXMLData(XIXMLElement* parent, XIXMLData::IXMLCData* provider)
    : XCXMLNode(parent), content_(reinterpret_cast<std::uintptr_t>(provider) | 1) {
    Require(provider != nullptr, message::kNullProvider);
}

XCXMLData::XCXMLData(XIXMLElement* parent, const char* text)
    : XCXMLNode(parent), content_(reinterpret_cast<std::uintptr_t>(CopyText(text))) {}

XCXMLData::XCXMLData(XIXMLElement* parent, const char* text, std::size_t size, InlineText)
    : XCXMLNode(parent), content_(reinterpret_cast<std::uintptr_t>(InlineArea())) {
    std::memcpy(Text(), text, size);
}

XCXMLData* XCXMLData::Create(XIXMLElement* parent, const char* text, CNodeArena* arena) {
    Require(text != nullptr, message::kNullText);
    const std::size_t size = std::strlen(text) + 1;
    XCXMLData* data = new (XCXMLPlacement{arena, size}) XCXMLData(parent, text, size, InlineText());
    // Out of memory, as for any other copy of a text.
    Require(data != nullptr, message::kNoMemoryForText);
    return data;
}

void XCXMLData::FreeText() {
    if (Text() != InlineArea()) std::free(Text());
}

XCXMLData::~XCXMLData() {
    if (Provider() == nullptr) {
        FreeText();
        return;
    }
    // A host provider may throw from its Destroy; it must not leave here.
    try {
        DestroyProvider(Provider());
    } catch (...) {
        ReportDestructorException("XCXMLData");
    }
}

XIXMLNode* XCXMLData::AsNode() { return this; }
const XIXMLNode* XCXMLData::AsNode() const { return this; }
XIXMLData* XCXMLData::AsData() { return this; }

const char* XCXMLData::GetData() const {
    Require(Text() != nullptr, message::kProviderHoldsData);
    return Text();
}

void XCXMLData::SetData(const char* data) {
    Require(Text() != nullptr, message::kProviderHoldsData);
    // Copied first: a failed copy keeps the old text, which may be passed in.
    char* copy = CopyText(data);
    FreeText();
    SetText(copy);
}

void XCXMLData::GetFmtData(const char* format, void* out) const {
    Require(Text() != nullptr, message::kProviderHoldsData);
    ScanFormatted(Text(), format, out);
}

void XCXMLData::SetFmtData(const char* format, ...) {
    FormatBuffer buffer;
    va_list args;
    va_start(args, format);
    const char* const refusal = FormatInto(buffer, format, args);
    va_end(args);
    Require(refusal == nullptr, refusal);
    SetData(static_cast<const char*>(buffer));
}

XIXMLNode* XCXMLData::Copy(XIXMLElement* parent) const {
    Require(parent != nullptr, message::kNullTarget);
    if (Provider() == nullptr) return parent->AddData(Text())->AsNode();
    IXMLCData* copy = Provider()->Copy();
    try {
        return parent->AddData(copy)->AsNode();
    } catch (...) {
        // The target refused the new provider: nobody else will ever own it.
        if (copy != nullptr) const_cast<XCXMLData*>(this)->DestroyProvider(copy);
        throw;
    }
}

}  // namespace CorvaneXML
