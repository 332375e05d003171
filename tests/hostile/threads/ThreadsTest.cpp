// Several threads read, edit, copy, parse and write documents of their own,
// each with its own reader and parser, while the main thread keeps swapping
// the process-wide reporter sink that their destructor reports go to. Built
// with -fsanitize=thread this shows whether any state is shared by accident.
// A plain program rather than a GoogleTest one: the prebuilt GoogleTest
// library is not instrumented, and ThreadSanitizer wants the whole program.

#include <CorvaneXML/CorvaneXML.h>

#include "../RichDocument.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace CorvaneXML;

namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 150;

// CDATA kept as host data; its Destroy fails, so that every document deleted
// reports through the reporter.
class Body : public XIXMLData::IXMLCData {
public:
    explicit Body(std::string text) : text_(std::move(text)) {}
    bool Write(XIXMLWriteStream* stream, int, const XIXMLNode*) override {
        return stream->Write(text_.data(), text_.size()) == text_.size();
    }
    IXMLCData* Copy() override { return new Body(text_); }

protected:
    void Destroy() override {
        delete this;
        throw std::runtime_error("body refuses to go quietly");
    }

private:
    std::string text_;
};

class BodyReader : public IXMLCDataReader {
public:
    bool Read(XIXMLElement* element, XIXMLReadStream* stream) override {
        std::string text;
        char chunk[64];
        for (std::uint64_t n; (n = stream->Read(chunk, sizeof chunk)) > 0;) text.append(chunk, n);
        element->AddData(new Body(text));
        return true;
    }
};

class CountingParser : public CXMLParser {
public:
    int events = 0;

protected:
    const void* OpenNode(const char* name) override {
        ++events;
        return std::string(name) == "skip" ? nullptr : this;
    }
    void Attribute(const char*, const char*) override { ++events; }
    void Data(const char*) override { ++events; }
    void CloseNode(const void*) override { ++events; }
};

struct Sink {
    std::atomic<long> reports{0};
    static void Receive(Corvane::XIReporter::EMsgType, const char*, void* context) {
        ++static_cast<Sink*>(context)->reports;
    }
};

std::string Written(const XCXMLTree& tree) {
    std::string text;
    XCXMLStringWriteStream stream(text);
    tree.Write(&stream);
    return text;
}

// One thread's work; returns what went wrong, or nothing.
std::string Work(int id) {
    BodyReader bodies;
    CXMLTreeReader reader(&bodies);
    CountingParser parser;
    const std::string mark = "thread " + std::to_string(id);
    std::string expected;
    int expectedEvents = -1;
    const std::string text = RichDocument();
    for (int round = 0; round < kRounds; ++round) {
        XCXMLMemoryReadStream input(text);
        std::unique_ptr<XCXMLTree> tree(reader.ReadTree(&input));
        XIXMLElement* doc = tree->GetRoot()->FindElement("doc");
        doc->FindAttribute("a")->SetValue(mark.c_str());
        doc->AddElement("round")->AddData("0")->SetData(round);

        std::unique_ptr<XCXMLTree> copy(new XCXMLTree);
        for (XIXMLNode* node = tree->GetRoot()->GetFirstNode(); node != nullptr; node = node->GetNext()) {
            node->Copy(copy->GetRoot());
        }
        const std::string written = Written(*copy);
        if (written != Written(*tree)) return mark + ": the copy writes differently";
        if (written.find(mark) == std::string::npos || written.find("x < y") == std::string::npos) {
            return mark + ": the edit or the CDATA is missing";
        }
        doc->FindElement("round")->Destroy();
        if (expected.empty()) expected = Written(*tree);
        if (Written(*tree) != expected) return mark + ": round " + std::to_string(round) + " differs";

        parser.events = 0;
        XCXMLMemoryReadStream again(written);
        parser.FastParse(&again);
        if (expectedEvents < 0) expectedEvents = parser.events;
        if (parser.events != expectedEvents) return mark + ": a different number of events";
    }
    return {};
}

}  // namespace

int main() {
    Sink first;
    Sink second;
    std::atomic<int> running{kThreads};
    std::vector<std::string> problems(kThreads);
    Corvane::XCReporter::SetSink(&Sink::Receive, &first);
    std::vector<std::thread> threads;
    for (int id = 0; id < kThreads; ++id) {
        threads.emplace_back([id, &problems, &running] {
            try {
                problems[id] = Work(id);
            } catch (const std::exception& error) {
                problems[id] = error.what();
            }
            --running;
        });
    }
    for (long swaps = 1; running.load() > 0; ++swaps) {
        Sink& sink = swaps % 2 == 0 ? first : second;
        Corvane::XCReporter::SetSink(&Sink::Receive, &sink);
        std::this_thread::yield();
    }
    for (std::thread& thread : threads) thread.join();
    Corvane::XCReporter::SetSink(nullptr, nullptr);

    int status = 0;
    for (const std::string& problem : problems) {
        if (!problem.empty()) {
            std::fprintf(stderr, "%s\n", problem.c_str());
            status = 1;
        }
    }
    // Each round deletes two documents with one CDATA body each.
    const long reports = first.reports + second.reports;
    if (reports != 2L * kThreads * kRounds) {
        std::fprintf(stderr, "%ld destructor reports, expected %ld\n", reports, 2L * kThreads * kRounds);
        status = 1;
    }
    return status;
}
