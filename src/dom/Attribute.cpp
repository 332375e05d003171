#include <CorvaneXML/XMLAttribute.h>

#include <CorvaneXML/XMLElement.h>

#include "dom/DocumentHome.h"
#include "dom/Factories.h"
#include "dom/FormattedValue.h"
#include "dom/ListHints.h"
#include "foundation/DestructorReport.h"
#include "foundation/NodeMemory.h"
#include "foundation/OwnedText.h"
#include "foundation/Raise.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <new>

namespace CorvaneXML {

XCXMLAttribute* CreateAttribute(XIXMLElement* owner, const XCXMLKey& name, const CNodeText& value, CNodeArena* arena) {
    XCXMLAttribute* const attribute = ConstructWithText<XCXMLAttribute>(arena, value, owner, name);
    // Out of memory, as for any other copy of a text.
    Require(attribute != nullptr, message::kNoMemoryForText);
    return attribute;
}

XCXMLAttribute::XCXMLAttribute(XIXMLElement* owner, const XCXMLKey& name, const char* value)
    : next_(nullptr), previous_(nullptr), owner_(owner), name_(name), value_(KeepText(value, TextBehind(this))) {}

void* XCXMLAttribute::operator new(std::size_t size) {
    void* block = AllocateNodeBlock(size, nullptr);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void XCXMLAttribute::operator delete(void* block) noexcept { FreeNodeBlock(block); }

XCXMLAttribute::~XCXMLAttribute() {
    try {
        if (owner_ != nullptr) {
            // The library's own element unlinks it without noting a change
            // to the document, as it leaves for good.
            if (XCXMLElement* const own = OwnElement(owner_)) {
                UnlinkAttribute(*own, this);
            } else {
                owner_->RemoveAttribute(this);
            }
            owner_ = nullptr;
        }
    } catch (...) {
        ReportDestructorException("XCXMLAttribute");
    }
    // Released whether or not unlinking worked: the attribute goes either way.
    FreeKeptText(value_, TextBehind(this));
}

void XCXMLAttribute::Destroy() {
    guard_.CheckMine();
    delete this;
}

XIXMLAttribute* XCXMLAttribute::GetNext() const { return next_; }

// An attribute in a list, which has a hint (see UnlinkAttribute), changes
// its owner's document; one taken out of it, whose owner may be gone, does not.
void XCXMLAttribute::SetNext(XIXMLAttribute* next) {
    if (previous_ != nullptr) ForbidChunkRelease(owner_);
    next_ = next;
}

XIXMLElement* XCXMLAttribute::GetNode() const { return owner_; }
const XCXMLKey& XCXMLAttribute::GetName() const { return name_; }
void XCXMLAttribute::SetName(const XCXMLKey& name) { name_ = name; }
const char* XCXMLAttribute::GetValue() const { return value_; }

void XCXMLAttribute::SetValue(const char* value) {
    // Copied first: a failed copy keeps the old value, which may be passed in.
    char* copy = CopyText(value);
    FreeKeptText(value_, TextBehind(this));
    value_ = copy;
    // The copy is a block of its own, for the destructor to free.
    if (previous_ != nullptr) ForbidChunkRelease(owner_);
}

void XCXMLAttribute::GetFmtValue(const char* format, void* out) const {
    Require(out != nullptr, "Output pointer is null");
    ScanFormatted(value_, format, out);
}

void XCXMLAttribute::SetFmtValue(const char* format, ...) {
    FormatBuffer buffer;
    va_list args;
    va_start(args, format);
    const char* const refusal = FormatInto(buffer, format, args);
    va_end(args);
    Require(refusal == nullptr, refusal);
    SetValue(buffer);
}

XIXMLAttribute* XCXMLAttribute::Copy(XIXMLElement* target) const {
    Require(target != nullptr, message::kNullTarget);
    const XCXMLKey name = target->GetKey(name_);
    return target->AddAttribute(name, value_);
}

}  // namespace CorvaneXML
