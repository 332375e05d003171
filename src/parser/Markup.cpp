#include <CorvaneXML/XMLParser.h>

#include "foundation/OwnedText.h"
#include "foundation/Raise.h"

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
void CXMLParser::ReadInfo() {
    Read();
    if (current == '-') {
        ReadComment();
    } else if (current == '[') {
        ReadCData();
    } else {
        ReadDocType();
    }
}

// Entered at the first character of the DOCTYPE keyword.
void CXMLParser::ReadDocType() {
    ReadToken();
    Require(token == "DOCTYPE", "Only !DOCTYPE is recognized.");
    Skip();
    ReadToken();
    HeapText name;
    name.CopyFrom(token);
    HeapText publicId;
    HeapText systemId;

    if (Skip() != '[' && current != '>') {
        ReadToken();
        if (token == "PUBLIC") {
            ReadLiteral();
            publicId.CopyFrom(text);
            ReadLiteral();
            systemId.CopyFrom(text);
        } else if (token == "SYSTEM") {
            ReadLiteral();
            systemId.CopyFrom(text);
        } else {
            Raise("Only PUBLIC and SYSTEM can be specified here");
        }
    }

    // The internal subset is kept as raw text; its first ']' ends it.
    text.Reset();
    if (Skip() == '[') {
        while (Read() != ']') {
            Require(current != -1, "End of input inside a DOCTYPE internal subset");
            text.AddChar(static_cast<char>(current));
        }
        Next();
    }
    Require(current == '>', "Declaration must end with '>'.");
    DocType(name.Get(), publicId.Get(), systemId.Get(), text);
    Next();
}

// Entered at the first '-' after "<!". The text is everything up to the
// first "-->": dashes are held back until it is clear whether they close it.
void CXMLParser::ReadComment() {
    Require(Read() == '-', "Comment must begin with '<!--'");
    token.Reset();
    int dashes = 0;
    for (;;) {
        Read();
        if (current == '-') {
            ++dashes;
            continue;
        }
        Require(current != -1, "Missing comment closing '-->'");
        if (current == '>' && dashes >= 2) {
            dashes -= 2;
            while (dashes-- > 0) token.AddChar('-');
            break;
        }
        while (dashes > 0) {
            token.AddChar('-');
            --dashes;
        }
        token.AddChar(static_cast<char>(current));
        const char* p = reader->Rest();
        const char* end = reader->End();
        const void* dash = std::memchr(p, '-', static_cast<std::size_t>(end - p));
        const char* q = dash != nullptr ? static_cast<const char*>(dash) : end;
        token.AddEach(p, static_cast<int>(q - p));
        reader->MoveTo(q);
    }
    Comment(token);
    Next();
}

// Entered at the '?' after '<'. Returns what the handler answered.
bool CXMLParser::ReadProcessingInstruction() {
    Read();
    ReadToken();
    Skip();
    text.Reset();
    for (;;) {
        Require(current != -1, "End of input inside a processing instruction");
        if (current != '?') {
            text.AddChar(static_cast<char>(current));
            Read();
            continue;
        }
        if (Read() == '>') break;
        text.AddChar('?');
    }
    const char* instruction = text;
    bool goOn = ProcessingInstruction(token, instruction);
    Next();
    return goOn;
}

}  // namespace CorvaneXML
