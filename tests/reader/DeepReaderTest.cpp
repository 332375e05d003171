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

// Depth below `top`; only the deepest element may hold text, "deepest".
int DepthOf(const XIXMLElement* top) {
    int depth = 1;
    for (; top->FindFirstElement() != nullptr; top = top->FindFirstElement(), ++depth) {
        if (top->GetData() != nullptr) ADD_FAILURE() << "text at level " << depth;
    }
    EXPECT_STREQ(top->GetData()->GetData(), "deepest");
    return depth;
}

}  // namespace

TEST(DeepReader, ReadsCopiesAndDeletesAMillionLevelsAndAPartialTree) {
    // <a i="1"><a>...<a>deepest</a>...</a></a>, every thousandth level with an attribute.
    std::string text;
    for (int level = 0; level < kDepth; ++level) text += level % 1000 == 0 ? "<a i=\"1\">" : "<a>";
    text += "deepest";
    for (int level = 0; level < kDepth; ++level) text += "</a>";
    CXMLTreeReader reader;
    XCXMLMemoryReadStream stream(text);
    std::unique_ptr<XCXMLTree> tree(reader.ReadTree(&stream));
    ASSERT_NE(tree->GetRoot()->FindFirstElement(), nullptr);
    EXPECT_EQ(DepthOf(tree->GetRoot()->FindFirstElement()), kDepth);

    std::unique_ptr<XCXMLTree> copy(new XCXMLTree);
    tree->GetRoot()->FindFirstElement()->AsNode()->Copy(copy->GetRoot());
    tree.reset();  // the copy owns its own names and nodes
    const XIXMLElement* copied = copy->GetRoot()->FindFirstElement();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(DepthOf(copied), kDepth);
    EXPECT_TRUE(copied->TestAttribute("i", "1"));
    EXPECT_TRUE(copied->FindFirstElement()->FindAttribute("i") == nullptr);
    copy.reset();

    // The last end tag missing: the partial tree is deleted, the reader goes on.
    XCXMLMemoryReadStream cut(text.data(), text.size() - 4);
    EXPECT_THROW(delete reader.ReadTree(&cut), std::exception);
    const std::string smallText = "<b/>";
    XCXMLMemoryReadStream small(smallText);
    EXPECT_NE(std::unique_ptr<XCXMLTree>(reader.ReadTree(&small))->GetRoot()->FindElement("b"), nullptr);
}
