// The README's tour, kept compiling and giving what the README shows.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace CorvaneXML;

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
