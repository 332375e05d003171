#ifndef CORVANEXML_XMLSTREAMS_H
#define CORVANEXML_XMLSTREAMS_H

#include <CorvaneXML/Export.h>

#include <cstdint>

namespace CorvaneXML {

// Source of XML text, implemented by the host. The library never opens files.
class CORVANEXML_API XIXMLReadStream {
public:
    XIXMLReadStream() = default;
    XIXMLReadStream(const XIXMLReadStream&) = default;
    XIXMLReadStream& operator=(const XIXMLReadStream&) = default;
    virtual ~XIXMLReadStream();

    // Stores at most `size` bytes at `buffer` and returns how many it stored.
    // A result smaller than `size` means the input is exhausted: the parser
    // never calls again after a short read, so a stream over a source that
    // delivers data in pieces (a pipe, a socket) must keep filling until it
    // has `size` bytes or the source has ended. Anything Read throws leaves
    // the parse unchanged (except inside a CDATA body, see CXMLCDataStream).
    virtual std::uint64_t Read(char* buffer, std::uint64_t size) = 0;
};

// Sink for XML text, implemented by the host. The writer does no buffering:
// every token, name and plain character of text is one call, so a host that
// wants speed buffers inside its stream.
class CORVANEXML_API XIXMLWriteStream {
public:
    XIXMLWriteStream() = default;
    XIXMLWriteStream(const XIXMLWriteStream&) = default;
    XIXMLWriteStream& operator=(const XIXMLWriteStream&) = default;

    // Accepts `size` bytes and returns how many it accepted. Any result other
    // than `size` makes the write raise "Can't write character"; the bytes
    // already accepted stay. `size` may be 0 (an empty name or text), and the
    // stream must then return 0.
    virtual std::uint64_t Write(const char* data, std::uint64_t size) = 0;

    virtual ~XIXMLWriteStream();
};

}  // namespace CorvaneXML

#endif
