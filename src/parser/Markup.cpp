#include <CorvaneXML/XMLParser.h>

#include "foundation/OwnedText.h"
#include "foundation/Raise.h"
#include "parser/BufferAccess.h"
#include "parser/ParserCore.h"
#include "parser/ReaderAccess.h"

#include <cstdlib>
#include <cstring>

namespace CorvaneXML {

namespace {

// Heap copy of a DOCTYPE string, which must outlive the buffer it was read
// into; freed on every way out of the declaration.
class HeapText {
public:
    HeapText() = default;
    ~HeapText() { std::free(text_); }
    HeapText(const HeapText&) = delete;
    HeapText& operator=(const HeapText&) = delete;

    void CopyFrom(const char* text) { ReplaceText(text_, text); }

    const char* Get() const { return text_; }

private:
    char* text_ = nullptr;
};

}  // namespace

// Entered at the '!' after '<'.
void CParserCore::ReadInfo(CXMLParser& parser) {
    Read(parser);
    if (parser.current == '-') {
        ReadComment(parser);
    } else if (parser.current == '[') {
        ReadCData(parser);
    } else {
        ReadDocType(parser);
    }
}

// Entered at the first character of the DOCTYPE keyword.
void CParserCore::ReadDocType(CXMLParser& parser) {
    TBuffer<char>& token = parser.token;
    TBuffer<char>& text = parser.text;
    ReadToken(parser);
    Require(token == "DOCTYPE", "Only !DOCTYPE is recognized.");
    Skip(parser);
    ReadToken(parser);
    HeapText name;
    name.CopyFrom(token);
    HeapText publicId;
    HeapText systemId;

    if (Skip(parser) != '[' && parser.current != '>') {
        ReadToken(parser);
        if (token == "PUBLIC") {
            ReadLiteral(parser);
            publicId.CopyFrom(text);
            ReadLiteral(parser);
            systemId.CopyFrom(text);
        } else if (token == "SYSTEM") {
            ReadLiteral(parser);
            systemId.CopyFrom(text);
        } else {
            Raise("Only PUBLIC and SYSTEM can be specified here");
        }
    }

    // The internal subset is kept as raw text; its first ']' ends it.
    text.Reset();
    if (Skip(parser) == '[') {
        while (Read(parser) != ']') {
            Require(parser.current != -1, "End of input inside a DOCTYPE internal subset");
            text.AddChar(static_cast<char>(parser.current));
        }
        Next(parser);
    }
    Require(parser.current == '>', "Declaration must end with '>'.");
    parser.DocType(name.Get(), publicId.Get(), systemId.Get(), text);
    Next(parser);
}

// Entered at the first '-' after "<!". The text is everything up to the
// first "-->": dashes are held back until it is clear whether they close it.
void CParserCore::ReadComment(CXMLParser& parser) {
    CXMLBufferedReader& reader = *parser.reader;
    TBuffer<char>& token = parser.token;
    Require(Read(parser) == '-', "Comment must begin with '<!--'");
    token.Reset();
    int dashes = 0;
    for (;;) {
        Read(parser);
        if (parser.current == '-') {
            ++dashes;
            continue;
        }
        Require(parser.current != -1, "Missing comment closing '-->'");
        if (parser.current == '>' && dashes >= 2) {
            dashes -= 2;
            while (dashes-- > 0) token.AddChar('-');
            break;
        }
        while (dashes > 0) {
            token.AddChar('-');
            --dashes;
        }
        token.AddChar(static_cast<char>(parser.current));
        const char* p = CReaderAccess::Rest(reader);
        const char* end = CReaderAccess::End(reader);
        const void* dash = std::memchr(p, '-', static_cast<std::size_t>(end - p));
        const char* q = dash != nullptr ? static_cast<const char*>(dash) : end;
        CBufferAccess::AddEach(token, p, static_cast<int>(q - p));
        CReaderAccess::MoveTo(reader, q);
    }
    parser.Comment(token);
    Next(parser);
}

// Entered at the '?' after '<'.
bool CParserCore::ReadProcessingInstruction(CXMLParser& parser) {
    TBuffer<char>& text = parser.text;
    Read(parser);
    ReadToken(parser);
    Skip(parser);
    text.Reset();
    for (;;) {
        Require(parser.current != -1, "End of input inside a processing instruction");
        if (parser.current != '?') {
            text.AddChar(static_cast<char>(parser.current));
            Read(parser);
            continue;
        }
        if (Read(parser) == '>') break;
        text.AddChar('?');
    }
    const char* instruction = text;
    bool goOn = parser.ProcessingInstruction(parser.token, instruction);
    Next(parser);
    return goOn;
}

}  // namespace CorvaneXML
