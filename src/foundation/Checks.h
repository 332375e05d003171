#ifndef CORVANEXML_FOUNDATION_CHECKS_H
#define CORVANEXML_FOUNDATION_CHECKS_H

#include <CorvaneTools/CorvaneTools.h>

namespace CorvaneXML {
namespace check {

// The raise helpers live in the tools library. On paths taken for every
// node, the condition is tested here and the helper is called only to
// raise, with exactly the exception it would have raised.
inline void IfFalse(bool condition) {
    if (__builtin_expect(!condition, 0)) Corvane::CvThrow::IfFalse(false);
}

inline void IfNULL(const void* pointer) {
    if (__builtin_expect(pointer == nullptr, 0)) Corvane::CvThrow::IfNULL(nullptr);
}

inline void SiNULL(const void* pointer) {
    if (__builtin_expect(pointer == nullptr, 0)) Corvane::CvThrow::SiNULL(nullptr);
}

}  // namespace check
}  // namespace CorvaneXML

#endif
