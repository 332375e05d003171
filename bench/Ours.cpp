// This library's measurements.

#include "Bench.h"

#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <exception>
#include <memory>
#include <string>

namespace bench {

using namespace CorvaneXML;

class NullParser : public CXMLParser {
protected:
    const void* OpenNode(const char*) override { return nullptr; }
    void Attribute(const char*, const char*) override {}
    void Data(const char*) override {}
    void CloseNode(const void*) override {}
};

XCXMLTree* ReadOurs(CXMLTreeReader& reader, const std::string& text) {
    XCXMLMemoryReadStream stream(text);
    return reader.ReadTree(&stream);
}

void OursReadTree(benchmark::State& state, const Input* input) {
    CXMLTreeReader reader;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        XCXMLTree* tree = ReadOurs(reader, input->text);
        state.SetIterationTime(Seconds(start, Clock::now()));
        delete tree;
    }
}

void OursDeleteTree(benchmark::State& state, const Input* input) {
    CXMLTreeReader reader;
    for (auto _ : state) {
        XCXMLTree* tree = ReadOurs(reader, input->text);
        const Clock::time_point start = Clock::now();
        delete tree;
        state.SetIterationTime(Seconds(start, Clock::now()));
    }
}

void OursParse(benchmark::State& state, const Input* input, bool fast) {
    NullParser parser;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        XCXMLMemoryReadStream stream(input->text);
        try {
            if (fast) {
                parser.FastParse(&stream);
            } else {
                parser.Parse(&stream);
            }
        } catch (const std::exception& error) {
            // A real document may be one the parser refuses: FastParse, for
            // one, raises on a '/' in skipped text that no name follows.
            state.SkipWithError(error.what());
            break;
        }
        state.SetIterationTime(Seconds(start, Clock::now()));
    }
}

void OursWrite(benchmark::State& state, const Input* input) {
    CXMLTreeReader reader;
    std::unique_ptr<XCXMLTree> tree(ReadOurs(reader, input->text));
    std::string out;
    {
        // An untimed first write, so every timed one finds the string's
        // memory already mapped (the peers get the same).
        XCXMLStringWriteStream stream(out);
        tree->Write(&stream);
    }
    for (auto _ : state) {
        out.clear();
        const Clock::time_point start = Clock::now();
        XCXMLStringWriteStream stream(out);
        tree->Write(&stream);
        state.SetIterationTime(Seconds(start, Clock::now()));
        benchmark::DoNotOptimize(out.data());
    }
}

std::size_t OursHeld(const Input& input) {
    const std::size_t before = HeapInUse();
    XCXMLTree* tree;
    {
        CXMLTreeReader reader;
        tree = ReadOurs(reader, input.text);
    }
    const std::size_t held = HeapInUse() - before;
    delete tree;
    return held;
}

}  // namespace bench
