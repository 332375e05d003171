#include <CorvaneXML/XMLDocument.h>

#include "dom/Access.h"
#include "dom/DocumentHome.h"
#include "foundation/DestructorReport.h"
#include "foundation/HashKey.h"
#include "foundation/Raise.h"

#include <new>

namespace CorvaneXML {

XCXMLRoot::XCXMLRoot() : XCXMLElement(nullptr, XCXMLKey()), keys_(new (std::nothrow) CHashKey) {
    Require(keys_ != nullptr, "Can't allocate key hash table.");
    CDocumentHome* home = new (std::nothrow) CDocumentHome(this);
    if (home == nullptr) {
        delete keys_;
        Raise("Can't allocate key hash table.");
    }
    CElementAccess::Home(*this) = reinterpret_cast<std::uintptr_t>(home);
}

XCXMLRoot::~XCXMLRoot() {
    // The names go before the nodes: nothing below may read a name any more.
    // Elements deep in the tree stop answering for the root here; the home
    // itself goes with the element part, after the children.
    HomeOf(*this)->root.store(nullptr, std::memory_order_relaxed);
    try {
        delete keys_;
        keys_ = nullptr;
    } catch (...) {
        ReportDestructorException("XCXMLRoot");
    }
}

const XCXMLKey& XCXMLRoot::GetKey(const char* name) const {
    Require(name != nullptr, message::kNullName);
    return keys_->GetKey(name);
}

XCXMLTree::XCXMLTree() : root_(new XCXMLRoot) {}

XCXMLTree::~XCXMLTree() {
    try {
        if (root_ != nullptr) root_->AsNode()->Destroy();
    } catch (...) {
        ReportDestructorException("XCXMLTree");
    }
}

XIXMLElement* XCXMLTree::GetRoot() { return root_; }
const XIXMLElement* XCXMLTree::GetRoot() const { return root_; }
const XCXMLKey& XCXMLTree::GetKey(const char* name) const { return root_->GetKey(name); }

}  // namespace CorvaneXML
