#include <CorvaneXML/XMLMarkup.h>

#include <CorvaneXML/XMLElement.h>

#include "dom/DocumentHome.h"
#include "foundation/OwnedText.h"
#include "foundation/Raise.h"

#include <cstdlib>

namespace CorvaneXML {

// --- DOCTYPE ----------------------------------------------------------------

XCXMLDocType::XCXMLDocType(XIXMLElement* parent, const XCXMLKey& token, const char* publicId, const char* systemId,
                           const char* local)
    : XCXMLNode(parent), token_(token), publicId_(nullptr), systemId_(nullptr), local_(nullptr) {
    try {
        publicId_ = CopyOptionalText(publicId);
        systemId_ = CopyOptionalText(systemId);
        local_ = CopyOptionalText(local);
    } catch (...) {
        std::free(publicId_);
        std::free(systemId_);
        throw;
    }
}

// A markup node the reader made is noted in its document, to be destroyed
// when the document is released by chunks; one that goes first ends that.
XCXMLDocType::~XCXMLDocType() {
    ForbidChunkRelease(CNodeAccess::Parent(*this));
    std::free(publicId_);
    std::free(systemId_);
    std::free(local_);
}

XIXMLNode* XCXMLDocType::AsNode() { return this; }
const XIXMLNode* XCXMLDocType::AsNode() const { return this; }
XIXMLDocType* XCXMLDocType::AsDocType() { return this; }

const XCXMLKey& XCXMLDocType::GetToken() const { return token_; }
void XCXMLDocType::SetToken(const XCXMLKey& token) { token_ = token; }
const char* XCXMLDocType::GetPublic() const { return publicId_; }
void XCXMLDocType::SetPublic(const char* text) { ReplaceOptionalText(publicId_, text); }
const char* XCXMLDocType::GetSystem() const { return systemId_; }
void XCXMLDocType::SetSystem(const char* text) { ReplaceOptionalText(systemId_, text); }
const char* XCXMLDocType::GetLocal() const { return local_; }
void XCXMLDocType::SetLocal(const char* text) { ReplaceOptionalText(local_, text); }

XIXMLNode* XCXMLDocType::Copy(XIXMLElement* parent) const {
    Require(parent != nullptr, message::kNullTarget);
    const XCXMLKey token = parent->GetKey(token_);
    return parent->AddDocType(token, publicId_, systemId_, local_)->AsNode();
}

// --- comment ----------------------------------------------------------------

XCXMLComment::XCXMLComment(XIXMLElement* parent, const char* comment)
    : XCXMLNode(parent), comment_(CopyText(comment)) {}

XCXMLComment::~XCXMLComment() {
    ForbidChunkRelease(CNodeAccess::Parent(*this));
    std::free(comment_);
}

XIXMLNode* XCXMLComment::AsNode() { return this; }
const XIXMLNode* XCXMLComment::AsNode() const { return this; }
XIXMLComment* XCXMLComment::AsComment() { return this; }

const char* XCXMLComment::GetComment() const { return comment_; }
void XCXMLComment::SetComment(const char* text) { ReplaceText(comment_, text); }

XIXMLNode* XCXMLComment::Copy(XIXMLElement* parent) const {
    Require(parent != nullptr, message::kNullTarget);
    return parent->AddComment(comment_)->AsNode();
}

// --- processing instruction -------------------------------------------------

XCXMLPI::XCXMLPI(XIXMLElement* parent, const char* processor, const char* instruction)
    : XCXMLNode(parent), processor_(CopyText(processor)), instruction_(nullptr) {
    try {
        instruction_ = CopyText(instruction);
    } catch (...) {
        std::free(processor_);
        throw;
    }
}

XCXMLPI::~XCXMLPI() {
    ForbidChunkRelease(CNodeAccess::Parent(*this));
    std::free(processor_);
    std::free(instruction_);
}

XIXMLNode* XCXMLPI::AsNode() { return this; }
const XIXMLNode* XCXMLPI::AsNode() const { return this; }
XIXMLPI* XCXMLPI::AsPI() { return this; }

const char* XCXMLPI::GetProcessor() const { return processor_; }
void XCXMLPI::SetProcessor(const char* text) { ReplaceText(processor_, text); }
const char* XCXMLPI::GetInstruction() const { return instruction_; }
void XCXMLPI::SetInstruction(const char* text) { ReplaceText(instruction_, text); }

XIXMLNode* XCXMLPI::Copy(XIXMLElement* parent) const {
    Require(parent != nullptr, message::kNullTarget);
    return parent->AddPI(processor_, instruction_)->AsNode();
}

}  // namespace CorvaneXML
