#include <CorvaneXML/XMLStreams.h>

namespace CorvaneXML {

// Out of line so that the interfaces' type information lives in the library.
XIXMLReadStream::~XIXMLReadStream() = default;
XIXMLWriteStream::~XIXMLWriteStream() = default;
XIXMLReadOrigin::~XIXMLReadOrigin() = default;
XIXMLWriteWindow::~XIXMLWriteWindow() = default;

}  // namespace CorvaneXML
