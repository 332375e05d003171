// The reading machinery under the parser: calls of the host stream, growth of
// the exported character buffer, and CDATA bodies read through their stream.

#include <CorvaneXML/XMLBuffer.h>

#include <gtest/gtest.h>

#include "EventLog.h"

#include <climits>

using CorvaneXML::TBuffer;
using testsupport::Log;
using testsupport::Mode;
using testsupport::Raised;
using testsupport::StringReadStream;

namespace {

// A short read ends the input; a full block that turns out to be the last
// costs one more call, which answers nothing.
TEST(Reading, CallsTheStreamOncePerBlockAndNeverAfterAShortOne) {
    struct Case {
        std::string text;
        std::uint64_t chunk;
        std::vector<std::uint64_t> calls;
        std::string raised;
    };
    for (const Case& c : {Case{"", 0, {1024}, "XML file must begin with <"},
                          Case{"<a/>" + std::string(1020, ' '), 0, {1024, 1024}, ""},
                          Case{"<a>" + std::string(3000, 'k') + "</a>", 10, {1024}, "CvThrow::SiFaux"}}) {
        StringReadStream stream(c.text, c.chunk);
        testsupport::LogParser parser;
        EXPECT_EQ(Raised([&] { parser.Parse(&stream); }), c.raised);
        EXPECT_EQ(stream.calls, c.calls) << c.text.size() << " in pieces of " << c.chunk;
    }
}

TEST(TBuffer, SinglesDoubleAndBulkGrowsByLengthPlusCount) {
    TBuffer<char> buffer;
    for (int i = 0; i < 255; ++i) buffer.AddChar('x');
    buffer.AddChars("x", 1);  // exactly full: no growth yet
    EXPECT_EQ(buffer.GetCapacity(), 256);
    EXPECT_EQ(std::string(static_cast<const char*>(buffer)), std::string(256, 'x'));  // the NUL doubles
    EXPECT_EQ(buffer.GetCapacity(), 512);
    buffer.AddChars("0123456789", 10);
    EXPECT_EQ(buffer.GetCapacity(), 512);
    buffer.AddChars(std::string(300, 'y').c_str(), 300);
    EXPECT_EQ(buffer.GetCapacity(), 512 + 266 + 300);
    EXPECT_EQ(std::string(static_cast<const char*>(buffer)).substr(254), "xx0123456789" + std::string(300, 'y'));
    buffer.Reset();
    EXPECT_EQ(buffer.GetCapacity(), 1078);
    // A size past a signed 32-bit size fails before the short source is read,
    // and leaves the buffer empty without a block until Reset.
    EXPECT_THROW(buffer.AddChars("abc", INT_MAX - 10), std::runtime_error);
    EXPECT_EQ(buffer.GetCapacity(), 0);
    buffer.Reset();
    EXPECT_EQ(buffer.GetCapacity(), 256);

    // AddEach ends where as many AddChar calls would: by doubling, not the bulk rule.
    const std::string source(5000, 'r');
    TBuffer<char> each;
    each.AddEach(source.data(), 255);
    each.AddEach(source.data(), 257);
    EXPECT_EQ(each.GetCapacity(), 512);
    each.AddEach(source.data(), 4097);
    EXPECT_EQ(each.GetCapacity(), 8192);
    EXPECT_EQ(std::string(static_cast<const char*>(each)), source.substr(0, 4609));
}

TEST(CData, BodyIsTheSameForEveryReadSizeAndBlockBoundary) {
    std::vector<std::string> bodies = {"", "a]b", "a]]b", "]>", "]]", "]]]]x", "x]]]", "a]]b]]]c]",
                                       std::string(3000, 'z') + "]]" + std::string(2000, ']') + "e"};
    for (std::size_t pad = 1010; pad < 1030; ++pad) bodies.push_back(std::string(pad, 'q') + "]x]");
    for (const std::string& body : bodies) {
        for (std::uint64_t chunk : {0, 1, 2, 3, 2048}) {
            testsupport::LogParser parser;
            if (chunk != 0) parser.chunks = {chunk};
            EXPECT_EQ(Log(parser, "<a><![CDATA[" + body + "]]>  <b/></a>"),
                      "open a\ndata " + body + "\nopen b\nclose 2\nclose 1")
                << body.size() << " in pieces of " << chunk;
        }
    }
    // What the handler leaves unread is skipped.
    testsupport::LogParser partial;
    partial.chunks = {2};
    partial.pieces = 1;
    EXPECT_EQ(Log(partial, "<a><![CDATA[xy]]]z]]> \n<b/></a>"), "open a\ndata xy\nopen b\nclose 2\nclose 1");
}

TEST(CData, HostStreamFailureInsideTheBodyEndsItAndRaises) {
    // The first block holds the 12-byte opening and 1012 body bytes; the next
    // block load throws while the handler reads.
    for (std::uint64_t chunk : {1, 4096}) {
        testsupport::LogParser parser;
        parser.chunks = {chunk};
        EXPECT_EQ(Log(parser, "<a><![CDATA[" + std::string(2000, 'b') + "]]></a>", Mode::Parse, 1024),
                  "open a\ndata " + std::string(1012, 'b') + "\nerror: Error while reading <[CDATA[...]]>");
    }
}

}  // namespace
