// Trees written to every kind of stream: a host's, the ready-made string
// and file streams, and classes derived from those. The writer fills the
// ready-made streams without calling them per character; whatever it does
// there must match, byte for byte and failure for failure, what the calls
// would have done, and a derived class must still see every call.

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <cstdio>
#include <numeric>

using namespace testsupport;

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

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

// The same Write, but no longer the exact class, so the writer calls it;
// every call's size is noted.
template <class Stream>
struct Watching : Stream {
    using Stream::Stream;
    std::uint64_t Write(const char* data, std::uint64_t size) override {
        calls.push_back(size);
        return Stream::Write(data, size);
    }
    std::vector<std::uint64_t> calls;
};

// Text and values that start, end and consist of escapes, are empty, or are
// runs longer than any buffer used below; what only the interface can build;
// an indentation deeper than the writer's ready-made run of tabs; a CDATA body
// written through the stream between the writer's own bytes; a write that a
// provider ends half way.
// Each comes with exactly what it is written as, when that is given.
const std::vector<std::pair<void (*)(XIXMLElement*), std::string>> kDocuments = {
    {[](XIXMLElement* r) {
         XIXMLElement* e = r->AddElement("e");
         e->AddAttribute("a", "");
         e->AddAttribute("b", "\"<>&'");
         e->AddElement("f")->AddData("");
         e->AddElement("g")->AddData("&x<y>\"'z");
         auto* partial = new Provider("part");
         partial->result = false;
         e->AddElement("h")->AddData(partial);
     },
     "<e\n\t a=\"\"\n\t b=\"&quot;&lt;&gt;&amp;'\">\n\t<f></f>\n\t<g>&amp;x&lt;y&gt;\"'z</g>\n\t<h><![CDATA[part"},
    {[](XIXMLElement* r) {
         XIXMLElement* e = r->AddElement("long");
         e->AddAttribute("v", (std::string(70000, 'v') + "\"" + std::string(3, 'w')).c_str());
         e->AddData((std::string(100000, 'x') + "&" + std::string(70000, 'y')).c_str());
     },
     "<long v=\"" + std::string(70000, 'v') + "&quot;www\">" + std::string(100000, 'x') + "&amp;" +
         std::string(70000, 'y') + "</long>\n"},
    {[](XIXMLElement* r) {
         r->AddPI("p", "a<b");
         r->AddComment("&");
         XIXMLElement* e = r->AddElement("d");
         for (int depth = 0; depth < 75; ++depth) e = e->AddElement("d");
         e->AddData("deep&");
         e->AddElement("c")->AddData(new Provider("b<&"));
         e->AddElement("after");
     },
     ""},
    {[](XIXMLElement*) {}, "\n"},
    // Text keeps the next tag on its line, empty text too; root attributes
    // are never written; the document always ends with a line feed.
    {[](XIXMLElement* r) {
         r->AddAttribute("hidden", "1");
         XIXMLElement* a = r->AddElement("a");
         a->AddData("");
         a->AddElement("e")->AddAttribute("x", "1");
         r->AddData("t");
     },
     "<a><e x=\"1\"/>\n</a>t\n"},
    // A public id always has a system literal after it; empty strings count
    // as present, absent parts are left out.
    {[](XIXMLElement* r) {
         const XCXMLKey d = r->GetKey("d");
         r->AddDocType(d, "p", nullptr, nullptr);
         r->AddDocType(d, nullptr, nullptr, "x");
         r->AddDocType(d, nullptr, "", "");
         r->AddDocType(d, nullptr, nullptr, nullptr);
     },
     "<!DOCTYPE d PUBLIC \"p\" \"\">\n<!DOCTYPE d [x]>\n<!DOCTYPE d SYSTEM \"\" []>\n<!DOCTYPE d>\n"},
};

}  // namespace

TEST(Writer, EveryStreamGetsTheBytesAndFailuresOfAHostStream) {
    // A full buffer that the file refuses to take fails the write that needs its room.
    Device full{0, {}, {}};
    const File fullFile = Open(&full);
    XCXMLFileWriteStream oneByte(fullFile.get(), 0);  // a size of 0 buffers one byte
    EXPECT_EQ(oneByte.Write("a", 1), 1u);
    EXPECT_EQ(oneByte.Write("b", 1), 0u);
    // The lines below the writer's ready-made run of tabs, as a host gets them.
    XCXMLTree deep;
    kDocuments[2].first(deep.GetRoot());
    EXPECT_NE(Written(deep).find(std::string(75, '\t') + "<d>deep&amp;<c><![CDATA[b<&]]>\n" + std::string(76, '\t') +
                                 "</c>\n" + std::string(76, '\t') + "<after/>\n" + std::string(75, '\t') + "</d>\n"),
              std::string::npos);
    for (std::size_t i = 0; i < kDocuments.size(); ++i) {
        XCXMLTree tree;
        kDocuments[i].first(tree.GetRoot());
        StringWriteStream host;
        const std::string raised = Raised([&] { tree.Write(&host); });
        if (!kDocuments[i].second.empty()) {
            EXPECT_TRUE(host.text == kDocuments[i].second) << i << ": " << host.text.substr(0, 200);
        }
        // Appended after what the string already holds, also when cut short.
        std::string text = "kept", watchedText;
        XCXMLStringWriteStream toString(text);
        Watching<XCXMLStringWriteStream> watching(watchedText);
        EXPECT_EQ(Raised([&] { tree.Write(&toString); }), raised);
        EXPECT_EQ(Raised([&] { tree.Write(&watching); }), raised);
        EXPECT_TRUE(text == "kept" + host.text) << i;
        EXPECT_TRUE(watchedText == host.text && watching.calls == host.calls) << i;
        // The exact file stream hands the file the chunks the derived one does
        // and fails at the same byte. Once failed, in a Write or in Flush, it
        // stays failed, and the next write stops at its first call.
        const std::size_t size = host.text.size();
        for (std::size_t bufferSize : {0u, 3u, 64u, 65536u}) {
            for (std::size_t room : {std::size_t{0}, std::size_t{5}, size / 2, size - 1, size}) {
                Device exact{room, {}, {}}, derived{room, {}, {}};
                // Opened before the streams, so closed after their last flush.
                const File exactFile = Open(&exact), derivedFile = Open(&derived);
                ASSERT_TRUE(exactFile && derivedFile);
                XCXMLFileWriteStream toExact(exactFile.get(), bufferSize);
                Watching<XCXMLFileWriteStream> toDerived(derivedFile.get(), bufferSize);
                const std::string exactRaised = Raised([&] { tree.Write(&toExact); });
                EXPECT_EQ(exactRaised, Raised([&] { tree.Write(&toDerived); }));
                if (room == 0 && size > std::max<std::size_t>(bufferSize, 1)) {
                    EXPECT_EQ(exactRaised, "Can't write character");
                }
                const bool flushed = toExact.Flush();
                EXPECT_EQ(flushed, toDerived.Flush());
                EXPECT_EQ(flushed, room >= size) << i << " buffer " << bufferSize << " room " << room;
                if (room >= size) {
                    EXPECT_EQ(exactRaised, raised);
                    EXPECT_TRUE(exact.taken == host.text) << i << " buffer " << bufferSize;
                }
                toDerived.calls.clear();
                EXPECT_EQ(Raised([&] { tree.Write(&toExact); }), Raised([&] { tree.Write(&toDerived); }));
                if (room < size) {
                    EXPECT_EQ(toDerived.calls.size(), 1u);
                }
                EXPECT_EQ(exact.offered, derived.offered);
                EXPECT_TRUE(exact.taken == derived.taken);
            }
        }
    }
}

TEST(Writer, OneCallPerTokenAndAShortAnswerStopsWithTheEarlierBytes) {
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("ab");
    e->AddAttribute("k", "vw&");
    e->AddData("t<");
    e->AddComment("");
    StringWriteStream full;
    tree.Write(&full);
    EXPECT_EQ(full.text, "<ab k=\"vw&amp;\">t&lt;<!---->\n</ab>\n");
    // < ab ␠ k = " v w &amp; " > t &lt; <!-- (empty) --> \n </ ab > \n
    EXPECT_EQ(full.calls, (std::vector<std::uint64_t>{1, 2, 1, 1, 1, 1, 1, 1, 5, 1, 1, 1, 4, 4, 0, 3, 1, 2, 2, 1, 1}));
    // The k-th call answers one byte short, or 1 to the size-0 call.
    for (std::size_t k = 1; k <= full.calls.size(); ++k) {
        StringWriteStream stream;
        stream.failAt = k;
        EXPECT_EQ(Raised([&] { tree.Write(&stream); }), "Can't write character") << k;
        EXPECT_EQ(stream.calls.size(), k);
        EXPECT_EQ(stream.text, full.text.substr(0, std::accumulate(full.calls.begin(), full.calls.begin() + k - 1,
                                                                   std::uint64_t{0})));
    }
}
