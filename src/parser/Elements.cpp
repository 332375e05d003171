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

// Reads the root element and everything inside it. Each start tag either
// completes its element (empty or skipped) or pushes its handle; the content
// loop then always belongs to the innermost open element, and an end tag
// pops it. The same events in the same order as reading each element by
// recursion, without using the call stack per level.
void CParserCore::ReadElements(CXMLParser& parser, bool fast) {
    parser.openElements.clear();
    for (;;) {
        // Whether a tag's end already took the next tag's '<' (see NextTag).
        bool atTag = ReadStartTag(parser, fast);
        for (;;) {
            if (!atTag) {
                if (parser.openElements.empty()) return;
                if (Skip(parser) != '<') {
                    atTag = ReadData(parser);
                    continue;
                }
                Read(parser);
                MarkTagStart(parser);  // whatever starts here
            }
            atTag = false;
            if (parser.current == '/') {
                atTag = ReadEndTag(parser);
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
//
// A start tag nearly always lies inside one block: it is then read with the
// read position in a local pointer, the reader brought up to date only
// before a handler runs (which may raise, and then the error position is
// taken from the reader) and where the tag is left. Whatever the local
// reading does not take in its stride (the block's end, references, spaces
// around '=', bad input) goes on the general way from the start of that
// name or attribute, so every event, stream call and error comes as there.
bool CParserCore::ReadStartTag(CXMLParser& parser, bool fast) {
    Require(charclass::IsName(parser.current), kMustBeName);
    CXMLBufferedReader& reader = *parser.reader;
    const char* const name = CReaderAccess::Rest(reader) - 1;
    const char* const end = CReaderAccess::Fence(reader, '>');
    const char* nameEnd = scan::PlainNameEnd(name + 1);
    // A name holding a NUL goes the general way, which takes it whole.
    if (*name == '\0' || *nameEnd == '\0') nameEnd = end;
    const void* handle;
    if (nameEnd != end) {
        ResumeAt(parser, nameEnd, end);
        const HandedInPlace handed(reader, parser.handedName, name, nameEnd);
        handle = parser.OpenNode(name);
    } else {
        ReadToken(parser);
        handle = parser.OpenNode(parser.token);
    }
    const bool report = !fast || handle != nullptr;
    if (!report) {
        // The skip compares end-tag names with this one, and reading them
        // overwrites `token`.
        if (nameEnd != end) {
            parser.skippedName.assign(name, static_cast<std::size_t>(nameEnd - name));
        } else {
            parser.skippedName.assign(parser.token, static_cast<std::size_t>(parser.token.GetLength()));
        }
    }
    if (nameEnd != end) ReadAttributesInBlock(parser, nameEnd, end, report);

    Skip(parser);
    while (parser.current != '/' && parser.current != '>') {
        Require(parser.current != -1, "End of input inside a tag");
        ReadAttribute(parser, report);
        Skip(parser);
    }
    if (parser.current == '/') {
        Require(Read(parser) == '>', "Bad empty node closing.");
        parser.CloseNode(handle);
        return AfterClose(parser);
    }
    if (report) {
        parser.openElements.push_back(handle);
        return NextTag(parser);
    }
    Next(parser);
    SkipContent(parser);
    return false;
}

// The attributes of the form name="value" (no reference, no spaces around
// '=') that follow whitespace and end, with the whitespace after them,
// inside the block, handed to the handler where they stand. Entered with the
// reader at `p`, the byte after the element name, as `current`; leaves it at
// the first byte this way does not read. The fence is '>' on the way in and
// out.
//
// Each byte is taken from `current` where the reader was left before a
// handler ran, not read again from the block: the handler's NUL has just
// been put back over the byte before it (or over it, after the element
// name), and a load that the processor starts before that store is known to
// miss it costs a restart of everything after it.
void CParserCore::ReadAttributesInBlock(CXMLParser& parser, const char* p, const char* end, bool report) {
    CXMLBufferedReader& reader = *parser.reader;
    while (IsSpace(parser.current)) {
        // Where the attribute, or whatever ends the tag, starts.
        const char* const name = scan::LongSpacesEnd(p + 1, end);
        const char* const nameEnd =
            name != end && charclass::IsPlainNameByte(*name) ? scan::PlainNameEnd(name + 1) : end;
        const char* const open = nameEnd != end && *nameEnd == '=' ? nameEnd + 1 : end;
        if (open == end || (*open != '"' && *open != '\'')) {
            ResumeAt(parser, name, end);
            return;
        }
        const char quote = *open;
        CReaderAccess::Fence(reader, quote);
        const char* const close = scan::ValueEnd(open + 1, end, quote);
        // The quote still fences the block, and it is not whitespace.
        const char* const after = close != end && *close == quote ? close + 1 : end;
        CReaderAccess::Fence(reader, '>');
        ResumeAt(parser, after == end ? name : after, end);
        if (after == end) return;
        if (report) {
            const HandedInPlace handedName(reader, parser.handedName, name, nameEnd);
            const HandedInPlace handedValue(reader, parser.handedText, open + 1, close);
            parser.Attribute(name, open + 1);
        }
        p = after;
    }
}

// Entered at the '/' after '<'. End-tag names are checked to be names but
// not compared: any end tag closes the innermost open element.
bool CParserCore::ReadEndTag(CXMLParser& parser) {
    // The name and the whitespace after it in one pass over the block when
    // they end inside it; else the general way from the name's start.
    CXMLBufferedReader& reader = *parser.reader;
    const char* const name = CReaderAccess::Rest(reader);
    const char* const end = CReaderAccess::Fence(reader, '>');
    const char* nameEnd = end;
    if (name != end && charclass::IsNameByte(*name)) nameEnd = scan::NameEnd(name + 1);
    if (nameEnd != end) {
        ResumeAt(parser, scan::SpacesEnd(nameEnd), end);
    } else {
        Read(parser);
        PassToken(parser);
    }
    Require(Skip(parser) == '>', "End tag must end with '>'");
    const void* handle = parser.openElements.back();
    parser.openElements.pop_back();
    parser.CloseNode(handle);
    return AfterClose(parser);
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

void CParserCore::ReadToken(CXMLParser& parser) {
    parser.token.Reset();
    ReadName(parser, &parser.token);
}

void CParserCore::PassToken(CXMLParser& parser) { ReadName(parser, nullptr); }

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
    ReadToken(parser);
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
