// The interfaces' out-of-line parts: the null conversions every node starts
// with, the destructors (which also anchor the type information in the
// library), and the members built on top of the virtual operations.

#include <CorvaneXML/XMLInterfaces.h>

#include "foundation/Raise.h"

namespace CorvaneXML {

XIXMLNode::~XIXMLNode() = default;
XIXMLPI* XIXMLNode::AsPI() { return nullptr; }
XIXMLComment* XIXMLNode::AsComment() { return nullptr; }
XIXMLDocType* XIXMLNode::AsDocType() { return nullptr; }
XIXMLData* XIXMLNode::AsData() { return nullptr; }
XIXMLElement* XIXMLNode::AsElement() { return nullptr; }

XIXMLAttribute::~XIXMLAttribute() = default;
XIXMLDocType::~XIXMLDocType() = default;
XIXMLComment::~XIXMLComment() = default;
XIXMLPI::~XIXMLPI() = default;

XIXMLData::IXMLCData::~IXMLCData() = default;
void XIXMLData::IXMLCData::Destroy() { delete this; }

XIXMLData::~XIXMLData() = default;

int XIXMLData::GetInt() const {
    int value = 0;
    GetFmtData("%d", &value);
    return value;
}

void XIXMLData::SetData(int value) { SetFmtData("%d", value); }

double XIXMLData::GetFloat() const {
    double value = 0.0;
    GetFmtData("%lf", &value);
    return value;
}

void XIXMLData::SetData(double value) { SetFmtData("%lf", value); }

void XIXMLData::DestroyProvider(IXMLCData* provider) {
    Require(provider != nullptr, message::kNullProvider);
    provider->Destroy();
}

XIXMLElement::~XIXMLElement() = default;

XIXMLAttribute* XIXMLElement::AddAttribute(const char* name, const char* value) {
    return AddAttribute(GetKey(name), value);
}

XIXMLElement* XIXMLElement::AddElement(const char* name) { return AddElement(GetKey(name)); }

XIXMLElement* XIXMLElement::FindElement(const char* name) const { return FindElement(GetKey(name)); }

XIXMLAttribute* XIXMLElement::FindAttribute(const char* name) const { return FindAttribute(GetKey(name)); }

bool XIXMLElement::TestAttribute(const char* name, const char* value) const {
    return TestAttribute(GetKey(name), value);
}

void XIXMLElement::Destroy() { AsNode()->Destroy(); }

}  // namespace CorvaneXML
