// Documents read into trees and written back, what a CDATA handler makes of
// a section, and the refusals a reader gives and recovers from.

#include <gtest/gtest.h>

#include "TestStreams.h"

using namespace testsupport;

namespace {

// The document read and written back, or the message it was refused with;
// either way the reader must then read the next document.
std::string Reread(CXMLTreeReader& reader, const std::string& text) {
    const std::string result = Outcome(reader, text);
    EXPECT_EQ(Outcome(reader, "<ok/>"), "<ok/>\n") << "not reusable after " << text;
    return result;
}

enum class Handling { None, Attach, Ignore, Refuse, NestedRead };

struct Unwatched : IXMLPositionMap {
    void MapElement(XIXMLElement*, const CXMLPosition&) override {}
};

// Attaches CDATA bodies, ignores them, refuses them, or tries a ReadTree
// of its own from inside.
class CDataHandler : public BodyReader {
public:
    bool Read(XIXMLElement* element, XIXMLReadStream* stream) override {
        ++calls;
        if (handling == Handling::NestedRead) {
            EXPECT_EQ(Outcome(*owner, "<x/>"), "error: This tree reader is already reading a document");
        }
        if (handling == Handling::Attach) return BodyReader::Read(element, stream);
        return handling != Handling::Refuse;
    }

    Handling handling;
    int calls = 0;
    CXMLTreeReader* owner;
};

}  // namespace

TEST(TreeReader, ReadsAndWritesBackOrRefusesWithAMessage) {
    struct Case {
        const char* input;
        const char* outcome;
        Handling cdata;  // the CDATA handler, if any
    };
    const Case cases[] = {
        {"  <a></a>  ", "<a/>\n", Handling::None},
        {"<a x=\"1\">t<b/></a>", "<a x=\"1\">t<b/>\n</a>\n", Handling::None},
        {"<a><b/>t</a>", "<a>\n\t<b/>t</a>\n", Handling::None},
        {"<!DOCTYPE r><r/>", "<!DOCTYPE r []>\n<r/>\n", Handling::None},
        {"<!DOCTYPE r SYSTEM \"r&<\" [<!ENTITY e \"&\">]><r/>",
         "<!DOCTYPE r SYSTEM \"r&<\" [<!ENTITY e \"&\">]>\n<r/>\n", Handling::None},
        {"<!DOCTYPE r PUBLIC 'p' 's'><r/>", "<!DOCTYPE r PUBLIC \"p\" \"s\" []>\n<r/>\n", Handling::None},
        {"<a>  hi  </a>", "<a>hi  </a>\n", Handling::None},
        {"<a>\n\t  \n</a>", "<a/>\n", Handling::None},
        // Values escape " & < > but not the apostrophe, text & < > only;
        // comments and processing instructions are not escaped.
        {"<a t=\"&quot;&lt;&gt;&amp;'\t\">&amp;&#65;&#xe9;\"'&lt;]]&gt;</a>",
         "<a t=\"&quot;&lt;&gt;&amp;'\t\">&amp;A\xC3\xA9\"'&lt;]]&gt;</a>\n", Handling::None},
        {"<!--<&>\"--><?p a<b&c>\"?><?t?><r/>", "<!--<&>\"-->\n<?p a<b&c>\"?>\n<?t ?>\n<r/>\n", Handling::None},
        {"<?xml version=\"1.0\"?>\n<!-- c -->\n<r a=\"1\" b=\"2\"><x>1</x><!--in--></r>\n<!--e--><?end?>",
         "<?xml version=\"1.0\"?>\n<!-- c -->\n<r\n\t a=\"1\"\n\t b=\"2\">\n\t<x>1</x>\n\t<!--in-->\n</r>\n"
         "<!--e-->\n<?end ?>\n",
         Handling::None},
        // Children after comments, at every level.
        {"<r><a/><!--1--><b x=\"1\" y=\"2\"><!--2--><c/><d/></b><!--3--><e/></r>",
         "<r>\n\t<a/>\n\t<!--1-->\n\t<b\n\t\t x=\"1\"\n\t\t y=\"2\">\n\t\t<!--2-->\n\t\t<c/>\n\t\t<d/>\n\t</b>\n"
         "\t<!--3-->\n\t<e/>\n</r>\n",
         Handling::None},
        // Two names of equal hash keep keys of their own.
        {"<r fihknb=\"1\" npjmld=\"2\"/>", "<r\n\t fihknb=\"1\"\n\t npjmld=\"2\"/>\n", Handling::None},
        // Long names alike in length and in their first and last eight bytes.
        {"<r head0000-one-0000tail=\"1\" head0000-two-0000tail=\"2\"/>",
         "<r\n\t head0000-one-0000tail=\"1\"\n\t head0000-two-0000tail=\"2\"/>\n", Handling::None},
        // ... or alike in those bytes but not in length, which share a
        // place among the recent names.
        {"<r><head0000x0000tail/><head0000xx0000tail/><head0000x0000tail/></r>",
         "<r>\n\t<head0000x0000tail/>\n\t<head0000xx0000tail/>\n\t<head0000x0000tail/>\n</r>\n", Handling::None},
        // ... and differing in one byte of the first or of the last sixteen
        // only, or far inside a name longer than thirty-two bytes.
        {"<r><head0000-1-0000000000000tail/><head0000-2-0000000000000tail/><head0000000000000010000000tail/>"
         "<head0000000000000020000000tail/><head0000000000000000-1-000000000000000tail/>"
         "<head0000000000000000-2-000000000000000tail/></r>",
         "<r>\n\t<head0000-1-0000000000000tail/>\n\t<head0000-2-0000000000000tail/>\n"
         "\t<head0000000000000010000000tail/>\n\t<head0000000000000020000000tail/>\n"
         "\t<head0000000000000000-1-000000000000000tail/>\n\t<head0000000000000000-2-000000000000000tail/>\n</r>\n",
         Handling::None},
        {"<a>t<b/>u</a>", "error: Only one data node for an element", Handling::None},
        {"<a><!DOCTYPE x></a>", "error: DOCTYPE declaration inside an element", Handling::None},
        {"<a>", "error: End of input inside an element", Handling::None},
        {"<a>&unknown;</a>", "error: Unrecognized entity", Handling::None},
        // Without a handler a CDATA section becomes text; a handler decides.
        {"<a><![CDATA[x<y&z>]]></a>", "<a>x&lt;y&amp;z&gt;</a>\n", Handling::None},
        {"<a><![CDATA[x]]y]>z]]></a>", "<a><![CDATA[x]]y]>z]]>\n</a>\n", Handling::Attach},
        // The section is written first and ends no line, so the element after
        // it still finds the first line end to be skipped.
        {"<![CDATA[top]]><a/>", "<![CDATA[top]]><a/>\n", Handling::Attach},
        {"<a><![CDATA[ignored]]>  <b/></a>", "<a>\n\t<b/>\n</a>\n", Handling::Ignore},
        {"<a><![CDATA[x]]></a>", "error: CDATA reader refused the section", Handling::Refuse},
        // A ReadTree from inside the handler is refused; the outer one goes on.
        {"<a><![CDATA[x]]><b/></a>", "<a>\n\t<b/>\n</a>\n", Handling::NestedRead},
    };
    for (const Case& c : cases) {
        CDataHandler handler;
        CXMLTreeReader reader(c.cdata == Handling::None ? nullptr : &handler);
        handler.handling = c.cdata;
        handler.owner = &reader;
        const std::string once = Reread(reader, c.input);
        EXPECT_EQ(once, c.outcome) << c.input;
        EXPECT_EQ(handler.calls, c.cdata == Handling::None ? 0 : 1) << c.input;
        // What the writer produces reads back to the same document.
        if (once.rfind("error: ", 0) != 0) {
            EXPECT_EQ(Reread(reader, once), once) << c.input;
        }
        // A reader that a position map watches looks at each list before it
        // appends, where one alone knows where its nodes go: the same trees.
        if (c.cdata == Handling::None) {
            Unwatched map;
            CXMLTreeReader watched;
            watched.SetPositionMap(&map);
            EXPECT_EQ(Outcome(watched, c.input), c.outcome) << c.input;
        }
    }
}

// A NUL byte continues a name, but ends the text the reader is handed; long
// names alike up to it, met again, are the same key and read no further.
TEST(TreeReader, NamesHoldingANulByteEndThere) {
    const std::string name("abcdefghijklmnopqrstu\0vwxyz", 27);
    const std::string other("abcdefghijklmnopqrstu\0vwxyZ", 27);
    CXMLTreeReader reader;
    const std::string text = "<r><" + name + "/><" + other + " " + name + "=\"1\"/><" + name + "/></r>";
    EXPECT_EQ(Outcome(reader, text),
              "<r>\n\t<abcdefghijklmnopqrstu/>\n\t<abcdefghijklmnopqrstu abcdefghijklmnopqrstu=\"1\"/>\n"
              "\t<abcdefghijklmnopqrstu/>\n</r>\n");
}

TEST(TreeReader, ParsingOutsideReadTreeRaises) {
    CXMLTreeReader reader;
    for (const char* text : {"<a/>", "<!DOCTYPE a><a/>", "<!--c--><a/>", "<?pi?><a/>", "<![CDATA[x]]><a/>"}) {
        StringReadStream stream(text), fast(text);
        EXPECT_EQ(Raised([&] { reader.Parse(&stream); }), "No document is being read: use ReadTree") << text;
        EXPECT_EQ(Raised([&] { reader.FastParse(&fast); }), "No document is being read: use ReadTree") << text;
    }
    // Also for a derived reader whose OpenNode answers null: the close finds no element.
    struct Unopened : CXMLTreeReader {
        const void* OpenNode(const char*) override { return nullptr; }
    } unopened;
    StringReadStream stream("<a/>");
    EXPECT_THROW(unopened.Parse(&stream), std::exception);
}
