// Throughput of this library next to common C++ XML libraries, measured in
// one run on the same in-memory documents.
//
//   corvane_bench [benchmark flags] [file.xml ...]
//   corvane_bench --growth      how costs grow from n to 10n (Growth.cpp)
//   corvane_bench --faults ours|pugixml file.xml
//                               page faults per read of the file, in a process
//                               that does nothing else (also for perf stat)
//
// The generated documents are always measured; files named on the command
// line (bench/run.sh names a set of real ones) are measured next to them.
//
// Every measurement is reported in MB/s of the input document (the same bytes
// for every library, so ratios are ratios of time); times are CPU times of
// the measuring thread. Tree building is timed without the deletion of the
// tree; deletion is timed on its own. At the end a summary compares each of
// our measurements with every peer (peer time / our time: above 1 means we
// are faster), using the median of the repetitions, then the scorecard over
// the files (Scorecard.cpp).

#include "Bench.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

// --- summary --------------------------------------------------------------------

void CollectingReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
        seconds_[run.run_name.function_name].push_back(run.GetAdjustedRealTime() /
                                                       benchmark::GetTimeUnitMultiplier(run.time_unit));
    }
    ConsoleReporter::ReportRuns(runs);
}

double CollectingReporter::Median(const std::string& name) const {
    auto found = seconds_.find(name);
    if (found == seconds_.end() || found->second.empty()) return -1;
    std::vector<double> values = found->second;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

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
        {"ours", "WriteToHostStream", OursWriteToHostStream},
        {"ours", "ParsePositions", OursParsePositions},
        {"ours", "ReadTreePositions", OursReadTreePositions},
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
    static const Row rows[] = {{"ReadTree", "Parse"}, {"Parse", "Parse"}, {"FastParse", "Parse"}, {"Write", "Save"}};
    static const char* const peers[] = {"pugixml", "tinyxml2", "libxml2", "expat"};

    std::printf("\nSummary (medians; ratio = peer time / our time, above 1 means ours is faster)\n\n");
    std::printf("%-24s %-10s %9s %10s %10s %10s %10s\n", "input", "ours", "MB/s", "pugixml", "tinyxml2", "libxml2",
                "expat");
    std::map<std::string, std::vector<double>> logRatios;  // for geometric means
    for (const Row& row : rows) {
        for (const Input& input : inputs) {
            const double ours = results.Median(Name(input, "ours", row.operation));
            if (ours <= 0) continue;
            std::printf("%-24s %-10s %9.1f", input.name.c_str(), row.operation, rate(input, ours));
            for (const char* peer : peers) {
                const double theirs = results.Median(Name(input, peer, row.peerOperation));
                std::printf(" %10s", ratioText(ours, theirs).c_str());
                if (theirs > 0 && input.elements == 0 && input.path.empty()) {
                    logRatios[std::string(row.operation) + "/" + peer].push_back(std::log(theirs / ours));
                }
            }
            std::printf("\n");
        }
    }
    std::printf("\nGeometric means over the generated documents (without the sibling lists)\n");
    for (const Row& row : rows) {
        std::printf("%-24s %-10s %9s", "generated", row.operation, "");
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

    std::printf("\nDeleting a read tree\n%-24s %12s %12s %14s\n", "input", "build ms", "delete ms", "build/delete");
    for (const Input& input : inputs) {
        if (!input.path.empty()) continue;  // in the scorecard
        const double build = results.Median(Name(input, "ours", "ReadTree"));
        const double release = results.Median(Name(input, "ours", "DeleteTree"));
        if (build <= 0 || release <= 0) continue;
        std::printf("%-24s %12.2f %12.2f %13.2fx\n", input.name.c_str(), build * 1e3, release * 1e3, build / release);
    }

    std::printf("\nTime per element of the sibling lists (ns)\n%-24s %10s %10s %10s %10s\n", "input", "elements",
                "ReadTree", "Write", "DeleteTree");
    for (const Input& input : inputs) {
        if (input.elements == 0) continue;
        const double n = static_cast<double>(input.elements);
        std::printf("%-24s %10zu", input.name.c_str(), input.elements);
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

    std::printf(
        "\nAsking for the position of every event (Parse) or element (ReadTree), MB/s\n"
        "%-24s %10s %10s %8s %10s %10s %8s\n",
        "input", "Parse", "asking", "x time", "ReadTree", "asking", "x time");
    for (const Input& input : inputs) {
        const double parse = results.Median(Name(input, "ours", "Parse"));
        const double parseAsking = results.Median(Name(input, "ours", "ParsePositions"));
        const double read = results.Median(Name(input, "ours", "ReadTree"));
        const double readAsking = results.Median(Name(input, "ours", "ReadTreePositions"));
        if (parse <= 0 || parseAsking <= 0 || read <= 0 || readAsking <= 0) continue;
        std::printf("%-24s %10.1f %10.1f %7.2fx %10.1f %10.1f %7.2fx\n", input.name.c_str(), rate(input, parse),
                    rate(input, parseAsking), parseAsking / parse, rate(input, read), rate(input, readAsking),
                    readAsking / read);
    }

    std::printf("\nHeap held by a read tree, bytes per input byte\n%-24s %9s %9s %9s %9s %14s\n", "input", "ours",
                "pugixml", "tinyxml2", "libxml2", "pugixml/ours");
    for (const Input& input : inputs) {
        // Only for the documents the filter left in (reading a tree is what
        // is accounted); the real ones are in the scorecard.
        if (!input.path.empty() || results.Median(Name(input, "ours", "ReadTree")) <= 0) continue;
        const double size = static_cast<double>(input.text.size());
        const double ours = static_cast<double>(OursHeld(input)) / size;
        const double pugi = static_cast<double>(PugiHeld(input)) / size;
        const double tiny = static_cast<double>(TinyHeld(input)) / size;
        const double libxml = static_cast<double>(LibXmlHeld(input)) / size;
        std::printf("%-24s %9.2f %9.2f %9.2f %9.2f %13.2fx\n", input.name.c_str(), ours, pugi, tiny, libxml,
                    pugi / ours);
    }
}

}  // namespace bench

using namespace bench;

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--faults") {
        const Input input = FromFile(argv[3]);
        std::printf("%.1f\n", std::string(argv[2]) == "pugixml" ? PugiFaultsPerRead(input) : OursFaultsPerRead(input));
        return 0;
    }
    // Freed memory stays in the process: otherwise each iteration re-faults
    // the pages the previous one returned to the system, and the figures
    // measure the kernel (very unevenly on virtual machines) as much as the
    // libraries. Applies to every library alike. The page faults that a read
    // costs where the allocator keeps its own settings are counted apart,
    // each library in a process of its own (--faults).
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    if (argc == 2 && std::string(argv[1]) == "--growth") {
        PrintGrowth();
        return 0;
    }
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
        std::printf("%-24s %10zu bytes\n", input.name.c_str(), input.text.size());
    }
    for (const Input& input : inputs) Register(input);

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter, inputs);
    PrintScorecard(reporter, inputs);
    benchmark::Shutdown();
    xmlCleanupParser();
    return 0;
}
