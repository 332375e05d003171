#ifndef CORVANEXML_PARSER_PARSERCORE_H
#define CORVANEXML_PARSER_PARSERCORE_H

#include <CorvaneXML/XMLParser.h>

#include "parser/BufferAccess.h"
#include "parser/ReaderAccess.h"
#include "parser/Scan.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace CorvaneXML {

// The parser's reading routines: everything CXMLParser does between Parse
// and its events. Each takes the parser and works on its fields: the current
// character `current`, the reader of the parse, the buffers `token` and
// `text`. CXMLParser befriends this struct alone.
//
// The routines read one character ahead: each is entered with `current` at
// its first character and leaves it at the first one after what it read (a
// few, as noted, after whitespace too).
//
// Elements are read in a loop over `openElements`, the handles of the
// elements open around the one being read, rather than by recursion, so
// nesting depth is bounded by memory, not by the call stack; the stack is
// kept across parses, so that it stops allocating once it has reached the
// deepest document. `skippedName` holds the name of the element FastParse
// skips, as `token` is reused while the skip reads end-tag names.
struct CParserCore {
    // Parse and FastParse: one whole document, with the error position noted
    // on the way out of a failure. `noted` when the handlers are the tree
    // reader's, the only ones that read the notes of HandedInPlace; for a
    // host's handlers none are taken.
    static void Run(CXMLParser& parser, XIXMLReadStream* stream, bool fast, bool noted = false);

    // --- characters and the document (Parser.cpp) ---
    static int Read(CXMLParser& parser) { return parser.current = parser.reader->ReadChar(); }
    // Whitespace is TAB, LF, CR and space; end of input (-1) is not.
    static bool IsSpace(int c) {
        return static_cast<unsigned>(c) <= static_cast<unsigned>(' ') && ((std::uint64_t{1} << c) & kSpaces) != 0;
    }
    // Skip passes over whitespace from the current character on; Next reads
    // on to the first character after the current one that is not
    // whitespace.
    static int Skip(CXMLParser& parser) { return IsSpace(parser.current) ? Next(parser) : parser.current; }
    static int Next(CXMLParser& parser) {
        // Whitespace runs (indentation) are passed over inside the block.
        CXMLBufferedReader& reader = *parser.reader;
        const char* const end = CReaderAccess::Fence(reader, '\0');
        const char* const p = scan::BlankEnd(CReaderAccess::Rest(reader));
        if (p == end) return NextInNewBlock(parser);
        // The byte that ended the run is in this block and not whitespace:
        // hand it out without asking the reader again. (What ResumeAt does,
        // written out: through ResumeAt the compiler keeps its second test
        // of `p`, here and in NextTag, and parsing ran 4 % slower.)
        CReaderAccess::MoveTo(reader, p + 1);
        return parser.current = static_cast<unsigned char>(*p);
    }
    // Next where the run reaches the block's end.
    static int NextInNewBlock(CXMLParser& parser);
    // After an element closed: NextTag inside the element around it; after
    // the root, Next, as the document's epilogue reads on from there.
    static bool AfterClose(CXMLParser& parser) {
        if (!parser.openElements.empty()) return NextTag(parser);
        Next(parser);
        return false;
    }
    // Next after a tag inside an element, which also takes up the tag that
    // follows when TakeTagAt can; returns true then.
    static bool NextTag(CXMLParser& parser) {
        CXMLBufferedReader& reader = *parser.reader;
        const char* const end = CReaderAccess::Fence(reader, '\0');
        const char* const p = scan::BlankEnd(CReaderAccess::Rest(reader));
        if (p == end) {
            NextInNewBlock(parser);
            return false;
        }
        if (*p == '<' && TakeTagAt(parser, p, end)) return true;
        CReaderAccess::MoveTo(reader, p + 1);
        parser.current = static_cast<unsigned char>(*p);
        return false;
    }
    // When the byte after `lt`, a '<' of the block whose contents end at
    // `end`, lies in the block too: takes it, as the content loop would, and
    // marks the tag's start; returns true then. Else changes nothing.
    static bool TakeTagAt(CXMLParser& parser, const char* lt, const char* end) {
        if (lt + 1 == end) return false;
        CReaderAccess::MoveTo(*parser.reader, lt + 2);
        parser.current = static_cast<unsigned char>(lt[1]);
        MarkTagStart(parser);
        return true;
    }
    static void ReadDocument(CXMLParser& parser, bool fast);
    // Takes reading up at `p`, a byte of the block whose contents end at
    // `end`, after a scan in place: `p` becomes the current character, or,
    // when the scan ran to the end, the first of the next block.
    static int ResumeAt(CXMLParser& parser, const char* p, const char* end) {
        if (p != end) {
            CReaderAccess::MoveTo(*parser.reader, p + 1);
            return parser.current = static_cast<unsigned char>(*p);
        }
        CReaderAccess::MoveTo(*parser.reader, p);
        return Read(parser);
    }

    // Notes where the construct being read starts, for GetEventPosition: at
    // the '<' before the character just read, or at that character.
    static void MarkTagStart(CXMLParser& parser) { CReaderAccess::Mark(*parser.reader, 2); }
    static void MarkCurrent(CXMLParser& parser) { CReaderAccess::Mark(*parser.reader, 1); }

    // When `text` is the name the handler being called was given where it
    // stands in the reader's block: a copy of the sixteen bytes from its
    // start (past its end too), taken before the name was ended with a NUL,
    // and its length in `length`. Else null. Reading the copy rather than
    // the block spares the processor a load that overlaps the NUL just
    // stored, which it cannot serve from the store.
    static const char* NameInPlace(const CXMLParser& parser, const char* text, std::size_t& length) {
        return InPlace(parser.handedName, text, length);
    }
    // The same for the value or text the handler being called was given.
    // The length of a name or value is that of the C string the handler
    // sees; that of a text may run past a NUL byte in it to the text's end,
    // bytes that a copy then holds and nothing reads.
    static const char* TextInPlace(const CXMLParser& parser, const char* text, std::size_t& length) {
        return InPlace(parser.handedText, text, length);
    }

    // The length of `text`, a text the handler being called was given: known
    // without counting when it is the parser's text buffer. A NUL byte read
    // into the buffer makes the length cover bytes past it, which a copy
    // then holds and nothing reads.
    static std::size_t TextLength(const CXMLParser& parser, const char* text) {
        return text == CBufferAccess::Data(parser.text) ? static_cast<std::size_t>(parser.text.GetLength())
                                                        : std::strlen(text);
    }

    // --- elements, names, attributes and literals (Elements.cpp) ---
    static void ReadElements(CXMLParser& parser, bool fast);
    // Both return NextTag's answer where they end with it.
    static bool ReadStartTag(CXMLParser& parser, bool fast);
    // Entered after the element name, which ended at `p` inside the block
    // whose contents end at `end`, fenced by '>'.
    static void ReadAttributesInBlock(CXMLParser& parser, const char* p, const char* end, bool report);
    static bool ReadEndTag(CXMLParser& parser);
    static void SkipContent(CXMLParser& parser);
    // A name into `token`; PassToken reads one that nobody needs, an end
    // tag's, without keeping it.
    static void ReadToken(CXMLParser& parser);
    static void PassToken(CXMLParser& parser);
    static void ReadName(CXMLParser& parser, TBuffer<char>* token);
    // Reads an attribute and, when `report`, hands it to the handler.
    static void ReadAttribute(CXMLParser& parser, bool report);
    // Entered after the name: the '=' and the value, into `text`.
    static void ReadValue(CXMLParser& parser);
    static void ReadLiteral(CXMLParser& parser);

    // --- character data and references (Text.cpp) ---
    static bool ReadData(CXMLParser& parser);
    static void ReadEntity(CXMLParser& parser);
    static void AppendCodePoint(CXMLParser& parser, std::uint32_t value);

    // --- comments, processing instructions, DOCTYPE (Markup.cpp) ---
    static void ReadInfo(CXMLParser& parser);
    static void ReadDocType(CXMLParser& parser);
    static void ReadComment(CXMLParser& parser);
    // Returns what the handler answered: false ends the parse.
    static bool ReadProcessingInstruction(CXMLParser& parser);

    // --- CDATA sections (CDataSection.cpp) ---
    static void ReadCData(CXMLParser& parser);

private:
    // The length of notes that nobody reads (see Run): no text handed over
    // has it.
    static constexpr std::size_t kNotNoted = SIZE_MAX;

    class HandedInPlace;
    static const char* InPlace(const CXMLParser::HandedText& handed, const char* text, std::size_t& length) {
        if (text != handed.text) return nullptr;
        length = handed.length;
        return handed.head;
    }

    // Bits 9, 10, 13 and 32: the whitespace characters.
    static constexpr std::uint64_t kSpaces = (std::uint64_t{1} << '\t') | (std::uint64_t{1} << '\n') |
                                             (std::uint64_t{1} << '\r') | (std::uint64_t{1} << ' ');
};

// A name, value or text handed to a handler where it stands in the block:
// noted for the library's own handlers (where it is, how long, and its first
// sixteen bytes, copied before the run is ended, which the block has room
// for from any byte of its contents), and ended with a NUL for the call;
// afterwards the byte again, and no note.
class CParserCore::HandedInPlace {
public:
    HandedInPlace(CXMLBufferedReader& reader, CXMLParser::HandedText& note, const char* text, const char* end)
        : note_(Noted(note, text, end)), run_(reader, end) {}
    ~HandedInPlace() { note_.text = nullptr; }
    HandedInPlace(const HandedInPlace&) = delete;
    HandedInPlace& operator=(const HandedInPlace&) = delete;

private:
    static CXMLParser::HandedText& Noted(CXMLParser::HandedText& note, const char* text, const char* end) {
        if (note.length == kNotNoted) return note;
        note.text = text;
        note.length = static_cast<std::size_t>(end - text);
        std::memcpy(note.head, text, sizeof note.head);
        return note;
    }

    CXMLParser::HandedText& note_;
    CTerminatedRun run_;
};

}  // namespace CorvaneXML

#endif
