// Trees built through the API against the exact bytes they are written as,
// the stream-call discipline, providers, host nodes and a million levels.

#include <CorvaneXML/CorvaneXML.h>

#include <TestStreams.h>
#include <gtest/gtest.h>

#include <functional>
#include <numeric>

using namespace CorvaneXML;
using testsupport::StringWriteStream;

namespace writertest {
std::size_t AllocationCount();  // operator new calls so far (AllocationCounter.cpp)
}

namespace {

std::string Caught(const std::function<void()>& write) {
    try { write(); } catch (const std::exception& error) { return error.what(); }
    return "(nothing raised)";
}

// Writes `body` through the stream it is handed and notes what it was given.
struct Provider : XIXMLData::IXMLCData {
    std::string body;
    bool result;
    XIXMLWriteStream* stream = nullptr;
    int depth = -1;
    const XIXMLNode* node = nullptr;
    explicit Provider(std::string body, bool result = true) : body(std::move(body)), result(result) {}
    bool Write(XIXMLWriteStream* to, int at, const XIXMLNode* owner) override {
        stream = to, depth = at, node = owner;
        return to->Write(body.data(), body.size()) == body.size() && result;
    }
    IXMLCData* Copy() override { return new Provider(body, result); }
};

// A node the host implements: notes its depth and the output length at its
// turn (when given somewhere to), then writes an empty text, which keeps the
// next tag on the line.
const XCXMLData kEmptyText(nullptr, "");

struct HostNode : XCXMLNode {
    std::string* notes;
    const std::string* output;
    explicit HostNode(XIXMLElement* parent, std::string* notes = nullptr, const std::string* output = nullptr)
        : XCXMLNode(parent), notes(notes), output(output) {}
    void WriteTo(XCXMLWriter* writer, int depth) const override {
        if (notes) *notes += std::to_string(depth) + "@" + std::to_string(output->size()) + " ";
        kEmptyText.AsNode()->WriteTo(writer, depth);
    }
    XIXMLNode* Copy(XIXMLElement*) const override { return nullptr; }
};

// A host class derived from the library's element that writes itself: only a note.
struct HostElement : XCXMLElement {
    std::string* notes;
    HostElement(XIXMLElement* parent, const XCXMLKey& name, std::string* notes)
        : XCXMLElement(parent, name), notes(notes) {}
    void WriteTo(XCXMLWriter*, int depth) const override { *notes += "element@" + std::to_string(depth) + " "; }
};

TEST(Writer, TreesAreWrittenByteForByte) {
    const std::pair<void (*)(XIXMLElement*), const char*> cases[] = {
        {[](XIXMLElement*) {}, "\n"},
        // One attribute stays on the tag's line, several go one level below the
        // element; text keeps the next tag on its line, an element does not.
        {[](XIXMLElement* r) {
             XIXMLElement *a = r->AddElement("a"), *e = a->AddElement("e");
             e->AddAttribute("x", "1"), e->AddAttribute("y", "2"), e->AddElement("c")->AddAttribute("z", "3");
             a->AddData("t"), a->AddElement("d");
         },
         "<a>\n\t<e\n\t\t x=\"1\"\n\t\t y=\"2\">\n\t\t<c z=\"3\"/>\n\t</e>t<d/>\n</a>\n"},
        // Values escape " & < > but not the apostrophe, text & < > only; empty text.
        {[](XIXMLElement* r) {
             XIXMLElement* e = r->AddElement("e");
             e->AddAttribute("a", "\"<>&'\t"), e->AddData("\"'<&]]>\xC3\xA9"), r->AddElement("f")->AddData("");
         },
         "<e a=\"&quot;&lt;&gt;&amp;'\t\">\"'&lt;&amp;]]&gt;\xC3\xA9</e>\n<f></f>\n"},
        // Markup texts are not escaped; a public id always has a system literal
        // after it; empty strings count as present.
        {[](XIXMLElement* r) {
             r->AddComment("<&>\""), r->AddPI("p", "a<b&c>\""), r->AddPI("t", "");
             const XCXMLKey d = r->GetKey("d");
             r->AddDocType(d, nullptr, "s&<", "<!ENTITY e \"&\">"), r->AddDocType(d, "p", nullptr, nullptr);
             r->AddDocType(d, "p", "s", "x"), r->AddDocType(d, nullptr, nullptr, "x"), r->AddDocType(d, nullptr, "", "");
         },
         "<!--<&>\"-->\n<?p a<b&c>\"?>\n<?t ?>\n<!DOCTYPE d SYSTEM \"s&<\" [<!ENTITY e \"&\">]>\n"
         "<!DOCTYPE d PUBLIC \"p\" \"\">\n<!DOCTYPE d PUBLIC \"p\" \"s\" [x]>\n<!DOCTYPE d [x]>\n"
         "<!DOCTYPE d SYSTEM \"\" []>\n"},
        // Root attributes are never written; the document always ends with a line feed.
        {[](XIXMLElement* r) { r->AddAttribute("hidden", "1"), r->AddComment("c"), r->AddData("t"); }, "<!--c-->t\n"},
    };
    for (const auto& c : cases) {
        XCXMLTree tree;
        c.first(tree.GetRoot());
        StringWriteStream stream;
        tree.Write(&stream);
        EXPECT_EQ(stream.text, c.second);
    }
}

TEST(Writer, NoteExampleWithOwnedTextAndWithACDataSection) {
    for (bool cdata : {false, true}) {
        XCXMLTree tree;
        XIXMLElement* root = tree.GetRoot();
        root->AddPI("xml", "version=\"1.0\"");
        root->AddDocType(root->GetKey("note"), nullptr, "note.dtd", nullptr), root->AddComment(" sample ");
        XIXMLElement* note = root->AddElement("note");
        note->AddAttribute("id", "7"), note->AddAttribute("lang", "en");
        Provider* provider = cdata ? new Provider("Tove") : nullptr;
        XIXMLElement* to = note->AddElement("to");
        const XIXMLData* data = provider ? to->AddData(provider) : to->AddData("Tove");
        note->AddElement("body")->AddData("a < b & \"c\""), note->AddElement("empty")->AddAttribute("x", "1");
        note->AddElement("list")->AddElement("item");
        StringWriteStream stream;
        tree.Write(&stream);
        EXPECT_EQ(stream.text, std::string("<?xml version=\"1.0\"?>\n"
                                           "<!DOCTYPE note SYSTEM \"note.dtd\">\n"
                                           "<!-- sample -->\n"
                                           "<note\n"
                                           "\t id=\"7\"\n"
                                           "\t lang=\"en\">\n") +
                                   (cdata ? "\t<to><![CDATA[Tove]]>\n\t</to>\n" : "\t<to>Tove</to>\n") +
                                   "\t<body>a &lt; b &amp; \"c\"</body>\n"
                                   "\t<empty x=\"1\"/>\n"
                                   "\t<list>\n"
                                   "\t\t<item/>\n"
                                   "\t</list>\n"
                                   "</note>\n");
        if (cdata) {
            EXPECT_EQ(provider->stream, &stream);
            EXPECT_EQ(provider->depth, 2);
            EXPECT_EQ(provider->node, data->AsNode());
        }
        // An element written from the middle starts at depth 0, without a final line feed.
        StringWriteStream part;
        note->FindElement("list")->Write(&part);
        EXPECT_EQ(part.text, "<list>\n\t<item/>\n</list>");
    }
}

TEST(Writer, OneCallPerTokenAndAShortAnswerStopsWithTheEarlierBytes) {
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("ab");
    e->AddAttribute("k", "v&"), e->AddData("t<"), e->AddComment("");
    StringWriteStream full;
    tree.Write(&full);
    EXPECT_EQ(full.text, "<ab k=\"v&amp;\">t&lt;<!---->\n</ab>\n");
    // < ab ␠ k = " v &amp; " > t &lt; <!-- (empty) --> \n </ ab > \n
    EXPECT_EQ(full.calls, (std::vector<std::uint64_t>{1, 2, 1, 1, 1, 1, 1, 5, 1, 1, 1, 4, 4, 0, 3, 1, 2, 2, 1, 1}));
    // The k-th call answers one byte short, or 1 to the size-0 call.
    for (std::size_t k = 1; k <= full.calls.size(); ++k) {
        StringWriteStream stream;
        stream.failAt = k;
        EXPECT_EQ(Caught([&] { tree.Write(&stream); }), "Can't write character") << k;
        EXPECT_EQ(stream.calls.size(), k);
        EXPECT_EQ(stream.text, full.text.substr(0, std::accumulate(full.calls.begin(), full.calls.begin() + k - 1,
                                                                   std::uint64_t{0})));
    }
}

TEST(Writer, ProviderAnsweringFalseRaisesAfterItsOutput) {
    XCXMLTree tree;
    tree.GetRoot()->AddElement("e")->AddData(new Provider("partial", false));
    StringWriteStream stream;
    EXPECT_EQ(Caught([&] { tree.Write(&stream); }), "Data provider failed to write its section");
    EXPECT_EQ(stream.text, "<e><![CDATA[partial");
}

TEST(Writer, HostNodesWriteThemselvesAtTheirDepth) {
    XCXMLTree tree;
    StringWriteStream stream;
    std::string notes;
    XIXMLElement* a = tree.GetRoot()->AddElement("a");
    new HostNode(a, &notes, &stream.text);
    XIXMLElement* b = a->AddElement("b");
    (new HostElement(b, tree.GetKey("h"), &notes))->AddElement("hidden");
    new HostNode(b, &notes, &stream.text);
    tree.Write(&stream);
    EXPECT_EQ(stream.text, "<a><b></b>\n</a>\n");
    EXPECT_EQ(notes, "1@3 element@2 2@6 ");
}

TEST(Writer, MillionLevelsWithoutAllocatingByEveryEntryPoint) {
    // Host nodes around each child keep all tags on one line; with plain
    // nesting the indentation alone would grow with the square of the depth.
    const std::size_t depth = 1000000;
    XCXMLTree tree;
    const XCXMLKey a = tree.GetKey("a");
    std::vector<XIXMLElement*> chain{tree.GetRoot()->AddElement(a)};
    while (chain.size() < depth) {
        new HostNode(chain.back());
        chain.push_back(chain.back()->AddElement(a));
        new HostNode(chain[chain.size() - 2]);
    }
    struct Append : XIXMLWriteStream {
        std::string text;
        std::uint64_t Write(const char* data, std::uint64_t size) override { return text.append(data, size), size; }
    };
    // Whole tree, top element, and one from the middle that has a sibling after it.
    for (std::size_t from : {depth, std::size_t{0}, depth / 2}) {
        Append stream;
        stream.text.reserve(7 * depth);
        const std::size_t before = writertest::AllocationCount();
        from == depth ? tree.Write(&stream) : chain[from]->Write(&stream);
        EXPECT_EQ(writertest::AllocationCount(), before);
        const std::size_t levels = depth - (from == depth ? 0 : from);
        std::string expected;
        for (std::size_t i = 1; i < levels; ++i) expected += "<a>";
        expected += "<a/>";
        for (std::size_t i = 1; i < levels; ++i) expected += "</a>";
        EXPECT_TRUE(stream.text == expected + (from == depth ? "\n" : "")) << from;
    }
    // Bottom up, so that no destructor has to recurse through the chain.
    for (; !chain.empty(); chain.pop_back()) chain.back()->Destroy();
}

}  // namespace
