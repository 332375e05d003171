#include <CorvaneXML/XMLTreeReader.h>

#include "dom/DocumentHome.h"
#include "dom/Factories.h"
#include "foundation/NodeMemory.h"
#include "foundation/Raise.h"

namespace CorvaneXML {

IXMLCDataReader::~IXMLCDataReader() = default;

IXMLPositionMap::~IXMLPositionMap() = default;

CXMLTreeReader::CXMLTreeReader(IXMLCDataReader* reader)
    : tree_(nullptr),
      currentElement_(nullptr),
      ownElement_(nullptr),
      arena_(nullptr),
      cdataReader_(reader),
      positionMap_(nullptr) {}

CXMLTreeReader::~CXMLTreeReader() = default;

void CXMLTreeReader::SetPositionMap(IXMLPositionMap* map) { positionMap_ = map; }

XCXMLTree* CXMLTreeReader::ReadTree(XIXMLReadStream* stream) {
    Require(tree_ == nullptr && currentElement_ == nullptr, "This tree reader is already reading a document");

    tree_ = new XCXMLTree();
    currentElement_ = tree_->GetRoot();
    ownElement_ = OwnElement(currentElement_);
    // The document's nodes share chunks of memory, which the document keeps
    // a list of; whatever the arena has not handed out when the reading ends
    // goes with the chunk.
    CDocumentHome* const home = HomeOf(*ownElement_);
    home->releasableByChunks.store(true, std::memory_order_relaxed);
    CNodeArena arena(home->chunks);
    arena_ = &arena;
    // Ends the carving, after which the document may free its chunks whole,
    // unless a node had to be put elsewhere.
    auto close = [this, &arena]() noexcept {
        arena.Retire();
        if (arena.Spilled()) ForbidChunkRelease(tree_->GetRoot());
    };
    // Forgets the document, which the caller now owns or which was deleted.
    auto idle = [this]() noexcept {
        tree_ = nullptr;
        currentElement_ = nullptr;
        ownElement_ = nullptr;
        arena_ = nullptr;
    };
    try {
        Parse(stream);
    } catch (...) {
        close();
        delete tree_;
        idle();
        throw;
    }
    close();
    XCXMLTree* document = tree_;
    idle();
    return document;
}

// Names are interned through the document; the key is copied before the next
// name can move the table's slots. `ownElement_` is currentElement_ when it
// is one of the library's own elements (the root and the elements read),
// which take new nodes from the arena of the document being read; null for
// an element that a CDATA handler put in between, which is asked through its
// factories.
const void* CXMLTreeReader::OpenNode(const char* name) {
    Require(currentElement_ != nullptr, message::kNoDocument);
    const XCXMLKey key = tree_->GetKey(name);
    if (ownElement_ != nullptr) {
        ownElement_ = AppendElement(*ownElement_, key, arena_);
        currentElement_ = ownElement_;
    } else {
        currentElement_ = currentElement_->AddElement(key);
        ownElement_ = OwnElement(currentElement_);
    }
    if (positionMap_ != nullptr) positionMap_->MapElement(currentElement_, GetEventPosition());
    return currentElement_;
}

void CXMLTreeReader::Attribute(const char* name, const char* value) {
    Require(currentElement_ != nullptr, message::kNoDocument);
    const XCXMLKey key = tree_->GetKey(name);
    if (ownElement_ != nullptr) {
        AppendAttribute(*ownElement_, key, value, arena_);
    } else {
        currentElement_->AddAttribute(key, value);
    }
}

void CXMLTreeReader::Data(const char* text) {
    Require(currentElement_ != nullptr, message::kNoDocument);
    if (ownElement_ != nullptr) {
        AppendData(*ownElement_, text, arena_);
    } else {
        currentElement_->AddData(text);
    }
}

void CXMLTreeReader::CData(XIXMLReadStream* stream) {
    if (cdataReader_ == nullptr) {
        CXMLParser::CData(stream);
        return;
    }
    Require(currentElement_ != nullptr, message::kNoDocument);
    Require(cdataReader_->Read(currentElement_, stream), "CDATA reader refused the section");
}

void CXMLTreeReader::CloseNode(const void* handle) {
    // Checked first: outside ReadTree a null handle would otherwise match the
    // missing element.
    Require(currentElement_ != nullptr, message::kNoDocument);
    Require(handle == static_cast<const void*>(currentElement_), "Closed element is not the current one");
    currentElement_ = currentElement_->AsNode()->GetParent();
    ownElement_ = OwnElement(currentElement_);
}

void CXMLTreeReader::Comment(const char* text) {
    Require(currentElement_ != nullptr, message::kNoDocument);
    if (ownElement_ != nullptr) {
        AppendComment(*ownElement_, text);
    } else {
        currentElement_->AddComment(text);
    }
}

// A DOCTYPE belongs at top level only: outside the document element, and
// never without a document being read.
void CXMLTreeReader::DocType(const char* name, const char* publicId, const char* systemId, const char* internalSubset) {
    Require(tree_ != nullptr, message::kNoDocument);
    Require(currentElement_ == tree_->GetRoot(), "DOCTYPE declaration inside an element");
    const XCXMLKey key = tree_->GetKey(name);
    if (ownElement_ != nullptr) {
        AppendDocType(*ownElement_, key, publicId, systemId, internalSubset);
    } else {
        currentElement_->AddDocType(key, publicId, systemId, internalSubset);
    }
}

bool CXMLTreeReader::ProcessingInstruction(const char* target, const char* instruction) {
    Require(currentElement_ != nullptr, message::kNoDocument);
    if (ownElement_ != nullptr) {
        AppendPI(*ownElement_, target, instruction);
    } else {
        currentElement_->AddPI(target, instruction);
    }
    return true;
}

}  // namespace CorvaneXML
