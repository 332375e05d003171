// The reading machinery under the parser: the ready-made read streams, calls
// of the host's stream, growth of the exported character buffer, and where a
// failed parse stopped.

#include <gtest/gtest.h>

#include "EventLog.h"
#include "parser/BufferAccess.h"

#include <climits>
#include <cstdio>

using namespace testsupport;

namespace {

TEST(ReadStreams, MemoryAndFileDeliverEveryByte) {
    const std::string text = std::string(3000, 'x') + std::string("\xff\0end", 5);
    XCXMLMemoryReadStream memory(text), empty(nullptr, 0);
    std::string buffer(4000, '\0');
    EXPECT_EQ(text.compare(0, text.size(), buffer.data(), memory.Read(&buffer[0], 4000)), 0);
    EXPECT_EQ(memory.Read(&buffer[0], 1), 0u);
    EXPECT_EQ(empty.Read(&buffer[0], 1), 0u);
    // A read error raises instead of ending the input early.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> writeOnly(std::fopen("/dev/null", "w"), std::fclose);
    XCXMLFileReadStream broken(writeOnly.get());
    EXPECT_THROW(broken.Read(&buffer[0], 16), std::exception);
}

// A short read ends the input; a full block that turns out to be the last
// costs one more call, which answers nothing.
TEST(Reading, CallsTheStreamOncePerBlockAndNeverAfterAShortOne) {
    struct Case {
        std::string text;
        std::uint64_t chunk;
        std::vector<std::uint64_t> calls;
        std::string raised;
    };
    const std::string k3000 = "<a>" + std::string(3000, 'k') + "</a>";
    for (const Case& c :
         {Case{"", 0, {1024}, "XML file must begin with <"}, Case{"<a/>" + std::string(1020, ' '), 0, {1024, 1024}, ""},
          Case{k3000, 10, {1024}, "End of input inside an element"}, Case{k3000, 0, {1024, 1024}, "read failure"}}) {
        StringReadStream stream(c.text, c.chunk);
        stream.throwAt = 1500;  // what the stream throws passes through unchanged
        LogParser parser;
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
    // Without Reset, bulk growth from nothing takes just what it needs, and doubling goes on from there.
    EXPECT_THROW(buffer.AddChars("abc", INT_MAX - 10), std::runtime_error);
    buffer.AddChars("a", 1);
    CorvaneXML::CBufferAccess::AddEach(buffer, "bc", 2);
    EXPECT_EQ(buffer.GetCapacity(), 4);

    // AddEach ends where as many AddChar calls would: by doubling, not the bulk rule.
    const std::string source(5000, 'r');
    TBuffer<char> each;
    CorvaneXML::CBufferAccess::AddEach(each, source.data(), 255);
    CorvaneXML::CBufferAccess::AddEach(each, source.data(), 257);
    EXPECT_EQ(each.GetCapacity(), 512);
    CorvaneXML::CBufferAccess::AddEach(each, source.data(), 4097);
    EXPECT_EQ(each.GetCapacity(), 8192);
    EXPECT_EQ(std::string(static_cast<const char*>(each)), source.substr(0, 4609));
}

// Byte offset, then line:column of the character a failed parse stopped on;
// a parse that succeeds clears them.
TEST(Reading, ErrorPositionPointsAtTheCharacterTheParserStoppedOn) {
    std::string lines = "<r>", highBytes = "<r>";
    for (int i = 0; i < 500; ++i) lines += "<e/>\n";
    // Bytes that differ from a line feed only in the top bit must not count.
    for (int i = 0; i < 600; ++i) highBytes += "\x8a\n";
    const std::pair<std::string, std::string> cases[] = {
        {"<a x=1/>", "5 1:6"},
        {"<r>\n  <bad attr=oops/>\n</r>", "16 2:13"},
        // End of input: just past the last byte.
        {"<r>\n<a>", "7 2:4"},
        // Far past the first blocks of input; a line feed as the last byte of a block.
        {lines + "<e x>", "2507 501:5"},
        {highBytes + "<e x>", "1207 601:5"},
        {"<r>" + std::string(1020, 'x') + "\n<e x>", "1028 2:5"},
        {"<a/>", "0 0:0"},
    };
    for (Mode mode : {Mode::Parse, Mode::Fast}) {
        LogParser parser;
        for (const auto& [text, where] : cases) {
            Log(parser, text, mode);
            std::string at = std::to_string(parser.GetErrorOffset()) + " ";
            at += std::to_string(parser.GetErrorLine()) + ":" + std::to_string(parser.GetErrorColumn());
            EXPECT_EQ(at, where);
        }
    }
}

}  // namespace
