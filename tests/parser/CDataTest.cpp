// CDATA bodies through the stream: independent of read sizes and block
// boundaries, partial reads, default gathering, failures of the host stream.

#include <gtest/gtest.h>

#include "EventLog.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

using parsertest::Log;
using parsertest::LogParser;

namespace {

// Reads each section in `chunk`-byte pieces (or hands it to the default
// handler when chunk is 0), recording every count the stream returned.
class ChunkParser : public LogParser {
public:
    std::uint64_t chunk = 0;
    std::size_t limit = SIZE_MAX;
    std::vector<std::uint64_t> counts;
    std::string body;

protected:
    void CData(CorvaneXML::XIXMLReadStream* stream) override {
        struct Recorder : CorvaneXML::XIXMLReadStream {
            CorvaneXML::XIXMLReadStream* inner;
            std::vector<std::uint64_t>* counts;
            std::uint64_t Read(char* buffer, std::uint64_t size) override {
                counts->push_back(inner->Read(buffer, size));
                return counts->back();
            }
        } recorder;
        recorder.inner = stream;
        recorder.counts = &counts;
        if (chunk == 0) return CXMLParser::CData(&recorder);
        std::vector<char> piece(chunk);
        for (body.clear(); body.size() < limit;) {
            std::uint64_t n = recorder.Read(piece.data(), chunk);
            body.append(piece.data(), n);
            if (n < chunk) break;
        }
        Line("cdata " + body);
    }
};

TEST(CData, BodyIsTheSameForEveryReadSizeAndBlockBoundary) {
    std::vector<std::string> bodies = {"", "a]b", "a]]b", "]>", "]]", "]]]]x", "x]]]", "a]]b]]]c]",
                                       std::string(3000, 'z') + "]]" + std::string(2000, ']') + "e"};
    for (std::size_t pad = 1010; pad < 1030; ++pad) bodies.push_back(std::string(pad, 'q') + "]x]");
    for (const std::string& body : bodies) {
        for (std::uint64_t chunk : {1, 2, 3, 2048}) {
            ChunkParser parser;
            parser.chunk = chunk;
            EXPECT_EQ(Log(parser, "<a><![CDATA[" + body + "]]>  <b/></a>"),
                      "open a\ncdata " + body + "\nopen b\nclose 2\nclose 1")
                << body.size() << " in pieces of " << chunk;
        }
    }
}

TEST(CData, UnreadRestIsSkippedAndZeroSizeReadsChangeNothing) {
    ChunkParser parser;
    parser.chunk = 2;
    parser.limit = 2;
    EXPECT_EQ(Log(parser, "<a><![CDATA[xy]]]z]]> \n<b/></a>"), "open a\ncdata xy\nopen b\nclose 2\nclose 1");

    struct ZeroParser : LogParser {
        std::string got;
        void CData(CorvaneXML::XIXMLReadStream* stream) override {
            char c[4];
            got = std::to_string(stream->Read(c, 0)) + "|";
            got.append(c, stream->Read(c, 4));
        }
    } zero;
    EXPECT_EQ(Log(zero, "<a><![CDATA[]abcd]]></a>"), "open a\nclose 1");
    EXPECT_EQ(zero.got, "0|]abc");
}

TEST(CData, EndOfInputDeliversBodyWithoutHeldBracketsThenRaises) {
    ChunkParser parser;
    parser.chunk = 1;
    EXPECT_EQ(Log(parser, "<a><![CDATA[ab]]"), "open a\ncdata ab\nerror: Error while reading <[CDATA[...]]>");
    EXPECT_EQ(parser.counts, (std::vector<std::uint64_t>{1, 1, 0}));
}

TEST(CData, DefaultGathersIn2048ByteReads) {
    const std::vector<std::pair<std::size_t, std::vector<std::uint64_t>>> cases = {
        {0, {0}}, {2047, {2047}}, {2048, {2048, 0}}, {5000, {2048, 2048, 904}}};
    for (const auto& c : cases) {
        ChunkParser parser;
        std::string body(c.first, 'w');
        EXPECT_EQ(Log(parser, "<a><![CDATA[" + body + "]]></a>"), "open a\ndata " + body + "\nclose 1");
        EXPECT_EQ(parser.counts, c.second) << c.first;
    }
}

TEST(CData, HostStreamFailureInsideTheBodyBecomesCDataError) {
    // The first block holds the 12-byte opening and 1012 body bytes; the
    // next block load throws while the handler reads.
    for (std::uint64_t chunk : {1, 4096}) {
        ChunkParser parser;
        parser.chunk = chunk;
        testsupport::StringReadStream stream("<a><![CDATA[" + std::string(2000, 'b') + "]]></a>");
        stream.throwAt = 1024;
        try {
            parser.Parse(&stream);
            ADD_FAILURE() << "no exception";
        } catch (const Corvane::XCException& error) {
            EXPECT_STREQ(error.what(), "Error while reading <[CDATA[...]]>");
        }
        EXPECT_EQ(parser.body, std::string(1012, 'b'));
        EXPECT_EQ(parser.counts.back(), chunk == 1 ? 0u : 1012u);
    }
    // When the first body byte is the one that fails, the error is the stream's.
    ChunkParser parser;
    testsupport::StringReadStream stream(std::string(1015, ' ') + "<![CDATA[x]]><a/>");
    stream.throwAt = 1024;
    EXPECT_THROW(parser.Parse(&stream), std::runtime_error);
}

}  // namespace
