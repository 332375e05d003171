#include <CorvaneXML/XMLParser.h>

#include "foundation/Raise.h"
#include "parser/CharClass.h"
#include "parser/ParserCore.h"
#include "parser/ReaderAccess.h"
#include "parser/Scan.h"

namespace CorvaneXML {

namespace {

const char kOnlyCommentsAndPIs[] = "Only comments and processing instructions accepted here";

// Points the parser at the reader of one parse and makes it idle again on
// every way out, exceptions included.
class ReaderScope {
public:
    ReaderScope(CXMLBufferedReader*& slot, CXMLBufferedReader& reader) : slot_(slot) { slot_ = &reader; }
    ~ReaderScope() { slot_ = nullptr; }
    ReaderScope(const ReaderScope&) = delete;
    ReaderScope& operator=(const ReaderScope&) = delete;

private:
    CXMLBufferedReader*& slot_;
};

}  // namespace

CXMLParser::CXMLParser() : current(0), reader(nullptr) {}

CXMLParser::~CXMLParser() = default;

void CXMLParser::Comment(const char*) {}

bool CXMLParser::ProcessingInstruction(const char*, const char*) { return true; }

void CXMLParser::DocType(const char*, const char*, const char*, const char*) {}

bool CXMLParser::EvalEntity(char*, int) { return false; }

void CXMLParser::Parse(XIXMLReadStream* stream) { CParserCore::Run(*this, stream, false); }

void CXMLParser::FastParse(XIXMLReadStream* stream) { CParserCore::Run(*this, stream, true); }

CXMLPosition CXMLParser::GetEventPosition() const {
    if (reader == nullptr) return CXMLPosition();
    return CReaderAccess::Locate(*reader, CReaderAccess::MarkedOffset(*reader));
}

void CParserCore::Run(CXMLParser& parser, XIXMLReadStream* stream, bool fast, bool noted) {
    // A parse already running owns `reader`; refuse without touching it.
    Require(parser.reader == nullptr, "A parse is already running on this parser");
    parser.errorOffset = parser.errorLine = parser.errorColumn = 0;
    CXMLBufferedReader input(stream);
    ReaderScope scope(parser.reader, input);
    parser.current = 0;
    parser.handedName = parser.handedText = {nullptr, noted ? 0 : kNotNoted, {}};
    try {
        ReadDocument(parser, fast);
    } catch (...) {
        // The character the parser was on: the last one handed out, or the
        // position just past the input once it has ended.
        const std::uint64_t offset = CReaderAccess::Offset(input);
        const CXMLPosition where = CReaderAccess::Locate(input, offset - (parser.current == -1 || offset == 0 ? 0 : 1));
        parser.errorOffset = where.offset;
        parser.errorLine = where.line;
        parser.errorColumn = where.column;
        throw;
    }
}

void CParserCore::ReadDocument(CXMLParser& parser, bool fast) {
    Require(Next(parser) == '<', "XML file must begin with <");

    // Prolog: processing instructions, comments, DOCTYPE and CDATA, up to
    // the first character of the root element's name.
    for (;;) {
        Read(parser);
        MarkTagStart(parser);
        if (parser.current == '?') {
            if (!ReadProcessingInstruction(parser)) return;
        } else if (parser.current == '!') {
            ReadInfo(parser);
        } else {
            break;
        }
        Require(Skip(parser) == '<', "XML root must begin with '<'");
    }

    ReadElements(parser, fast);

    // Epilogue: only comments and processing instructions, up to the end.
    for (;;) {
        if (Skip(parser) != '<') {
            if (parser.current == -1) return;
            Raise(kOnlyCommentsAndPIs);
        }
        Read(parser);
        MarkTagStart(parser);
        if (parser.current == '?') {
            if (!ReadProcessingInstruction(parser)) return;
        } else if (parser.current == '!') {
            Require(Read(parser) == '-', kOnlyCommentsAndPIs);
            ReadComment(parser);
        } else {
            Raise(kOnlyCommentsAndPIs);
        }
    }
}

int CParserCore::NextInNewBlock(CXMLParser& parser) {
    CXMLBufferedReader& reader = *parser.reader;
    for (;;) {
        CReaderAccess::MoveTo(reader, CReaderAccess::End(reader));
        if (!IsSpace(Read(parser))) return parser.current;
        const char* const end = CReaderAccess::Fence(reader, '\0');
        const char* const p = scan::SpacesEnd(CReaderAccess::Rest(reader));
        if (p != end) return ResumeAt(parser, p, end);
    }
}

}  // namespace CorvaneXML
