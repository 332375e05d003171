// Every refusal a person can meet says what was wrong: the checks on
// arguments, on the reader's state and on the document's links, which once
// raised with nothing but the name of the raise helper.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <clocale>
#include <cwchar>
#include <functional>
#include <string>

using namespace testsupport;

namespace {

TEST(RefusalMessages, EveryCheckSaysWhatWasWrong) {
    XCXMLTree tree;
    XIXMLElement* a = tree.GetRoot()->AddElement("a");
    XIXMLElement* b = tree.GetRoot()->AddElement("b");
    XIXMLAttribute* x = a->AddAttribute("x", "abc");
    XIXMLData* cdata = b->AddData(new Provider("body"));
    CXMLTreeReader reader;
    int value = 0;
    const std::pair<std::function<void()>, std::string> cases[] = {
        // Parser and tree reader.
        {[&] { reader.ReadTree(nullptr); }, "Read stream is null"},
        // Arguments of the document model.
        {[&] { a->AddComment(nullptr); }, "Text is null"},
        {[&] { a->AddData(static_cast<const char*>(nullptr)); }, "Text is null"},
        {[&] { a->AddPI("t", nullptr); }, "Text is null"},
        {[&] { a->AddAttribute("y", nullptr); }, "Attribute value is null"},
        {[&] { a->AddData(static_cast<XIXMLData::IXMLCData*>(nullptr)); }, "Data provider is null"},
        {[&] { tree.GetKey(nullptr); }, "Name is null"},
        {[&] { a->AddNode(nullptr); }, "Node is null"},
        {[&] { b->MoveNode(nullptr, cdata->AsNode()); }, "Node is null"},
        {[&] { a->AddNode(cdata->AsNode()); }, "Node is already in an element"},
        {[&] { a->RemoveNode(cdata->AsNode()); }, "Node is not a child of this element"},
        {[&] { a->RemoveAttribute(nullptr); }, "Attribute is null"},
        {[&] { a->AsNode()->Copy(nullptr); }, "Target element is null"},
        {[&] { x->Copy(nullptr); }, "Target element is null"},
        {[&] { cdata->GetData(); }, "Data node holds a provider, not text"},
        {[&] { cdata->SetData("t"); }, "Data node holds a provider, not text"},
        {[&] { cdata->GetInt(); }, "Data node holds a provider, not text"},
        // Formatted values.
        {[&] { x->GetFmtValue("%d", nullptr); }, "Output pointer is null"},
        {[&] { x->GetFmtValue(nullptr, &value); }, "Format is null"},
        {[&] { x->SetFmtValue(nullptr); }, "Format is null"},
        {[&] { x->GetFmtValue("%d", &value); }, "Value doesn't match the format"},
        {[&] { x->SetFmtValue("%2048d", 1); }, "Formatted value is longer than 2047 bytes"},
        {[&] { x->SetFmtValue("%lc", static_cast<wint_t>(0x100)); }, "Can't format the value"},
        {[&] { x->SetFmtValue("%s", ""); }, ""},
        // Streams.
        {[&] { tree.Write(nullptr); }, "Write stream is null"},
        {[&] { XCXMLMemoryReadStream in(nullptr, 1); }, "Memory block is null"},
        {[&] { XCXMLFileReadStream in(nullptr); }, "File is null"},
        {[&] { XCXMLFileWriteStream in(nullptr); }, "File is null"},
    };
    std::setlocale(LC_ALL, "C");  // where a wide character above 0xFF has no narrow form
    for (const auto& c : cases) EXPECT_EQ(Raised(c.first), c.second);
}

}  // namespace
