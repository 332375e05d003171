// The figures that the speed of this library is judged by, over the documents
// read from files: per document and in geometric mean, then the goals with
// where each one stands now. Printed as Markdown tables, ready to paste.
// Ratios are our MB/s / the peer's MB/s (the peer's time / ours).

#include "Bench.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

namespace {

enum Figure {
    kReadRate,
    kReadVsPugi,
    kReadVsTiny,
    kParseRate,
    kParseVsPugi,
    kParseVsExpat,
    kWriteRate,
    kWriteVsPugi,
    kHostWriteRate,
    kHeld,
    kPugiHeld,
    kHeldVsPugi,
    kDeleteSpeedup,
    kFaults,
    kPugiFaults,
    kFigureCount
};

// Not a number where a benchmark did not run (the filter left it out).
using Figures = std::array<double, kFigureCount>;

double Per(double a, double b) { return a > 0 && b > 0 ? a / b : std::nan(""); }

// Page faults per read in a process of its own (corvane_bench --faults),
// whose allocator has seen nothing but this document read again and again:
// glibc keeps freed memory only once it has seen large blocks freed, so in
// this process, after the benchmarks, no read would fault.
double FaultsPerReadAlone(const char* library, const Input& input) {
    std::string quoted;
    for (char c : input.path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe");
    const std::string command = "'" + self + "' --faults " + library + " '" + quoted + "'";
    double faults = std::nan("");
    if (FILE* pipe = popen(command.c_str(), "r")) {
        if (std::fscanf(pipe, "%lf", &faults) != 1) faults = std::nan("");
        pclose(pipe);
    }
    return faults;
}

Figures Measure(const CollectingReporter& results, const Input& input) {
    auto median = [&](const char* library, const char* operation) {
        return results.Median(Name(input, library, operation));
    };
    const double megabytes = static_cast<double>(input.text.size()) / 1e6;
    const double read = median("ours", "ReadTree");
    const double parse = median("ours", "Parse");
    const double write = median("ours", "Write");
    const double pugiParse = median("pugixml", "Parse");
    Figures figures;
    figures.fill(std::nan(""));
    figures[kReadRate] = Per(megabytes, read);
    figures[kReadVsPugi] = Per(pugiParse, read);
    figures[kReadVsTiny] = Per(median("tinyxml2", "Parse"), read);
    figures[kParseRate] = Per(megabytes, parse);
    figures[kParseVsPugi] = Per(pugiParse, parse);
    figures[kParseVsExpat] = Per(median("expat", "Parse"), parse);
    figures[kWriteRate] = Per(megabytes, write);
    figures[kWriteVsPugi] = Per(median("pugixml", "Save"), write);
    figures[kHostWriteRate] = Per(megabytes, median("ours", "WriteToHostStream"));
    figures[kDeleteSpeedup] = Per(read, median("ours", "DeleteTree"));
    if (read > 0) {  // memory is probed for the documents the filter left in
        const double size = static_cast<double>(input.text.size());
        figures[kHeld] = static_cast<double>(OursHeld(input)) / size;
        figures[kPugiHeld] = static_cast<double>(PugiHeld(input)) / size;
        figures[kHeldVsPugi] = Per(figures[kHeld], figures[kPugiHeld]);
        figures[kFaults] = FaultsPerReadAlone("ours", input);
        figures[kPugiFaults] = FaultsPerReadAlone("pugixml", input);
    }
    return figures;
}

double GeometricMean(const std::vector<Figures>& rows, Figure figure) {
    double sum = 0;
    int count = 0;
    for (const Figures& row : rows) {
        if (std::isnan(row[figure])) continue;
        sum += std::log(row[figure]);
        ++count;
    }
    return count > 0 ? std::exp(sum / count) : std::nan("");
}

std::string Cell(const char* format, double value) {
    if (std::isnan(value)) return "-";
    char cell[32];
    std::snprintf(cell, sizeof cell, format, value);
    return cell;
}

struct Column {
    Figure figure;
    const char* title;
    const char* format;
};

const std::vector<Column> kSpeed = {
    {kReadRate, "ReadTree MB/s", "%.0f"},
    {kReadVsPugi, "vs pugixml load_buffer", "%.2f"},
    {kReadVsTiny, "vs tinyxml2 Parse", "%.2f"},
    {kParseRate, "Parse MB/s", "%.0f"},
    {kParseVsPugi, "vs pugixml", "%.2f"},
    {kParseVsExpat, "vs expat", "%.2f"},
    {kWriteRate, "Write MB/s", "%.0f"},
    {kWriteVsPugi, "vs pugixml save", "%.2f"},
    {kHostWriteRate, "Write to a host stream MB/s", "%.0f"},
};

const std::vector<Column> kMemory = {
    {kHeld, "heap held, bytes per input byte", "%.2f"}, {kPugiHeld, "pugixml's", "%.2f"},
    {kHeldVsPugi, "ours / pugixml's", "%.2f"},          {kDeleteSpeedup, "deleting, times faster than reading", "%.1f"},
    {kFaults, "page faults per read", "%.0f"},          {kPugiFaults, "pugixml's", "%.0f"},
};

void PrintTable(const char* title, const std::vector<Column>& columns, const std::vector<const Input*>& files,
                const std::vector<Figures>& rows) {
    std::printf("\n%s\n\n| document |", title);
    for (const Column& column : columns) std::printf(" %s |", column.title);
    std::printf("\n|---|");
    for (std::size_t i = 0; i < columns.size(); ++i) std::printf("---|");
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::printf("\n| %s (%.1f MB) |", files[i]->name.c_str(), static_cast<double>(files[i]->text.size()) / 1e6);
        for (const Column& column : columns) {
            std::printf(" %s |", Cell(column.format, rows[i][column.figure]).c_str());
        }
    }
    std::printf("\n| geometric mean |");
    for (const Column& column : columns) {
        std::printf(" %s |", Cell(column.format, GeometricMean(rows, column.figure)).c_str());
    }
    std::printf("\n");
}

// The goals, each with its geometric mean now and, where it helps, the
// figures behind it on the first file.
void PrintGoals(const Input& first, const Figures& on, const std::vector<Figures>& rows) {
    auto mean = [&rows](Figure figure) { return GeometricMean(rows, figure); };
    const char* name = first.name.c_str();
    std::printf("\nGoals (geometric means over the %zu files; ratio = our MB/s / the peer's MB/s)\n\n", rows.size());
    std::printf("| | now | target | moonshot |\n|---|---|---|---|\n");
    std::printf("| `ReadTree` vs pugixml `load_buffer` | %.2f (%.0f vs %.0f MB/s on %s) | ≥ 0.75 | ≥ 1.0 |\n",
                mean(kReadVsPugi), on[kReadRate], on[kReadRate] / on[kReadVsPugi], name);
    std::printf("| `ReadTree` vs tinyxml2 `Parse` | %.2f | ≥ 3 | |\n", mean(kReadVsTiny));
    std::printf("| `Parse` (no-op handlers) vs pugixml's whole DOM parse | %.2f | ≥ 1.2 | ≥ 2 |\n", mean(kParseVsPugi));
    std::printf("| `Parse` vs expat | %.2f | keep ≥ 5 | |\n", mean(kParseVsExpat));
    std::printf("| `Write` to `XCXMLStringWriteStream` vs pugixml `save` to memory | %.2f | ≥ 1.2 | |\n",
                mean(kWriteVsPugi));
    std::printf(
        "| heap held by a read tree vs pugixml's | %.2f× (%.2f vs %.2f bytes per input byte on %s) "
        "| ≤ 1.0× | ≤ 0.8× |\n",
        mean(kHeldVsPugi), on[kHeld], on[kPugiHeld], name);
    std::printf("| deleting a tree vs reading it | %.1f× faster | ≥ 10× faster | |\n", mean(kDeleteSpeedup));
    std::printf(
        "| `Write` to a host's own stream (one call per plain character) | %.0f MB/s (%.0f on %s) "
        "| measured | |\n",
        mean(kHostWriteRate), on[kHostWriteRate], name);
    std::printf(
        "| page faults per read, a new reader each time, vs pugixml's | %.0f vs %.0f (%.0f vs %.0f on %s) "
        "| few | |\n",
        mean(kFaults), mean(kPugiFaults), on[kFaults], on[kPugiFaults], name);
}

}  // namespace

void PrintScorecard(const CollectingReporter& results, const std::vector<Input>& inputs) {
    std::vector<const Input*> files;
    std::vector<Figures> rows;
    for (const Input& input : inputs) {
        if (input.path.empty()) continue;
        files.push_back(&input);
        rows.push_back(Measure(results, input));
    }
    if (files.empty()) return;
    PrintTable("Speed on the files (MB/s of the input; ratios: our MB/s / the peer's)", kSpeed, files, rows);
    PrintTable(
        "Memory on the files (page faults: minor faults per read in a process that reads only that document, "
        "each tree deleted before the next read)",
        kMemory, files, rows);
    PrintGoals(*files.front(), rows.front(), rows);
}

}  // namespace bench
