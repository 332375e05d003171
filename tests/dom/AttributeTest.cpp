#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "HostObjects.h"

#include <string>

using namespace CorvaneXML;

namespace {

std::string Attributes(const XIXMLElement* element) {
    std::string out;
    for (XIXMLAttribute* a = element->GetFirstAttribute(); a != nullptr; a = a->GetNext()) {
        EXPECT_EQ(a->GetNode(), element);
        if (!out.empty()) out += ' ';
        out += static_cast<const char*>(a->GetName());
        out += '=';
        out += a->GetValue();
    }
    return out;
}

class ElementAttributes : public ::testing::Test {
protected:
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("e");
};

}  // namespace

TEST_F(ElementAttributes, DuplicatesKeepOrderAndLookupFindsTheFirst) {
    XIXMLAttribute* a1 = e->AddAttribute("a", "1");
    e->AddAttribute("b", "2");
    e->AddAttribute("a", "3");
    EXPECT_EQ(Attributes(e), "a=1 b=2 a=3");
    EXPECT_EQ(e->FindAttribute("a"), a1);
    EXPECT_TRUE(e->TestAttribute("a", "1"));
    EXPECT_FALSE(e->TestAttribute("a", "3"));
    EXPECT_FALSE(e->TestAttribute("a", "1 "));
    EXPECT_FALSE(e->TestAttribute("A", "1"));
    EXPECT_FALSE(e->TestAttribute("missing", "1"));
    EXPECT_FALSE(e->TestAttribute("a", nullptr));
}

TEST_F(ElementAttributes, EmptyNameStandsForTheFirstAttribute) {
    EXPECT_EQ(e->FindAttribute(""), nullptr);
    XIXMLAttribute* first = e->AddAttribute("x", "v");
    e->AddAttribute("y", "w");
    EXPECT_EQ(e->FindAttribute(""), first);
    EXPECT_TRUE(e->TestAttribute("", "v"));
    EXPECT_FALSE(e->TestAttribute("", "w"));
    // The default key is no wildcard: it matches only a nameless attribute.
    EXPECT_EQ(e->FindAttribute(XCXMLKey()), nullptr);
    XIXMLAttribute* nameless = e->AddAttribute(XCXMLKey(), "n");
    EXPECT_EQ(e->FindAttribute(XCXMLKey()), nameless);
}

TEST_F(ElementAttributes, KeysOfAnotherDocumentFindNothing) {
    XCXMLTree other;
    e->AddAttribute("a", "1");
    EXPECT_EQ(e->FindAttribute(other.GetKey("a")), nullptr);
    EXPECT_FALSE(e->TestAttribute(other.GetKey("a"), "1"));
}

TEST_F(ElementAttributes, DestroyAnyPositionKeepsTheRestLinked) {
    for (const char* victim : {"a", "b", "c"}) {
        XIXMLElement* holder = e->AddElement("holder");
        holder->AddAttribute("a", "1");
        holder->AddAttribute("b", "2");
        holder->AddAttribute("c", "3");
        holder->FindAttribute(victim)->Destroy();
        holder->AddAttribute("d", "4");
        const std::string expected = std::string(victim) == "a"   ? "b=2 c=3 d=4"
                                     : std::string(victim) == "b" ? "a=1 c=3 d=4"
                                                                  : "a=1 b=2 d=4";
        EXPECT_EQ(Attributes(holder), expected) << victim;
    }
}

TEST_F(ElementAttributes, RemoveAttribute) {
    XCXMLTree other;
    XIXMLElement* stranger = other.GetRoot()->AddElement("s");
    XIXMLAttribute* foreign = stranger->AddAttribute("f", "0");
    try {
        e->RemoveAttribute(foreign);  // no attributes at all
        FAIL() << "no raise";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "XCXMLElement::RemoveAttribute previous == NULL");
    }
    XIXMLAttribute* a = e->AddAttribute("a", "1");
    XIXMLAttribute* b = e->AddAttribute("b", "2");
    EXPECT_ANY_THROW(e->RemoveAttribute(foreign));
    EXPECT_EQ(Attributes(e), "a=1 b=2");

    e->RemoveAttribute(a);
    EXPECT_EQ(e->GetFirstAttribute(), b);
    EXPECT_EQ(a->GetNext(), b);  // its own links are left alone
    // Put it back by hand so that it can be destroyed cleanly.
    a->SetNext(nullptr);
    b->SetNext(a);
    a->Destroy();
    EXPECT_EQ(Attributes(e), "b=2");
}

TEST_F(ElementAttributes, AppendingAfterRemovingTheLast) {
    e->AddAttribute("a", "1");
    XIXMLAttribute* b = e->AddAttribute("b", "2");
    e->RemoveAttribute(b);  // still names e as its owner and has no next
    XIXMLAttribute* c = e->AddAttribute("c", "3");
    EXPECT_EQ(Attributes(e), "a=1 c=3");
    EXPECT_EQ(b->GetNext(), nullptr);
    // Linked back by hand: appending goes after it.
    c->SetNext(b);
    e->AddAttribute("d", "4");
    EXPECT_EQ(Attributes(e), "a=1 c=3 b=2 d=4");
}

TEST_F(ElementAttributes, AppendingDoesNotWalkEarlierAttributes) {
    // An attribute that counts how often a list walk passes over it.
    class Counted : public hosttest::HostAttribute {
    public:
        using HostAttribute::HostAttribute;
        XIXMLAttribute* GetNext() const override {
            ++visits;
            return HostAttribute::GetNext();
        }
        mutable int visits = 0;
    };
    hosttest::Log log;
    auto* counted = new Counted(&log, "counted", e);
    e->AddAttribute("a", "1")->SetNext(counted);
    e->AddAttribute("b", "2");  // finds the end by walking once
    const int afterFirstWalk = counted->visits;
    for (int i = 0; i < 50; ++i) e->AddAttribute("x", "");
    EXPECT_EQ(counted->visits, afterFirstWalk);
    e->Destroy();  // while the log it reports to still exists
}

TEST_F(ElementAttributes, Values) {
    XIXMLAttribute* a = e->AddAttribute("a", "");
    ASSERT_NE(a->GetValue(), nullptr);
    EXPECT_STREQ(a->GetValue(), "");

    a->SetValue("text");
    a->SetValue(a->GetValue());  // its own text, freed only after copying
    EXPECT_STREQ(a->GetValue(), "text");

    EXPECT_ANY_THROW(a->SetValue(nullptr));
    EXPECT_STREQ(a->GetValue(), "text");
    EXPECT_ANY_THROW(e->AddAttribute("b", nullptr));
    EXPECT_EQ(Attributes(e), "a=text");

    a->SetName(tree.GetKey("renamed"));
    EXPECT_EQ(e->FindAttribute("renamed"), a);
    EXPECT_EQ(e->FindAttribute("a"), nullptr);
}

TEST_F(ElementAttributes, CopyGoesToTheEndWithTheTargetsKey) {
    XCXMLTree other;
    XIXMLElement* target = other.GetRoot()->AddElement("t");
    target->AddAttribute("name", "old");
    XIXMLAttribute* source = e->AddAttribute("name", "new");

    XIXMLAttribute* copy = source->Copy(target);
    EXPECT_EQ(copy->GetNode(), target);
    EXPECT_TRUE(copy->GetName() == other.GetKey("name"));
    EXPECT_FALSE(copy->GetName() == source->GetName());
    EXPECT_TRUE(copy->GetName() == "name");
    EXPECT_NE(copy->GetValue(), source->GetValue());
    EXPECT_EQ(Attributes(target), "name=old name=new");

    auto* detached = new XCXMLElement(nullptr, tree.GetKey("d"));
    try {
        source->Copy(detached);
        FAIL() << "no raise";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "XCXMLElement::GetKey - element isn't in a tree");
    }
    EXPECT_EQ(detached->GetFirstAttribute(), nullptr);
    detached->Destroy();
}
