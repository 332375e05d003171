// Several threads read, edit, copy and write documents of their own, each
// with its own reader, while the main thread keeps swapping the process-wide
// reporter sink that their destructor reports go to. Each round also hands
// an element taken out of its document to another thread, which destroys it
// while its document may still be in use or being deleted. Built with
// -fsanitize=thread this shows whether any state is shared by accident.
// A plain program rather than a GoogleTest one: the prebuilt GoogleTest
// library is not instrumented, and ThreadSanitizer wants the whole program.

#include "../RichDocument.h"
#include "TestStreams.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

using namespace CorvaneXML;

namespace {

constexpr int kThreads = 4, kRounds = 150;

std::atomic<long> reports[2];
void Receive(Corvane::XIReporter::EMsgType, const char*, void* context) { ++*static_cast<std::atomic<long>*>(context); }

std::mutex exchangeLock;
std::vector<XIXMLElement*> exchange;

// Leaves `given` for another thread and takes the oldest element left, once
// there are enough that it is seldom the thread's own.
XIXMLElement* Trade(XIXMLElement* given) {
    std::lock_guard<std::mutex> hold(exchangeLock);
    exchange.push_back(given);
    if (exchange.size() <= kThreads) return nullptr;
    XIXMLElement* taken = exchange.front();
    exchange.erase(exchange.begin());
    return taken;
}

// One thread's work; returns what went wrong, or nothing.
std::string Work(int id) {
    testsupport::BodyReader bodies;
    bodies.refuse = true;  // so that every deleted document reports
    CXMLTreeReader reader(&bodies);
    const std::string mark = "thread " + std::to_string(id), text = RichDocument();
    for (int round = 0; round < kRounds; ++round) {
        XCXMLMemoryReadStream input(text);
        std::unique_ptr<XCXMLTree> tree(reader.ReadTree(&input));
        XIXMLElement* doc = tree->GetRoot()->FindElement("doc");
        doc->FindAttribute("a")->SetValue(mark.c_str());
        doc->AddElement("round")->AddData("0")->SetData(round);
        XIXMLElement* head = doc->FindElement("head");
        doc->RemoveNode(head->AsNode());
        if (XIXMLElement* taken = Trade(head)) taken->Destroy();
        XCXMLTree copy;
        for (XIXMLNode* node = tree->GetRoot()->GetFirstNode(); node; node = node->GetNext()) {
            node->Copy(copy.GetRoot());
        }
        const std::string written = testsupport::Written(copy);
        if (written != testsupport::Written(*tree)) return mark + ": the copy writes differently";
        if (written.find(mark) == std::string::npos || written.find("x < y") == std::string::npos ||
            written.find("<round>" + std::to_string(round) + "<") == std::string::npos) {
            return mark + ": an edit or the CDATA is missing";
        }
    }
    return {};
}

}  // namespace

int main() {
    std::atomic<int> running{kThreads};
    std::vector<std::string> problems(kThreads);
    Corvane::XCReporter::SetSink(&Receive, &reports[0]);
    std::vector<std::thread> threads;
    for (int id = 0; id < kThreads; ++id) {
        threads.emplace_back([id, &problems, &running] {
            const std::string raised = testsupport::Raised([&] { problems[id] = Work(id); });
            if (!raised.empty()) problems[id] = raised;
            --running;
        });
    }
    for (long swaps = 1; running.load() > 0; ++swaps) {
        Corvane::XCReporter::SetSink(&Receive, &reports[swaps % 2]);
        std::this_thread::yield();
    }
    for (std::thread& thread : threads) thread.join();
    for (XIXMLElement* element : exchange) element->Destroy();
    Corvane::XCReporter::SetSink(nullptr, nullptr);
    // Each round deletes two documents with one CDATA body each.
    const long expected = 2L * kThreads * kRounds, received = reports[0] + reports[1];
    if (received != expected) problems.push_back(std::to_string(received) + " destructor reports");
    std::string report;
    for (const std::string& problem : problems) report += problem.empty() ? "" : problem + "\n";
    std::fputs(report.c_str(), stderr);
    return report.empty() ? 0 : 1;
}
