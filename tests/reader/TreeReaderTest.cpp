#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <memory>
#include <stdexcept>
#include <string>

using namespace CorvaneXML;
using testsupport::StringReadStream;
using testsupport::StringWriteStream;

namespace {

std::unique_ptr<XCXMLTree> Read(CXMLTreeReader& reader, const std::string& text) {
    StringReadStream stream(text);
    return std::unique_ptr<XCXMLTree>(reader.ReadTree(&stream));
}

std::string Written(const XCXMLTree& tree) {
    StringWriteStream out;
    tree.Write(&out);
    return out.text;
}

std::string ErrorOf(CXMLTreeReader& reader, const std::string& text) {
    try {
        Read(reader, text);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "<no error>";
}

// Holds a CDATA body and writes it back verbatim.
class BodyProvider : public XIXMLData::IXMLCData {
public:
    explicit BodyProvider(std::string body) : body_(std::move(body)) {}
    bool Write(XIXMLWriteStream* stream, int, const XIXMLNode*) override {
        return stream->Write(body_.data(), body_.size()) == body_.size();
    }
    IXMLCData* Copy() override { return new BodyProvider(body_); }

private:
    std::string body_;
};

class CDataHandler : public IXMLCDataReader {
public:
    enum class Mode { Attach, Ignore, Refuse, NestedRead };
    explicit CDataHandler(Mode mode) : mode_(mode) {}

    bool Read(XIXMLElement* element, XIXMLReadStream* stream) override {
        ++calls;
        switch (mode_) {
            case Mode::Attach: {
                std::string body;
                char chunk[3];  // small reads: the body must not depend on read sizes
                for (std::uint64_t n; (n = stream->Read(chunk, sizeof chunk)) > 0;) body.append(chunk, n);
                element->AddData(new BodyProvider(body));
                return true;
            }
            case Mode::Ignore:
                return true;
            case Mode::Refuse:
                return false;
            case Mode::NestedRead:
                try {
                    StringReadStream inner("<x/>");
                    delete owner->ReadTree(&inner);
                } catch (const std::exception&) {
                    nestedRefused = true;
                }
                return true;
        }
        return false;
    }

    int calls = 0;
    bool nestedRefused = false;
    CXMLTreeReader* owner = nullptr;

private:
    Mode mode_;
};

}  // namespace

TEST(TreeReader, RoundTripsGiveTheWrittenForm) {
    struct Case {
        const char* input;
        const char* written;
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
    };
    CXMLTreeReader reader;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        auto tree = Read(reader, c.input);
        const std::string once = Written(*tree);
        EXPECT_EQ(once, c.written);
        // What the writer produces reads back to the same document.
        EXPECT_EQ(Written(*Read(reader, once)), once);
    }
}

TEST(TreeReader, RefusedDocumentsRaiseTheirMessageAndLeaveTheReaderUsable) {
    struct Case {
        const char* input;
        const char* message;
    };
    const Case cases[] = {
        {"<a>t<b/>u</a>", "Only one data node for an element"},
        {"<a><!DOCTYPE x></a>", "CvThrow::IfFalse"},
        {"<a>", "CvThrow::SiFaux"},
        {"", "XML file must begin with <"},
        {"<a>&unknown;</a>", "Unrecognized entity"},
        {"<a/><b/>", "Only comments and processing instructions accepted here"},
    };
    CXMLTreeReader reader;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(ErrorOf(reader, c.input), c.message);
        EXPECT_EQ(Written(*Read(reader, "<ok/>")), "<ok/>\n");
    }
}

TEST(TreeReader, StreamFailureLeavesUnchangedAndNothingBehind) {
    CXMLTreeReader reader;
    std::string big = "<r>";
    for (int i = 0; i < 500; ++i) big += "<e a=\"1\">text</e>";
    big += "</r>";
    StringReadStream stream(big);
    stream.throwAt = 4000;
    EXPECT_THROW(reader.ReadTree(&stream), std::runtime_error);
    EXPECT_EQ(Written(*Read(reader, "<ok/>")), "<ok/>\n");
}

TEST(TreeReader, DocumentStructureAndSharedKeys) {
    CXMLTreeReader reader;
    auto tree = Read(reader, "<?xml version=\"1.0\"?><r><x a=\"1\" a=\"2\"/>text<x/></r>");
    XIXMLElement* root = tree->GetRoot();
    ASSERT_NE(root->GetFirstNode()->AsPI(), nullptr);
    XIXMLElement* r = root->FindFirstElement();
    ASSERT_NE(r, nullptr);
    XIXMLElement* first = r->FindFirstElement();
    XIXMLElement* second = first->NextSameElement();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->GetName(), second->GetName());
    EXPECT_EQ(first->GetName(), tree->GetKey("x"));
    EXPECT_EQ(r->GetData()->AsNode()->Index(), 1u);
    XIXMLAttribute* a = first->GetFirstAttribute();
    ASSERT_NE(a->GetNext(), nullptr);
    EXPECT_EQ(a->GetName(), a->GetNext()->GetName());
    EXPECT_STREQ(a->GetNext()->GetValue(), "2");

    auto other = Read(reader, "<x/>");
    EXPECT_NE(other->GetRoot()->FindFirstElement()->GetName(), first->GetName());
}

TEST(TreeReader, CDataHandlerDecidesWhatTheSectionBecomes) {
    {
        CDataHandler handler(CDataHandler::Mode::Attach);
        CXMLTreeReader reader(&handler);
        auto tree = Read(reader, "<a><![CDATA[x]]y]>z]]></a>");
        EXPECT_EQ(handler.calls, 1);
        EXPECT_EQ(Written(*tree), "<a><![CDATA[x]]y]>z]]>\n</a>\n");
    }
    {
        CDataHandler handler(CDataHandler::Mode::Attach);
        CXMLTreeReader reader(&handler);
        auto tree = Read(reader, "<![CDATA[top]]><a/>");
        // The section is the first thing written and calls no line end, so the
        // element after it still finds the first line end to be skipped.
        EXPECT_EQ(Written(*tree), "<![CDATA[top]]><a/>\n");
    }
    {
        CDataHandler handler(CDataHandler::Mode::Ignore);
        CXMLTreeReader reader(&handler);
        auto tree = Read(reader, "<a><![CDATA[ignored]]>  <b/></a>");
        EXPECT_EQ(Written(*tree), "<a>\n\t<b/>\n</a>\n");
    }
    {
        CDataHandler handler(CDataHandler::Mode::Refuse);
        CXMLTreeReader reader(&handler);
        EXPECT_EQ(ErrorOf(reader, "<a><![CDATA[x]]></a>"), "CvThrow::IfFalse");
        EXPECT_EQ(Written(*Read(reader, "<ok/>")), "<ok/>\n");
    }
}

TEST(TreeReader, NestedReadTreeIsRefusedAndOuterReadGoesOn) {
    CDataHandler handler(CDataHandler::Mode::NestedRead);
    CXMLTreeReader reader(&handler);
    handler.owner = &reader;
    auto tree = Read(reader, "<a><![CDATA[x]]><b/></a>");
    EXPECT_TRUE(handler.nestedRefused);
    EXPECT_EQ(Written(*tree), "<a>\n\t<b/>\n</a>\n");
}

TEST(TreeReader, ParsingOutsideReadTreeRaises) {
    CXMLTreeReader reader;
    for (const char* text : {"<a/>", "<!DOCTYPE a><a/>", "<!--c--><a/>", "<?pi?><a/>"}) {
        SCOPED_TRACE(text);
        StringReadStream stream(text);
        EXPECT_THROW(reader.Parse(&stream), std::exception);
        StringReadStream fast(text);
        EXPECT_THROW(reader.FastParse(&fast), std::exception);
    }
    EXPECT_EQ(Written(*Read(reader, "<ok/>")), "<ok/>\n");
}
