// What asking for source positions costs: a parse whose handlers ask where
// every construct starts, and a tree read with a position map, next to the
// same work without asking (OursParse, OursReadTree). The positions are
// folded into a checksum rather than stored, so that the figures are the
// library's cost and not that of the host's container.

#include "Bench.h"

#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <cstdint>
#include <string>

namespace bench {

using namespace CorvaneXML;

namespace {

class PositionParser : public CXMLParser {
public:
    std::uint64_t checksum = 0;

protected:
    const void* OpenNode(const char*) override {
        Ask();
        return this;
    }
    void Attribute(const char*, const char*) override { Ask(); }
    void Data(const char*) override { Ask(); }
    void CloseNode(const void*) override { Ask(); }

private:
    void Ask() {
        const CXMLPosition at = GetEventPosition();
        checksum += at.line + at.column;
    }
};

class ChecksumMap : public IXMLPositionMap {
public:
    std::uint64_t checksum = 0;

private:
    void MapElement(XIXMLElement*, const CXMLPosition& start) override { checksum += start.line + start.column; }
};

}  // namespace

void OursParsePositions(benchmark::State& state, const Input* input) {
    PositionParser parser;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        XCXMLMemoryReadStream stream(input->text);
        parser.Parse(&stream);
        state.SetIterationTime(Seconds(start, Clock::now()));
    }
    benchmark::DoNotOptimize(parser.checksum);
}

void OursReadTreePositions(benchmark::State& state, const Input* input) {
    CXMLTreeReader reader;
    ChecksumMap map;
    reader.SetPositionMap(&map);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        XCXMLMemoryReadStream stream(input->text);
        XCXMLTree* tree = reader.ReadTree(&stream);
        state.SetIterationTime(Seconds(start, Clock::now()));
        delete tree;
    }
    benchmark::DoNotOptimize(map.checksum);
}

}  // namespace bench
