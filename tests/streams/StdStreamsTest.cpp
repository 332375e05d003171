#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

using namespace CorvaneXML;

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string ReadAll(XIXMLReadStream& stream, std::uint64_t chunk) {
    std::string result;
    std::string buffer(chunk, '\0');
    for (;;) {
        const std::uint64_t n = stream.Read(&buffer[0], chunk);
        result.append(buffer, 0, n);
        if (n < chunk) return result;
    }
}

}  // namespace

TEST(MemoryReadStream, DeliversEveryByteThenShortReads) {
    const std::string text = std::string(3000, 'x') + "\xff\0end" + std::string(10, 'y');
    XCXMLMemoryReadStream stream(text);
    EXPECT_EQ(ReadAll(stream, 1024), text);
    char byte;
    EXPECT_EQ(stream.Read(&byte, 1), 0u);
    XCXMLMemoryReadStream empty(nullptr, 0);
    EXPECT_EQ(empty.Read(&byte, 1), 0u);
}

TEST(FileReadStream, FillsEveryBlockFromAPipe) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    // Two separate writes: a single fread would stop after the first.
    ASSERT_EQ(write(fds[1], "<a>", 3), 3);
    ASSERT_EQ(write(fds[1], "text</a>", 8), 8);
    close(fds[1]);
    File file(fdopen(fds[0], "r"));
    XCXMLFileReadStream stream(file.get());
    char buffer[64];
    EXPECT_EQ(stream.Read(buffer, 5), 5u);
    EXPECT_EQ(stream.Read(buffer + 5, 64), 6u);
    EXPECT_EQ(std::string(buffer, 11), "<a>text</a>");
}

TEST(FileReadStream, ReadErrorRaisesInsteadOfEndingEarly) {
    File file(std::fopen("/dev/null", "w"));  // not open for reading
    XCXMLFileReadStream stream(file.get());
    char buffer[16];
    EXPECT_THROW(stream.Read(buffer, sizeof buffer), std::exception);
}

TEST(WriteStreams, DocumentReachesStringAndFileByteForByte) {
    XCXMLTree tree;
    XIXMLElement* root = tree.GetRoot()->AddElement("r");
    for (int i = 0; i < 2000; ++i) root->AddElement("item")->AddData("text & more");
    std::string expected;
    XCXMLStringWriteStream toString(expected);
    tree.Write(&toString);
    ASSERT_GT(expected.size(), 40000u);
    EXPECT_EQ(expected.compare(0, 28, "<r>\n\t<item>text &amp; more</"), 0);

    for (std::size_t bufferSize : {1u, 7u, 65536u}) {
        File file(std::tmpfile());
        {
            XCXMLFileWriteStream toFile(file.get(), bufferSize);
            tree.Write(&toFile);
            EXPECT_TRUE(toFile.Flush());
        }
        std::rewind(file.get());
        XCXMLFileReadStream back(file.get());
        EXPECT_EQ(ReadAll(back, 4096), expected) << bufferSize;
    }
}

TEST(FileWriteStream, RefusedBytesMakeTheWriterRaise) {
    File full(std::fopen("/dev/full", "w"));
    if (!full) GTEST_SKIP() << "no /dev/full here";
    std::setvbuf(full.get(), nullptr, _IONBF, 0);
    XCXMLTree tree;
    XIXMLElement* root = tree.GetRoot()->AddElement("r");
    for (int i = 0; i < 100; ++i) root->AddElement("item");
    XCXMLFileWriteStream stream(full.get(), 64);
    try {
        tree.Write(&stream);
        FAIL() << "write to a full device succeeded";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Can't write character");
    }
    EXPECT_FALSE(stream.Flush());
}
