#ifndef CORVANE_WRITER_FIXTURES_H
#define CORVANE_WRITER_FIXTURES_H

// Trees, providers and streams shared by the writer tests.

#include <CorvaneXML/CorvaneXML.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace writertest {

using namespace CorvaneXML;

// Number of operator new calls made in this test program so far.
std::size_t AllocationCount();

// Answers each Write with whatever `answer` returns for (size, call number
// from 1); keeps the bytes of the calls that were answered in full.
class ScriptedStream : public XIXMLWriteStream {
public:
    explicit ScriptedStream(std::function<std::uint64_t(std::uint64_t, std::size_t)> answer)
        : answer_(std::move(answer)) {}

    std::uint64_t Write(const char* data, std::uint64_t size) override {
        std::uint64_t result = answer_(size, ++calls);
        if (result == size) text.append(data, size);
        return result;
    }

    std::string text;
    std::size_t calls = 0;

private:
    std::function<std::uint64_t(std::uint64_t, std::size_t)> answer_;
};

// Appends without recording anything else; reserve ahead to write without
// allocating.
class AppendStream : public XIXMLWriteStream {
public:
    std::uint64_t Write(const char* data, std::uint64_t size) override {
        text.append(data, size);
        return size;
    }
    std::string text;
};

// What a provider saw when it was asked to write.
struct ProviderLog {
    int calls = 0;
    XIXMLWriteStream* stream = nullptr;
    int depth = -1;
    const XIXMLNode* node = nullptr;
};

// Writes `body` through the stream it is handed, in one call, then answers
// `result`.
class BodyProvider : public XIXMLData::IXMLCData {
public:
    BodyProvider(std::string body, bool result, ProviderLog* log)
        : body_(std::move(body)), result_(result), log_(log) {}

    bool Write(XIXMLWriteStream* stream, int depth, const XIXMLNode* node) override {
        if (log_ != nullptr) *log_ = ProviderLog{log_->calls + 1, stream, depth, node};
        if (stream->Write(body_.data(), body_.size()) != body_.size()) return false;
        return result_;
    }
    IXMLCData* Copy() override { return new BodyProvider(body_, result_, nullptr); }

private:
    std::string body_;
    bool result_;
    ProviderLog* log_;
};

// The document of the thirteen-line example: the text of `to` is owned text,
// or the given provider when there is one.
inline void BuildNote(XIXMLElement* root, XIXMLData::IXMLCData* toProvider = nullptr) {
    root->AddPI("xml", "version=\"1.0\"");
    const XCXMLKey note = root->GetKey("note");
    root->AddDocType(note, nullptr, "note.dtd", nullptr);
    root->AddComment(" sample ");
    XIXMLElement* element = root->AddElement(note);
    element->AddAttribute("id", "7");
    element->AddAttribute("lang", "en");
    XIXMLElement* to = element->AddElement("to");
    if (toProvider != nullptr) {
        to->AddData(toProvider);
    } else {
        to->AddData("Tove");
    }
    element->AddElement("body")->AddData("a < b & \"c\"");
    element->AddElement("empty")->AddAttribute("x", "1");
    element->AddElement("list")->AddElement("item");
}

inline const char* const kNoteText =
    "<?xml version=\"1.0\"?>\n"
    "<!DOCTYPE note SYSTEM \"note.dtd\">\n"
    "<!-- sample -->\n"
    "<note\n"
    "\t id=\"7\"\n"
    "\t lang=\"en\">\n"
    "\t<to>Tove</to>\n"
    "\t<body>a &lt; b &amp; \"c\"</body>\n"
    "\t<empty x=\"1\"/>\n"
    "\t<list>\n"
    "\t\t<item/>\n"
    "\t</list>\n"
    "</note>\n";

}  // namespace writertest

#endif
