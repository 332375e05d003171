// The stream-call discipline: one call per token, name, escape and plain
// character, and every result checked against the size asked.

#include "WriterFixtures.h"

#include <TestStreams.h>
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace writertest {
namespace {

using Sizes = std::vector<std::uint64_t>;

struct CallCase {
    const char* label;
    void (*build)(XIXMLElement* root);
    Sizes sizes;  // of every call made by XCXMLTree::Write
};

const CallCase kCalls[] = {
    {"element with one attribute and text",
     [](XIXMLElement* r) {
         XIXMLElement* e = r->AddElement("ab");
         e->AddAttribute("k", "v&");
         e->AddData("t<");
     },
     // < ab ␠ k = " v &amp; " > t &lt; </ ab > \n
     {1, 2, 1, 1, 1, 1, 1, 5, 1, 1, 1, 4, 2, 2, 1, 1}},
    {"two attributes with an empty value",
     [](XIXMLElement* r) {
         XIXMLElement* e = r->AddElement("e");
         e->AddAttribute("x", "");
         e->AddAttribute("yy", "1");
     },
     // < e \n \t ␠ x = " " \n \t ␠ yy = " 1 " /> \n
     {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 2, 1}},
    {"markup with empty texts",
     [](XIXMLElement* r) {
         r->AddDocType(r->GetKey("d"), "p", nullptr, "s");
         r->AddComment("");
         r->AddPI("t", "");
     },
     // <!DOCTYPE␠ d ␠PUBLIC␠" p "␠" (absent system) " ␠[ s ] >
     {10, 1, 9, 1, 3, 0, 1, 2, 1, 1, 1,
      // \n <!-- (empty) -->   \n <? t ␠ (empty) ?>   \n
      1, 4, 0, 3, 1, 2, 1, 1, 0, 2, 1}},
    {"empty name and empty text",
     [](XIXMLElement* r) { r->AddElement("")->AddData(""); },
     // < (empty) > </ (empty) > \n: empty text makes no call at all
     {1, 0, 1, 2, 0, 1, 1}},
    {"CDATA section",
     [](XIXMLElement* r) { r->AddElement("e")->AddData(new BodyProvider("xy", true, nullptr)); },
     // < e > <![CDATA[ xy ]]> \n </ e > \n
     {1, 1, 1, 9, 2, 3, 1, 2, 1, 1, 1}},
    {"system doctype",
     [](XIXMLElement* r) { r->AddDocType(r->GetKey("doc"), nullptr, "s.dtd", nullptr); },
     {10, 3, 9, 5, 1, 1, 1}},
};

TEST(WriterStream, EachTokenNameEscapeAndCharacterIsOneCall) {
    for (const CallCase& c : kCalls) {
        SCOPED_TRACE(c.label);
        XCXMLTree tree;
        c.build(tree.GetRoot());
        testsupport::StringWriteStream stream;
        tree.Write(&stream);
        EXPECT_EQ(stream.calls, c.sizes);
        EXPECT_EQ(stream.text.size(), std::accumulate(c.sizes.begin(), c.sizes.end(), std::uint64_t{0}));
    }
}

std::string CaughtMessage(const std::function<void()>& write) {
    try {
        write();
    } catch (const Corvane::XCException& e) {
        return e.what();
    }
    return "(nothing raised)";
}

TEST(WriterStream, ShortAnswerOnAnyCallStopsWithExactlyTheEarlierBytes) {
    for (bool cdata : {false, true}) {
        SCOPED_TRACE(cdata ? "CDATA variant" : "owned text");
        XCXMLTree tree;
        BuildNote(tree.GetRoot(), cdata ? new BodyProvider("Tove", true, nullptr) : nullptr);
        testsupport::StringWriteStream full;
        tree.Write(&full);
        ASSERT_GE(full.calls.size(), 100u);

        // The provider's own call is its business: a short answer there makes
        // it report failure, which raises without the stream's message.
        std::size_t providerCall = 0;
        if (cdata) {
            const std::uint64_t body = full.text.find("Tove");
            for (std::uint64_t offset = 0; offset < body; offset += full.calls[providerCall]) ++providerCall;
            ++providerCall;
        }

        for (std::size_t k = 1; k <= full.calls.size(); ++k) {
            SCOPED_TRACE(k);
            testsupport::StringWriteStream stream;
            stream.failAt = k;
            const std::string message = CaughtMessage([&] { tree.Write(&stream); });
            if (k == providerCall) {
                EXPECT_NE(message, "Can't write character");
                EXPECT_NE(message, "(nothing raised)");
            } else {
                EXPECT_EQ(message, "Can't write character");
            }
            // No call after the failing one; the bytes before it stay.
            EXPECT_EQ(stream.calls.size(), k);
            const std::uint64_t before = std::accumulate(
                full.calls.begin(), full.calls.begin() + static_cast<long>(k - 1), std::uint64_t{0});
            EXPECT_EQ(stream.text, full.text.substr(0, before));
        }
        // The tree is untouched by the failures.
        testsupport::StringWriteStream after;
        tree.Write(&after);
        EXPECT_EQ(after.text, full.text);
    }
}

TEST(WriterStream, AnyCountOtherThanTheSizeAskedFails) {
    auto writeComment = [](XIXMLWriteStream* stream, const char* text) {
        XCXMLTree tree;
        tree.GetRoot()->AddComment(text);
        tree.Write(stream);
    };

    // Zero answered to a zero-size call is success.
    ScriptedStream exact([](std::uint64_t size, std::size_t) { return size; });
    writeComment(&exact, "");
    EXPECT_EQ(exact.text, "<!---->\n");

    struct {
        const char* label;
        const char* comment;
        std::uint64_t (*answer)(std::uint64_t size, std::size_t call);
        const char* before;
    } const cases[] = {
        {"non-zero to a zero-size call", "",
         [](std::uint64_t size, std::size_t) { return size == 0 ? std::uint64_t{1} : size; }, "<!--"},
        {"more than asked", "x", [](std::uint64_t size, std::size_t call) { return call == 3 ? size + 1 : size; },
         "<!--x"},
        {"zero on a later call", "x", [](std::uint64_t size, std::size_t call) { return call == 4 ? 0 : size; },
         "<!--x-->"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ScriptedStream stream(c.answer);
        EXPECT_EQ(CaughtMessage([&] { writeComment(&stream, c.comment); }),
                  "Can't write character");
        EXPECT_EQ(stream.text, c.before);
    }
}

}  // namespace
}  // namespace writertest
