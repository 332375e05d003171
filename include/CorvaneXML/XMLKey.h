#ifndef CORVANEXML_XMLKEY_H
#define CORVANEXML_XMLKEY_H

#include <CorvaneXML/Export.h>

#include <cstring>

namespace CorvaneXML {

class CHashKey;

// An interned name: one pointer to a text stored in a document's key table.
// Keys of one document are equal exactly when they hold the same pointer, so
// comparing names in a tree never compares text. A key is valid as long as the
// document (its root element) that interned it lives. The only way to get a
// non-default key is GetKey() of a document, its root or one of its elements.
class CORVANEXML_API XCXMLKey {
public:
    // The default key: no text; equal to other default keys and to no text.
    XCXMLKey() noexcept : text_(nullptr) {}
    XCXMLKey(const XCXMLKey&) noexcept = default;
    XCXMLKey& operator=(const XCXMLKey&) noexcept = default;

    // Same document and same name: same pointer. No text is compared.
    bool operator==(const XCXMLKey& other) const noexcept { return text_ == other.text_; }
    bool operator!=(const XCXMLKey& other) const noexcept { return text_ != other.text_; }

    // Byte-for-byte comparison with a text; always false for the default key.
    bool operator==(const char* text) const noexcept {
        return text_ != nullptr && text != nullptr && std::strcmp(text_, text) == 0;
    }
    bool operator!=(const char* text) const noexcept { return !(*this == text); }

    // The stored text, or null for the default key.
    operator const char*() const noexcept { return text_; }

private:
    friend class CHashKey;
    explicit XCXMLKey(const char* text) noexcept : text_(text) {}

    const char* text_;
};

}  // namespace CorvaneXML

#endif
