// This library's measurements.

#include "Bench.h"

#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <cstdint>
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

std::unique_ptr<XCXMLTree> ReadOurs(const std::string& text) {
    XCXMLMemoryReadStream stream(text);
    CXMLTreeReader reader;
    return std::unique_ptr<XCXMLTree>(reader.ReadTree(&stream));
}

void OursReadTree(benchmark::State& state, const Input* input) {
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        std::unique_ptr<XCXMLTree> tree = ReadOurs(input->text);
        state.SetIterationTime(Seconds(start, Clock::now()));
    }
}

void OursDeleteTree(benchmark::State& state, const Input* input) {
    for (auto _ : state) {
        std::unique_ptr<XCXMLTree> tree = ReadOurs(input->text);
        const Clock::time_point start = Clock::now();
        tree.reset();
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

namespace {

// What a host that writes into a string of its own would give the writer;
// the writer then makes one call per plain character.
class HostStream : public XIXMLWriteStream {
public:
    explicit HostStream(std::string& out) : out_(out) {}
    std::uint64_t Write(const char* data, std::uint64_t size) override {
        out_.append(data, size);
        return size;
    }

private:
    std::string& out_;
};

// Times writing a tree of the input to `Stream` over a string; an untimed
// first write maps the string's memory, so that no timed one pays for it
// (the peers get the same).
template <class Stream>
void WriteTo(benchmark::State& state, const Input* input) {
    std::unique_ptr<XCXMLTree> tree = ReadOurs(input->text);
    std::string out;
    {
        Stream stream(out);
        tree->Write(&stream);
    }
    for (auto _ : state) {
        out.clear();
        const Clock::time_point start = Clock::now();
        Stream stream(out);
        tree->Write(&stream);
        state.SetIterationTime(Seconds(start, Clock::now()));
        benchmark::DoNotOptimize(out.data());
    }
}

}  // namespace

void OursWrite(benchmark::State& state, const Input* input) { WriteTo<XCXMLStringWriteStream>(state, input); }

void OursWriteToHostStream(benchmark::State& state, const Input* input) { WriteTo<HostStream>(state, input); }

std::size_t OursHeld(const Input& input) {
    const std::size_t before = HeapInUse();
    std::unique_ptr<XCXMLTree> tree = ReadOurs(input.text);
    return HeapInUse() - before;
}

double OursFaultsPerRead(const Input& input) {
    return FaultsPerRead([&input] { return ReadOurs(input.text); });
}

}  // namespace bench
