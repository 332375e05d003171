// CDATA sections through the stream: independence from read sizes and block
// boundaries, partial reads, the default gathering, and failures of the host
// stream inside the body.

#include <gtest/gtest.h>

#include "EventLog.h"

#include <stdexcept>
#include <string>
#include <vector>

using parsertest::LogParser;

namespace {

// Reads each section in pieces of `chunk` bytes (stopping after `limit`
// bytes when set) and logs what it got and the sizes returned.
class ChunkParser : public LogParser {
public:
    std::uint64_t chunk = 1;
    std::uint64_t limit = 0;
    std::vector<std::uint64_t> results;
    std::string body;

protected:
    void CData(CorvaneXML::XIXMLReadStream* stream) override {
        std::vector<char> piece(chunk);
        body.clear();
        for (;;) {
            if (limit != 0 && body.size() >= limit) break;
            std::uint64_t n = stream->Read(piece.data(), chunk);
            results.push_back(n);
            body.append(piece.data(), n);
            if (n < chunk) break;
        }
        Line("cdata " + parsertest::Escape(body.c_str()));
    }
};

// Forwards to the default handler through a stream that records read sizes.
class CountingParser : public LogParser {
public:
    std::vector<std::uint64_t> asked;
    std::vector<std::uint64_t> got;

protected:
    void CData(CorvaneXML::XIXMLReadStream* stream) override {
        struct Recorder : CorvaneXML::XIXMLReadStream {
            CorvaneXML::XIXMLReadStream* inner;
            CountingParser* owner;
            std::uint64_t Read(char* buffer, std::uint64_t size) override {
                owner->asked.push_back(size);
                std::uint64_t n = inner->Read(buffer, size);
                owner->got.push_back(n);
                return n;
            }
        } recorder;
        recorder.inner = stream;
        recorder.owner = this;
        CXMLParser::CData(&recorder);
    }
};

TEST(CData, BodyIsTheSameForEveryReadSize) {
    const std::vector<std::string> bodies = {
        "", "a", "a]b", "a]]b", "]>", "]]", "]", "]]]]x", "x]]]", "]]]]]", "a]]b]]]c]",
        std::string(3000, 'z') + "]]" + std::string(2000, ']') + "end",
    };
    for (const std::string& body : bodies) {
        for (std::uint64_t chunk : {1, 2, 3, 2048}) {
            ChunkParser parser;
            parser.chunk = chunk;
            std::string log = parsertest::Log(parser, "<a><![CDATA[" + body + "]]>  <b/></a>");
            EXPECT_EQ(log, "open a\ncdata " + body + "\nopen b\nclose 2\nclose 1")
                << body.substr(0, 20) << " chunk " << chunk;
        }
    }
}

TEST(CData, ClosingMarkAcrossReadBlocks) {
    for (int pad = 1010; pad < 1030; ++pad) {
        std::string body(static_cast<std::size_t>(pad), 'q');
        body += "]x]";
        for (std::uint64_t chunk : {1, 3, 2048}) {
            ChunkParser parser;
            parser.chunk = chunk;
            std::string log = parsertest::Log(parser, "<a><![CDATA[" + body + "]]></a>");
            EXPECT_EQ(log, "open a\ncdata " + body + "\nclose 1") << pad << " " << chunk;
        }
    }
}

TEST(CData, UnreadRestIsSkippedAndZeroSizeReadsChangeNothing) {
    ChunkParser parser;
    parser.chunk = 2;
    parser.limit = 2;
    EXPECT_EQ(parsertest::Log(parser, "<a><![CDATA[xy]]]z]]> \n<b/></a>"),
              "open a\ncdata xy\nopen b\nclose 2\nclose 1");

    struct ZeroParser : LogParser {
        std::uint64_t zero = 99;
        std::string first;
        void CData(CorvaneXML::XIXMLReadStream* stream) override {
            char c[4];
            zero = stream->Read(c, 0);
            std::uint64_t n = stream->Read(c, 4);
            first.assign(c, n);
        }
    } zero;
    EXPECT_EQ(parsertest::Log(zero, "<a><![CDATA[]abcd]]></a>"), "open a\nclose 1");
    EXPECT_EQ(zero.zero, 0u);
    EXPECT_EQ(zero.first, "]abc");
}

TEST(CData, EndOfInputDeliversBodyWithoutHeldBracketsThenRaises) {
    ChunkParser parser;
    parser.chunk = 1;
    EXPECT_EQ(parsertest::Log(parser, "<a><![CDATA[ab]]"),
              "open a\ncdata ab\nerror: Error while reading <[CDATA[...]]>");
    EXPECT_EQ(parser.results.back(), 0u);
}

TEST(CData, DefaultGathersIn2048ByteReads) {
    struct Case {
        std::size_t size;
        std::vector<std::uint64_t> got;
    };
    for (const Case& c : {Case{0, {0}}, Case{2047, {2047}}, Case{2048, {2048, 0}},
                          Case{5000, {2048, 2048, 904}}}) {
        CountingParser parser;
        std::string body(c.size, 'w');
        EXPECT_EQ(parsertest::Log(parser, "<a><![CDATA[" + body + "]]></a>"),
                  "open a\ndata " + body + "\nclose 1");
        EXPECT_EQ(parser.got, c.got) << c.size;
        EXPECT_EQ(parser.asked, std::vector<std::uint64_t>(c.got.size(), 2048)) << c.size;
    }
}

TEST(CData, HostStreamFailureInsideTheBodyBecomesCDataError) {
    // The first block holds the opening and 1024 - 12 body bytes; the next
    // block load throws while the handler reads.
    std::string xml = "<a><![CDATA[" + std::string(2000, 'b') + "]]></a>";
    for (std::uint64_t chunk : {1, 4096}) {
        ChunkParser parser;
        parser.chunk = chunk;
        testsupport::StringReadStream stream(xml);
        stream.throwAt = 1024;
        try {
            parser.Parse(&stream);
            ADD_FAILURE() << "no exception";
        } catch (const Corvane::XCException& error) {
            EXPECT_STREQ(error.what(), "Error while reading <[CDATA[...]]>");
        }
        EXPECT_EQ(parser.body, std::string(1024 - 12, 'b')) << chunk;
        EXPECT_EQ(parser.results.back(), chunk == 1 ? 0u : 1024u - 12u) << chunk;
    }
}

TEST(CData, HostStreamFailureOnTheFirstBodyByteIsPassedOn) {
    std::string xml = std::string(1015, ' ') + "<![CDATA[x]]><a/>";
    ASSERT_EQ(xml.find('x'), 1024u);
    ChunkParser parser;
    testsupport::StringReadStream stream(xml);
    stream.throwAt = 1024;
    EXPECT_THROW(parser.Parse(&stream), std::runtime_error);
    EXPECT_EQ(parser.log, "");
}

}  // namespace
