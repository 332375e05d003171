#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

using namespace CorvaneXML;

// A limited ready-made stream takes the writer's calls while they fit and
// refuses the first that does not: it then holds exactly the earlier calls,
// on the writer's copying path as on the calls themselves.
TEST(OutputLimit, StopsAtTheLastWholeCall) {
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("outer");
    e->AddAttribute("a", "x<y");
    e->AddAttribute("b", "\"");
    e->AddElement("inner")->AddElement("deep")->AddData("text & more text");
    testsupport::StringWriteStream calls;
    tree.Write(&calls);
    const std::string whole = calls.text;
    for (std::uint64_t limit : {0, 1, 5, 6, 17, 30, 31, 45, 60, 70, 200}) {
        std::string expected;
        for (std::uint64_t size : calls.calls) {
            if (expected.size() + size > limit) break;
            expected += whole.substr(expected.size(), size);
        }
        const bool fits = expected.size() == whole.size();
        std::string text = "kept|";
        XCXMLStringWriteStream toString(text);
        toString.SetLimit(limit);
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
        {
            XCXMLFileWriteStream toFile(file.get(), 8);
            toFile.SetLimit(limit);
            for (XIXMLWriteStream* stream :
                 {static_cast<XIXMLWriteStream*>(&toString), static_cast<XIXMLWriteStream*>(&toFile)}) {
                try {
                    tree.Write(stream);
                    EXPECT_TRUE(fits) << limit;
                } catch (const Corvane::XCException& error) {
                    EXPECT_FALSE(fits) << limit;
                    EXPECT_STREQ(error.what(), "Can't write character");
                }
            }
            EXPECT_EQ(toFile.GetRoom(), limit - expected.size());
        }
        EXPECT_EQ(text, "kept|" + expected) << limit;
        EXPECT_EQ(toString.GetRoom(), limit - expected.size());
        std::string written(whole.size() + 1, '\0');
        std::rewind(file.get());
        written.resize(std::fread(&written[0], 1, written.size(), file.get()));
        EXPECT_EQ(written, expected) << limit;
    }
}

}  // namespace
