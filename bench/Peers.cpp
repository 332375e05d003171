// The peers' equivalents of our measurements.

#include "Bench.h"

#include <expat.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <tinyxml2.h>
#include <pugixml.hpp>

#include <memory>
#include <string>

namespace bench {

// --- pugixml --------------------------------------------------------------------

struct PugiStringWriter : pugi::xml_writer {
    explicit PugiStringWriter(std::string& out) : out(out) {}
    void write(const void* data, std::size_t size) override { out.append(static_cast<const char*>(data), size); }
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
    {
        PugiStringWriter warmUp(out);  // maps the string's memory untimed
        doc->save(warmUp, "\t");
    }
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

double PugiFaultsPerRead(const Input& input) {
    return FaultsPerRead([&input] { return ReadPugi(input.text); });
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
    doc->Print(&printer);  // maps the buffer's memory untimed
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
        const XML_Status status = XML_Parse(parser, input->text.data(), static_cast<int>(input->text.size()), 1);
        XML_ParserFree(parser);
        state.SetIterationTime(Seconds(start, Clock::now()));
        if (status != XML_STATUS_OK) {
            state.SkipWithError("expat refused the document");
            break;
        }
    }
}

}  // namespace bench
