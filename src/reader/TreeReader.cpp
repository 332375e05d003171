#include <CorvaneXML/XMLTreeReader.h>

#include "foundation/Checks.h"

#include <CorvaneTools/CorvaneTools.h>

using Corvane::CvThrow;

namespace CorvaneXML {

IXMLCDataReader::~IXMLCDataReader() = default;

CXMLTreeReader::CXMLTreeReader(IXMLCDataReader* reader)
    : tree_(nullptr), currentElement_(nullptr), cdataReader_(reader) {}

CXMLTreeReader::~CXMLTreeReader() = default;

XCXMLTree* CXMLTreeReader::ReadTree(XIXMLReadStream* stream) {
    CvThrow::IfFalse(tree_ == nullptr);
    CvThrow::IfFalse(currentElement_ == nullptr);

    tree_ = new XCXMLTree();
    currentElement_ = tree_->GetRoot();
    try {
        Parse(stream);
    } catch (...) {
        delete tree_;
        tree_ = nullptr;
        currentElement_ = nullptr;
        throw;
    }
    XCXMLTree* document = tree_;
    tree_ = nullptr;
    currentElement_ = nullptr;
    return document;
}

// Names are interned through the document; the key is copied before the next
// name can move the table's slots.
const void* CXMLTreeReader::OpenNode(const char* name) {
    check::IfNULL(currentElement_);
    const XCXMLKey key = tree_->GetKey(name);
    currentElement_ = currentElement_->AddElement(key);
    return currentElement_;
}

void CXMLTreeReader::Attribute(const char* name, const char* value) {
    check::IfNULL(currentElement_);
    const XCXMLKey key = tree_->GetKey(name);
    currentElement_->AddAttribute(key, value);
}

void CXMLTreeReader::Data(const char* text) {
    check::IfNULL(currentElement_);
    currentElement_->AddData(text);
}

void CXMLTreeReader::CData(XIXMLReadStream* stream) {
    if (cdataReader_ == nullptr) {
        CXMLParser::CData(stream);
        return;
    }
    CvThrow::IfNULL(currentElement_);
    CvThrow::IfFalse(cdataReader_->Read(currentElement_, stream));
}

void CXMLTreeReader::CloseNode(const void* handle) {
    // Checked first: outside ReadTree a null handle would otherwise match the
    // missing element.
    check::IfNULL(currentElement_);
    check::IfFalse(handle == static_cast<const void*>(currentElement_));
    currentElement_ = currentElement_->AsNode()->GetParent();
}

void CXMLTreeReader::Comment(const char* text) {
    check::IfNULL(currentElement_);
    currentElement_->AddComment(text);
}

// A DOCTYPE belongs at top level only: outside the document element, and
// never without a document being read.
void CXMLTreeReader::DocType(const char* name, const char* publicId, const char* systemId,
                             const char* internalSubset) {
    CvThrow::IfFalse(tree_ != nullptr && currentElement_ == tree_->GetRoot());
    const XCXMLKey key = tree_->GetKey(name);
    currentElement_->AddDocType(key, publicId, systemId, internalSubset);
}

bool CXMLTreeReader::ProcessingInstruction(const char* target, const char* instruction) {
    check::IfNULL(currentElement_);
    currentElement_->AddPI(target, instruction);
    return true;
}

}  // namespace CorvaneXML
