#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

using namespace CorvaneXML;

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Reads `chunk` bytes at a time up to the first short read.
std::string ReadAll(XIXMLReadStream& stream, std::uint64_t chunk) {
    std::string result, buffer(chunk, '\0');
    for (std::uint64_t n = chunk; n == chunk;) result.append(buffer, 0, n = stream.Read(&buffer[0], chunk));
    return result;
}

}  // namespace

TEST(ReadStreams, MemoryAndFileDeliverEveryByte) {
    const std::string text = std::string(3000, 'x') + "\xff\0end" + std::string(10, 'y');
    XCXMLMemoryReadStream memory(text), empty(nullptr, 0);
    EXPECT_EQ(ReadAll(memory, 1024), text);
    EXPECT_EQ(ReadAll(empty, 1), "");
    // From a pipe written twice, a block must be filled across both writes.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], "<a>", 3), 3);
    ASSERT_EQ(write(fds[1], "text</a>", 8), 8);
    close(fds[1]);
    File pipe(fdopen(fds[0], "r"), std::fclose);
    XCXMLFileReadStream fromPipe(pipe.get());
    EXPECT_EQ(ReadAll(fromPipe, 5), "<a>text</a>");
    // A read error raises instead of ending the input early.
    File writeOnly(std::fopen("/dev/null", "w"), std::fclose);
    XCXMLFileReadStream broken(writeOnly.get());
    char buffer[16];
    EXPECT_THROW(broken.Read(buffer, sizeof buffer), std::exception);
}

TEST(WriteStreams, StringAndBufferedFileGetTheSameBytes) {
    XCXMLTree tree;
    XIXMLElement* root = tree.GetRoot()->AddElement("r");
    for (int i = 0; i < 2000; ++i) root->AddElement("item")->AddData("text & more");
    std::string expected;
    XCXMLStringWriteStream toString(expected);
    tree.Write(&toString);
    ASSERT_GT(expected.size(), 40000u);
    EXPECT_EQ(expected.compare(0, 28, "<r>\n\t<item>text &amp; more</"), 0);
    for (std::size_t bufferSize : {1u, 7u, 65536u}) {
        File file(std::tmpfile(), std::fclose);
        XCXMLFileWriteStream toFile(file.get(), bufferSize);
        tree.Write(&toFile);
        EXPECT_TRUE(toFile.Flush());
        std::rewind(file.get());
        XCXMLFileReadStream back(file.get());
        EXPECT_EQ(ReadAll(back, 4096), expected) << bufferSize;
    }
    // A device that refuses the bytes makes the writer raise.
    File full(std::fopen("/dev/full", "w"), std::fclose);
    if (!full) GTEST_SKIP() << "no /dev/full here";
    std::setvbuf(full.get(), nullptr, _IONBF, 0);
    XCXMLFileWriteStream refused(full.get(), 64);
    try {
        tree.Write(&refused);
        ADD_FAILURE() << "write to a full device succeeded";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Can't write character");
    }
    EXPECT_FALSE(refused.Flush());
}
