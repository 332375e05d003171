#include "foundation/DestructorReport.h"

#include <CorvaneTools/CorvaneTools.h>

#include <exception>

namespace CorvaneXML {

void ReportDestructorException(const char* className) noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& error) {
            Corvane::XCReporter::Message(Corvane::XIReporter::eMessage, "%s::~%s: Exception in destructor (%s)",
                                         className, className, error.what());
        } catch (...) {
            Corvane::XCReporter::Message(Corvane::XIReporter::eMessage, "%s::~%s: Exception in destructor (%s)",
                                         className, className, "unknown exception");
        }
    } catch (...) {
        // A reporter that fails has nowhere left to report to.
    }
}

}  // namespace CorvaneXML
