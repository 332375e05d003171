#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "HostObjects.h"

#include <string>

using namespace CorvaneXML;
using hosttest::CountingProvider;
using hosttest::ProviderCounts;

namespace {

class TextData : public ::testing::Test {
protected:
    ProviderCounts counts;  // outlives the document that disposes of providers
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("e");
};

}  // namespace

TEST_F(TextData, OwnedText) {
    XIXMLData* data = e->AddData("");
    ASSERT_NE(data->GetData(), nullptr);
    EXPECT_STREQ(data->GetData(), "");
    data->SetData("abc");
    data->SetData(data->GetData());
    EXPECT_STREQ(data->GetData(), "abc");
    EXPECT_ANY_THROW(data->SetData(static_cast<const char*>(nullptr)));
    EXPECT_STREQ(data->GetData(), "abc");
}

TEST_F(TextData, ProviderIsOwnedCopiedAndDisposedOnce) {
    XIXMLData* data = e->AddData(new CountingProvider(&counts));
    EXPECT_ANY_THROW(data->GetData());
    EXPECT_ANY_THROW(data->SetData("x"));
    EXPECT_ANY_THROW(data->GetInt());
    EXPECT_ANY_THROW(data->GetFloat());
    EXPECT_ANY_THROW(data->SetData(1));
    EXPECT_ANY_THROW(data->SetData(1.5));
    int out = 0;
    EXPECT_ANY_THROW(data->GetFmtData("%d", &out));
    EXPECT_EQ(counts.copies + counts.destroys, 0);

    XIXMLElement* other = tree.GetRoot()->AddElement("other");
    XIXMLNode* copy = data->AsNode()->Copy(other);
    EXPECT_EQ(copy->AsData(), other->GetData());
    EXPECT_EQ(counts.copies, 1);
    EXPECT_EQ(counts.destroys, 0);

    data->AsNode()->Destroy();
    EXPECT_EQ(counts.destroys, 1);
    other->Destroy();
    EXPECT_EQ(counts.destroys, 2);
    EXPECT_EQ(counts.deletes, 2);
    EXPECT_EQ(counts.copies, 1);
}

TEST_F(TextData, RefusedProviderCopyIsDisposed) {
    XIXMLData* data = e->AddData(new CountingProvider(&counts));
    XIXMLElement* full = tree.GetRoot()->AddElement("full");
    full->AddData("already");
    try {
        data->AsNode()->Copy(full);
        FAIL() << "no raise";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Only one data node for an element");
    }
    EXPECT_EQ(counts.copies, 1);
    EXPECT_EQ(counts.destroys, 1);
    EXPECT_STREQ(full->GetData()->GetData(), "already");
}

TEST_F(TextData, DefaultProviderDisposalDeletes) {
    e->AddData(new hosttest::DefaultDisposedProvider(&counts));
    e->Destroy();
    EXPECT_EQ(counts.deletes, 1);
}

TEST_F(TextData, NumbersThroughFormats) {
    XIXMLData* data = e->AddData("");
    data->SetData(-17);
    EXPECT_STREQ(data->GetData(), "-17");
    data->SetData(0);
    EXPECT_STREQ(data->GetData(), "0");
    data->SetData(2.5);
    EXPECT_STREQ(data->GetData(), "2.500000");
    data->SetData(0.1);
    EXPECT_STREQ(data->GetData(), "0.100000");

    struct Case {
        const char* text;
        int asInt;
        double asFloat;
    };
    const Case cases[] = {
        {"  42 words", 42, 42.0}, {"1e3", 1, 1000.0}, {"3.9", 3, 3.9},
        {"nan", 1, 1.0},          {"inf", 1, 1.0},    {"+inf", 1, 1.0},
        {"-inf", 1, 1.0},
    };
    for (const Case& c : cases) {
        data->SetData(c.text);
        EXPECT_EQ(data->GetInt(), c.asInt) << c.text;
        EXPECT_DOUBLE_EQ(data->GetFloat(), c.asFloat) << c.text;
        EXPECT_STREQ(data->GetData(), c.text);  // reading never changes the text
    }
    char word[16] = {};
    data->SetData("inf");
    data->GetFmtData("%15s", word);
    EXPECT_STREQ(word, "1.0");

    // Only the exact words are replaced: anything else goes to the scan as it is.
    for (const char* text : {"Inf", " inf", "inf ", "nanx"}) {
        data->SetData(text);
        data->GetFmtData("%15s", word);
        EXPECT_STRNE(word, "1.0") << text;
    }
    for (const char* text : {"", "   ", "abc", "-"}) {
        data->SetData(text);
        EXPECT_ANY_THROW(data->GetInt()) << '"' << text << '"';
    }
}

TEST_F(TextData, FormattedLengthLimit) {
    XIXMLData* data = e->AddData("old");
    const std::string longest(2047, 'x');
    data->SetFmtData("%s", longest.c_str());
    EXPECT_EQ(std::string(data->GetData()), longest);

    data->SetData("old");
    EXPECT_ANY_THROW(data->SetFmtData("%s", (longest + "y").c_str()));
    EXPECT_STREQ(data->GetData(), "old");
    EXPECT_ANY_THROW(data->SetFmtData("%s%2047s", "y", ""));
    EXPECT_STREQ(data->GetData(), "old");

    XIXMLAttribute* a = e->AddAttribute("a", "old");
    a->SetFmtValue("%s", longest.c_str());
    EXPECT_EQ(std::string(a->GetValue()), longest);
    a->SetValue("old");
    EXPECT_ANY_THROW(a->SetFmtValue("%2048s", ""));
    EXPECT_STREQ(a->GetValue(), "old");
}

TEST_F(TextData, AttributeFormattedValues) {
    XIXMLAttribute* a = e->AddAttribute("a", "12abc");
    a->SetFmtValue("%d", 7);
    EXPECT_STREQ(a->GetValue(), "7");
    a->SetFmtValue("");
    EXPECT_STREQ(a->GetValue(), "");

    a->SetValue("12abc");
    int number = 0;
    a->GetFmtValue("%d", &number);
    EXPECT_EQ(number, 12);
    a->SetValue("abc12");
    number = 5;
    EXPECT_ANY_THROW(a->GetFmtValue("%d", &number));
    EXPECT_EQ(number, 5);
    EXPECT_ANY_THROW(a->GetFmtValue("%d", nullptr));
    double value = 0;
    a->SetValue("-inf");
    a->GetFmtValue("%lf", &value);
    EXPECT_DOUBLE_EQ(value, 1.0);
}
