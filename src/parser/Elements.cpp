#include <CorvaneXML/XMLParser.h>

#include "parser/CharClass.h"
#include "foundation/Raise.h"

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
void CXMLParser::ReadElements(bool fast) {
    openElements.clear();
    for (;;) {
        ReadStartTag(fast);
        for (;;) {
            if (openElements.empty()) return;
            if (Skip() != '<') {
                ReadData();
                continue;
            }
            Read();
            reader->Mark(2);  // the '<' of whatever starts here
            if (current == '/') {
                ReadEndTag();
            } else if (current == '[') {
                ReadCData();
            } else if (current == '!') {
                ReadInfo();
            } else {
                break;  // a child element starts here
            }
        }
    }
}

// Entered at the first character of the element name. Leaves the element
// either finished (empty, or skipped by FastParse) or open on the stack
// with `current` at the start of its content.
void CXMLParser::ReadStartTag(bool fast) {
    ReadToken();
    const void* handle = OpenNode(token);
    bool report = !fast || handle != nullptr;
    // The skip compares end-tag names with this one, and reading them
    // overwrites `token`.
    if (!report) skippedName.assign(token, static_cast<std::size_t>(token.GetLength()));

    Skip();
    while (current != '/' && current != '>') {
        Require(current != -1, "End of input inside a tag");
        ReadAttribute();
        if (report) Attribute(token, text);
        Skip();
    }
    if (current == '/') {
        Require(Read() == '>', "Bad empty node closing.");
        CloseNode(handle);
        Next();
        return;
    }
    Next();
    if (report) {
        openElements.push_back(handle);
    } else {
        SkipContent();
    }
}

// Entered at the '/' after '<'. End-tag names are checked to be names but
// not compared: any end tag closes the innermost open element.
void CXMLParser::ReadEndTag() {
    Read();
    ReadToken();
    Require(Skip() == '>', "End tag must end with '>'");
    const void* handle = openElements.back();
    openElements.pop_back();
    CloseNode(handle);
    Next();
}

// Passes over a skipped element's content up to the first end tag with its
// name, without looking at anything else. The character where the start
// tag's Next() stopped is deliberately not examined.
void CXMLParser::SkipContent() {
    const std::size_t length = skippedName.size();
    for (;;) {
        // Find the next '/' inside the block, without a call per byte.
        for (;;) {
            const char* p = reader->Rest();
            const char* end = reader->End();
            const void* slash = std::memchr(p, '/', static_cast<std::size_t>(end - p));
            reader->MoveTo(slash != nullptr ? static_cast<const char*>(slash) : end);
            if (Read() == '/') break;
            Require(current != -1, "End of input inside a skipped element");
        }
        Read();
        Require(current != -1, "End of input inside a skipped element");
        if (current == '>' || current == '/') continue;  // the "/>" of an empty element
        ReadToken();
        if (static_cast<std::size_t>(token.GetLength()) == length &&
            std::memcmp(static_cast<const char*>(token), skippedName.data(), length) == 0) {
            break;
        }
    }
    Read();
    Skip();
}

void CXMLParser::ReadToken() {
    Require(charclass::IsName(current), kMustBeName);
    token.Reset();
    // `current` is the byte just handed out from the block, so the name
    // starts one before the read position. Names nearly always end inside
    // the block and are then taken in one piece.
    const char* start = reader->Rest() - 1;
    for (;;) {
        const char* end = reader->Fence('>');
        const char* q = start + 1;
        while (charclass::IsNameByte(*q)) ++q;
        token.AddEach(start, static_cast<int>(q - start));
        if (q != end) {
            // What ended the name is a byte of this block, known not to
            // continue it: hand it out without asking the reader again.
            reader->MoveTo(q + 1);
            current = static_cast<unsigned char>(*q);
            return;
        }
        reader->MoveTo(q);
        if (!charclass::IsName(Read())) return;
        start = reader->Rest() - 1;
    }
}

void CXMLParser::ReadAttribute() {
    ReadToken();
    if (current == '=') {
        // Most attributes are name="value" without spaces or references and
        // end inside the block: then one scan takes the whole value, with the
        // reader left exactly where the general way below would leave it.
        const char* open = reader->Rest();
        const char* end = reader->End();
        if (open != end && (*open == '"' || *open == '\'')) {
            const char quote = *open;
            const charclass::Table& stop =
                quote == '"' ? charclass::kDoubleQuotedStop : charclass::kSingleQuotedStop;
            reader->Fence(quote);
            const char* q = open + 1;
            while (!stop.of[static_cast<unsigned char>(*q)]) ++q;
            if (q != end && *q == quote) {
                text.Reset();
                if (q != open + 1) {
                    // On the first byte of the value, as a failure to grow
                    // the buffer would find the general way.
                    reader->MoveTo(open + 2);
                    current = static_cast<unsigned char>(open[1]);
                    text.AddEach(open + 1, static_cast<int>(q - open - 1));
                }
                // What Next() would do, inside the block: the quote still
                // fences it, and the quote is not whitespace.
                const char* after = q + 1;
                while (charclass::IsSpaceByte(*after)) ++after;
                if (after != end) {
                    reader->MoveTo(after + 1);
                    current = static_cast<unsigned char>(*after);
                } else {
                    reader->MoveTo(after);
                    current = static_cast<unsigned char>(quote);
                    Next();
                }
                return;
            }
        }
    }
    Require(Skip() == '=', "Attribute name must be followed by '='.");
    Next();
    Require(current == '\'' || current == '"',
                    "Attribute value must begin with ''' or '\"'.");
    const char quote = static_cast<char>(current);
    const charclass::Table& stop = quote == '"' ? charclass::kDoubleQuotedStop : charclass::kSingleQuotedStop;
    text.Reset();
    for (;;) {
        Read();
        if (current == quote) break;
        if (current == '&') {
            ReadEntity();
            continue;
        }
        Require(current != -1, "End of input inside an attribute value");
        // Values are short: a plain loop up to the quote or a reference
        // beats searching the rest of the block twice.
        const char* start = reader->Rest() - 1;
        reader->Fence(quote);
        const char* q = start + 1;
        while (!stop.of[static_cast<unsigned char>(*q)]) ++q;
        text.AddEach(start, static_cast<int>(q - start));
        reader->MoveTo(q);
    }
    Next();
}

void CXMLParser::ReadLiteral() {
    Skip();
    Require(current == '"' || current == '\'', "Literal must start with ' or \".");
    const int quote = current;
    text.Reset();
    while (Read() != quote) {
        Require(current != -1, "End of input inside a literal");
        text.AddChar(static_cast<char>(current));
    }
    Next();
}

}  // namespace CorvaneXML
