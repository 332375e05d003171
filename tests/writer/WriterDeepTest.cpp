// A million nested elements, written with both entry points on the ordinary
// stack, without allocating.
//
// With plain nesting the indentation alone would be quadratic in the depth,
// so every element carries a host node before and after its child that
// forwards to an empty text node: the text keeps the next tag on its line,
// and the document becomes <a><a>...<a/>...</a></a> with no line ends.

#include "WriterFixtures.h"

#include <gtest/gtest.h>

#include <vector>

namespace writertest {
namespace {

constexpr std::size_t kDepth = 1000000;

class JoinNode : public XIXMLNode {
public:
    explicit JoinNode(const XIXMLNode* emptyText) : emptyText_(emptyText) {}

    void Destroy() override {
        if (parent_ != nullptr) parent_->RemoveNode(this);
    }
    XIXMLNode* GetNext() const override { return next_; }
    void SetNext(XIXMLNode* next) override { next_ = next; }
    void WriteTo(XCXMLWriter* writer, int depth) const override { emptyText_->WriteTo(writer, depth); }
    XIXMLElement* GetParent() const override { return parent_; }
    void SetParent(XIXMLElement* parent) override { parent_ = parent; }
    unsigned int Index() const override { return parent_ ? parent_->IndexOf(this) : 0xFFFFFFFFu; }
    XIXMLNode* Copy(XIXMLElement*) const override { return nullptr; }

private:
    const XIXMLNode* emptyText_;
    XIXMLNode* next_ = nullptr;
    XIXMLElement* parent_ = nullptr;
};

class DeepChain : public ::testing::Test {
protected:
    void SetUp() override {
        joins_.reserve(2 * kDepth);
        chain_.reserve(kDepth);
        const XCXMLKey a = tree_.GetKey("a");
        XIXMLElement* element = tree_.GetRoot()->AddElement(a);
        for (std::size_t level = 0;; ++level) {
            chain_.push_back(element);
            if (level + 1 == kDepth) break;
            element->AddNode(&joins_.emplace_back(emptyText_.AsNode()));
            XIXMLElement* child = element->AddElement(a);
            element->AddNode(&joins_.emplace_back(emptyText_.AsNode()));
            element = child;
        }
    }

    // Bottom up, so that no destructor has to recurse through the chain.
    void TearDown() override {
        while (!chain_.empty()) {
            XIXMLElement* element = chain_.back();
            while (XIXMLNode* join = element->GetFirstNode()) element->RemoveNode(join);
            element->Destroy();
            chain_.pop_back();
        }
    }

    // 7 * count - 3 bytes.
    static std::string Nested(std::size_t count) {
        std::string text;
        text.reserve(7 * count);
        for (std::size_t i = 1; i < count; ++i) text += "<a>";
        text += "<a/>";
        for (std::size_t i = 1; i < count; ++i) text += "</a>";
        return text;
    }

    std::string Write(const XIXMLElement* element, bool wholeTree) {
        AppendStream stream;
        stream.text.reserve(7 * kDepth + 8);
        const std::size_t before = AllocationCount();
        if (wholeTree) {
            tree_.Write(&stream);
        } else {
            element->Write(&stream);
        }
        EXPECT_EQ(AllocationCount(), before);
        return std::move(stream.text);
    }

    XCXMLTree tree_;
    XCXMLData emptyText_{nullptr, ""};
    std::vector<JoinNode> joins_;
    std::vector<XIXMLElement*> chain_;
};

TEST_F(DeepChain, WrittenByBothEntryPoints) {
    const std::string document = Write(nullptr, true);
    ASSERT_EQ(document.size(), 7 * kDepth - 2);
    EXPECT_TRUE(document == Nested(kDepth) + "\n");

    const std::string top = Write(chain_.front(), false);
    ASSERT_EQ(top.size(), 7 * kDepth - 3);
    EXPECT_TRUE(top == Nested(kDepth));

    // The walk ends at the element it started from, though that element has
    // a sibling after it.
    const std::size_t middle = kDepth / 2;
    const std::string part = Write(chain_[middle], false);
    ASSERT_EQ(part.size(), 7 * (kDepth - middle) - 3);
    EXPECT_TRUE(part == Nested(kDepth - middle));
}

}  // namespace
}  // namespace writertest
