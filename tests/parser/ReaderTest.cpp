// The buffered reader: how often it calls the host stream, end of input, and
// one character of push-back.

#include <CorvaneXML/XMLParser.h>

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <string>
#include <vector>

using CorvaneXML::CXMLBufferedReader;
using testsupport::StringReadStream;

namespace {

std::string ReadAll(CXMLBufferedReader& reader) {
    std::string out;
    for (int c = reader.ReadChar(); c != -1; c = reader.ReadChar()) out += static_cast<char>(c);
    return out;
}

TEST(BufferedReader, CallsTheStreamOncePerBlockAndNeverAfterAShortOne) {
    struct Case {
        std::string text;
        std::uint64_t chunk;
        std::size_t handedOut;
        std::vector<std::uint64_t> calls;
    };
    const std::string big(3000, 'k');
    const std::vector<Case> cases = {
        {"", 0, 0, {1024}},
        {std::string(1024, 'k'), 0, 1024, {1024, 1024}},
        {std::string(1025, 'k'), 0, 1025, {1024, 1024}},
        {big, 0, 3000, {1024, 1024, 1024}},
        {big, 10, 10, {1024}},  // a short first read ends the input for good
    };
    for (const Case& c : cases) {
        StringReadStream stream(c.text, c.chunk);
        CXMLBufferedReader reader(&stream);
        EXPECT_EQ(ReadAll(reader).size(), c.handedOut);
        EXPECT_EQ(reader.ReadChar(), -1);
        EXPECT_EQ(reader.ReadChar(), -1);
        EXPECT_EQ(stream.calls, c.calls) << c.text.size() << " chunk " << c.chunk;
    }
}

TEST(BufferedReader, HandsOutBytesUnsigned) {
    StringReadStream stream(std::string("\xFF\x00\x80", 3));
    CXMLBufferedReader reader(&stream);
    EXPECT_EQ(reader.ReadChar(), 255);
    EXPECT_EQ(reader.ReadChar(), 0);
    EXPECT_EQ(reader.ReadChar(), 128);
    EXPECT_EQ(reader.ReadChar(), -1);
}

TEST(BufferedReader, CurrentAndUnRead) {
    StringReadStream stream(std::string(1024, 'a') + "bc");
    CXMLBufferedReader reader(&stream);
    EXPECT_EQ(reader.Current(), -1);
    reader.UnRead();
    EXPECT_EQ(reader.ReadChar(), 'a');
    for (int i = 1; i < 1024; ++i) reader.ReadChar();
    EXPECT_EQ(reader.ReadChar(), 'b');  // first of a new block
    reader.UnRead();
    reader.UnRead();  // the previous block is gone
    EXPECT_EQ(reader.Current(), -1);
    EXPECT_EQ(reader.ReadChar(), 'b');
    EXPECT_EQ(reader.ReadChar(), 'c');
    EXPECT_EQ(reader.ReadChar(), -1);
    EXPECT_EQ(reader.Current(), 'c');  // still there after the end
    reader.UnRead();
    EXPECT_EQ(reader.ReadChar(), 'c');
    EXPECT_EQ(reader.ReadChar(), -1);
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
