#include <CorvaneXML/XMLParser.h>

#include "foundation/Raise.h"
#include "parser/BufferAccess.h"
#include "parser/CharClass.h"
#include "parser/ParserCore.h"
#include "parser/ReaderAccess.h"
#include "parser/Scan.h"

#include <cstring>

namespace CorvaneXML {

namespace {

const char kMustBeName[] = "Must be a name here";

}  // namespace

// A name or a value handed to a handler where it stands in the block: noted
// for the library's own handlers (where it is, how long, and its first
// sixteen bytes), and a NUL over the byte after it for the call; afterwards
// the byte again, and no note. The block has room for the sixteen bytes from
// any byte of its contents.
class CParserCore::HandedInPlace {
public:
    HandedInPlace(CXMLBufferedReader& reader, CXMLParser::HandedText& note, const char* text, const char* end)
        : reader_(reader), note_(note), end_(end) {
        note.text = text;
        note.length = static_cast<std::size_t>(end - text);
        std::memcpy(note.head, text, sizeof note.head);
        byte_ = CReaderAccess::Terminate(reader, end);
    }
    ~HandedInPlace() {
        note_.text = nullptr;
        CReaderAccess::Restore(reader_, end_, byte_);
    }
    HandedInPlace(const HandedInPlace&) = delete;
    HandedInPlace& operator=(const HandedInPlace&) = delete;

private:
    CXMLBufferedReader& reader_;
    CXMLParser::HandedText& note_;
    const char* end_;
    char byte_;
};

// Reads the root element and everything inside it. Each start tag either
// completes its element (empty or skipped) or pushes its handle; the content
// loop then always belongs to the innermost open element, and an end tag
// pops it. The same events in the same order as reading each element by
// recursion, without using the call stack per level.
void CParserCore::ReadElements(CXMLParser& parser, bool fast) {
    parser.openElements.clear();
    for (;;) {
        ReadStartTag(parser, fast);
        for (;;) {
            if (parser.openElements.empty()) return;
            if (Skip(parser) != '<') {
                ReadData(parser);
                continue;
            }
            Read(parser);
            MarkTagStart(parser);  // whatever starts here
            if (parser.current == '/') {
                ReadEndTag(parser);
            } else if (parser.current == '[') {
                ReadCData(parser);
            } else if (parser.current == '!') {
                ReadInfo(parser);
            } else {
                break;  // a child element starts here
            }
        }
    }
}

// Entered at the first character of the element name. Leaves the element
// either finished (empty, or skipped by FastParse) or open on the stack
// with `current` at the start of its content.
void CParserCore::ReadStartTag(CXMLParser& parser, bool fast) {
    CXMLBufferedReader& reader = *parser.reader;
    const char* const name = CReaderAccess::Rest(reader) - 1;
    const char* const nameEnd = NameInBlock(parser);
    const void* handle;
    if (nameEnd != nullptr) {
        const HandedInPlace handed(reader, parser.handedName, name, nameEnd);
        handle = parser.OpenNode(name);
    } else {
        ReadToken(parser);
        handle = parser.OpenNode(parser.token);
    }
    bool report = !fast || handle != nullptr;
    if (!report) {
        // The skip compares end-tag names with this one, and reading them
        // overwrites `token`.
        if (nameEnd != nullptr) {
            parser.skippedName.assign(name, static_cast<std::size_t>(nameEnd - name));
        } else {
            parser.skippedName.assign(parser.token, static_cast<std::size_t>(parser.token.GetLength()));
        }
    }

    Skip(parser);
    while (parser.current != '/' && parser.current != '>') {
        Require(parser.current != -1, "End of input inside a tag");
        ReadAttribute(parser, report);
        Skip(parser);
    }
    if (parser.current == '/') {
        Require(Read(parser) == '>', "Bad empty node closing.");
        parser.CloseNode(handle);
        Next(parser);
        return;
    }
    Next(parser);
    if (report) {
        parser.openElements.push_back(handle);
    } else {
        SkipContent(parser);
    }
}

// Entered at the '/' after '<'. End-tag names are checked to be names but
// not compared: any end tag closes the innermost open element.
void CParserCore::ReadEndTag(CXMLParser& parser) {
    Read(parser);
    PassToken(parser);
    Require(Skip(parser) == '>', "End tag must end with '>'");
    const void* handle = parser.openElements.back();
    parser.openElements.pop_back();
    parser.CloseNode(handle);
    Next(parser);
}

// Passes over a skipped element's content up to the first end tag with its
// name, without looking at anything else. The character where the start
// tag's Next() stopped is deliberately not examined.
void CParserCore::SkipContent(CXMLParser& parser) {
    CXMLBufferedReader& reader = *parser.reader;
    const std::size_t length = parser.skippedName.size();
    for (;;) {
        // Find the next '/' inside the block, without a call per byte.
        for (;;) {
            const char* p = CReaderAccess::Rest(reader);
            const char* end = CReaderAccess::End(reader);
            const void* slash = std::memchr(p, '/', static_cast<std::size_t>(end - p));
            CReaderAccess::MoveTo(reader, slash != nullptr ? static_cast<const char*>(slash) : end);
            if (Read(parser) == '/') break;
            Require(parser.current != -1, "End of input inside a skipped element");
        }
        Read(parser);
        Require(parser.current != -1, "End of input inside a skipped element");
        if (parser.current == '>' || parser.current == '/') continue;  // the "/>" of an empty element
        ReadToken(parser);
        if (static_cast<std::size_t>(parser.token.GetLength()) == length &&
            std::memcmp(static_cast<const char*>(parser.token), parser.skippedName.data(), length) == 0) {
            break;
        }
    }
    Read(parser);
    Skip(parser);
}

const char* CParserCore::NameInBlock(CXMLParser& parser) {
    Require(charclass::IsName(parser.current), kMustBeName);
    CXMLBufferedReader& reader = *parser.reader;
    const char* end = CReaderAccess::Fence(reader, '>');
    const char* q = scan::PlainNameEnd(CReaderAccess::Rest(reader));
    // A name holding a NUL goes the general way, which takes it whole.
    if (q == end || *q == '\0' || parser.current == '\0') return nullptr;
    CReaderAccess::MoveTo(reader, q + 1);
    parser.current = static_cast<unsigned char>(*q);
    return q;
}

void CParserCore::ReadToken(CXMLParser& parser) {
    parser.token.Reset();
    ReadName(parser, &parser.token);
}

void CParserCore::PassToken(CXMLParser& parser) {
    if (NameInBlock(parser) == nullptr) ReadName(parser, nullptr);
}

void CParserCore::ReadName(CXMLParser& parser, TBuffer<char>* token) {
    Require(charclass::IsName(parser.current), kMustBeName);
    CXMLBufferedReader& reader = *parser.reader;
    // `current` is the byte just handed out from the block, so the name
    // starts one before the read position. Names nearly always end inside
    // the block and are then taken in one piece.
    const char* start = CReaderAccess::Rest(reader) - 1;
    for (;;) {
        const char* end = CReaderAccess::Fence(reader, '>');
        const char* q = scan::NameEnd(start + 1);
        if (token != nullptr) CBufferAccess::AddEach(*token, start, static_cast<int>(q - start));
        if (q != end) {
            // What ended the name is a byte of this block, known not to
            // continue it: hand it out without asking the reader again.
            CReaderAccess::MoveTo(reader, q + 1);
            parser.current = static_cast<unsigned char>(*q);
            return;
        }
        CReaderAccess::MoveTo(reader, q);
        if (!charclass::IsName(Read(parser))) return;
        start = CReaderAccess::Rest(reader) - 1;
    }
}

void CParserCore::ReadAttribute(CXMLParser& parser, bool report) {
    CXMLBufferedReader& reader = *parser.reader;
    const char* const name = CReaderAccess::Rest(reader) - 1;
    const char* const nameEnd = NameInBlock(parser);
    if (nameEnd != nullptr && parser.current == '=') {
        // Most attributes are name="value" without spaces or references, and
        // end, with the whitespace after them, inside the block: then the
        // reader is left exactly where the general way below would leave it,
        // and the handler gets the name and the value where they stand.
        const char* open = CReaderAccess::Rest(reader);
        const char* end = CReaderAccess::End(reader);
        if (open != end && (*open == '"' || *open == '\'')) {
            const char quote = *open;
            CReaderAccess::Fence(reader, quote);
            const char* close = scan::ValueEnd(open + 1, end, quote);
            // The quote still fences the block, and it is not whitespace.
            const char* after = close != end && *close == quote ? scan::SpacesEnd(close + 1) : end;
            if (after != end) {
                CReaderAccess::MoveTo(reader, after + 1);
                parser.current = static_cast<unsigned char>(*after);
                if (report) {
                    const HandedInPlace handedName(reader, parser.handedName, name, nameEnd);
                    const HandedInPlace handedValue(reader, parser.handedText, open + 1, close);
                    parser.Attribute(name, open + 1);
                }
                return;
            }
        }
    }
    if (nameEnd != nullptr) {
        parser.token.Reset();
        CBufferAccess::AddEach(parser.token, name, static_cast<int>(nameEnd - name));
    } else {
        ReadToken(parser);
    }
    ReadValue(parser);
    if (report) parser.Attribute(parser.token, parser.text);
}

void CParserCore::ReadValue(CXMLParser& parser) {
    CXMLBufferedReader& reader = *parser.reader;
    TBuffer<char>& text = parser.text;
    Require(Skip(parser) == '=', "Attribute name must be followed by '='.");
    Next(parser);
    Require(parser.current == '\'' || parser.current == '"', "Attribute value must begin with ''' or '\"'.");
    const char quote = static_cast<char>(parser.current);
    text.Reset();
    for (;;) {
        Read(parser);
        if (parser.current == quote) break;
        if (parser.current == '&') {
            ReadEntity(parser);
            continue;
        }
        Require(parser.current != -1, "End of input inside an attribute value");
        // Values are short: a plain loop up to the quote or a reference
        // beats searching the rest of the block twice.
        const char* start = CReaderAccess::Rest(reader) - 1;
        const char* q = scan::ValueEnd(start + 1, CReaderAccess::Fence(reader, quote), quote);
        CBufferAccess::AddEach(text, start, static_cast<int>(q - start));
        CReaderAccess::MoveTo(reader, q);
    }
    Next(parser);
}

void CParserCore::ReadLiteral(CXMLParser& parser) {
    Skip(parser);
    Require(parser.current == '"' || parser.current == '\'', "Literal must start with ' or \".");
    const int quote = parser.current;
    parser.text.Reset();
    while (Read(parser) != quote) {
        Require(parser.current != -1, "End of input inside a literal");
        parser.text.AddChar(static_cast<char>(parser.current));
    }
    Next(parser);
}

}  // namespace CorvaneXML
