// Throughput of this library next to common C++ XML libraries, measured in
// one run on the same in-memory documents.
//
//   corvane_bench [benchmark flags] [file.xml ...]
//
// The generated documents are always measured; files named on the command
// line are measured next to them.
//
// Every measurement is reported in MB/s of the input document (the same bytes
// for every library, so ratios are ratios of time); times are CPU times of
// the measuring thread. Tree building is timed
// without the deletion of the tree; deletion is timed on its own. At the end
// a summary compares each of our measurements with every peer (peer time /
// our time: above 1 means we are faster), using the median of the
// repetitions, followed by the heap a read tree holds per input byte.

#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <benchmark/benchmark.h>
#include <expat.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <malloc.h>
#include <pugixml.hpp>
#include <tinyxml2.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <time.h>

namespace {

// The thread's CPU time: on a shared machine, time spent descheduled would
// otherwise land on whichever library happened to be running.
struct Clock {
    using time_point = double;
    static double now() {
        timespec now;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    }
};

double Seconds(double from, double to) { return to - from; }

struct Input {
    std::string name;
    std::string text;
    std::size_t elements = 0;  // for the per-element figures of flat documents
};

// --- generated documents ------------------------------------------------------

constexpr std::size_t kTargetSize = 10u * 1024u * 1024u;

// Deterministic on every platform: the engine's sequence is fixed by the
// standard, and only its raw output is used.
class Random {
public:
    explicit Random(std::uint32_t seed) : engine_(seed) {}
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(engine_() % n); }
    std::string Word(std::size_t minLength, std::size_t maxLength) {
        std::string word;
        std::size_t length = minLength + Below(static_cast<std::uint32_t>(maxLength - minLength + 1));
        for (std::size_t i = 0; i < length; ++i) word += static_cast<char>('a' + Below(26));
        return word;
    }

private:
    std::mt19937 engine_;
};

// Records with a few attributes and a short text each.
Input Records() {
    static const char* const kinds[] = {"alpha", "beta", "gamma", "delta"};
    Random random(1);
    std::string text = "<records>";
    for (unsigned i = 0; text.size() < kTargetSize; ++i) {
        text += "\n\t<record id=\"" + std::to_string(i) + "\" name=\"" + random.Word(4, 10) +
                "\" kind=\"" + kinds[random.Below(4)] + "\" price=\"" + std::to_string(random.Below(10000)) +
                "." + std::to_string(10 + random.Below(90)) + "\">" + random.Word(3, 8) + " " +
                random.Word(2, 9) + " " + std::to_string(i) + "</record>";
    }
    text += "\n</records>\n";
    return {"records", std::move(text)};
}

// Empty elements carrying many attributes; now and then an escaped quote.
Input Attributes() {
    Random random(2);
    std::string text = "<items>";
    for (unsigned i = 0; text.size() < kTargetSize; ++i) {
        text += "\n\t<item id=\"" + std::to_string(i) + "\"";
        for (int a = 0; a < 10; ++a) {
            text += " a" + std::to_string(a) + "=\"" + random.Word(2, 14);
            if (random.Below(16) == 0) text += "&quot;";
            text += "\"";
        }
        text += "/>";
    }
    text += "\n</items>\n";
    return {"attributes", std::move(text)};
}

// Long paragraphs of words with entity and character references among them.
Input LongText() {
    static const char* const references[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;", "&#233;", "&#x20ac;"};
    Random random(3);
    std::string text = "<doc>";
    while (text.size() < kTargetSize) {
        text += "\n\t<p>";
        for (int w = 0; w < 600; ++w) {
            text += random.Word(1, 9);
            text += random.Below(10) == 0 ? references[random.Below(7)] : " ";
        }
        text += "</p>";
    }
    text += "\n</doc>\n";
    return {"text", std::move(text)};
}

// Large CDATA sections whose bodies hold markup characters and brackets.
Input CData() {
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz <&]\n\t0123456789";
    Random random(4);
    std::string text = "<blobs>";
    while (text.size() < kTargetSize) {
        text += "\n\t<blob><![CDATA[";
        for (int i = 0; i < 64 * 1024; ++i) text += alphabet[random.Below(sizeof alphabet - 1)];
        text += "]]></blob>";
    }
    text += "\n</blobs>\n";
    return {"cdata", std::move(text)};
}

// Chains of elements nested 90 deep (within every peer's depth limit).
Input Deep() {
    Random random(5);
    std::string text = "<deep>";
    while (text.size() < kTargetSize) {
        for (int level = 0; level < 90; ++level) text += "<n l=\"" + std::to_string(level) + "\">";
        text += random.Word(5, 20);
        for (int level = 0; level < 90; ++level) text += "</n>";
    }
    text += "</deep>\n";
    return {"deep", std::move(text)};
}

// A root with `count` empty children: appending must not walk the siblings.
Input Siblings(std::size_t count, const char* name) {
    std::string text = "<root>";
    text.reserve(count * 6 + 16);
    for (std::size_t i = 0; i < count; ++i) text += "\n\t<e/>";
    text += "\n</root>\n";
    Input input{name, std::move(text)};
    input.elements = count;
    return input;
}

Input FromFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(2);
    }
    std::ostringstream content;
    content << file.rdbuf();
    std::string name = path.substr(path.find_last_of('/') + 1);
    return {name, content.str()};
}

// --- heap accounting -------------------------------------------------------------

// Bytes the allocator hands out right now, chunk overhead included (the
// program is single-threaded, so the main arena and mmap'ed blocks are all).
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// --- this library -------------------------------------------------------------

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
        if (fast) {
            parser.FastParse(&stream);
        } else {
            parser.Parse(&stream);
        }
        state.SetIterationTime(Seconds(start, Clock::now()));
    }
}

void OursWrite(benchmark::State& state, const Input* input) {
    CXMLTreeReader reader;
    std::unique_ptr<XCXMLTree> tree(ReadOurs(reader, input->text));
    std::string out;
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

// --- pugixml --------------------------------------------------------------------

struct PugiStringWriter : pugi::xml_writer {
    explicit PugiStringWriter(std::string& out) : out(out) {}
    void write(const void* data, std::size_t size) override {
        out.append(static_cast<const char*>(data), size);
    }
    std::string& out;
};

std::unique_ptr<pugi::xml_document> ReadPugi(const std::string& text) {
    auto doc = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result = doc->load_buffer(text.data(), text.size());
    if (!result) {
        std::fprintf(stderr, "pugixml: %s\n", result.description());
        std::exit(1);
    }
    return doc;
}

void PugiParse(benchmark::State& state, const Input* input) {
    for (auto _ : state) {
        auto doc = std::make_unique<pugi::xml_document>();
        const Clock::time_point start = Clock::now();
        doc->load_buffer(input->text.data(), input->text.size());
        state.SetIterationTime(Seconds(start, Clock::now()));
    }
}

void PugiSave(benchmark::State& state, const Input* input) {
    auto doc = ReadPugi(input->text);
    std::string out;
    for (auto _ : state) {
        out.clear();
        const Clock::time_point start = Clock::now();
        PugiStringWriter writer(out);
        doc->save(writer, "\t");
        state.SetIterationTime(Seconds(start, Clock::now()));
        benchmark::DoNotOptimize(out.data());
    }
}

std::size_t PugiHeld(const Input& input) {
    const std::size_t before = HeapInUse();
    auto doc = ReadPugi(input.text);
    return HeapInUse() - before;
}

// --- tinyxml2 -------------------------------------------------------------------

std::unique_ptr<tinyxml2::XMLDocument> ReadTiny(const std::string& text) {
    auto doc = std::make_unique<tinyxml2::XMLDocument>();
    if (doc->Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        std::fprintf(stderr, "tinyxml2: %s\n", doc->ErrorStr());
        std::exit(1);
    }
    return doc;
}

void TinyParse(benchmark::State& state, const Input* input) {
    for (auto _ : state) {
        auto doc = std::make_unique<tinyxml2::XMLDocument>();
        const Clock::time_point start = Clock::now();
        doc->Parse(input->text.data(), input->text.size());
        state.SetIterationTime(Seconds(start, Clock::now()));
    }
}

void TinySave(benchmark::State& state, const Input* input) {
    auto doc = ReadTiny(input->text);
    tinyxml2::XMLPrinter printer;
    for (auto _ : state) {
        printer.ClearBuffer();
        const Clock::time_point start = Clock::now();
        doc->Print(&printer);
        state.SetIterationTime(Seconds(start, Clock::now()));
        benchmark::DoNotOptimize(printer.CStr());
    }
}

std::size_t TinyHeld(const Input& input) {
    const std::size_t before = HeapInUse();
    auto doc = ReadTiny(input.text);
    return HeapInUse() - before;
}

// --- libxml2 --------------------------------------------------------------------

constexpr int kLibXmlOptions = XML_PARSE_NOBLANKS | XML_PARSE_NONET;

xmlDocPtr ReadLibXml(const std::string& text) {
    return xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, kLibXmlOptions);
}

void LibXmlParse(benchmark::State& state, const Input* input) {
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        xmlDocPtr doc = ReadLibXml(input->text);
        state.SetIterationTime(Seconds(start, Clock::now()));
        if (doc == nullptr) {
            state.SkipWithError("libxml2 refused the document");
            break;
        }
        xmlFreeDoc(doc);
    }
}

std::size_t LibXmlHeld(const Input& input) {
    const std::size_t before = HeapInUse();
    xmlDocPtr doc = ReadLibXml(input.text);
    const std::size_t held = HeapInUse() - before;
    xmlFreeDoc(doc);
    return held;
}

// --- expat ----------------------------------------------------------------------

void XMLCALL ExpatStart(void*, const XML_Char*, const XML_Char**) {}
void XMLCALL ExpatEnd(void*, const XML_Char*) {}
void XMLCALL ExpatText(void*, const XML_Char*, int) {}

void ExpatParse(benchmark::State& state, const Input* input) {
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        XML_Parser parser = XML_ParserCreate(nullptr);
        XML_SetElementHandler(parser, ExpatStart, ExpatEnd);
        XML_SetCharacterDataHandler(parser, ExpatText);
        const XML_Status status =
            XML_Parse(parser, input->text.data(), static_cast<int>(input->text.size()), 1);
        XML_ParserFree(parser);
        state.SetIterationTime(Seconds(start, Clock::now()));
        if (status != XML_STATUS_OK) {
            state.SkipWithError("expat refused the document");
            break;
        }
    }
}

// --- summary --------------------------------------------------------------------

// Keeps every repetition's time per iteration, by benchmark name, for the
// summary; the console output is the usual one.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            seconds_[run.run_name.function_name].push_back(
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit));
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Median seconds per iteration, or a negative value when not measured.
    double Median(const std::string& name) const {
        auto found = seconds_.find(name);
        if (found == seconds_.end() || found->second.empty()) return -1;
        std::vector<double> values = found->second;
        std::sort(values.begin(), values.end());
        const std::size_t n = values.size();
        return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    }

private:
    std::map<std::string, std::vector<double>> seconds_;
};

std::string Name(const Input& input, const char* library, const char* operation) {
    return input.name + "/" + library + "/" + operation;
}

void Register(const Input& input) {
    const Input* in = &input;
    struct Entry {
        const char* library;
        const char* operation;
        void (*function)(benchmark::State&, const Input*);
    };
    static const Entry entries[] = {
        {"ours", "ReadTree", OursReadTree},
        {"ours", "DeleteTree", OursDeleteTree},
        {"ours", "Parse", [](benchmark::State& s, const Input* i) { OursParse(s, i, false); }},
        {"ours", "FastParse", [](benchmark::State& s, const Input* i) { OursParse(s, i, true); }},
        {"ours", "Write", OursWrite},
        {"pugixml", "Parse", PugiParse},
        {"pugixml", "Save", PugiSave},
        {"tinyxml2", "Parse", TinyParse},
        {"tinyxml2", "Save", TinySave},
        {"libxml2", "Parse", LibXmlParse},
        {"expat", "Parse", ExpatParse},
    };
    for (const Entry& entry : entries) {
        auto function = entry.function;
        benchmark::internal::Benchmark* benchmark = benchmark::RegisterBenchmark(
            Name(input, entry.library, entry.operation).c_str(), [function, in](benchmark::State& state) {
                function(state, in);
                state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in->text.size()));
            });
        benchmark->UseManualTime()->Unit(benchmark::kMillisecond);
        // Each deletion needs a tree read first, untimed: a small tree would
        // otherwise be read many thousand times to fill the minimum time.
        if (std::string(entry.operation) == "DeleteTree") benchmark->Iterations(10);
    }
}

void PrintSummary(const CollectingReporter& results, const std::vector<Input>& inputs) {
    auto rate = [](const Input& input, double seconds) {
        return static_cast<double>(input.text.size()) / 1e6 / seconds;
    };
    auto ratioText = [](double ours, double peer) {
        char cell[32];
        if (ours <= 0 || peer <= 0) return std::string("-");
        std::snprintf(cell, sizeof cell, "%.2fx", peer / ours);
        return std::string(cell);
    };

    struct Row {
        const char* operation;
        const char* peerOperation;  // Parse or Save
    };
    static const Row rows[] = {
        {"ReadTree", "Parse"}, {"Parse", "Parse"}, {"FastParse", "Parse"}, {"Write", "Save"}};
    static const char* const peers[] = {"pugixml", "tinyxml2", "libxml2", "expat"};

    std::printf("\nSummary (medians; ratio = peer time / our time, above 1 means ours is faster)\n\n");
    std::printf("%-12s %-10s %9s %10s %10s %10s %10s\n", "input", "ours", "MB/s", "pugixml", "tinyxml2",
                "libxml2", "expat");
    std::map<std::string, std::vector<double>> logRatios;  // for geometric means
    for (const Row& row : rows) {
        for (const Input& input : inputs) {
            const double ours = results.Median(Name(input, "ours", row.operation));
            if (ours <= 0) continue;
            std::printf("%-12s %-10s %9.1f", input.name.c_str(), row.operation, rate(input, ours));
            for (const char* peer : peers) {
                const double theirs = results.Median(Name(input, peer, row.peerOperation));
                std::printf(" %10s", ratioText(ours, theirs).c_str());
                if (theirs > 0 && input.elements == 0) {
                    logRatios[std::string(row.operation) + "/" + peer].push_back(std::log(theirs / ours));
                }
            }
            std::printf("\n");
        }
    }
    std::printf("\nGeometric means over the documents (without the sibling lists)\n");
    for (const Row& row : rows) {
        std::printf("%-12s %-10s %9s", "all", row.operation, "");
        for (const char* peer : peers) {
            auto found = logRatios.find(std::string(row.operation) + "/" + peer);
            if (found == logRatios.end()) {
                std::printf(" %10s", "-");
                continue;
            }
            double sum = 0;
            for (double value : found->second) sum += value;
            std::printf(" %9.2fx", std::exp(sum / static_cast<double>(found->second.size())));
        }
        std::printf("\n");
    }

    std::printf("\nDeleting a read tree\n%-12s %12s %12s %14s\n", "input", "build ms", "delete ms",
                "build/delete");
    for (const Input& input : inputs) {
        const double build = results.Median(Name(input, "ours", "ReadTree"));
        const double release = results.Median(Name(input, "ours", "DeleteTree"));
        if (build <= 0 || release <= 0) continue;
        std::printf("%-12s %12.2f %12.2f %13.2fx\n", input.name.c_str(), build * 1e3, release * 1e3,
                    build / release);
    }

    std::printf("\nTime per element of the sibling lists (ns)\n%-12s %10s %10s %10s %10s\n", "input",
                "elements", "ReadTree", "Write", "DeleteTree");
    for (const Input& input : inputs) {
        if (input.elements == 0) continue;
        const double n = static_cast<double>(input.elements);
        std::printf("%-12s %10zu", input.name.c_str(), input.elements);
        for (const char* operation : {"ReadTree", "Write", "DeleteTree"}) {
            const double seconds = results.Median(Name(input, "ours", operation));
            if (seconds <= 0) {
                std::printf(" %10s", "-");
            } else {
                std::printf(" %10.1f", seconds * 1e9 / n);
            }
        }
        std::printf("\n");
    }

    std::printf("\nHeap held by a read tree, bytes per input byte\n%-12s %9s %9s %9s %9s %14s\n", "input",
                "ours", "pugixml", "tinyxml2", "libxml2", "pugixml/ours");
    for (const Input& input : inputs) {
        // Only for the documents the filter left in (reading a tree is what
        // is accounted).
        if (results.Median(Name(input, "ours", "ReadTree")) <= 0) continue;
        const double size = static_cast<double>(input.text.size());
        const double ours = static_cast<double>(OursHeld(input)) / size;
        const double pugi = static_cast<double>(PugiHeld(input)) / size;
        const double tiny = static_cast<double>(TinyHeld(input)) / size;
        const double libxml = static_cast<double>(LibXmlHeld(input)) / size;
        std::printf("%-12s %9.2f %9.2f %9.2f %9.2f %13.2fx\n", input.name.c_str(), ours, pugi, tiny, libxml,
                    pugi / ours);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Freed memory stays in the process: otherwise each iteration re-faults
    // the pages the previous one returned to the system, and the figures
    // measure the kernel (very unevenly on virtual machines) as much as the
    // libraries. Applies to every library alike.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    xmlInitParser();

    std::vector<Input> inputs;
    inputs.push_back(Records());
    inputs.push_back(Attributes());
    inputs.push_back(LongText());
    inputs.push_back(CData());
    inputs.push_back(Deep());
    inputs.push_back(Siblings(250000, "siblings250k"));
    inputs.push_back(Siblings(1000000, "siblings1M"));
    for (int i = 1; i < argc; ++i) inputs.push_back(FromFile(argv[i]));
    for (const Input& input : inputs) {
        std::printf("%-12s %10zu bytes\n", input.name.c_str(), input.text.size());
    }
    for (const Input& input : inputs) Register(input);

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter, inputs);
    benchmark::Shutdown();
    xmlCleanupParser();
    return 0;
}
