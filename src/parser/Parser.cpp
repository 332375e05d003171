#include <CorvaneXML/XMLParser.h>

#include "parser/CharClass.h"
#include "foundation/Raise.h"

namespace CorvaneXML {


namespace {

const char kOnlyCommentsAndPIs[] = "Only comments and processing instructions accepted here";

}  // namespace

// Points the parser at the reader of one parse and makes it idle again on
// every way out, exceptions included.
class CXMLParser::ReaderScope {
public:
    ReaderScope(CXMLParser& parser, CXMLBufferedReader& reader) : parser_(parser) {
        parser_.reader = &reader;
        parser_.current = 0;
    }
    ~ReaderScope() { parser_.reader = nullptr; }
    ReaderScope(const ReaderScope&) = delete;
    ReaderScope& operator=(const ReaderScope&) = delete;

private:
    CXMLParser& parser_;
};

CXMLParser::CXMLParser() : current(0), reader(nullptr) {}

CXMLParser::~CXMLParser() = default;

void CXMLParser::Comment(const char*) {}

bool CXMLParser::ProcessingInstruction(const char*, const char*) { return true; }

void CXMLParser::DocType(const char*, const char*, const char*, const char*) {}

bool CXMLParser::EvalEntity(char*, int) { return false; }

void CXMLParser::Parse(XIXMLReadStream* stream) { Run(stream, false); }

void CXMLParser::FastParse(XIXMLReadStream* stream) { Run(stream, true); }

void CXMLParser::Run(XIXMLReadStream* stream, bool fast) {
    // A parse already running owns `reader`; refuse without touching it.
    Require(reader == nullptr, "A parse is already running on this parser");
    errorOffset = errorLine = errorColumn = 0;
    CXMLBufferedReader input(stream);
    ReaderScope scope(*this, input);
    try {
        ReadDocument(fast);
    } catch (...) {
        // The character the parser was on: the last one handed out, or the
        // position just past the input once it has ended.
        const CXMLPosition where =
            input.Locate(input.Offset() - (current == -1 || input.Offset() == 0 ? 0 : 1));
        errorOffset = where.offset;
        errorLine = where.line;
        errorColumn = where.column;
        throw;
    }
}

CXMLPosition CXMLParser::GetEventPosition() const {
    if (reader == nullptr) return CXMLPosition();
    return reader->Locate(reader->MarkedOffset());
}

void CXMLParser::ReadDocument(bool fast) {
    Require(Next() == '<', "XML file must begin with <");

    // Prolog: processing instructions, comments, DOCTYPE and CDATA, up to
    // the first character of the root element's name.
    for (;;) {
        Read();
        reader->Mark(2);  // the '<'
        if (current == '?') {
            if (!ReadProcessingInstruction()) return;
        } else if (current == '!') {
            ReadInfo();
        } else {
            break;
        }
        Require(Skip() == '<', "XML root must begin with '<'");
    }

    ReadElements(fast);

    // Epilogue: only comments and processing instructions, up to the end.
    for (;;) {
        if (Skip() != '<') {
            if (current == -1) return;
            Raise(kOnlyCommentsAndPIs);
        }
        Read();
        reader->Mark(2);
        if (current == '?') {
            if (!ReadProcessingInstruction()) return;
        } else if (current == '!') {
            Require(Read() == '-', kOnlyCommentsAndPIs);
            ReadComment();
        } else {
            Raise(kOnlyCommentsAndPIs);
        }
    }
}

int CXMLParser::SkipRun() {
    // Entered from Skip on a whitespace character. Whitespace runs
    // (indentation) are passed over inside the block.
    for (;;) {
        const char* p = reader->Rest();
        const char* end = reader->Fence('\0');
        while (charclass::IsSpaceByte(*p)) ++p;
        if (p != end) {
            // The byte that ended the run is in this block and not
            // whitespace: hand it out without asking the reader again.
            reader->MoveTo(p + 1);
            return current = static_cast<unsigned char>(*p);
        }
        reader->MoveTo(p);
        if (!IsSpace(Read())) return current;
    }
}

}  // namespace CorvaneXML
