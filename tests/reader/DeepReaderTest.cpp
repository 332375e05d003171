// Reading a document nested far deeper than the stack could hold as
// recursion: the reader, the copy of what it built, and the deletion of both,
// including the partial tree that a failure deep down leaves to delete.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace CorvaneXML;

namespace {

constexpr int kDepth = 1000000;

// <a i="1"><a>...<a>deepest</a>...</a></a>, every thousandth level with an
// attribute; built once for both tests.
const std::string& DeepText() {
    static const std::string text = [] {
        std::string built;
        built.reserve(kDepth * 7 + 1000);
        for (int level = 0; level < kDepth; ++level) built += level % 1000 == 0 ? "<a i=\"1\">" : "<a>";
        built += "deepest";
        for (int level = 0; level < kDepth; ++level) built += "</a>";
        return built;
    }();
    return text;
}

// Depth below `top`, checking that only the deepest element holds text.
int DepthOf(const XIXMLElement* top) {
    int depth = 1;
    for (const XIXMLElement* element = top; element->FindFirstElement() != nullptr;
         element = element->FindFirstElement()) {
        if (element->GetData() != nullptr) ADD_FAILURE() << "text at level " << depth;
        ++depth;
    }
    return depth;
}

const XIXMLElement* Deepest(const XIXMLElement* top) {
    while (const XIXMLElement* child = top->FindFirstElement()) top = child;
    return top;
}

}  // namespace

TEST(DeepReader, ReadsCopiesAndDeletesAMillionLevels) {
    XCXMLMemoryReadStream stream(DeepText());
    CXMLTreeReader reader;
    std::unique_ptr<XCXMLTree> tree(reader.ReadTree(&stream));
    const XIXMLElement* top = tree->GetRoot()->FindFirstElement();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(DepthOf(top), kDepth);
    EXPECT_STREQ(Deepest(top)->GetData()->GetData(), "deepest");

    std::unique_ptr<XCXMLTree> copy(new XCXMLTree);
    top->AsNode()->Copy(copy->GetRoot());
    const XIXMLElement* copied = copy->GetRoot()->FindFirstElement();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(DepthOf(copied), kDepth);
    EXPECT_STREQ(Deepest(copied)->GetData()->GetData(), "deepest");
    EXPECT_TRUE(copied->TestAttribute("i", "1"));
    EXPECT_TRUE(copied->FindFirstElement()->FindAttribute("i") == nullptr);

    tree.reset();  // the copy owns its own names and nodes
    EXPECT_EQ(DepthOf(copy->GetRoot()->FindFirstElement()), kDepth);
    copy.reset();

    // The reader is ready for the next document.
    const std::string smallText = "<b/>";
    XCXMLMemoryReadStream small(smallText);
    std::unique_ptr<XCXMLTree> next(reader.ReadTree(&small));
    EXPECT_NE(next->GetRoot()->FindElement("b"), nullptr);
}

TEST(DeepReader, FailureAtTheBottomDeletesThePartialTree) {
    // The last end tag is missing.
    XCXMLMemoryReadStream stream(DeepText().data(), DeepText().size() - 4);
    CXMLTreeReader reader;
    EXPECT_THROW(delete reader.ReadTree(&stream), std::exception);
    const std::string smallText = "<b/>";
    XCXMLMemoryReadStream small(smallText);
    std::unique_ptr<XCXMLTree> next(reader.ReadTree(&small));
    EXPECT_NE(next->GetRoot()->FindElement("b"), nullptr);
}
