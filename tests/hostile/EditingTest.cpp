// Editing shapes that once walked whole lists or climbed to the root, checked
// against what a plain model of the lists says.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace CorvaneXML;

std::vector<XIXMLNode*> Children(const XIXMLElement* element) {
    std::vector<XIXMLNode*> children;
    for (XIXMLNode* node = element->GetFirstNode(); node; node = node->GetNext()) children.push_back(node);
    return children;
}

// Random appends, removals, moves and lookups by position on a list that
// holds library nodes and host nodes, and on an attribute list: the lists
// must always be the models.
TEST(Editing, ListsFollowTheModel) {
    XCXMLTree tree;
    XIXMLElement* list = tree.GetRoot()->AddElement("list");
    std::vector<XIXMLNode*> model;
    std::vector<XIXMLAttribute*> attributes;
    std::mt19937 random(7);
    for (int step = 0; step < 4000; ++step) {
        const std::size_t size = model.size();
        std::size_t pick = size ? random() % size : 0;
        switch (random() % 9) {
            case 7: attributes.push_back(list->AddAttribute("a", "v")); break;
            case 8:  // the last one, or any
                if (attributes.empty()) break;
                pick = random() % 2 ? attributes.size() - 1 : random() % attributes.size();
                attributes[pick]->Destroy();
                attributes.erase(attributes.begin() + pick);
                break;
            case 0: model.push_back(list->AddElement("e")->AsNode()); break;
            case 1: model.push_back(list->AddComment("c")->AsNode()); break;
            case 2:
                model.push_back(new testsupport::Node("h"));
                list->AddNode(model.back());
                break;
            case 3:  // from the end, as a stack pops
                if (!size) break;
                model.back()->Destroy();
                model.pop_back();
                break;
            case 4:
                if (!size) break;
                list->RemoveNode(model[pick]);
                model[pick]->Destroy();
                model.erase(model.begin() + pick);
                break;
            case 5: {
                if (!size) break;
                XIXMLNode* before = random() % 4 ? model[random() % size] : nullptr;
                XIXMLNode* node = model[pick];
                list->MoveNode(node, before);
                if (node == before) break;
                model.erase(model.begin() + pick);
                model.insert(before ? std::find(model.begin(), model.end(), before) : model.end(), node);
                break;
            }
            default:
                for (std::size_t i = 0, elements = 0; i < size; ++i) {
                    ASSERT_EQ(model[i]->Index(), i);
                    if (model[i]->AsElement() == nullptr) continue;
                    ASSERT_EQ(list->FindElementByIndex(static_cast<unsigned>(elements++)), model[i]->AsElement());
                }
        }
        ASSERT_EQ(Children(list), model) << "step " << step;
        std::vector<XIXMLAttribute*> listed;
        for (XIXMLAttribute* a = list->GetFirstAttribute(); a; a = a->GetNext()) listed.push_back(a);
        ASSERT_EQ(listed, attributes) << "step " << step;
    }
}

// An element of the library's own answers GetKey without a climb, and must
// answer exactly as the climb would, whatever happened to the chain above it.
struct Relay : XCXMLElement {
    Relay(const XCXMLTree& keys) : XCXMLElement(nullptr, XCXMLKey()), keys(keys) {}
    const XCXMLKey& GetKey(const char* name) const override { return keys.GetKey(name); }
    const XCXMLTree& keys;
};

TEST(Editing, DeepElementsInternWhereTheClimbWould) {
    auto tree = std::make_unique<XCXMLTree>();
    XCXMLTree other;
    XIXMLElement* chain[300];
    chain[0] = tree->GetRoot()->AddElement("top");
    for (int i = 1; i < 300; ++i) chain[i] = chain[i - 1]->AddElement(("e" + std::to_string(i)).c_str());
    XIXMLElement* mid = chain[100];
    XIXMLElement* deep = chain[299];
    auto keyOf = [&](XIXMLElement* e) { return static_cast<const char*>(e->GetKey("k")); };
    EXPECT_EQ(keyOf(deep), tree->GetKey("k"));
    chain[99]->RemoveNode(mid->AsNode());
    EXPECT_EQ(testsupport::Raised([&] { deep->AddElement("x"); }), "XCXMLElement::GetKey - element isn't in a tree");
    chain[99]->AddNode(mid->AsNode());
    EXPECT_EQ(keyOf(deep->AddElement("x")), tree->GetKey("k"));
    // A host's element in the chain answers for everything below it.
    chain[99]->RemoveNode(mid->AsNode());
    Relay* relay = new Relay(other);
    chain[99]->AddNode(relay->AsNode());
    relay->AddNode(mid->AsNode());
    EXPECT_EQ(keyOf(deep), other.GetKey("k"));
    // Moved into another document, which outlives the first.
    relay->RemoveNode(mid->AsNode());
    XIXMLElement* adopter = other.GetRoot()->AddElement("adopter");
    adopter->AddNode(mid->AsNode());
    mid->AsNode()->Copy(adopter);  // names are read from the first document: before it goes
    tree.reset();
    EXPECT_EQ(keyOf(deep), other.GetKey("k"));
    EXPECT_EQ(deep->FindElement("x"), nullptr);  // its child holds a key of the first document
    EXPECT_EQ(keyOf(deep->AddElement("y")), other.GetKey("k"));
    // Taken out of a document that is gone: no tree any more.
    adopter->RemoveNode(mid->AsNode());
    EXPECT_EQ(testsupport::Raised([&] { keyOf(deep); }), "XCXMLElement::GetKey - element isn't in a tree");
    mid->Destroy();
}

}  // namespace
