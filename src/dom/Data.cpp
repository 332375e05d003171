#include <CorvaneXML/XMLData.h>

#include <CorvaneXML/XMLElement.h>

#include "dom/Access.h"
#include "dom/DocumentHome.h"
#include "dom/Factories.h"
#include "dom/FormattedValue.h"
#include "foundation/DestructorReport.h"
#include "foundation/NodeMemory.h"
#include "foundation/OwnedText.h"
#include "foundation/Raise.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace CorvaneXML {

namespace {

void FreeText(const XCXMLData& data) { FreeKeptText(CDataAccess::Text(data), TextBehind(&data)); }

// Owned text, for the operations a provider-backed node refuses.
char* TextToUse(const XCXMLData& data) {
    char* const text = CDataAccess::Text(data);
    Require(text != nullptr, message::kProviderHoldsData);
    return text;
}

}  // namespace

XCXMLData* CreateData(XIXMLElement* parent, const CNodeText& text, CNodeArena* arena) {
    XCXMLData* const data = ConstructWithText<XCXMLData>(arena, text, parent);
    // Out of memory, as for any other copy of a text.
    Require(data != nullptr, message::kNoMemoryForText);
    return data;
}

XCXMLData::XCXMLData(XIXMLElement* parent, XIXMLData::IXMLCData* provider)
    : XCXMLNode(parent), content_(reinterpret_cast<std::uintptr_t>(provider) | CDataAccess::kProviderBit) {
    Require(provider != nullptr, message::kNullProvider);
}

XCXMLData::XCXMLData(XIXMLElement* parent, const char* text)
    : XCXMLNode(parent), content_(reinterpret_cast<std::uintptr_t>(KeepText(text, TextBehind(this)))) {}

XCXMLData::~XCXMLData() {
    IXMLCData* const provider = CDataAccess::Provider(*this);
    if (provider == nullptr) {
        FreeText(*this);
        return;
    }
    // A host provider may throw from its Destroy; it must not leave here.
    try {
        DestroyProvider(provider);
    } catch (...) {
        ReportDestructorException("XCXMLData");
    }
}

XIXMLNode* XCXMLData::AsNode() { return this; }
const XIXMLNode* XCXMLData::AsNode() const { return this; }
XIXMLData* XCXMLData::AsData() { return this; }

const char* XCXMLData::GetData() const { return TextToUse(*this); }

void XCXMLData::SetData(const char* data) {
    TextToUse(*this);
    // Copied first: a failed copy keeps the old text, which may be passed in.
    char* copy = CopyText(data);
    FreeText(*this);
    CDataAccess::SetText(*this, copy);
    // The copy is a block of its own, for the destructor to free.
    ForbidChunkRelease(CNodeAccess::Parent(*this));
}

void XCXMLData::GetFmtData(const char* format, void* out) const { ScanFormatted(TextToUse(*this), format, out); }

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
    IXMLCData* const provider = CDataAccess::Provider(*this);
    if (provider == nullptr) return parent->AddData(CDataAccess::Text(*this))->AsNode();
    IXMLCData* copy = provider->Copy();
    try {
        return parent->AddData(copy)->AsNode();
    } catch (...) {
        // The target refused the new provider: nobody else will ever own it.
        if (copy != nullptr) const_cast<XCXMLData*>(this)->DestroyProvider(copy);
        throw;
    }
}

}  // namespace CorvaneXML
