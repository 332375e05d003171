// One document a million levels deep through every operation that walks a
// tree: building, writing (which must not allocate either), parsing in both
// modes, reading, copying and destroying, and deleting the partial tree that
// a failure at the bottom leaves. None may recurse: the stack could not hold
// a million frames.

#include <gtest/gtest.h>

#include "EventLog.h"

using namespace testsupport;

namespace {

constexpr int kDepth = 1000000;

// Written as an empty text, which keeps the next tag on the line: one before
// and one after each child element keep the document on one line, so that it
// grows linearly with the depth instead of with its square.
struct Spacer : XCXMLNode {
    using XCXMLNode::XCXMLNode;
    void WriteTo(XCXMLWriter* writer, int depth) const override {
        static const XCXMLData empty(nullptr, "");
        empty.AsNode()->WriteTo(writer, depth);
    }
    XIXMLNode* Copy(XIXMLElement* parent) const override { return new Spacer(parent); }
};

// The levels below `top`, named as `document` names them: every hundredth has
// an attribute, and only the deepest holds text.
void ExpectLevels(const XIXMLElement* top, const XCXMLTree& document) {
    const XCXMLKey name = document.GetKey("n"), attribute = document.GetKey("a");
    int depth = 0;
    for (const XIXMLElement* next = top; next != nullptr; next = next->FindFirstElement(), ++depth) {
        top = next;
        ASSERT_TRUE(top->GetName() == name) << depth;
        ASSERT_EQ(top->TestAttribute(attribute, "v"), depth % 100 == 0) << depth;
        ASSERT_EQ(top->GetData() != nullptr, depth == kDepth - 1) << depth;
    }
    EXPECT_EQ(depth, kDepth);
    EXPECT_STREQ(top->GetData()->GetData(), "bottom");
}

// What Write gives from level `from` down; the whole document ends the line.
std::string Expected(int from) {
    std::string text;
    for (int level = from; level < kDepth; ++level) text += level % 100 == 0 ? "<n a=\"v\">" : "<n>";
    text += "bottom";
    for (int level = from; level < kDepth; ++level) text += "</n>";
    return from == 0 ? text + "\n" : text;
}

std::string Write(const XIXMLElement* from) {
    std::string text;
    text.reserve(8 * kDepth);
    XCXMLStringWriteStream stream(text);
    const std::size_t before = AllocationCount();
    from->Write(&stream);
    EXPECT_EQ(AllocationCount(), before);
    return text;
}

}  // namespace

TEST(Deep, AMillionLevelsThroughEveryOperation) {
    auto* source = new XCXMLTree;
    // Named by key: a name given as text is looked up from the root.
    const XCXMLKey name = source->GetKey("n"), attribute = source->GetKey("a");
    std::vector<XIXMLElement*> levels;
    XIXMLElement* parent = source->GetRoot();
    for (int level = 0; level < kDepth; ++level) {
        new Spacer(parent);
        levels.push_back(parent->AddElement(name));
        new Spacer(parent);
        parent = levels.back();
        if (level % 100 == 0) parent->AddAttribute(attribute, "v");
    }
    parent->AddData("bottom");
    EXPECT_TRUE(parent->GetKey("n") == name);  // a name given as text, from the bottom

    const std::string text = Write(source->GetRoot());
    EXPECT_TRUE(text == Expected(0));  // no 7 MB diff
    EXPECT_TRUE(Write(levels[kDepth / 2]) == Expected(kDepth / 2));

    XCXMLTree target;
    XIXMLNode* copy = levels[0]->AsNode()->Copy(target.GetRoot());
    delete source;
    ExpectLevels(target.GetRoot()->FindFirstElement(), target);
    EXPECT_TRUE(Write(target.GetRoot()) == text);
    copy->Destroy();  // a deep element, not the whole document
    EXPECT_EQ(target.GetRoot()->GetFirstNode(), nullptr);

    for (Mode mode : {Mode::Parse, Mode::Fast}) {
        std::string expected;
        for (int level = 0; level < kDepth; ++level) expected += level % 100 == 0 ? "open n\nattr a=v\n" : "open n\n";
        expected += "data bottom";
        for (int level = kDepth; level > 0; --level) expected += "\nclose " + std::to_string(level);
        EXPECT_TRUE(Log(text, mode) == expected);
    }

    CXMLTreeReader reader;
    const std::unique_ptr<XCXMLTree> read = ReadTree(reader, text);
    ExpectLevels(read->GetRoot()->FindFirstElement(), *read);

    // The last end tag missing: the partial tree is deleted, the reader goes on.
    EXPECT_NE(Raised([&] { ReadTree(reader, text.substr(0, text.size() - 5)); }), "");
    EXPECT_EQ(Outcome(reader, "<b/>"), "<b/>\n");
}
