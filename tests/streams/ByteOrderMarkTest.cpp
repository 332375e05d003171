// What the ready-made read streams do with a byte-order mark, seen through
// the tree reader: passed over, refused with a message, or kept.

#include <CorvaneXML/XMLStdStreams.h>
#include <CorvaneXML/XMLTreeReader.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

using namespace CorvaneXML;

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File FileHolding(const std::string& bytes) {
    File file(std::tmpfile(), &std::fclose);
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    std::rewind(file.get());
    return file;
}

// "ok", or the message with the offset and line:column where reading stopped.
std::string Outcome(XIXMLReadStream& stream) {
    CXMLTreeReader reader;
    try {
        delete reader.ReadTree(&stream);
        return "ok";
    } catch (const std::exception& error) {
        return std::string(error.what()) + " " + std::to_string(reader.GetErrorOffset()) + " " +
               std::to_string(reader.GetErrorLine()) + ":" + std::to_string(reader.GetErrorColumn());
    }
}

std::string ReadInPieces(XIXMLReadStream& stream, std::uint64_t piece) {
    std::string all;
    char buffer[8];
    for (std::uint64_t n = piece; n == piece;) {
        n = stream.Read(buffer, piece);
        all.append(buffer, n);
    }
    return all;
}

TEST(ByteOrderMark, ReadyMadeStreamsPassOverUtf8AndRefuseOtherMarks) {
    const std::string begin = "XML file must begin with <";
    const std::string utf16 = "UTF-16 input is not supported: convert the document to UTF-8 0 1:1";
    const std::string utf32 = "UTF-32 input is not supported: convert the document to UTF-8 0 1:1";
    const struct {
        std::string input;
        std::string skipped;  // read with the default
        std::string kept;     // read with EByteOrderMark::eKeep
    } cases[] = {
        {"\xEF\xBB\xBF<a/>", "ok", begin + " 0 1:1"},
        // Later positions count the mark's bytes.
        {"\xEF\xBB\xBF<a>\n<b x></a>", "Attribute name must be followed by '='. 11 2:5", begin + " 0 1:1"},
        {"\xEF\xBB\xBF<a x>", "Attribute name must be followed by '='. 7 1:8", begin + " 0 1:1"},
        {"\xEF\xBB\xBF", begin + " 3 1:4", begin + " 0 1:1"},
        {"\xEF\xBB<a/>", begin + " 0 1:1", begin + " 0 1:1"},
        {"\xFF\xFE<", utf16, begin + " 0 1:1"},
        {"\xFE\xFF", utf16, begin + " 0 1:1"},
        {std::string("\xFF\xFE\0\0<\0\0\0", 8), utf32, begin + " 0 1:1"},
        {std::string("\0\0\xFE\xFF", 4), utf32, begin + " 0 1:1"},
        {"\xFF", begin + " 0 1:1", begin + " 0 1:1"},
        {"<a/>", "ok", "ok"},
    };
    for (const auto& c : cases) {
        XCXMLMemoryReadStream memory(c.input), memoryKept(c.input, EByteOrderMark::eKeep);
        EXPECT_EQ(Outcome(memory), c.skipped) << c.input;
        EXPECT_EQ(Outcome(memoryKept), c.kept) << c.input;
        auto file = FileHolding(c.input), fileKept = FileHolding(c.input);
        XCXMLFileReadStream fromFile(file.get()), fromFileKept(fileKept.get(), EByteOrderMark::eKeep);
        EXPECT_EQ(Outcome(fromFile), c.skipped) << c.input;
        EXPECT_EQ(Outcome(fromFileKept), c.kept) << c.input;
    }
}

TEST(ByteOrderMark, BytesAfterTheMarkArriveWhateverTheReadSizes) {
    const std::string text = "\xEF\xBB\xBF<a>12345</a>";
    for (std::uint64_t piece : {1, 2, 5, 8}) {
        XCXMLMemoryReadStream memory(text);
        auto file = FileHolding(text);
        XCXMLFileReadStream fromFile(file.get());
        EXPECT_EQ(ReadInPieces(memory, piece), text.substr(3)) << piece;
        EXPECT_EQ(ReadInPieces(fromFile, piece), text.substr(3)) << piece;
        EXPECT_EQ(fromFile.GetOrigin().column, 4u);
    }
}

}  // namespace
