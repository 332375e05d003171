#include <CorvaneXML/XMLNode.h>

#include <CorvaneXML/XMLInterfaces.h>

#include "dom/DocumentHome.h"
#include "foundation/DestructorReport.h"
#include "foundation/NodeMemory.h"

#include <new>

namespace CorvaneXML {

XCXMLNode::XCXMLNode(XIXMLElement* parent) : next_(nullptr), parent_(nullptr), previous_(nullptr) {
    if (parent != nullptr) parent->AddNode(this);
}

XCXMLNode::~XCXMLNode() {
    try {
        if (parent_ != nullptr) parent_->RemoveNode(this);
    } catch (...) {
        ReportDestructorException("XCXMLNode");
    }
}

void XCXMLNode::Destroy() {
    guard_.CheckMine();
    delete this;
}

void* XCXMLNode::operator new(std::size_t size) {
    void* block = AllocateNodeBlock(size, nullptr);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void XCXMLNode::operator delete(void* block) noexcept { FreeNodeBlock(block); }

XIXMLNode* XCXMLNode::GetNext() const { return next_; }
// Links set by hand change a document as much as its own list operations do;
// not so in a node's last step of destruction, when it leaves for good.
void XCXMLNode::SetNext(XIXMLNode* next) {
    if (!IsExactly<XCXMLNode>(*this)) ForbidChunkRelease(parent_);
    next_ = next;
}

XIXMLElement* XCXMLNode::GetParent() const { return parent_; }

void XCXMLNode::SetParent(XIXMLElement* parent) {
    if (!IsExactly<XCXMLNode>(*this)) ForbidChunkRelease(parent_);
    parent_ = parent;
}

unsigned int XCXMLNode::Index() const { return parent_ != nullptr ? parent_->IndexOf(this) : XIXMLNode::kNoIndex; }

}  // namespace CorvaneXML
