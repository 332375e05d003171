// Where each reported construct starts, as a handler or a tree's position map
// is told it, at block boundaries and after CR LF line ends.

#include "EventLog.h"
#include "parser/LineFeeds.h"

#include <CorvaneXML/XMLStdStreams.h>
#include <CorvaneXML/XMLTreeReader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

using namespace CorvaneXML;
using testsupport::LogParser;
using testsupport::Mode;

namespace {

// The position of byte `offset` of `text`, worked out the plain way.
std::string Expected(const std::string& text, std::size_t offset) {
    const std::size_t lineStart = offset == 0 ? 0 : text.rfind('\n', offset - 1) + 1;
    const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
    return std::to_string(offset) + " " + std::to_string(line) + ":" + std::to_string(offset - lineStart + 1);
}

std::string Text(const CXMLPosition& at) {
    return std::to_string(at.offset) + " " + std::to_string(at.line) + ":" + std::to_string(at.column);
}

// Each event as "line:column event".
std::string Positions(const std::string& xml, Mode mode) {
    LogParser parser;
    std::string log;
    parser.onEvent = [&](const std::string& line) {
        const CXMLPosition at = parser.GetEventPosition();
        log += std::to_string(at.line) + ":" + std::to_string(at.column) + " " + line.substr(0, line.find(' ')) + "\n";
    };
    testsupport::Log(parser, xml, mode);
    const std::size_t error = parser.log.find("error: ");
    return error == std::string::npos ? log : log + parser.log.substr(error);
}

TEST(EventPosition, EachEventTellsWhereItsConstructStarts) {
    const std::string xml =
        "<?xml v?>\r\n<!--c-->\r\n<!DOCTYPE r>\r\n<r a='1'\r\n b='2'>\r\n  text &amp; more\r\n"
        "\t<e/><![CDATA[x]]><[CDATA[y]]>\r\n</r >\r\n<?end?>\r\n";
    for (Mode mode : {Mode::Parse, Mode::Fast}) {
        EXPECT_EQ(Positions(xml, mode),
                  "1:1 pi\n2:1 comment\n3:1 doctype\n4:1 open\n4:1 attr\n4:1 attr\n6:3 data\n7:2 open\n7:2 close\n"
                  "7:6 data\n7:19 data\n8:1 close\n9:1 pi\n");
    }
    // No parse running: nothing to tell.
    LogParser idle;
    EXPECT_EQ(Text(idle.GetEventPosition()), "0 0:0");
}

// '<e', its text, a CDATA section read in pieces across blocks and the end
// tag, moved across the first block boundaries after lines of every length.
TEST(EventPosition, ExactAcrossBlockBoundaries) {
    std::string prefix = "<r>";
    for (int length = 0; prefix.size() < 900; ++length)
        prefix += std::string(length % 13, 'x') + (length % 3 ? "\n" : "\r\n");
    std::string body;
    while (body.size() < 2023) body += body.size() % 7 == 0 ? '\n' : 'b';
    for (std::size_t shift = 0; shift < 24; ++shift) {
        const std::string xml =
            prefix + std::string(1010 - prefix.size() + shift, ' ') + "<e a='1'>text<![CDATA[" + body + "]]></e>\n</r>";
        const std::map<std::string, std::size_t> starts = {{"open e", xml.find("<e")},
                                                           {"attr a=1", xml.find("<e")},
                                                           {"data text", xml.find("text")},
                                                           {"data " + body, xml.find("<![CDATA[")},
                                                           {"close 2", xml.find("</e>")}};
        for (Mode mode : {Mode::Parse, Mode::Fast}) {
            LogParser parser;
            int checked = 0;
            parser.onEvent = [&](const std::string& line) {
                const auto found = starts.find(line);
                if (found == starts.end()) return;
                EXPECT_EQ(Text(parser.GetEventPosition()), Expected(xml, found->second))
                    << shift << " " << line.substr(0, 9);
                ++checked;
            };
            testsupport::Log(parser, xml, mode);
            EXPECT_EQ(checked, 5) << shift;
        }
    }
}

// Errors after blocks whose line feeds differ in number from the next block's.
TEST(EventPosition, ErrorsCountTheLineFeedsOfEveryBlock) {
    for (const std::string& xml : {"<r>" + std::string(1100, 'x') + "\n\n\n<e x>",
                                   "<r>" + std::string(1000, '\n') + std::string(1500, 'y') + "<e x>"}) {
        LogParser parser;
        testsupport::Log(parser, xml);
        const CXMLPosition at{parser.GetErrorOffset(), parser.GetErrorLine(), parser.GetErrorColumn()};
        EXPECT_EQ(Text(at), Expected(xml, xml.size() - 1));
    }
}

class Recorder : public IXMLPositionMap {
public:
    std::vector<std::pair<std::string, std::string>> seen;

private:
    void MapElement(XIXMLElement* element, const CXMLPosition& start) override {
        seen.emplace_back(static_cast<const char*>(element->GetName()), Text(start));
    }
};

TEST(TreePositions, EveryElementReadIsMappedToItsStartTag) {
    // Lines of every length, so that elements start anywhere in a block.
    std::string xml = "\xEF\xBB\xBF<list>\r\n";
    for (int i = 0; i < 600; ++i) xml += std::string(i % 11, '\t') + "<item n='" + std::to_string(i) + "'>t</item>\n";
    xml += "</list>";
    XCXMLMemoryReadStream stream(xml);
    Recorder map;
    CXMLTreeReader reader;
    reader.SetPositionMap(&map);
    std::unique_ptr<XCXMLTree> tree(reader.ReadTree(&stream));
    ASSERT_EQ(map.seen.size(), 601u);
    std::size_t from = 0;
    for (const auto& element : map.seen) {
        from = xml.find("<" + element.first, from);
        EXPECT_EQ(element.second, Expected(xml, from));
        ++from;
    }
}

}  // namespace

// The counts behind every line number: each way the machine may take agrees
// with a plain count on every length up to a block and past it, from every
// alignment, with no line feed, only line feeds (each byte lane fills up),
// and a mix.
TEST(LineFeedsTest, EveryWayCountsAsAPlainCount) {
    std::string text(1200, 'x');
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i % 7 == 0 || i % 13 == 5) text[i] = '\n';
    }
    const std::string feeds(1200, '\n');
    const std::string none(1200, 'x');
    for (const std::string* bytes : std::vector<const std::string*>{&text, &feeds, &none}) {
        for (std::size_t from = 0; from < 40; ++from) {
            for (std::size_t to = from; to <= bytes->size(); to += (to < from + 300 ? 1 : 37)) {
                const char* begin = bytes->data() + from;
                const char* end = bytes->data() + to;
                const auto plain = static_cast<std::uint64_t>(std::count(begin, end, '\n'));
                ASSERT_EQ(linefeeds::CountPortably(begin, end), plain) << from << ".." << to;
#if defined(CORVANEXML_LINEFEEDS_AVX2)
                if (__builtin_cpu_supports("avx2")) {
                    ASSERT_EQ(linefeeds::CountAvx2(begin, end), plain) << from << ".." << to;
                }
#endif
            }
        }
    }
}
