#ifndef CORVANE_BENCH_BENCH_H
#define CORVANE_BENCH_BENCH_H

// What the parts of the benchmark share: the documents, the clock, the heap
// and page-fault probes, the measurements of each library and their results.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <time.h>

namespace CorvaneXML {
class XCXMLTree;
}

namespace bench {

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

inline double Seconds(double from, double to) { return to - from; }

struct Input {
    std::string name;
    std::string text;
    std::size_t elements = 0;  // for the per-element figures of flat documents
    std::string path = {};     // of a real document, read from a file
};

// --- generated documents (Documents.cpp) ----------------------------------------

Input Records();
Input Attributes();
Input LongText();
Input CData();
Input Deep();
Input Siblings(std::size_t count, const char* name);
Input FromFile(const std::string& path);

// Bytes the allocator hands out right now, chunk overhead included (the
// program is single-threaded, so the main arena and mmap'ed blocks are all).
std::size_t HeapInUse();

// Minor page faults of the calling thread so far.
long MinorFaults();

// Page faults per read of a document that `read` returns (and whose owner
// deletes it, as a host would, before the next read).
template <class Read>
double FaultsPerRead(Read read) {
    constexpr int kReads = 10;
    read();  // the first read may find the heap smaller than it stays
    long faults = 0;
    for (int i = 0; i < kReads; ++i) {
        const long before = MinorFaults();
        auto document = read();
        faults += MinorFaults() - before;
    }
    return static_cast<double>(faults) / kReads;
}

// --- measurements (Ours.cpp, Peers.cpp) -------------------------------------------

// Reads with a new tree reader, as most hosts do.
std::unique_ptr<CorvaneXML::XCXMLTree> ReadOurs(const std::string& text);

void OursReadTree(benchmark::State& state, const Input* input);
void OursDeleteTree(benchmark::State& state, const Input* input);
void OursParse(benchmark::State& state, const Input* input, bool fast);
void OursWrite(benchmark::State& state, const Input* input);
void OursWriteToHostStream(benchmark::State& state, const Input* input);
std::size_t OursHeld(const Input& input);
double OursFaultsPerRead(const Input& input);
void OursParsePositions(benchmark::State& state, const Input* input);
void OursReadTreePositions(benchmark::State& state, const Input* input);

void PugiParse(benchmark::State& state, const Input* input);
void PugiSave(benchmark::State& state, const Input* input);
std::size_t PugiHeld(const Input& input);
double PugiFaultsPerRead(const Input& input);
void TinyParse(benchmark::State& state, const Input* input);
void TinySave(benchmark::State& state, const Input* input);
std::size_t TinyHeld(const Input& input);
void LibXmlParse(benchmark::State& state, const Input* input);
std::size_t LibXmlHeld(const Input& input);
void ExpatParse(benchmark::State& state, const Input* input);

// --- growth with size (Growth.cpp) -----------------------------------------------------

// Prints time at 10n over time at n for hostile and ordinary cases, and the
// heap per input byte of the shapes that push it up.
void PrintGrowth();

// --- results (main.cpp) ---------------------------------------------------------------

// Keeps every repetition's time per iteration, by benchmark name, for the
// summaries; the console output is the usual one.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // Median seconds per iteration, or a negative value when not measured.
    double Median(const std::string& name) const;

private:
    std::map<std::string, std::vector<double>> seconds_;
};

// The benchmark's name for one library's operation on one input.
std::string Name(const Input& input, const char* library, const char* operation);

// --- the figures the speed work is judged by, over the real documents (Scorecard.cpp)

void PrintScorecard(const CollectingReporter& results, const std::vector<Input>& inputs);

}  // namespace bench

#endif
