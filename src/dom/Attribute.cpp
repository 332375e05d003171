#include <CorvaneXML/XMLElement.h>

#include "dom/FormattedValue.h"
#include "foundation/DestructorReport.h"
#include "foundation/OwnedText.h"

#include <CorvaneTools/CorvaneTools.h>

#include <cstdarg>
#include <cstdlib>

namespace CorvaneXML {

using Corvane::CvThrow;

XCXMLAttribute::XCXMLAttribute(XIXMLElement* owner, const XCXMLKey& name, const char* value)
    : next_(nullptr), owner_(owner), name_(name), value_(CopyText(value)) {}

XCXMLAttribute::~XCXMLAttribute() {
    try {
        if (owner_ != nullptr) {
            owner_->RemoveAttribute(this);
            owner_ = nullptr;
        }
    } catch (...) {
        ReportDestructorException("XCXMLAttribute");
    }
    // Released whether or not unlinking worked: the attribute goes either way.
    std::free(value_);
}

void XCXMLAttribute::Destroy() {
    guard_.CheckMine();
    delete this;
}

XIXMLAttribute* XCXMLAttribute::GetNext() const { return next_; }
void XCXMLAttribute::SetNext(XIXMLAttribute* next) { next_ = next; }
XIXMLElement* XCXMLAttribute::GetNode() const { return owner_; }
const XCXMLKey& XCXMLAttribute::GetName() const { return name_; }
void XCXMLAttribute::SetName(const XCXMLKey& name) { name_ = name; }
const char* XCXMLAttribute::GetValue() const { return value_; }
void XCXMLAttribute::SetValue(const char* value) { ReplaceText(value_, value); }

void XCXMLAttribute::GetFmtValue(const char* format, void* out) const {
    CvThrow::SiNULL(out);
    ScanFormatted(value_, format, out);
}

void XCXMLAttribute::SetFmtValue(const char* format, ...) {
    FormatBuffer buffer;
    va_list args;
    va_start(args, format);
    const bool fits = FormatInto(buffer, format, args);
    va_end(args);
    CvThrow::SiFaux(fits);
    SetValue(buffer);
}

XIXMLAttribute* XCXMLAttribute::Copy(XIXMLElement* target) const {
    CvThrow::SiNULL(target);
    const XCXMLKey name = target->GetKey(name_);
    return target->AddAttribute(name, value_);
}

}  // namespace CorvaneXML
