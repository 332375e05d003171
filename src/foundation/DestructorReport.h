#ifndef CORVANEXML_FOUNDATION_DESTRUCTORREPORT_H
#define CORVANEXML_FOUNDATION_DESTRUCTORREPORT_H

namespace CorvaneXML {

// Call only from inside a catch block of a destructor: reports the exception
// being handled as "<className>::~<className>: Exception in destructor (...)"
// with its what() text, or "unknown exception". Never throws, so nothing can
// leave the destructor through it.
void ReportDestructorException(const char* className) noexcept;

}  // namespace CorvaneXML

#endif
