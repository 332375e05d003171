#ifndef CORVANEXML_FOUNDATION_EXACTTYPE_H
#define CORVANEXML_FOUNDATION_EXACTTYPE_H

#include <typeinfo>

namespace CorvaneXML {

// True when `object` is of exactly the class T, for the library's fast paths
// that do by hand what T's own virtual members would do.
//
// Compares the type descriptions by address. Comparing them with == also
// compares their names when the addresses differ, a call into the C library
// on every mismatch, which is the common answer for a child that is not an
// element. The library's classes have their one description in this library,
// so the addresses are equal exactly when the types are; were a copy ever to
// appear elsewhere, the answer would be false and the caller would take its
// general path, which is always correct.
template <class T, class U>
bool IsExactly(const U& object) noexcept {
    return &typeid(object) == &typeid(T);
}

}  // namespace CorvaneXML

#endif
