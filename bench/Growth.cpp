// How the cost of each operation grows: every case runs at size n and 10n
// and prints the ratio of the times. Linear work gives about 10, quadratic
// about 100. Each size is timed three times and the fastest run is kept;
// on a shared machine the ratios still move by a good part of themselves.
// Then the heap a read tree holds per input byte, for the shapes that push
// it up.
//
//   corvane_bench --growth

#include "Bench.h"

#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bench {

namespace {

using namespace CorvaneXML;

using Document = std::unique_ptr<XCXMLTree>;

void Write(const XCXMLTree& tree) {
    std::string out;
    XCXMLStringWriteStream stream(out);
    tree.Write(&stream);
}

std::string Repeat(std::size_t n, const std::function<std::string(std::size_t)>& piece) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += piece(i);
    return text;
}

// Names that share one hash in the key table: only their last 32 bytes count.
std::string Colliding(std::size_t i) { return "n" + std::to_string(i) + std::string(32, 'z'); }

std::string Records(std::size_t n) {
    return "<r>" +
           Repeat(n,
                  [](std::size_t i) {
                      return "<rec id=\"" + std::to_string(i) + "\" kind=\"k\">text " + std::to_string(i) + "</rec>";
                  }) +
           "</r>";
}

// An element with n children, for the editing cases.
struct Flat {
    explicit Flat(std::size_t n) : list(tree.GetRoot()->AddElement("list")) {
        for (std::size_t i = 0; i < n; ++i) children.push_back(list->AddElement("c")->AsNode());
    }
    XCXMLTree tree;
    XIXMLElement* list;
    std::vector<XIXMLNode*> children;
};

struct Case {
    const char* name;
    std::size_t n;
    // Prepares untimed and returns the work to time.
    std::function<std::function<void()>(std::size_t)> prepare;
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"read: colliding names", 2000,
         [](std::size_t n) {
             auto text = std::make_shared<std::string>(
                 "<r>" + Repeat(n, [](std::size_t i) { return "<" + Colliding(i) + "/>"; }) + "</r>");
             return [text] { ReadOurs(*text); };
         }},
        {"build chain, text names", 5000,
         [](std::size_t n) {
             return [n] {
                 XCXMLTree tree;
                 XIXMLElement* e = tree.GetRoot();
                 for (std::size_t i = 0; i < n; ++i) e = e->AddElement("level");
             };
         }},
        {"copy into deepest", 5000,
         [](std::size_t n) {
             return [n] {
                 XCXMLTree tree;
                 XIXMLElement* leaf = tree.GetRoot()->AddElement("leaf");
                 XIXMLElement* e = tree.GetRoot();
                 for (std::size_t i = 0; i < n; ++i) e = leaf->AsNode()->Copy(e)->AsElement();
             };
         }},
        {"destroy children last first", 5000,
         [](std::size_t n) {
             auto flat = std::make_shared<Flat>(n);
             return [flat] {
                 for (; !flat->children.empty(); flat->children.pop_back()) flat->children.back()->Destroy();
             };
         }},
        {"push and pop at the end", 5000,
         [](std::size_t n) {
             return [n] {
                 Flat flat(0);
                 std::vector<XIXMLElement*> stack;
                 for (std::size_t i = 0; i < n; ++i) stack.push_back(flat.list->AddElement("c"));
                 for (; !stack.empty(); stack.pop_back()) stack.back()->Destroy();
             };
         }},
        {"move each new child to front", 5000,
         [](std::size_t n) {
             return [n] {
                 Flat flat(0);
                 for (std::size_t i = 0; i < n; ++i) {
                     flat.list->MoveNode(flat.list->AddElement("c")->AsNode(), flat.list->GetFirstNode());
                 }
             };
         }},
        {"insert before a middle child", 5000,
         [](std::size_t n) {
             return [n] {
                 Flat flat(n);
                 XIXMLNode* middle = flat.list->FindElementByIndex(static_cast<unsigned>(n / 2))->AsNode();
                 for (std::size_t i = 0; i < n; ++i) flat.list->MoveNode(flat.list->AddElement("c")->AsNode(), middle);
             };
         }},
        {"Index() of each child", 50000,
         [](std::size_t n) {
             auto flat = std::make_shared<Flat>(n);
             return [flat] {
                 for (XIXMLNode* c = flat->list->GetFirstNode(); c != nullptr; c = c->GetNext()) c->Index();
             };
         }},
        {"FindElementByIndex(i), each i", 50000,
         [](std::size_t n) {
             auto flat = std::make_shared<Flat>(n);
             return [flat, n] {
                 for (unsigned i = 0; i < n; ++i) flat->list->FindElementByIndex(i);
             };
         }},
        {"destroy attributes last first", 5000,
         [](std::size_t n) {
             return [n] {
                 Flat flat(0);
                 std::vector<XIXMLAttribute*> attributes;
                 for (std::size_t i = 0; i < n; ++i) attributes.push_back(flat.list->AddAttribute("a", "v"));
                 for (; !attributes.empty(); attributes.pop_back()) attributes.back()->Destroy();
             };
         }},
        {"FindAttribute of each (O(n) each)", 2000,
         [](std::size_t n) {
             auto flat = std::make_shared<Flat>(0);
             std::vector<XCXMLKey> keys;
             for (std::size_t i = 0; i < n; ++i) {
                 keys.push_back(flat->tree.GetKey(("a" + std::to_string(i)).c_str()));
                 flat->list->AddAttribute(keys.back(), "v");
             }
             return [flat, keys] {
                 for (const XCXMLKey& key : keys) flat->list->FindAttribute(key);
             };
         }},
        {"write nesting (d*d/2 bytes)", 1000,
         [](std::size_t n) {
             auto tree = std::make_shared<Document>(ReadOurs(Repeat(n, [](std::size_t) { return "<a>"; }) +
                                                             Repeat(n, [](std::size_t) { return "</a>"; })));
             return [tree] { Write(**tree); };
         }},
        {"read records", 10000,
         [](std::size_t n) {
             auto text = std::make_shared<std::string>(Records(n));
             return [text] { ReadOurs(*text); };
         }},
        {"write records", 10000,
         [](std::size_t n) {
             auto tree = std::make_shared<Document>(ReadOurs(Records(n)));
             return [tree] { Write(**tree); };
         }},
        {"read distinct names", 10000,
         [](std::size_t n) {
             auto text = std::make_shared<std::string>(
                 "<r>" + Repeat(n, [](std::size_t i) { return "<e" + std::to_string(i) + "/>"; }) + "</r>");
             return [text] { ReadOurs(*text); };
         }},
        {"read nesting", 10000,
         [](std::size_t n) {
             auto text = std::make_shared<std::string>(Repeat(n, [](std::size_t) { return "<a>"; }) +
                                                       Repeat(n, [](std::size_t) { return "</a>"; }));
             return [text] { ReadOurs(*text); };
         }},
    };
    return cases;
}

double Fastest(const std::function<std::function<void()>(std::size_t)>& prepare, std::size_t n) {
    double best = 1e30;
    for (int run = 0; run < 3; ++run) {
        const std::function<void()> work = prepare(n);
        const double start = Clock::now();
        work();
        best = std::min(best, Seconds(start, Clock::now()));
    }
    return best;
}

}  // namespace

void PrintGrowth() {
    std::printf("Growth: time at 10n / time at n (linear about 10, quadratic about 100)\n\n");
    std::printf("%-36s %9s %12s %12s %8s\n", "case", "n", "n ms", "10n ms", "ratio");
    for (const Case& c : Cases()) {
        const double small = Fastest(c.prepare, c.n);
        const double large = Fastest(c.prepare, 10 * c.n);
        std::printf("%-36s %9zu %12.3f %12.3f %8.1f\n", c.name, c.n, small * 1e3, large * 1e3, large / small);
        std::fflush(stdout);
    }

    const std::size_t n = 100000;
    const struct {
        const char* name;
        std::string text;
    } shapes[] = {
        {"empty siblings <a/>", "<r>" + Repeat(n, [](std::size_t) { return "<a/>"; }) + "</r>"},
        {"nesting <a>", Repeat(n, [](std::size_t) { return "<a>"; }) + Repeat(n, [](std::size_t) { return "</a>"; })},
        {"empty attributes a=''", "<r" + Repeat(n, [](std::size_t) { return " a=''"; }) + "/>"},
        {"distinct names <eN/>",
         "<r>" + Repeat(n, [](std::size_t i) { return "<e" + std::to_string(i) + "/>"; }) + "</r>"},
        {"colliding names", "<r>" + Repeat(n / 10, [](std::size_t i) { return "<" + Colliding(i) + "/>"; }) + "</r>"},
        {"records", Records(n / 10)},
    };
    std::printf("\nHeap held by a read tree, bytes per input byte\n\n");
    for (const auto& shape : shapes) {
        const std::size_t before = HeapInUse();
        Document tree = ReadOurs(shape.text);
        const double held = static_cast<double>(HeapInUse() - before);
        std::printf("%-36s %8.2f\n", shape.name, held / static_cast<double>(shape.text.size()));
    }
}

}  // namespace bench
