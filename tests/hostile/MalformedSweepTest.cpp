// Feeds the rich document cut short at every byte, and with every byte
// replaced by each of a few troublesome values, to Parse, FastParse and
// ReadTree. Each must either succeed or raise a std::exception, and the same
// parser or reader must then read the intact document exactly as a fresh one
// does. The sanitizer build runs this with leak detection.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "RichDocument.h"
#include "TestStreams.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace CorvaneXML;
using testsupport::StringReadStream;
using testsupport::StringWriteStream;

namespace {

// Logs every event; under FastParse it skips the elements named "skip".
class LoggingParser : public CXMLParser {
public:
    std::string log;

    void Run(const std::string& text, bool fast) {
        log.clear();
        StringReadStream stream(text);
        if (fast) {
            FastParse(&stream);
        } else {
            Parse(&stream);
        }
    }

protected:
    void Comment(const char* text) override { log += "C(" + std::string(text) + ")"; }
    bool ProcessingInstruction(const char* target, const char* instruction) override {
        log += "P(" + std::string(target) + "," + instruction + ")";
        return true;
    }
    void DocType(const char* name, const char* publicId, const char* systemId, const char* subset) override {
        log += "D(" + std::string(name) + "," + (publicId ? publicId : "-") + "," + (systemId ? systemId : "-") +
               "," + subset + ")";
    }
    const void* OpenNode(const char* name) override {
        log += "<" + std::string(name);
        return std::string(name) == "skip" ? nullptr : this;
    }
    void Attribute(const char* name, const char* value) override {
        log += " " + std::string(name) + "=" + value;
    }
    void Data(const char* text) override { log += "[" + std::string(text) + "]"; }
    void CloseNode(const void* handle) override {
        log += handle == this ? "/>" : "(wrong handle)";
    }
};

std::vector<std::string> MalformedVariants(const std::string& good) {
    std::vector<std::string> variants;
    for (std::size_t length = 0; length < good.size(); ++length) variants.push_back(good.substr(0, length));
    const char replacements[] = {'<', '>', '&', '"', ']', '\0', '\xFF'};
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (char replacement : replacements) {
            if (good[at] == replacement) continue;
            std::string variant = good;
            variant[at] = replacement;
            variants.push_back(variant);
        }
    }
    return variants;
}

// Runs `attempt` on every variant, then `again` on the intact document,
// which must give `expected` each time.
template <class Attempt, class Again>
void Sweep(Attempt attempt, Again again, const std::string& expected) {
    const std::string good = RichDocument();
    const std::size_t rootEnd = good.find("</doc>") + 6;
    std::size_t index = 0;
    int raised = 0;
    for (const std::string& variant : MalformedVariants(good)) {
        const bool truncated = index++ < good.size();
        try {
            attempt(variant);
            // Cut inside the document element, the input cannot be whole.
            EXPECT_FALSE(truncated && variant.size() < rootEnd) << "accepted:\n" << variant;
        } catch (const std::exception&) {
            ++raised;
        } catch (...) {
            ADD_FAILURE() << "not a std::exception for:\n" << variant;
        }
        const std::string result = again(good);
        if (result != expected) {
            ADD_FAILURE() << "not reusable after:\n" << variant << "\ngave:\n" << result;
            return;
        }
    }
    std::printf("[ swept    ] %zu documents, %d raised\n", index, raised);
}

void SweepParser(bool fast) {
    LoggingParser fresh;
    fresh.Run(RichDocument(), fast);
    const std::string expected = fresh.log;

    LoggingParser parser;
    Sweep([&](const std::string& text) { parser.Run(text, fast); },
          [&](const std::string& text) {
              parser.Run(text, fast);
              return parser.log;
          },
          expected);
}

TEST(MalformedSweepTest, Parse) { SweepParser(false); }

TEST(MalformedSweepTest, FastParseSkippingAnElement) {
    LoggingParser parser;
    parser.Run(RichDocument(), true);
    EXPECT_EQ(parser.log.find("gone"), std::string::npos);
    SweepParser(true);
}

TEST(MalformedSweepTest, ReadTree) {
    auto read = [](CXMLTreeReader& reader, const std::string& text) {
        StringReadStream stream(text);
        std::unique_ptr<XCXMLTree> tree(reader.ReadTree(&stream));
        StringWriteStream out;
        tree->Write(&out);
        return out.text;
    };
    CXMLTreeReader fresh;
    const std::string expected = read(fresh, RichDocument());

    CXMLTreeReader reader;
    Sweep([&](const std::string& text) { read(reader, text); },
          [&](const std::string& text) { return read(reader, text); }, expected);
}

// A host stream that throws when asked for each 1024-byte block in turn,
// with the blocks in the middle inside a CDATA body: the read must raise, and
// the reader must then read the document again.
TEST(MalformedSweepTest, StreamFailingAtEachBlock) {
    std::string good = RichDocument();
    good.insert(good.find("x < y"), std::string(4000, 'c'));
    CXMLTreeReader fresh;
    StringReadStream whole(good);
    std::unique_ptr<XCXMLTree> reference(fresh.ReadTree(&whole));
    StringWriteStream expected;
    reference->Write(&expected);

    CXMLTreeReader reader;
    for (std::uint64_t offset = 1; offset < good.size(); offset += 1024) {
        StringReadStream failing(good);
        failing.throwAt = offset;
        EXPECT_THROW(delete reader.ReadTree(&failing), std::exception) << "offset " << offset;
        StringReadStream again(good);
        std::unique_ptr<XCXMLTree> tree(reader.ReadTree(&again));
        StringWriteStream out;
        tree->Write(&out);
        ASSERT_EQ(out.text, expected.text) << "after a failure at offset " << offset;
    }
}

}  // namespace
