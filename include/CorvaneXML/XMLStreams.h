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

// A place in XML text: the byte offset from the first byte of the source
// (0-based), the line (1-based, counted by line feeds) and the column
// (1-based, in bytes: a two-byte UTF-8 character counts two).
struct CXMLPosition {
    std::uint64_t offset = 0;
    std::uint64_t line = 0;
    std::uint64_t column = 0;
};

// A second interface that a read stream may implement when the first byte
// its Read delivers is not the first byte of its source (the ready-made
// streams pass over a byte-order mark). The parser asks once per parse,
// right after the stream's first Read, and counts every offset, line and
// column it reports from the answer, so that positions point into the
// source. A stream without it starts at offset 0, line 1, column 1.
class CORVANEXML_API XIXMLReadOrigin {
public:
    XIXMLReadOrigin() = default;
    XIXMLReadOrigin(const XIXMLReadOrigin&) = default;
    XIXMLReadOrigin& operator=(const XIXMLReadOrigin&) = default;
    virtual ~XIXMLReadOrigin();

    // Where the first byte delivered by Read stands in the source. A line or
    // column of 0 is taken as 1.
    virtual CXMLPosition GetOrigin() const = 0;
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

// Room in a write stream's own memory: [begin, end).
struct CXMLWindow {
    char* begin = nullptr;
    char* end = nullptr;
};

// A second interface that a write stream may implement so that the XML
// writer copies into the stream's memory instead of calling Write for every
// token, name and character (the ready-made string and file streams do).
// The writer asks for it once per Write of a document or element.
//
// The writer opens a window, copies into it from its start, and closes it
// with the count it used, calling nothing else on the stream in between.
// The bytes are exactly those it would otherwise have handed to Write, in
// order, and the stream takes them as if Write had accepted them; what a
// window cannot take, the writer hands to Write. The writer closes the
// window before it returns or raises, and before a data provider writes to
// the stream itself.
class CORVANEXML_API XIXMLWriteWindow {
public:
    XIXMLWriteWindow() = default;
    XIXMLWriteWindow(const XIXMLWriteWindow&) = default;
    XIXMLWriteWindow& operator=(const XIXMLWriteWindow&) = default;
    virtual ~XIXMLWriteWindow();

    // Room for at least `wanted` bytes when the stream can give it without
    // doing what its Write would do instead (draining a buffer, refusing
    // bytes past a limit); else less, or none. Never room for bytes the
    // stream's Write would refuse.
    virtual CXMLWindow OpenWindow(std::uint64_t wanted) = 0;
    // The first `used` bytes of the open window are written; the rest of it
    // is given back.
    virtual void CloseWindow(std::uint64_t used) noexcept = 0;
};

}  // namespace CorvaneXML

#endif
