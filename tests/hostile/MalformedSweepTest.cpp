// Feeds the rich document cut short at every byte, and with every byte
// replaced by each of a few troublesome values, to Parse, FastParse and
// ReadTree. Each must either succeed or raise a std::exception, and the same
// parser or reader must then read the intact document exactly as a fresh one
// does. The sanitizer build runs this with leak detection.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "RichDocument.h"
#include "TestStreams.h"

#include <functional>
#include <memory>
#include <string>

using namespace CorvaneXML;
using testsupport::StringReadStream;

namespace {

// Logs the element events; under FastParse it skips the elements named "skip".
class LoggingParser : public CXMLParser {
public:
    std::string log;
    bool fast = false;

    std::string Run(const std::string& text) {
        log.clear();
        StringReadStream stream(text);
        fast ? FastParse(&stream) : Parse(&stream);
        return log;
    }

protected:
    const void* OpenNode(const char* name) override {
        log += "<" + std::string(name);
        return std::string(name) == "skip" ? nullptr : this;
    }
    void Attribute(const char* name, const char* value) override { log += " " + std::string(name) + "=" + value; }
    void Data(const char* text) override { log += "[" + std::string(text) + "]"; }
    void CloseNode(const void* handle) override { log += handle == this ? "/>" : "(wrong handle)"; }
};

std::string ReadAndWrite(CXMLTreeReader& reader, const std::string& text) {
    StringReadStream stream(text);
    std::unique_ptr<XCXMLTree> tree(reader.ReadTree(&stream));
    testsupport::StringWriteStream out;
    tree->Write(&out);
    return out.text;
}

// Runs `read` on every variant of the rich document, then on the intact one,
// which must give what `fresh` gives.
void Sweep(const std::function<std::string(const std::string&)>& read,
           const std::function<std::string(const std::string&)>& fresh) {
    const std::string good = RichDocument();
    const std::string expected = fresh(good);
    const std::size_t rootEnd = good.find("</doc>") + 6;
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::vector<std::string> variants = {good.substr(0, at)};
        for (char replacement : {'<', '>', '&', '"', ']', '\0', '\xFF'}) {
            if (good[at] != replacement) variants.push_back(good.substr(0, at) + replacement + good.substr(at + 1));
        }
        for (const std::string& variant : variants) {
            try {
                read(variant);
                // Cut inside the document element, the input cannot be whole.
                EXPECT_FALSE(variant.size() < rootEnd && variant.size() == at) << "accepted:\n" << variant;
            } catch (const std::exception&) {
            } catch (...) {
                ADD_FAILURE() << "not a std::exception for:\n" << variant;
            }
            ASSERT_EQ(read(good), expected) << "not reusable after:\n" << variant;
        }
    }
}

}  // namespace

TEST(MalformedSweep, ParseAndFastParse) {
    for (bool fast : {false, true}) {
        LoggingParser parser, fresh;
        parser.fast = fresh.fast = fast;
        EXPECT_EQ(parser.Run(RichDocument()).find("[gone]") == std::string::npos, fast);  // skipped
        Sweep([&](const std::string& text) { return parser.Run(text); },
              [&](const std::string& text) { return fresh.Run(text); });
    }
}

TEST(MalformedSweep, ReadTree) {
    CXMLTreeReader reader, fresh;
    Sweep([&](const std::string& text) { return ReadAndWrite(reader, text); },
          [&](const std::string& text) { return ReadAndWrite(fresh, text); });
}
