// The writer fills the library's own string and file streams without calling
// them per character. Whatever it does there must match, byte for byte and
// failure for failure, what the calls would have done; and a class derived
// from one of them must still see every call.

#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <TestStreams.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace CorvaneXML;
using testsupport::StringWriteStream;

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// A CDATA body written through the stream it is handed, between the writer's
// own bytes.
struct Body : XIXMLData::IXMLCData {
    bool Write(XIXMLWriteStream* to, int, const XIXMLNode*) override { return to->Write("b<&", 3) == 3; }
    IXMLCData* Copy() override { return new Body; }
};

std::unique_ptr<XCXMLTree> Tree(void (*build)(XIXMLElement*)) {
    std::unique_ptr<XCXMLTree> tree(new XCXMLTree);
    build(tree->GetRoot());
    return tree;
}

// Documents whose text and values start, end and consist of escapes, are
// empty, or are runs longer than any buffer used below; and an indentation
// deeper than the writer's ready-made run of tabs.
const std::vector<void (*)(XIXMLElement*)> kDocuments = {
    [](XIXMLElement* r) { r->AddElement("e")->AddData("&x<y>\"'z"); },
    [](XIXMLElement* r) {
        XIXMLElement* e = r->AddElement("e");
        e->AddAttribute("a", ""), e->AddAttribute("b", "\"<>&'"), e->AddAttribute("c", "&v\"");
        e->AddElement("f")->AddData(""), e->AddElement("g")->AddData("<<>>&&");
    },
    [](XIXMLElement* r) {
        XIXMLElement* e = r->AddElement("long");
        e->AddAttribute("v", (std::string(70000, 'v') + "\"" + std::string(3, 'w')).c_str());
        e->AddData((std::string(100000, 'x') + "&" + std::string(70000, 'y')).c_str());
    },
    [](XIXMLElement* r) {
        r->AddPI("p", "a<b"), r->AddComment("&");
        XIXMLElement* e = r->AddElement("d");
        for (int depth = 0; depth < 75; ++depth) e = e->AddElement("d");
        e->AddData("deep&"), e->AddElement("c")->AddData(new Body), e->AddElement("after");
    },
};

// What the host's stream is given, one call per plain character.
std::string Reference(const XCXMLTree& tree, std::vector<std::uint64_t>* calls = nullptr) {
    StringWriteStream stream;
    tree.Write(&stream);
    if (calls) *calls = stream.calls;
    return stream.text;
}

std::string Contents(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    return text;
}

// The same Write, but no longer the exact class: the writer calls it.
struct DerivedFileStream : XCXMLFileWriteStream {
    using XCXMLFileWriteStream::XCXMLFileWriteStream;
};
struct DerivedStringStream : XCXMLStringWriteStream {
    using XCXMLStringWriteStream::XCXMLStringWriteStream;
};

// An unbuffered file that takes whole fwrite chunks while they fit in `room`
// bytes and fails from the first that does not; it notes every chunk offered.
struct Device {
    std::size_t room;
    std::string taken;
    std::vector<std::size_t> offered;
};

std::FILE* Open(Device* device) {
    cookie_io_functions_t io = {};
    io.write = [](void* cookie, const char* data, std::size_t size) -> ssize_t {
        Device& d = *static_cast<Device*>(cookie);
        d.offered.push_back(size);
        if (size > d.room - d.taken.size()) return 0;  // -1 leaves the C library confused
        d.taken.append(data, size);
        return static_cast<ssize_t>(size);
    };
    std::FILE* file = fopencookie(device, "w", io);
    if (file) std::setvbuf(file, nullptr, _IONBF, 0);
    return file;
}

// Writes through `stream`; the error text, or "" when nothing was raised.
std::string Raised(const XCXMLTree& tree, XIXMLWriteStream& stream) {
    try { tree.Write(&stream); } catch (const std::exception& error) { return error.what(); }
    return "";
}

}  // namespace

TEST(ReadyMadeStreams, GetTheBytesAHostStreamGets) {
    // The lines below the writer's ready-made run of tabs, as a host gets them.
    EXPECT_NE(Reference(*Tree(kDocuments.back()))
                  .find(std::string(75, '\t') + "<d>deep&amp;<c><![CDATA[b<&]]>\n" + std::string(76, '\t') +
                        "</c>\n" + std::string(76, '\t') + "<after/>\n" + std::string(75, '\t') + "</d>\n"),
              std::string::npos);
    for (std::size_t i = 0; i < kDocuments.size(); ++i) {
        const std::unique_ptr<XCXMLTree> tree = Tree(kDocuments[i]);
        const std::string expected = Reference(*tree);
        // Appended after what the string already holds.
        std::string text = "kept", derivedText;
        XCXMLStringWriteStream toString(text);
        DerivedStringStream toDerived(derivedText);
        tree->Write(&toString), tree->Write(&toDerived);
        EXPECT_TRUE(text == "kept" + expected) << i;
        EXPECT_TRUE(derivedText == expected) << i;
        for (std::size_t bufferSize : {1u, 2u, 7u, 65536u}) {
            const File file(std::tmpfile(), std::fclose);
            ASSERT_TRUE(file);
            XCXMLFileWriteStream toFile(file.get(), bufferSize);
            tree->Write(&toFile);
            EXPECT_TRUE(toFile.Flush());
            EXPECT_TRUE(Contents(file.get()) == expected) << i << " buffer " << bufferSize;
        }
    }
}

TEST(ReadyMadeStreams, FileStreamBuffersAndFailsAsItsCallsWould) {
    // The class derived without a Write of its own gets every call; the exact
    // one must hand the file the same chunks and fail at the same byte.
    for (std::size_t i = 0; i < kDocuments.size(); ++i) {
        const std::unique_ptr<XCXMLTree> tree = Tree(kDocuments[i]);
        const std::size_t size = Reference(*tree).size();
        for (std::size_t bufferSize : {1u, 3u, 64u, 4096u}) {
            for (std::size_t room : {std::size_t{0}, std::size_t{5}, size / 2, size - 1, size}) {
                Device exact{room, {}, {}}, derived{room, {}, {}};
                // Declared before the streams, so closed after their last flush.
                const File exactFile(Open(&exact), std::fclose), derivedFile(Open(&derived), std::fclose);
                ASSERT_TRUE(exactFile && derivedFile);
                XCXMLFileWriteStream toExact(exactFile.get(), bufferSize);
                DerivedFileStream toDerived(derivedFile.get(), bufferSize);
                const std::string raised = Raised(*tree, toExact);
                EXPECT_EQ(raised, Raised(*tree, toDerived));
                if (room == size) {
                    EXPECT_EQ(raised, "");
                } else if (room == 0 && bufferSize < size) {
                    EXPECT_EQ(raised, "Can't write character");
                }
                EXPECT_EQ(toExact.Flush(), toDerived.Flush());
                // A stream that has failed, in a Write or in Flush, stays failed.
                EXPECT_EQ(Raised(*tree, toExact), Raised(*tree, toDerived));
                EXPECT_EQ(exact.offered, derived.offered) << i << " buffer " << bufferSize << " room " << room;
                EXPECT_TRUE(exact.taken == derived.taken);
            }
        }
    }
}

TEST(ReadyMadeStreams, ADerivedStringStreamThatWatchesGetsEveryCall) {
    struct Watching : XCXMLStringWriteStream {
        explicit Watching(std::string& target) : XCXMLStringWriteStream(target) {}
        std::vector<std::uint64_t> calls;
        std::uint64_t Write(const char* data, std::uint64_t size) override {
            calls.push_back(size);
            return XCXMLStringWriteStream::Write(data, size);
        }
    };
    XCXMLTree small;
    XIXMLElement* e = small.GetRoot()->AddElement("e");
    e->AddAttribute("k", "ab"), e->AddData("x&y");
    std::string text;
    Watching watching(text);
    small.Write(&watching);
    EXPECT_EQ(text, "<e k=\"ab\">x&amp;y</e>\n");
    // < e ␠ k = " a b " > x &amp; y </ e > \n
    EXPECT_EQ(watching.calls, (std::vector<std::uint64_t>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 5, 1, 2, 1, 1, 1}));
    for (std::size_t i = 0; i < kDocuments.size(); ++i) {
        const std::unique_ptr<XCXMLTree> tree = Tree(kDocuments[i]);
        std::vector<std::uint64_t> calls;
        const std::string expected = Reference(*tree, &calls);
        std::string out;
        Watching each(out);
        tree->Write(&each);
        EXPECT_TRUE(out == expected) << i;
        EXPECT_TRUE(each.calls == calls) << i;
    }
}

TEST(ReadyMadeStreams, AFailedFileStreamStopsTheWriterAtOnce) {
    // What a failed stream would buffer never reaches the file; only how far
    // the writer gets shows, here through host nodes it passes.
    struct Mark : XCXMLNode {
        using XCXMLNode::XCXMLNode;
        mutable int reached = 0;
        void WriteTo(XCXMLWriter*, int) const override { ++reached; }
        XIXMLNode* Copy(XIXMLElement*) const override { return nullptr; }
    };
    // Plain characters first, or tokens first: each goes its own way.
    for (bool textFirst : {true, false}) {
        for (bool derived : {false, true}) {
            XCXMLTree tree;
            XIXMLElement* root = tree.GetRoot();
            textFirst ? (void)root->AddData("x") : (void)root->AddElement("a");
            const Mark* mark = new Mark(root);
            Device device{0, {}, {}};
            const File file(Open(&device), std::fclose);
            ASSERT_TRUE(file);
            std::unique_ptr<XCXMLFileWriteStream> stream(derived ? new DerivedFileStream(file.get())
                                                                 : new XCXMLFileWriteStream(file.get()));
            EXPECT_EQ(Raised(tree, *stream), "");  // all of it in the buffer
            EXPECT_FALSE(stream->Flush());
            EXPECT_EQ(Raised(tree, *stream), "Can't write character");
            EXPECT_EQ(mark->reached, 1) << textFirst << derived;
        }
    }
}

TEST(ReadyMadeStreams, AStringHoldsWhatWasWrittenWhenTheWriteIsCutShort) {
    // A host node that raises ends the write half way; the string must then
    // hold exactly the bytes written before it, as a host's stream would.
    struct Raising : XCXMLNode {
        using XCXMLNode::XCXMLNode;
        void WriteTo(XCXMLWriter*, int) const override { throw std::runtime_error("stop"); }
        XIXMLNode* Copy(XIXMLElement*) const override { return nullptr; }
    };
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("e");
    e->AddAttribute("k", "v&"), e->AddData("x<y");
    new Raising(e);
    StringWriteStream host;
    std::string text = "kept";
    XCXMLStringWriteStream exact(text);
    EXPECT_EQ(Raised(tree, host), "stop");
    EXPECT_EQ(Raised(tree, exact), "stop");
    EXPECT_EQ(text, "kept" + host.text);
    EXPECT_EQ(host.text, "<e k=\"v&amp;\">x&lt;y");
}
