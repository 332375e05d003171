#ifndef CORVANEXML_XMLPARSER_H
#define CORVANEXML_XMLPARSER_H

#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLBuffer.h>
#include <CorvaneXML/XMLStreams.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace CorvaneXML {

// Pulls text from a host stream in 1024-byte blocks and hands it out one
// byte at a time as 0..255, with -1 for end of input. A short block is the
// last one: the stream is never called again after it. One character of
// push-back, within the current block.
class CORVANEXML_API CXMLBufferedReader {
public:
    // A null stream raises.
    explicit CXMLBufferedReader(XIXMLReadStream* stream);
    virtual ~CXMLBufferedReader();
    CXMLBufferedReader(const CXMLBufferedReader&) = delete;
    CXMLBufferedReader& operator=(const CXMLBufferedReader&) = delete;

    int ReadChar() {
        if (position != count) return static_cast<unsigned char>(block[position++]);
        return ReadBlock();
    }

    // The character most recently handed out from the current block, or -1
    // when nothing of it has been handed out.
    int Current() const { return position == 0 ? -1 : static_cast<unsigned char>(block[position - 1]); }

    void UnRead() {
        if (position > 0) --position;
    }

private:
    friend struct CReaderAccess;  // the library's own use of the fields below

    static constexpr int kBlockSize = 1024;

    int ReadBlock();

    int position;
    int count;
    bool atEnd;
    XIXMLReadStream* stream;
    // Opaque from here on: where in the source the reader stands, for
    // positions.
    struct LineCount {
        std::uint64_t offset;
        std::uint64_t feeds;
        std::uint64_t lineStart;
    };
    XIXMLReadOrigin* origin;
    LineCount atBlock;
    LineCount known;
    std::uint64_t mark;
    // Sixteen bytes more for the library's scans: a fence after the
    // contents, and sixteen bytes read at once from any byte of them.
    char block[kBlockSize + 16];
};

// The body of one CDATA section as a read stream, served straight from the
// parser's reader. Up to two ']' are held back because they may start the
// closing "]]>", so the bytes delivered never depend on how the body is split
// into reads. Lives only while the parser reports the section.
class CORVANEXML_API CXMLCDataStream : public XIXMLReadStream {
public:
    // Takes the first body byte from the reader.
    explicit CXMLCDataStream(CXMLBufferedReader* reader);
    ~CXMLCDataStream() override;
    CXMLCDataStream(const CXMLCDataStream&) = delete;
    CXMLCDataStream& operator=(const CXMLCDataStream&) = delete;

    // Short only once the section or the input has ended; 0 from then on. A
    // failure of the host's stream while reading the body ends the data
    // here (FinishReading then reports it) instead of propagating.
    std::uint64_t Read(char* buffer, std::uint64_t size) override;

    // Skips what the handler left unread; raises unless "]]>" closed the body.
    void FinishReading();

private:
    void ReadChar() { current = reader->ReadChar(); }

    CXMLBufferedReader* reader;
    int current;
    int brackets;
    bool finished;
    bool terminated;
};

// Event-driven parser. A host derives from it, implements the four pure
// handlers and overrides the others as needed. Strings passed to handlers are
// valid only during the call. A handler must not start another parse on the
// same object: that raises, and the running parse is left intact.
class CORVANEXML_API CXMLParser {
public:
    // Reads one whole document from `stream` and reports its events. Returns
    // at the end of the document or when a processing-instruction handler
    // returns false; every error raises. The parser is idle again afterwards,
    // however the call ends.
    void Parse(XIXMLReadStream* stream);

    // As Parse, but an OpenNode handler that returns null makes the parser
    // skip that element's attributes and content without events.
    void FastParse(XIXMLReadStream* stream);

    // Where the last Parse or FastParse that raised stopped: the byte offset
    // (0-based) of the character it was on, or the input's length when the
    // input ended, with its line (1-based, counted by line feeds) and column
    // (1-based, in bytes). All three are 0 after a parse that succeeded and
    // before any parse.
    std::uint64_t GetErrorOffset() const { return errorOffset; }
    std::uint64_t GetErrorLine() const { return errorLine; }
    std::uint64_t GetErrorColumn() const { return errorColumn; }

    // Inside an event handler: where the construct being reported starts.
    //   OpenNode, Attribute   the '<' of the start tag
    //   CloseNode             the '<' of the end tag; for an empty element,
    //                         the '<' of its start tag
    //   Data                  the first byte of the text as delivered (after
    //                         the leading whitespace that is dropped); from
    //                         the default CData, the '<' of the section
    //   CData, Comment, ProcessingInstruction, DocType
    //                         the '<' that opens the construct
    //   EvalEntity            as for the text or start tag holding the
    //                         reference
    // The position stays valid during the whole handler, also while a CData
    // handler reads the section. While parsing, only where each construct
    // starts is noted; its line and column are worked out when asked for.
    // All zero when no parse is running.
    CXMLPosition GetEventPosition() const;

    CXMLParser(const CXMLParser&) = delete;
    CXMLParser& operator=(const CXMLParser&) = delete;

protected:
    CXMLParser();
    virtual ~CXMLParser();

    virtual void Comment(const char* text);
    // Returning false ends the parse normally, without reading further.
    virtual bool ProcessingInstruction(const char* target, const char* instruction);
    // Absent identifiers are null; the internal subset is never null.
    virtual void DocType(const char* name, const char* publicId, const char* systemId, const char* internalSubset);
    // The handle comes back to CloseNode for the same element.
    virtual const void* OpenNode(const char* name) = 0;
    virtual void Attribute(const char* name, const char* value) = 0;
    virtual void Data(const char* text) = 0;
    // Default: gathers the section's body and reports it through Data.
    virtual void CData(XIXMLReadStream* stream);
    virtual void CloseNode(const void* handle) = 0;
    // `buffer` (of `size` bytes) holds an unknown entity name; return true
    // after writing its NUL-terminated replacement there.
    virtual bool EvalEntity(char* buffer, int size);

private:
    friend struct CParserCore;  // the reading routines (src/parser)

    TBuffer<char> token;
    TBuffer<char> text;
    int current;
    CXMLBufferedReader* reader;

    // Opaque from here on: what the reading routines keep.
    std::vector<const void*> openElements;
    std::string skippedName;
    std::uint64_t errorOffset = 0;
    std::uint64_t errorLine = 0;
    std::uint64_t errorColumn = 0;
    // The name and the value or text that the handler being called was given
    // where they stand in the input, with their lengths and a copy of the
    // sixteen bytes from their start taken before they were ended; null at
    // other times.
    struct HandedText {
        const char* text;
        std::size_t length;
        char head[16];
    };
    HandedText handedName{nullptr, 0, {}};
    HandedText handedText{nullptr, 0, {}};
};

}  // namespace CorvaneXML

#endif
