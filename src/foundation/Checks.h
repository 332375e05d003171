#ifndef CORVANEXML_FOUNDATION_CHECKS_H
#define CORVANEXML_FOUNDATION_CHECKS_H

#include <CorvaneTools/CorvaneTools.h>

namespace CorvaneXML {
namespace check {

// The raise helpers live in the tools library. On paths taken for every
// node, the condition is tested here and the helper is called only to
// raise, with exactly the exception it would have raised. It cannot return
// then, and saying so keeps the common path from saving registers for a
// return that never comes.
inline void IfFalse(bool condition, const char* message) {
    if (__builtin_expect(!condition, 0)) {
        Corvane::CvThrow::IfFalse(false, "%s", message);
        __builtin_unreachable();
    }
}

inline void IfNULL(const void* pointer, const char* message) {
    if (__builtin_expect(pointer == nullptr, 0)) {
        Corvane::CvThrow::IfNULL(nullptr, "%s", message);
        __builtin_unreachable();
    }
}

inline void SiNULL(const void* pointer, const char* message) {
    if (__builtin_expect(pointer == nullptr, 0)) {
        Corvane::CvThrow::SiNULL(nullptr, message);
        __builtin_unreachable();
    }
}

}  // namespace check

// Texts of the refusals that several parts of the library share.
namespace message {

inline constexpr char kNullText[] = "Text is null";
inline constexpr char kNullName[] = "Name is null";
inline constexpr char kNullNode[] = "Node is null";
inline constexpr char kNullTarget[] = "Target element is null";
inline constexpr char kNullProvider[] = "Data provider is null";
inline constexpr char kNoMemoryForText[] = "Can't allocate a copy of the text.";
inline constexpr char kProviderHoldsData[] = "Data node holds a provider, not text";
inline constexpr char kNoDocument[] = "No document is being read: use ReadTree";

}  // namespace message
}  // namespace CorvaneXML

#endif
