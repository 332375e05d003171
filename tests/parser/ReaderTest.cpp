// The buffered reader: calls of the host stream, end of input, push-back.

#include <CorvaneXML/XMLParser.h>

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <string>
#include <vector>

using CorvaneXML::CXMLBufferedReader;
using testsupport::StringReadStream;

namespace {

TEST(BufferedReader, CallsTheStreamOncePerBlockAndNeverAfterAShortOne) {
    struct Case {
        std::string text;
        std::uint64_t chunk;
        std::size_t handedOut;
        std::vector<std::uint64_t> calls;
    };
    for (const Case& c : {Case{"", 0, 0, {1024}}, Case{std::string(1024, 'k'), 0, 1024, {1024, 1024}},
                          Case{std::string(3000, 'k'), 0, 3000, {1024, 1024, 1024}},
                          Case{std::string(3000, 'k'), 10, 10, {1024}}}) {
        StringReadStream stream(c.text, c.chunk);
        CXMLBufferedReader reader(&stream);
        std::size_t n = 0;
        while (reader.ReadChar() == 'k') ++n;
        EXPECT_EQ(reader.ReadChar(), -1);
        EXPECT_EQ(n, c.handedOut);
        EXPECT_EQ(stream.calls, c.calls) << c.text.size() << " in pieces of " << c.chunk;
    }
}

TEST(BufferedReader, BytesUnsignedCurrentAndUnRead) {
    StringReadStream stream(std::string(1023, 'a') + "\xFF" + std::string("\0c", 2));
    CXMLBufferedReader reader(&stream);
    EXPECT_EQ(reader.Current(), -1);
    reader.UnRead();
    for (int i = 0; i < 1023; ++i) reader.ReadChar();
    EXPECT_EQ(reader.ReadChar(), 255);
    EXPECT_EQ(reader.ReadChar(), 0);  // first of a new block
    reader.UnRead();
    reader.UnRead();  // the previous block is gone
    EXPECT_EQ(reader.Current(), -1);
    EXPECT_EQ(reader.ReadChar(), 0);
    EXPECT_EQ(reader.ReadChar(), 'c');
    EXPECT_EQ(reader.ReadChar(), -1);
    EXPECT_EQ(reader.Current(), 'c');  // still there after the end
    reader.UnRead();
    EXPECT_EQ(reader.ReadChar(), 'c');
}

TEST(BufferedReader, NullStreamRaisesAndStreamErrorsPassThrough) {
    EXPECT_THROW(CXMLBufferedReader(nullptr), Corvane::XCException);
    StringReadStream stream(std::string(2000, 'a'));
    stream.throwAt = 1024;
    CXMLBufferedReader reader(&stream);
    for (int i = 0; i < 1024; ++i) reader.ReadChar();
    EXPECT_THROW(reader.ReadChar(), std::runtime_error);
    EXPECT_EQ(reader.Current(), 'a');  // the failed load changed nothing
}

}  // namespace
