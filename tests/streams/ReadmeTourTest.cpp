// The code of the README's tour, kept compiling and giving what the README shows.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace CorvaneXML;

namespace {

class Counter : public CXMLParser {
    const void* OpenNode(const char*) override {
        ++elements;
        return this;
    }
    void Attribute(const char*, const char*) override {}
    void Data(const char*) override {}
    void CloseNode(const void*) override {}

public:
    int elements = 0;
};

}  // namespace

TEST(ReadmeTour, ReadNavigateEditWrite) {
    std::string text = "<catalogue><book id=\"b1\"><price>12.50</price></book></catalogue>";
    XCXMLMemoryReadStream input(text);
    CXMLTreeReader reader;
    std::unique_ptr<XCXMLTree> tree(reader.ReadTree(&input));

    XIXMLElement* catalogue = tree->GetRoot()->FindElement("catalogue");
    for (XIXMLElement* book = catalogue->FindElement("book"); book; book = book->NextSameElement()) {
        XIXMLData* price = book->FindElement("price")->GetData();
        price->SetFmtData("%.2f", price->GetFloat() * 1.1);
    }
    EXPECT_STREQ(catalogue->FindElement("book")->FindElement("price")->GetData()->GetData(), "13.75");
    catalogue->AddElement("book")->AddAttribute("id", "b2");
    catalogue->FindElement("book")->Destroy();

    std::string out;
    XCXMLStringWriteStream output(out);
    tree->Write(&output);
    EXPECT_EQ(out, "<catalogue>\n\t<book id=\"b2\"/>\n</catalogue>\n");
}

TEST(ReadmeTour, CountingEvents) {
    Counter counter;
    const std::string text = "<a><b/><c><d/></c></a>";
    XCXMLMemoryReadStream input(text);
    counter.Parse(&input);
    EXPECT_EQ(counter.elements, 4);
}
