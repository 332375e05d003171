// The ready-made streams over memory, strings and C files. The writer fills
// the string and file streams without calling them per character; whatever it
// does there must match, byte for byte and failure for failure, what the
// calls would have done, and a class derived from one of them must still see
// every call.

#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <gtest/gtest.h>

#include "Hosts.h"
#include "TestStreams.h"

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace testsupport;

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Reads `chunk` bytes at a time up to the first short read.
std::string ReadAll(XIXMLReadStream& stream, std::uint64_t chunk) {
    std::string result, buffer(chunk, '\0');
    for (std::uint64_t n = chunk; n == chunk;) {
        n = stream.Read(&buffer[0], chunk);
        result.append(buffer, 0, n);
    }
    return result;
}

// An unbuffered file that takes whole fwrite chunks while they fit in `room`
// bytes and fails from the first that does not; it notes every chunk offered.
struct Device {
    std::size_t room;
    std::string taken;
    std::vector<std::size_t> offered;
};

File Open(Device* device) {
    cookie_io_functions_t io = {};
    io.write = [](void* cookie, const char* data, std::size_t size) -> ssize_t {
        Device& d = *static_cast<Device*>(cookie);
        d.offered.push_back(size);
        if (size > d.room - d.taken.size()) return 0;  // -1 leaves the C library confused
        d.taken.append(data, size);
        return static_cast<ssize_t>(size);
    };
    File file(fopencookie(device, "w", io), std::fclose);
    if (file) std::setvbuf(file.get(), nullptr, _IONBF, 0);
    return file;
}

// The same Write, but no longer the exact class: the writer calls it.
struct DerivedFileStream : XCXMLFileWriteStream {
    using XCXMLFileWriteStream::XCXMLFileWriteStream;
};
struct WatchingStringStream : XCXMLStringWriteStream {
    using XCXMLStringWriteStream::XCXMLStringWriteStream;
    std::uint64_t Write(const char* data, std::uint64_t size) override {
        calls.push_back(size);
        return XCXMLStringWriteStream::Write(data, size);
    }
    std::vector<std::uint64_t> calls;
};

// Documents whose text and values start, end and consist of escapes, are
// empty, or are runs longer than any buffer used below; an indentation deeper
// than the writer's ready-made run of tabs; a CDATA body written through the
// stream between the writer's own bytes; and a write that a provider ends
// half way.
const std::vector<void (*)(XIXMLElement*)> kDocuments = {
    [](XIXMLElement* r) { r->AddElement("e")->AddData("&x<y>\"'z"); },
    [](XIXMLElement* r) {
        XIXMLElement* e = r->AddElement("e");
        e->AddAttribute("a", "");
        e->AddAttribute("b", "\"<>&'");
        e->AddAttribute("c", "&v\"");
        e->AddElement("f")->AddData("");
        e->AddElement("g")->AddData("<<>>&&");
    },
    [](XIXMLElement* r) {
        XIXMLElement* e = r->AddElement("long");
        e->AddAttribute("v", (std::string(70000, 'v') + "\"" + std::string(3, 'w')).c_str());
        e->AddData((std::string(100000, 'x') + "&" + std::string(70000, 'y')).c_str());
    },
    [](XIXMLElement* r) {
        r->AddPI("p", "a<b");
        r->AddComment("&");
        XIXMLElement* e = r->AddElement("d");
        for (int depth = 0; depth < 75; ++depth) e = e->AddElement("d");
        e->AddData("deep&");
        e->AddElement("c")->AddData(new Provider("b<&"));
        e->AddElement("after");
    },
    [](XIXMLElement* r) {
        XIXMLElement* e = r->AddElement("e");
        e->AddAttribute("k", "v&");
        e->AddData("x<y");
        auto* partial = new Provider("part");
        partial->result = false;
        e->AddElement("f")->AddData(partial);
    },
};

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

TEST(WriteStreams, EveryStreamGetsTheBytesAndFailuresOfAHostStream) {
    // The lines below the writer's ready-made run of tabs, as a host gets them.
    XCXMLTree deep;
    kDocuments[3](deep.GetRoot());
    EXPECT_NE(Written(deep).find(std::string(75, '\t') + "<d>deep&amp;<c><![CDATA[b<&]]>\n" + std::string(76, '\t') +
                                 "</c>\n" + std::string(76, '\t') + "<after/>\n" + std::string(75, '\t') + "</d>\n"),
              std::string::npos);
    for (std::size_t i = 0; i < kDocuments.size(); ++i) {
        XCXMLTree tree;
        kDocuments[i](tree.GetRoot());
        StringWriteStream host;
        const std::string raised = Raised([&] { tree.Write(&host); });
        // Appended after what the string already holds, also when cut short.
        std::string text = "kept", watchedText;
        XCXMLStringWriteStream toString(text);
        WatchingStringStream watching(watchedText);
        EXPECT_EQ(Raised([&] { tree.Write(&toString); }), raised);
        EXPECT_EQ(Raised([&] { tree.Write(&watching); }), raised);
        EXPECT_TRUE(text == "kept" + host.text) << i;
        EXPECT_TRUE(watchedText == host.text && watching.calls == host.calls) << i;
        // The exact file stream hands the file the chunks the derived one does
        // and fails at the same byte; once failed, in a Write or in Flush, it
        // stays failed.
        const std::size_t size = host.text.size();
        for (std::size_t bufferSize : {1u, 3u, 64u, 65536u}) {
            for (std::size_t room : {std::size_t{0}, std::size_t{5}, size / 2, size - 1, size}) {
                Device exact{room, {}, {}}, derived{room, {}, {}};
                // Opened before the streams, so closed after their last flush.
                const File exactFile = Open(&exact), derivedFile = Open(&derived);
                ASSERT_TRUE(exactFile && derivedFile);
                XCXMLFileWriteStream toExact(exactFile.get(), bufferSize);
                DerivedFileStream toDerived(derivedFile.get(), bufferSize);
                const std::string exactRaised = Raised([&] { tree.Write(&toExact); });
                EXPECT_EQ(exactRaised, Raised([&] { tree.Write(&toDerived); }));
                if (room == 0 && bufferSize < size) {
                    EXPECT_EQ(exactRaised, "Can't write character");
                }
                EXPECT_EQ(toExact.Flush(), toDerived.Flush());
                if (room == size) {
                    EXPECT_EQ(exactRaised, raised);
                    EXPECT_TRUE(exact.taken == host.text) << i << " buffer " << bufferSize;
                }
                EXPECT_EQ(Raised([&] { tree.Write(&toExact); }), Raised([&] { tree.Write(&toDerived); }));
                EXPECT_EQ(exact.offered, derived.offered) << i << " buffer " << bufferSize << " room " << room;
                EXPECT_TRUE(exact.taken == derived.taken);
            }
        }
    }
}

TEST(WriteStreams, AFailedFileStreamStopsTheWriterAtOnce) {
    // What a failed stream would buffer never reaches the file; only how far
    // the writer gets shows, here through a host node it passes.
    for (bool textFirst : {true, false}) {
        for (bool derived : {false, true}) {
            Notes log;
            XCXMLTree tree;
            XIXMLElement* root = tree.GetRoot();
            textFirst ? (void)root->AddData("x") : (void)root->AddElement("a");
            root->AddNode(new Node(&log, "mark"));
            Device device{0, {}, {}};
            const File file = Open(&device);
            ASSERT_TRUE(file);
            std::unique_ptr<XCXMLFileWriteStream> stream(derived ? new DerivedFileStream(file.get())
                                                                 : new XCXMLFileWriteStream(file.get()));
            EXPECT_EQ(Raised([&] { tree.Write(stream.get()); }), "");  // all of it in the buffer
            EXPECT_FALSE(stream->Flush());
            EXPECT_EQ(Raised([&] { tree.Write(stream.get()); }), "Can't write character");
            EXPECT_EQ(log, Notes{"mark at 0"}) << textFirst << derived;
        }
    }
}
