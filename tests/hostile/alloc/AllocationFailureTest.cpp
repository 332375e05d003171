// Runs reading, copying, editing and writing on a heap that fails at the
// 1st, 2nd, ... allocation (or at every one from there on), until the
// operation gets through. Every failure must leave as an exception, leave the
// untouched objects as they were and leak nothing.
//
// malloc, calloc, realloc, free and the plain operator new and delete are
// replaced here; the executable's definitions interpose on those the shared
// libraries would bind to, so the library's own allocations fail too
// (InterceptsTheLibrarysOwnHeap checks that). The array, nothrow and sized
// forms of new and delete forward to these; nothing here allocates aligned. Sanitized
// builds leave this program out (their runtimes own malloc); the live-block
// count does the leak checker's job.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "../RichDocument.h"
#include "Hosts.h"
#include "TestStreams.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);
}

namespace {

// Allocations counted since arming; the one numbered `failAt` fails, and with
// `failAfter` every later one too. 0 disarms.
std::atomic<long> allocations{0}, failAt{0}, live{0}, failures{0};
std::atomic<bool> failAfter{false};

bool Refuse() {
    const long n = ++allocations, at = failAt.load();
    if (at == 0 || n < at || (n > at && !failAfter.load())) return false;
    ++failures;
    return true;
}

void* Counted(void* block) {
    if (block != nullptr) ++live;
    return block;
}

}  // namespace

extern "C" {
void* malloc(std::size_t size) { return Refuse() ? nullptr : Counted(__libc_malloc(size)); }
void* calloc(std::size_t count, std::size_t size) { return Refuse() ? nullptr : Counted(__libc_calloc(count, size)); }
void* realloc(void* block, std::size_t size) {
    if (block == nullptr) return malloc(size);
    if (size == 0) {
        free(block);
        return nullptr;
    }
    return Refuse() ? nullptr : __libc_realloc(block, size);
}
void free(void* block) {
    if (block != nullptr) --live;
    __libc_free(block);
}
}

void* operator new(std::size_t size) {
    if (void* block = malloc(size != 0 ? size : 1)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { free(block); }
void operator delete(void* block, std::size_t) noexcept { free(block); }

namespace {

using namespace testsupport;

void Arm(long at, bool persistent) {
    failAfter = persistent;
    allocations = failures = 0;
    failAt = at;
}

// Returns whether an allocation was refused while armed.
bool Disarm() {
    failAt = 0;
    return failures.load() > 0;
}

// The rich document grown past the first sizes: enough names that the key
// table must grow, a text and a CDATA body longer than the initial buffer.
std::string BigDocument() {
    std::string tail = "<tail";
    for (int i = 0; i < 100; ++i) tail += " name" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    tail += ">" + std::string(700, 't') + "</tail>";
    std::string text = RichDocument();
    text.insert(text.find("x < y"), std::string(600, 'c'));
    return text.replace(text.find("<tail/>"), 7, tail);
}

std::unique_ptr<XCXMLTree> ReadWithBodies(const std::string& text) {
    BodyReader bodies;
    CXMLTreeReader reader(&bodies);
    return ReadTree(reader, text);
}

// The failures an exhausted heap may cause: the library's raise, the standard
// one and the character buffer's own.
bool IsAllocationFailure(const std::exception& error) {
    return dynamic_cast<const Corvane::XCException*>(&error) != nullptr ||
           dynamic_cast<const std::bad_alloc*>(&error) != nullptr ||
           (dynamic_cast<const std::runtime_error*>(&error) != nullptr &&
            std::string(error.what()) == "Can't allocate buffer.");
}

void Same(const std::string& got, const std::string& expected) {
    if (got != expected) throw std::logic_error("a different document");
}

using Step = std::function<void()>;
struct Operation {
    std::string name;
    Step run;
    Step check = [] {};    // after a failure that raised: what must be untouched
    Step prepare = [] {};  // unarmed, before each attempt
    Step finish = [] {};   // unarmed, after each attempt; no block may outlive it
};

// Fails allocation 1, 2, ... of the operation (in the persistent mode, that one
// and every later one) until it runs to the end.
void FailEachAllocation(const Operation& op) {
    for (bool persistent : {false, true}) {
        SCOPED_TRACE(op.name + (persistent ? ", every allocation from the n-th on fails" : ", the n-th fails"));
        long at = 1;
        for (; at < 100000; ++at) {
            const long before = live.load();
            op.prepare();
            bool raised = false;
            std::string unexpected;
            Arm(at, persistent);
            try {
                op.run();
            } catch (const std::exception& error) {
                Disarm();  // before anything here allocates
                raised = true;
                if (!IsAllocationFailure(error)) unexpected = error.what();
            } catch (...) {
                Disarm();
                raised = true;
                unexpected = "not a std::exception";
            }
            if (!Disarm()) {
                EXPECT_FALSE(raised) << "raised without a refused allocation: " << unexpected;
                op.finish();
                break;
            }
            EXPECT_EQ(unexpected, "") << "allocation " << at;
            if (raised) op.check();  // a failure the library absorbed is judged by run()
            op.finish();
            EXPECT_EQ(live.load(), before) << "blocks leaked when allocation " << at << " failed";
            if (::testing::Test::HasFailure()) return;
        }
        EXPECT_LT(at, 100000) << "never finished";
        EXPECT_GT(at, 1) << "never allocated";
    }
}

TEST(AllocationFailure, InterceptsTheLibrarysOwnHeap) {
    // One comment: the node from operator new, its text from malloc, both
    // made inside the shared library.
    XCXMLTree tree;
    const long before = live.load();
    Arm(2, false);
    EXPECT_THROW(tree.GetRoot()->AddComment("text copied by the library"), Corvane::XCException);
    Disarm();
    EXPECT_EQ(live.load(), before);
    Arm(3, false);
    XIXMLComment* comment = tree.GetRoot()->AddComment("text copied by the library");
    Disarm();
    EXPECT_EQ(allocations.load(), 2);
    EXPECT_EQ(live.load(), before + 2);
    comment->AsNode()->Destroy();
    EXPECT_EQ(live.load(), before);
}

TEST(AllocationFailure, EveryOperationSurvivesEachFailure) {
    const std::string big = BigDocument();
    std::unique_ptr<XCXMLTree> source = ReadWithBodies(big);
    const std::string expected = Written(*source);
    ASSERT_NE(expected.find("<![CDATA[cccc"), std::string::npos);
    CXMLTreeReader plain;  // without a CDATA reader the parser gathers the section itself
    const std::string plainExpected = ReadAndWrite(plain, big);
    BodyReader bodies;
    CXMLTreeReader reused(&bodies);
    ReadAndWrite(reused, big);  // its element stack reaches its size here
    std::unique_ptr<XCXMLTree> edited;

    std::vector<Operation> operations = {
        {"ReadTree, fresh reader", [&] { Same(Written(*ReadWithBodies(big)), expected); }},
        {"ReadTree, CDATA as text", [&] {
             CXMLTreeReader reader;
             Same(ReadAndWrite(reader, big), plainExpected);
         }},
        {"ReadTree, one reader", [&] { Same(ReadAndWrite(reused, big), expected); },
         [&] { EXPECT_EQ(ReadAndWrite(reused, big), expected); }},
        {"Copy",
         [&] {
             std::unique_ptr<XCXMLTree> target(new XCXMLTree);
             for (XIXMLNode* node = source->GetRoot()->GetFirstNode(); node; node = node->GetNext()) {
                 node->Copy(target->GetRoot());
             }
             Same(Written(*target), expected);
         },
         [&] { EXPECT_EQ(Written(*source), expected); }},
        // The writer allocates nothing itself: the host stream's failures pass through.
        {"Write",
         [&] {
             std::string out;
             XCXMLStringWriteStream stream(out);
             source->Write(&stream);
             Same(out, expected);
         },
         [&] { EXPECT_EQ(Written(*source), expected); }},
        // Names interned by an edit stay until the document goes: a document per attempt.
        {"edits",
         [&] {
             XIXMLElement* added = edited->GetRoot()->FindElement("doc")->AddElement("added-element-with-a-long-name");
             added->AddAttribute("first-attribute-name", "a value long enough to need the heap");
             added->AddAttribute("second", "2")->SetFmtValue("%d and %s", 42, "a formatted tail");
             added->AddData("text data")->SetData("replaced text data, long enough to need a block");
             added->AddComment("comment")->SetComment("another comment");
             added->AddPI("target", "instruction")->SetInstruction("another instruction");
             XIXMLDocType* type = added->AddDocType(added->GetKey("name"), "public", nullptr, "subset");
             type->SetSystem("system");
             type->SetPublic(nullptr);
             const bool formatted = Written(*edited).find("42 and a formatted tail") != std::string::npos;
             added->Destroy();
             if (!formatted) throw std::logic_error("edited the wrong way");
             Same(Written(*edited), expected);
         },
         [&] {  // what the failed edit left in place goes away with its element
             XIXMLElement* doc = edited->GetRoot()->FindElement("doc");
             XIXMLElement* last = doc->FindFirstElement();
             while (last->NextElement() != nullptr) last = last->NextElement();
             if (last != doc->FindElement("body")) last->Destroy();
             EXPECT_EQ(Written(*edited), expected);
         },
         [&] { edited = ReadWithBodies(big); }, [&] { edited.reset(); }},
    };
    // A failed setter keeps the old value; each attempt ends by restoring it.
    auto setter = [](std::function<void(const char*)> set, std::function<const char*()> get) {
        const auto old = std::make_shared<const std::string>(get());
        // A value made with its node may share the node's block; once set it
        // has a block of its own, as it has after every attempt here.
        set(old->c_str());
        return Operation{"setter, from " + *old,
                         [=] {
                             set((*old + ", replaced by a value long enough to need a fresh block").c_str());
                             if (*old == get()) throw std::logic_error("kept the old value");
                         },
                         [=] { EXPECT_EQ(*old, get()); }, [] {}, [=] { set(old->c_str()); }};
    };
    XIXMLElement* doc = source->GetRoot()->FindElement("doc");
    XIXMLAttribute* attribute = doc->FindAttribute("b");
    XIXMLData* data = doc->FindElement("body")->FindElement("p")->GetData();
    XIXMLComment* comment = source->GetRoot()->GetFirstNode()->GetNext()->GetNext()->AsComment();
    XIXMLDocType* type = source->GetRoot()->GetFirstNode()->GetNext()->AsDocType();
    ASSERT_TRUE(attribute && data && comment && type);
    operations.push_back(
        setter([=](const char* v) { attribute->SetFmtValue("%s", v); }, [=] { return attribute->GetValue(); }));
    operations.push_back(setter([=](const char* v) { data->SetFmtData("%s", v); }, [=] { return data->GetData(); }));
    operations.push_back(setter([=](const char* v) { comment->SetComment(v); }, [=] { return comment->GetComment(); }));
    operations.push_back(setter([=](const char* v) { type->SetSystem(v); }, [=] { return type->GetSystem(); }));
    for (const Operation& op : operations) FailEachAllocation(op);
}

// Keeps the last report in place, without allocating.
struct FixedSink {
    int reports = 0;
    char last[128] = {};
    static void Receive(Corvane::XIReporter::EMsgType, const char* text, void* context) {
        auto* sink = static_cast<FixedSink*>(context);
        ++sink->reports;
        std::snprintf(sink->last, sizeof sink->last, "%s", text);
    }
};

// A destructor's report must still arrive, whole, on a heap with nothing left.
TEST(ReportsOnAnExhaustedHeap, StillArrive) {
    FixedSink sink;
    Corvane::XCReporter::SetSink(&FixedSink::Receive, &sink);
    std::unique_ptr<XCXMLTree> tree(new XCXMLTree);
    auto* refusing = new Provider("");
    refusing->refuse = true;
    tree->GetRoot()->AddElement("e")->AddData(refusing);
    Arm(1, true);
    tree.reset();
    Disarm();
    Corvane::XCReporter::SetSink(nullptr, nullptr);
    EXPECT_EQ(sink.reports, 1);
    // Even the provider's own exception could not be made, only bad_alloc.
    EXPECT_STREQ(sink.last, "XCXMLData::~XCXMLData: Exception in destructor (std::bad_alloc)");
}

}  // namespace
