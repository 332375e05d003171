#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "Hosts.h"
#include "TestStreams.h"

#include <memory>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

// The document read and written back, or the message it was refused with;
// either way the reader must then read the next document.
std::string Reread(CXMLTreeReader& reader, const std::string& text) {
    const std::string result = Outcome(reader, text);
    EXPECT_EQ(Outcome(reader, "<ok/>"), "<ok/>\n") << "not reusable after " << text;
    return result;
}

enum class Handling { Attach, Ignore, Refuse, NestedRead };

// Attaches CDATA bodies, ignores them, refuses them, or tries a ReadTree
// of its own from inside.
class CDataHandler : public BodyReader {
public:
    bool Read(XIXMLElement* element, XIXMLReadStream* stream) override {
        ++calls;
        if (handling == Handling::NestedRead) {
            EXPECT_NE(Outcome(*owner, "<x/>").find("error: "), std::string::npos);
        }
        if (handling == Handling::Attach) return BodyReader::Read(element, stream);
        return handling != Handling::Refuse;
    }

    Handling handling = Handling::Attach;
    int calls = 0;
    CXMLTreeReader* owner = nullptr;
};

}  // namespace

TEST(TreeReader, ReadsAndWritesBackOrRefusesWithAMessage) {
    struct Case {
        const char* input;
        const char* outcome;
    };
    const Case cases[] = {
        {"<a/>", "<a/>\n"},
        {"  <a></a>  ", "<a/>\n"},
        {"<a x=\"1\">t<b/></a>", "<a x=\"1\">t<b/>\n</a>\n"},
        {"<a><b/>t</a>", "<a>\n\t<b/>t</a>\n"},
        {"<!DOCTYPE r><r/>", "<!DOCTYPE r []>\n<r/>\n"},
        {"<!DOCTYPE r SYSTEM \"r.dtd\" [<!ENTITY e \"v\">]><r/>",
         "<!DOCTYPE r SYSTEM \"r.dtd\" [<!ENTITY e \"v\">]>\n<r/>\n"},
        {"<!DOCTYPE r PUBLIC 'p' 's'><r/>", "<!DOCTYPE r PUBLIC \"p\" \"s\" []>\n<r/>\n"},
        {"<a><![CDATA[x<y&z>]]></a>", "<a>x&lt;y&amp;z&gt;</a>\n"},
        {"<a>  hi  </a>", "<a>hi  </a>\n"},
        {"<a>\n\t  \n</a>", "<a/>\n"},
        {"<a t=\"&quot;&lt;'\">&amp;&#65;&#xe9;</a>", "<a t=\"&quot;&lt;'\">&amp;A\xC3\xA9</a>\n"},
        {"<?xml version=\"1.0\"?>\n<!-- c -->\n<r a=\"1\" b=\"2\"><x>1</x><!--in--></r>\n<!--e--><?end?>",
         "<?xml version=\"1.0\"?>\n<!-- c -->\n<r\n\t a=\"1\"\n\t b=\"2\">\n\t<x>1</x>\n\t<!--in-->\n</r>\n"
         "<!--e-->\n<?end ?>\n"},
        {"<?pi    data ?><r/>", "<?pi data ?>\n<r/>\n"},
        {"<a><b><c/></b></a>", "<a>\n\t<b>\n\t\t<c/>\n\t</b>\n</a>\n"},
        {"<a>t<b/>u</a>", "error: Only one data node for an element"},
        {"<a><!DOCTYPE x></a>", "error: CvThrow::IfFalse"},
        {"<a>", "error: CvThrow::SiFaux"},
        {"", "error: XML file must begin with <"},
        {"<a>&unknown;</a>", "error: Unrecognized entity"},
        {"<a/><b/>", "error: Only comments and processing instructions accepted here"},
    };
    CXMLTreeReader reader;
    for (const Case& c : cases) {
        const std::string once = Reread(reader, c.input);
        EXPECT_EQ(once, c.outcome) << c.input;
        // What the writer produces reads back to the same document.
        if (once.rfind("error: ", 0) != 0) {
            EXPECT_EQ(Reread(reader, once), once) << c.input;
        }
    }
}

TEST(TreeReader, CDataHandlerDecidesWhatTheSectionBecomes) {
    struct Case {
        Handling handling;
        const char* input;
        const char* outcome;
    };
    const Case cases[] = {
        {Handling::Attach, "<a><![CDATA[x]]y]>z]]></a>", "<a><![CDATA[x]]y]>z]]>\n</a>\n"},
        // The section is written first and ends no line, so the element after
        // it still finds the first line end to be skipped.
        {Handling::Attach, "<![CDATA[top]]><a/>", "<![CDATA[top]]><a/>\n"},
        {Handling::Ignore, "<a><![CDATA[ignored]]>  <b/></a>", "<a>\n\t<b/>\n</a>\n"},
        {Handling::Refuse, "<a><![CDATA[x]]></a>", "error: CvThrow::IfFalse"},
        // A ReadTree from inside the handler is refused; the outer one goes on.
        {Handling::NestedRead, "<a><![CDATA[x]]><b/></a>", "<a>\n\t<b/>\n</a>\n"},
    };
    for (const Case& c : cases) {
        CDataHandler handler;
        CXMLTreeReader reader(&handler);
        handler.handling = c.handling;
        handler.owner = &reader;
        EXPECT_EQ(Reread(reader, c.input), c.outcome) << c.input;
        EXPECT_EQ(handler.calls, 1) << c.input;
    }
}

// A host stream that throws when asked for each 1024-byte block in turn, the
// middle ones inside a CDATA body: the read raises, and the reader goes on.
TEST(TreeReader, StreamFailingAtEachBlock) {
    std::string text = "<r><![CDATA[" + std::string(4000, 'c') + "]]>";
    for (int i = 0; i < 300; ++i) text += "<e a=\"1\">text</e>";
    text += "</r>";
    CXMLTreeReader reader;
    const std::string expected = ReadAndWrite(reader, text);
    for (std::uint64_t offset = 1; offset < text.size(); offset += 1024) {
        StringReadStream failing(text);
        failing.throwAt = offset;
        EXPECT_THROW(delete reader.ReadTree(&failing), std::exception) << offset;
        ASSERT_EQ(ReadAndWrite(reader, text), expected) << "after a failure at " << offset;
    }
}

TEST(TreeReader, NamesAreSharedWithinADocumentOnly) {
    CXMLTreeReader reader;
    auto tree = ReadTree(reader, "<r><x a=\"1\" a=\"2\"/>text<x/></r>");
    XIXMLElement* r = tree->GetRoot()->FindFirstElement();
    XIXMLElement* first = r->FindFirstElement();
    ASSERT_NE(first->NextSameElement(), nullptr);
    EXPECT_EQ(first->GetName(), first->NextSameElement()->GetName());
    EXPECT_EQ(first->GetName(), tree->GetKey("x"));
    EXPECT_EQ(r->GetData()->AsNode()->Index(), 1u);
    XIXMLAttribute* a = first->GetFirstAttribute();
    ASSERT_NE(a->GetNext(), nullptr);
    EXPECT_EQ(a->GetName(), a->GetNext()->GetName());
    EXPECT_STREQ(a->GetNext()->GetValue(), "2");
    EXPECT_NE(ReadTree(reader, "<x/>")->GetRoot()->FindFirstElement()->GetName(), first->GetName());
}

TEST(TreeReader, ParsingOutsideReadTreeRaises) {
    CXMLTreeReader reader;
    for (const char* text : {"<a/>", "<!DOCTYPE a><a/>", "<!--c--><a/>", "<?pi?><a/>", "<![CDATA[x]]><a/>"}) {
        StringReadStream stream(text), fast(text);
        EXPECT_THROW(reader.Parse(&stream), std::exception) << text;
        EXPECT_THROW(reader.FastParse(&fast), std::exception) << text;
    }
    EXPECT_EQ(ReadAndWrite(reader, "<ok/>"), "<ok/>\n");
}

// Texts and values around the sizes where read nodes stop sharing memory
// with their neighbours and get blocks of their own.
TEST(TreeReader, LongTextsAndValuesReadBack) {
    CXMLTreeReader reader;
    for (std::size_t size : {1u, 1000u, 1024u, 4000u, 8170u, 8200u, 65536u, 200000u}) {
        const std::string element =
            "<e v=\"" + std::string(size, 'v') + "\">" + std::string(size, 't') + "</e>";
        EXPECT_EQ(Reread(reader, "<r>" + element + element + "</r>"),
                  "<r>\n\t" + element + "\n\t" + element + "\n</r>\n")
            << size;
    }
}

// Nodes taken out of a read document belong to the caller: with the document
// gone (and the names with it) their texts stay theirs to read, change and
// destroy, in any order.
TEST(TreeReader, NodesTakenOutOutliveTheirDocument) {
    CXMLTreeReader reader;
    std::string input = "<r>";
    for (int i = 0; i < 2000; ++i) input += "<e a=\"" + std::to_string(i) + "\">t</e>";
    input += "</r>";
    auto tree = ReadTree(reader, input);
    XIXMLElement* r = tree->GetRoot()->FindFirstElement();
    std::vector<XIXMLElement*> kept;
    int index = 0;
    for (XIXMLElement* e = r->FindFirstElement(); e != nullptr; ++index) {
        XIXMLElement* next = e->NextElement();
        if (index % 97 == 0) {
            r->RemoveNode(e->AsNode());
            kept.push_back(e);
        }
        e = next;
    }
    tree.reset();

    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i]->GetFirstAttribute()->GetValue(), std::to_string(97 * i));
        EXPECT_STREQ(kept[i]->GetData()->GetData(), "t");
        kept[i]->GetData()->SetData("edited");
        EXPECT_STREQ(kept[i]->GetData()->GetData(), "edited");
    }
    for (std::size_t i = kept.size(); i-- > 0;) kept[i]->Destroy();
}
