#include <CorvaneXML/XMLDocument.h>

#include "foundation/Checks.h"
#include "foundation/DestructorReport.h"
#include "foundation/HashKey.h"

#include <CorvaneTools/CorvaneTools.h>

#include <new>

namespace CorvaneXML {

using Corvane::CvThrow;

XCXMLRoot::XCXMLRoot() : XCXMLElement(nullptr, XCXMLKey()), keys_(new (std::nothrow) CHashKey) {
    CvThrow::SiNULL(keys_, "Can't allocate key hash table.");
}

XCXMLRoot::~XCXMLRoot() {
    // The names go before the nodes: nothing below may read a name any more.
    try {
        delete keys_;
        keys_ = nullptr;
    } catch (...) {
        ReportDestructorException("XCXMLRoot");
    }
}

const XCXMLKey& XCXMLRoot::GetKey(const char* name) const {
    check::SiNULL(name, message::kNullName);
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
