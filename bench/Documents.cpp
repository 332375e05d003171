// Documents to measure: generated deterministically, about 10 MB each, or
// read from files; and the heap and page-fault probes.

#include "Bench.h"

#include <malloc.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

namespace bench {

namespace {

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

}  // namespace

// Records with a few attributes and a short text each.
Input Records() {
    static const char* const kinds[] = {"alpha", "beta", "gamma", "delta"};
    Random random(1);
    std::string text = "<records>";
    for (unsigned i = 0; text.size() < kTargetSize; ++i) {
        text += "\n\t<record id=\"" + std::to_string(i) + "\" name=\"" + random.Word(4, 10) + "\" kind=\"" +
                kinds[random.Below(4)] + "\" price=\"" + std::to_string(random.Below(10000)) + "." +
                std::to_string(10 + random.Below(90)) + "\">" + random.Word(3, 8) + " " + random.Word(2, 9) + " " +
                std::to_string(i) + "</record>";
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

// Read in one piece, so that no large block is freed on the way: glibc would
// take that as a reason to keep freed memory from then on (see --faults).
Input FromFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(2);
    }
    std::string text(static_cast<std::size_t>(file.tellg()), '\0');
    file.seekg(0);
    file.read(&text[0], static_cast<std::streamsize>(text.size()));
    Input input{path.substr(path.find_last_of('/') + 1), std::move(text)};
    input.path = path;
    return input;
}

// --- heap and page-fault accounting -------------------------------------------------

// Bytes the allocator hands out right now, chunk overhead included (the
// program is single-threaded, so the main arena and mmap'ed blocks are all).
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

long MinorFaults() {
    rusage usage;
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}

}  // namespace bench
