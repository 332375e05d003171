#include <CorvaneXML/XMLParser.h>

#include "foundation/Raise.h"
#include "parser/ParserCore.h"

namespace CorvaneXML {

// Entered at the '[' that follows "<" or "<!". The body is not gathered
// here: the handler reads it through the stream, and whatever it leaves is
// skipped afterwards.
void CParserCore::ReadCData(CXMLParser& parser) {
    for (const char* expected = "CDATA["; *expected != '\0'; ++expected) {
        Require(Read(parser) == static_cast<unsigned char>(*expected), "Must be CDATA here");
    }
    CXMLCDataStream stream(parser.reader);
    parser.CData(&stream);
    stream.FinishReading();
    Next(parser);
}

void CXMLParser::CData(XIXMLReadStream* stream) {
    constexpr int kChunk = 2048;
    char chunk[kChunk];
    text.Reset();
    for (;;) {
        std::uint64_t n = stream->Read(chunk, kChunk);
        // A stream that overstates its count is held to what fits the chunk.
        if (n > static_cast<std::uint64_t>(kChunk)) n = kChunk;
        text.AddChars(chunk, static_cast<int>(n));
        if (n != static_cast<std::uint64_t>(kChunk)) break;
    }
    Data(text);
}

}  // namespace CorvaneXML
