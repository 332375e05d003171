// CDATA sections written by host providers, and failures raised from inside
// the tree.

#include "WriterFixtures.h"

#include <TestStreams.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace writertest {
namespace {

TEST(WriterProvider, WritesThroughTheStreamItIsHandedAtItsDepth) {
    XCXMLTree tree;
    ProviderLog log;
    XIXMLElement* inner = tree.GetRoot()->AddElement("a")->AddElement("b");
    XIXMLData* data = inner->AddData(new BodyProvider("x<&]]>", true, &log));
    inner->AddComment("after");

    testsupport::StringWriteStream stream;
    tree.Write(&stream);
    // The body is not escaped, and the next node starts a new line.
    EXPECT_EQ(stream.text, "<a>\n\t<b><![CDATA[x<&]]>]]>\n\t\t<!--after-->\n\t</b>\n</a>\n");
    EXPECT_EQ(log.calls, 1);
    EXPECT_EQ(log.stream, &stream);
    EXPECT_EQ(log.depth, 2);
    EXPECT_EQ(log.node, data->AsNode());
}

TEST(WriterProvider, FalseRaisesAfterItsOutputAndBeforeTheEnd) {
    XCXMLTree tree;
    tree.GetRoot()->AddElement("e")->AddData(new BodyProvider("partial", false, nullptr));
    testsupport::StringWriteStream stream;
    try {
        tree.Write(&stream);
        FAIL() << "nothing raised";
    } catch (const Corvane::XCException& e) {
        EXPECT_STRNE(e.what(), "Can't write character");
    }
    EXPECT_EQ(stream.text, "<e><![CDATA[partial");
}

class ThrowingProvider : public XIXMLData::IXMLCData {
public:
    bool Write(XIXMLWriteStream*, int, const XIXMLNode*) override {
        throw std::logic_error("provider broke");
    }
    IXMLCData* Copy() override { return new ThrowingProvider; }
};

TEST(WriterProvider, ItsExceptionsPassThroughUnchanged) {
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("a")->AddElement("e");
    e->AddData(new ThrowingProvider);
    testsupport::StringWriteStream stream;
    EXPECT_THROW(
        try { tree.Write(&stream); } catch (const std::logic_error& error) {
            EXPECT_STREQ(error.what(), "provider broke");
            throw;
        },
        std::logic_error);
    EXPECT_EQ(stream.text, "<a>\n\t<e><![CDATA[");
}

}  // namespace
}  // namespace writertest
