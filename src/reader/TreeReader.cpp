#include <CorvaneXML/XMLTreeReader.h>

#include "dom/DocumentHome.h"
#include "dom/Factories.h"
#include "foundation/HashKey.h"
#include "foundation/NodeMemory.h"
#include "foundation/Raise.h"
#include "foundation/RecentNames.h"
#include "parser/ParserCore.h"

#include <cstring>

namespace CorvaneXML {

// What the reader keeps from one event to the next.
class CReaderState {
public:
    // The keys of the names met last in the document being read. Keys stay
    // valid however the document's table grows, so unlike the table's own
    // set of recent answers this one is not emptied while a document is
    // read; and being one per reader rather than one per document, it can be
    // larger.
    using Names = TRecentNames<XCXMLKey, 9>;
    Names names;

    // Whether no code but the reader's own can reach the document while it
    // is read: a reader of exactly this class, without a position map or a
    // CDATA reader (the host's stream and reporter never see the tree).
    // Then every node is the library's own and nothing moves behind the
    // reader's back, so it knows where the next child and attribute of the
    // current element go without looking: after `lastChild` (when
    // `childKnown`) and after `lastAttribute` (when `attributeKnown`); null
    // when there is none yet. And all elements share the root's `home`.
    bool alone = false;
    bool childKnown = false;
    bool attributeKnown = false;
    XCXMLNode* lastChild = nullptr;
    XCXMLAttribute* lastAttribute = nullptr;
    CDocumentHome* home = nullptr;

    void Start(bool readerAlone, XCXMLRoot& root) {
        names.Clear();
        alone = readerAlone;
        childKnown = attributeKnown = alone;
        lastChild = nullptr;
        lastAttribute = nullptr;
        home = HomeForChildren(root);
    }
    // `child` is now the last child of the current element (null: it has
    // none), as far as the reader alone knows.
    void ChildAppended(XCXMLNode* child) {
        lastChild = child;
        childKnown = alone;
    }
};

namespace {

using Names = CReaderState::Names;

// Asks the document's table for a name the set of recent names did not
// answer, and keeps the answer in `entry`. Apart, so that the common way
// needs few registers.
[[gnu::noinline]] XCXMLKey Remember(Names::Entry& entry, CHashKey& keys, const char* name, const CNamePrint& print) {
    entry = {print, keys.GetKey(name, print)};
    return entry.value;
}

[[gnu::noinline]] XCXMLKey KeyOfText(Names& names, CHashKey& keys, const char* name) {
    Require(name != nullptr, message::kNullName);
    const CNamePrint print = CNamePrint::Of(name, std::strlen(name));
    Names::Entry& entry = names.EntryFor(print);
    return Names::Holds(entry, print, name) ? entry.value : Remember(entry, keys, name, print);
}

// The document's key for a name the parser handed to the reader: nearly
// always one it handed where it stands, and one met shortly before.
XCXMLKey KeyOf(Names& names, CHashKey& keys, const CXMLParser& parser, const char* name) {
    std::size_t length;
    const char* const start = CParserCore::NameInPlace(parser, name, length);
    if (start == nullptr) return KeyOfText(names, keys, name);
    const CNamePrint print = CNamePrint::Of(name, length, start);
    Names::Entry& entry = names.EntryFor(print);
    return Names::Holds(entry, print, name) ? entry.value : Remember(entry, keys, name, print);
}

}  // namespace

IXMLCDataReader::~IXMLCDataReader() = default;

IXMLPositionMap::~IXMLPositionMap() = default;

CXMLTreeReader::CXMLTreeReader(IXMLCDataReader* reader)
    : tree_(nullptr),
      currentElement_(nullptr),
      ownElement_(nullptr),
      arena_(nullptr),
      keys_(nullptr),
      state_(nullptr),
      cdataReader_(reader),
      positionMap_(nullptr) {}

CXMLTreeReader::~CXMLTreeReader() = default;

void CXMLTreeReader::SetPositionMap(IXMLPositionMap* map) { positionMap_ = map; }

XCXMLTree* CXMLTreeReader::ReadTree(XIXMLReadStream* stream) {
    Require(tree_ == nullptr && currentElement_ == nullptr, "This tree reader is already reading a document");

    if (state_ == nullptr) state_ = std::make_unique<CReaderState>();
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
    XCXMLRoot& root = *static_cast<XCXMLRoot*>(currentElement_);
    keys_ = &CRootAccess::Keys(root);
    state_->Start(IsExactly<CXMLTreeReader>(*this) && positionMap_ == nullptr && cdataReader_ == nullptr, root);
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
        keys_ = nullptr;
    };
    try {
        // Parse, with the parser's notes for the handlers below.
        CParserCore::Run(*this, stream, false, true);
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

// The handlers are flattened: everything they call for one node (interning,
// the factories, the node's constructor and its memory) is compiled into
// them, which spares about a tenth of reading a tree in calls and the
// registers each saves.
//
// Names are interned in the document's table (see KeyOf). `ownElement_` is
// currentElement_ when it is one of the library's own elements (the root and
// the elements read), which take new nodes from the arena of the document
// being read; null for an element that a CDATA handler put in between, which
// is asked through its factories.
[[gnu::flatten]] const void* CXMLTreeReader::OpenNode(const char* name) {
    Require(currentElement_ != nullptr, message::kNoDocument);
    const XCXMLKey key = KeyOf(state_->names, *keys_, *this, name);
    CReaderState& state = *state_;
    if (ownElement_ != nullptr) {
        ownElement_ = state.childKnown ? AppendElementAfter(*ownElement_, state.lastChild, key, arena_, state.home)
                                       : AppendElement(*ownElement_, key, arena_);
        currentElement_ = ownElement_;
    } else {
        currentElement_ = currentElement_->AddElement(key);
        ownElement_ = OwnElement(currentElement_);
    }
    state.ChildAppended(nullptr);
    state.lastAttribute = nullptr;
    state.attributeKnown = state.alone;
    if (positionMap_ != nullptr) positionMap_->MapElement(currentElement_, GetEventPosition());
    return currentElement_;
}

[[gnu::flatten]] void CXMLTreeReader::Attribute(const char* name, const char* value) {
    Require(currentElement_ != nullptr, message::kNoDocument);
    const XCXMLKey key = KeyOf(state_->names, *keys_, *this, name);
    if (ownElement_ != nullptr) {
        Require(value != nullptr, message::kNullValue);
        std::size_t length;
        const char* const head = CParserCore::TextInPlace(*this, value, length);
        if (head == nullptr) length = std::strlen(value);
        CReaderState& state = *state_;
        const CNodeText text{value, length, head};
        state.lastAttribute = state.attributeKnown
                                  ? AppendAttributeAfter(*ownElement_, state.lastAttribute, key, text, arena_)
                                  : AppendAttribute(*ownElement_, key, text, arena_);
    } else {
        currentElement_->AddAttribute(key, value);
    }
}

[[gnu::flatten]] void CXMLTreeReader::Data(const char* text) {
    Require(currentElement_ != nullptr, message::kNoDocument);
    CReaderState& state = *state_;
    if (ownElement_ != nullptr) {
        Require(text != nullptr, message::kNullText);
        std::size_t length;
        const char* const head = CParserCore::TextInPlace(*this, text, length);
        if (head == nullptr) length = CParserCore::TextLength(*this, text);
        const CNodeText copy{text, length, head};
        state.ChildAppended(state.childKnown ? AppendDataAfter(*ownElement_, state.lastChild, copy, arena_)
                                             : AppendData(*ownElement_, copy, arena_));
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
    // Nothing was appended to the parent since the closed element.
    CReaderState& state = *state_;
    state.ChildAppended(ownElement_);
    state.attributeKnown = false;
    if (state.alone) {
        // The parent is one of the reader's own elements, or the root.
        ownElement_ = static_cast<XCXMLElement*>(CNodeAccess::Parent(*ownElement_));
        currentElement_ = ownElement_;
        return;
    }
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
    state_->childKnown = false;
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
    state_->childKnown = false;
}

bool CXMLTreeReader::ProcessingInstruction(const char* target, const char* instruction) {
    Require(currentElement_ != nullptr, message::kNoDocument);
    if (ownElement_ != nullptr) {
        AppendPI(*ownElement_, target, instruction);
    } else {
        currentElement_->AddPI(target, instruction);
    }
    state_->childKnown = false;
    return true;
}

}  // namespace CorvaneXML
