#ifndef CORVANEXML_PARSER_READERACCESS_H
#define CORVANEXML_PARSER_READERACCESS_H

#include <CorvaneXML/XMLParser.h>

#include <cstdint>

namespace CorvaneXML {

// What the parser and the CDATA stream do with the reader's block besides
// taking one character at a time, and the reader's bookkeeping of where in
// the source it stands. CXMLBufferedReader befriends this struct alone.
//
// The bookkeeping: `origin` is the stream's XIXMLReadOrigin, asked once after
// the first Read and then dropped; `atBlock` counts the line feeds before
// block[0], `known` those before the last place worked out; `mark` is where
// the construct being reported starts. The block has one byte more than it
// is filled with, for the fence.
struct CReaderAccess {
    using LineCount = CXMLBufferedReader::LineCount;

    // The part of the current block not handed out yet. The parser scans
    // runs of ordinary bytes here in place instead of asking for each one,
    // then moves the read position past what it consumed.
    static const char* Rest(const CXMLBufferedReader& reader) { return reader.block + reader.position; }
    static const char* End(const CXMLBufferedReader& reader) { return reader.block + reader.count; }
    static void MoveTo(CXMLBufferedReader& reader, const char* next) {
        reader.position = static_cast<int>(next - reader.block);
    }
    // Puts `stop` just past the contents, so that a scan which stops at that
    // byte needs no separate test for the end of the block on every byte.
    // Returns where the contents end.
    static const char* Fence(CXMLBufferedReader& reader, char stop) {
        reader.block[reader.count] = stop;
        return reader.block + reader.count;
    }

    // Puts a NUL over `at`, a byte of the block already handed out, so that
    // the run before it can go to a handler as a C string where it stands;
    // returns the byte for Restore, which puts it back before the parser
    // reads on or the block is counted.
    static char Terminate(CXMLBufferedReader& reader, const char* at) {
        char& byte = reader.block[at - reader.block];
        const char was = byte;
        byte = '\0';
        return was;
    }
    static void Restore(CXMLBufferedReader& reader, const char* at, char byte) {
        reader.block[at - reader.block] = byte;
    }

    // Source offset of block[0]: tells one block from the next.
    static std::uint64_t BlockStart(const CXMLBufferedReader& reader) { return reader.atBlock.offset; }
    // Source offset of the next character to hand out.
    static std::uint64_t Offset(const CXMLBufferedReader& reader) {
        return reader.atBlock.offset + static_cast<std::uint64_t>(reader.position);
    }

    // The construct the parser is reporting starts `back` characters before
    // the next one to hand out.
    static void Mark(CXMLBufferedReader& reader, int back) {
        reader.mark = Offset(reader) - static_cast<std::uint64_t>(back);
    }
    static std::uint64_t MarkedOffset(const CXMLBufferedReader& reader) { return reader.mark; }

    // Line and column of `offset`, which lies in the current block, just
    // past it, or is the mark. Counts line feeds on from the last place
    // worked out, so a parse that asks for every element counts each byte
    // about once.
    static CXMLPosition Locate(CXMLBufferedReader& reader, std::uint64_t offset);

    // Lines are counted once per block, as it is retired, so that positions
    // cost nothing while reading; only a position asked for counts within
    // the current block. The construct being reported is located before its
    // block goes, so that a handler can still ask for it blocks later.
    // The line feeds before `offset`, and where its line starts.
    static LineCount CountTo(const CXMLBufferedReader& reader, std::uint64_t offset);
    // The count at `offset`, at or before `after` in this block.
    static LineCount CountBack(const CXMLBufferedReader& reader, const LineCount& after, std::uint64_t offset);
    // Takes the stream's origin, after its first Read.
    static void TakeOrigin(CXMLBufferedReader& reader);
};

// A run of the block handed to a handler where it stands: a NUL over the
// byte after it, `end`, while this lives; the byte again afterwards, also
// when the handler throws.
class CTerminatedRun {
public:
    CTerminatedRun(CXMLBufferedReader& reader, const char* end)
        : reader_(reader), end_(end), byte_(CReaderAccess::Terminate(reader, end)) {}
    ~CTerminatedRun() { CReaderAccess::Restore(reader_, end_, byte_); }
    CTerminatedRun(const CTerminatedRun&) = delete;
    CTerminatedRun& operator=(const CTerminatedRun&) = delete;

private:
    CXMLBufferedReader& reader_;
    const char* end_;
    char byte_;
};

}  // namespace CorvaneXML

#endif
