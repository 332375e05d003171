// Feeds the rich document cut short at every byte, and with every byte
// replaced by each of a few troublesome values, to Parse, FastParse and
// ReadTree. Each must either succeed or raise a std::exception, and the same
// parser or reader must then read the intact document exactly as a fresh one
// does. The sanitizer build runs this with leak detection.

#include <gtest/gtest.h>

#include "EventLog.h"
#include "RichDocument.h"

using namespace testsupport;

namespace {

using Read = std::function<std::string(const std::string&)>;  // the outcome, "error: ..." if refused

// Runs `read` on every variant of the rich document, then on the intact one,
// which must give what `fresh` gives.
void Sweep(const Read& read, const Read& fresh) {
    const std::string good = RichDocument();
    const std::string expected = fresh(good);
    const std::size_t rootEnd = good.find("</doc>") + 6;
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::vector<std::string> variants = {good.substr(0, at)};
        for (char replacement : {'<', '>', '&', '"', ']', '\0', '\xFF'}) {
            if (good[at] != replacement) variants.push_back(good.substr(0, at) + replacement + good.substr(at + 1));
        }
        for (const std::string& variant : variants) {
            const bool accepted = read(variant).find("error: ") == std::string::npos;
            // Cut inside the document element, the input cannot be whole.
            EXPECT_FALSE(accepted && variant.size() < rootEnd && variant.size() == at) << "accepted:\n" << variant;
            ASSERT_EQ(read(good), expected) << "not reusable after:\n" << variant;
        }
    }
}

}  // namespace

TEST(MalformedSweep, ParseFastParseAndReadTree) {
    for (Mode mode : {Mode::Parse, Mode::Fast}) {
        LogParser parser, fresh;
        parser.skip = fresh.skip = [](const std::string& name) { return name == "skip"; };
        auto run = [mode](LogParser& with, const std::string& text) {
            with.log.clear();
            return Log(with, text, mode);
        };
        Sweep([&](const std::string& text) { return run(parser, text); },
              [&](const std::string& text) { return run(fresh, text); });
    }
    CXMLTreeReader reader, fresh;
    Sweep([&](const std::string& text) { return Outcome(reader, text); },
          [&](const std::string& text) { return Outcome(fresh, text); });
}
