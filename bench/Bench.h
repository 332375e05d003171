#ifndef CORVANE_BENCH_BENCH_H
#define CORVANE_BENCH_BENCH_H

// What the parts of the benchmark share: the documents, the clock, the heap
// probe and the measurements of each library.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

#include <time.h>

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

// --- measurements (Ours.cpp, Peers.cpp) -------------------------------------------

using Measure = void (*)(benchmark::State& state, const Input* input);

void OursReadTree(benchmark::State& state, const Input* input);
void OursDeleteTree(benchmark::State& state, const Input* input);
void OursParse(benchmark::State& state, const Input* input, bool fast);
void OursWrite(benchmark::State& state, const Input* input);
std::size_t OursHeld(const Input& input);
void OursParsePositions(benchmark::State& state, const Input* input);
void OursReadTreePositions(benchmark::State& state, const Input* input);

void PugiParse(benchmark::State& state, const Input* input);
void PugiSave(benchmark::State& state, const Input* input);
std::size_t PugiHeld(const Input& input);
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

// --- registration and summary (Summary.cpp) ----------------------------------------

class CollectingReporter;
void Register(const Input& input);

}  // namespace bench

#endif
