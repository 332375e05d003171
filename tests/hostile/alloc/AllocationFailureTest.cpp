// Runs reading, copying, editing and writing on a heap that fails at the
// 1st, 2nd, ... allocation, until the operation gets through. Every failure
// must leave as an exception, leave the untouched objects as they were and
// leak nothing.
//
// malloc, calloc, realloc, free and every form of operator new and delete are
// replaced here. The executable's definitions interpose on those the shared
// libraries would otherwise bind to, so the library's own string copies and
// buffers fail too (InterceptsTheLibrarysOwnHeapCalls checks that). The
// replacements forward to glibc's __libc_* entry points. This cannot share a
// program with AddressSanitizer or ThreadSanitizer, whose runtimes own malloc
// themselves: blocks would cross between the two allocators. The sanitized
// builds therefore leave this program out; the leak checks here do the
// sanitizer's job by counting live blocks.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "../RichDocument.h"
#include "TestStreams.h"

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {

// Allocations counted since arming; the one numbered `failAt` fails, and
// with `failAfter` every later one too. 0 disarms.
std::atomic<long> allocations{0};
std::atomic<long> failAt{0};
std::atomic<bool> failAfter{false};
std::atomic<long> live{0};
std::atomic<long> failures{0};

bool Refuse() {
    const long n = ++allocations;
    const long at = failAt.load();
    if (at == 0 || n < at || (n > at && !failAfter.load())) return false;
    ++failures;
    return true;
}

void* Counted(void* block) {
    if (block != nullptr) ++live;
    return block;
}

void* NewBlock(std::size_t size) {
    void* block = Refuse() ? nullptr : Counted(__libc_malloc(size != 0 ? size : 1));
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void* NewAligned(std::size_t size, std::align_val_t alignment) {
    void* block = Refuse() ? nullptr
                           : Counted(__libc_memalign(static_cast<std::size_t>(alignment), size != 0 ? size : 1));
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

}  // namespace

extern "C" {
void* malloc(std::size_t size) { return Refuse() ? nullptr : Counted(__libc_malloc(size)); }
void* calloc(std::size_t count, std::size_t size) {
    return Refuse() ? nullptr : Counted(__libc_calloc(count, size));
}
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
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    return Refuse() ? nullptr : Counted(__libc_memalign(alignment, size));
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    void* block = Refuse() ? nullptr : Counted(__libc_memalign(alignment, size));
    if (block == nullptr) return 12;  // ENOMEM
    *out = block;
    return 0;
}
}

void* operator new(std::size_t size) { return NewBlock(size); }
void* operator new[](std::size_t size) { return NewBlock(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return NewBlock(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void* operator new(std::size_t size, std::align_val_t alignment) { return NewAligned(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return NewAligned(size, alignment); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    try {
        return NewAligned(size, alignment);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t& tag) noexcept {
    return operator new(size, alignment, tag);
}
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, std::size_t) noexcept { free(block); }
void operator delete[](void* block, std::size_t) noexcept { free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { free(block); }
void operator delete(void* block, std::align_val_t) noexcept { free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { free(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { free(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { free(block); }

namespace {

using namespace CorvaneXML;
using testsupport::StringReadStream;
using testsupport::StringWriteStream;

void Arm(long at, bool persistent) {
    failAfter = persistent;
    allocations = 0;
    failures = 0;
    failAt = at;
}

// Returns whether an allocation was refused while armed.
bool Disarm() {
    failAt = 0;
    return failures.load() > 0;
}

// CDATA kept as host data, so that copies and failures go through providers.
class Body : public XIXMLData::IXMLCData {
public:
    explicit Body(std::string text) : text_(std::move(text)) {}
    bool Write(XIXMLWriteStream* stream, int, const XIXMLNode*) override {
        return stream->Write(text_.data(), text_.size()) == text_.size();
    }
    IXMLCData* Copy() override { return new Body(text_); }

private:
    std::string text_;
};

class BodyReader : public IXMLCDataReader {
public:
    bool Read(XIXMLElement* element, XIXMLReadStream* stream) override {
        std::string text;
        char chunk[8];
        for (std::uint64_t n; (n = stream->Read(chunk, sizeof chunk)) > 0;) text.append(chunk, n);
        std::unique_ptr<Body> body(new Body(text));
        element->AddData(body.get());
        body.release();  // the data node owns it now
        return true;
    }
};

// The rich document grown past the first sizes: enough names that the key
// table must grow, and a text and a CDATA body longer than the parser's
// initial buffer.
std::string BigDocument() {
    std::string tail = "<tail";
    for (int i = 0; i < 100; ++i) tail += " name" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    tail += ">" + std::string(700, 't') + "</tail>";
    std::string text = RichDocument();
    text.insert(text.find("x < y"), std::string(600, 'c'));
    return text.replace(text.find("<tail/>"), 7, tail);
}

std::unique_ptr<XCXMLTree> ReadText(const std::string& text) {
    StringReadStream stream(text);
    BodyReader bodies;
    CXMLTreeReader reader(&bodies);
    return std::unique_ptr<XCXMLTree>(reader.ReadTree(&stream));
}

std::string Written(const XCXMLTree& tree) {
    StringWriteStream out;
    tree.Write(&out);
    return out.text;
}

// The failures an exhausted heap may cause: the library's raise, the
// character buffer's own error and the standard one.
bool IsAllocationFailure(const std::exception& error) {
    if (dynamic_cast<const Corvane::XCException*>(&error) != nullptr) return true;
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return true;
    auto runtime = dynamic_cast<const std::runtime_error*>(&error);
    return runtime != nullptr && std::string(error.what()) == "Can't allocate buffer.";
}

struct Outcome {
    long points = 0;      // allocations that were made to fail
    bool finished = false;
};

using Step = std::function<void()>;

// Fails allocation 1, 2, ... of `operation` (with `persistent`, that one and
// every later one), until it runs to the end. After each failure `check`
// verifies what the failure must not have touched. `prepare` and `finish`
// run, unarmed, around each attempt; after `finish` no block may be left over.
Outcome FailEachAllocation(const Step& operation, const Step& check, bool persistent,
                           const Step& prepare = [] {}, const Step& finish = [] {}) {
    Outcome outcome;
    for (long at = 1; at < 100000; ++at) {
        const long before = live.load();
        prepare();
        bool raised = false;
        std::string unexpected;
        Arm(at, persistent);
        try {
            operation();
        } catch (const std::exception& error) {
            Disarm();
            raised = true;
            if (!IsAllocationFailure(error)) unexpected = error.what();
        } catch (...) {
            Disarm();
            raised = true;
            unexpected = "an exception not derived from std::exception";
        }
        const bool refused = Disarm();
        if (!refused) {
            EXPECT_FALSE(raised) << "raised without a refused allocation: " << unexpected;
            finish();
            outcome.finished = true;
            return outcome;
        }
        ++outcome.points;
        EXPECT_TRUE(unexpected.empty()) << "allocation " << at << ": " << unexpected;
        // A failure may also be absorbed (the library may catch and report),
        // but then the operation's result is still checked by its caller.
        if (raised) check();
        finish();
        EXPECT_EQ(live.load(), before) << "blocks leaked when allocation " << at << " failed";
        if (::testing::Test::HasFailure()) return outcome;
    }
    return outcome;
}

void ForBothModes(const char* what, const Step& operation, const Step& check = [] {},
                  const Step& prepare = [] {}, const Step& finish = [] {}) {
    for (bool persistent : {false, true}) {
        SCOPED_TRACE(persistent ? "every allocation from the n-th on fails" : "only the n-th allocation fails");
        const Outcome outcome = FailEachAllocation(operation, check, persistent, prepare, finish);
        EXPECT_TRUE(outcome.finished);
        EXPECT_GT(outcome.points, 0) << what << " never allocated";
        std::printf("[ points   ] %s%s: %ld allocation points\n", what, persistent ? " (persistent)" : "",
                    outcome.points);
    }
}

class AllocationFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        source = ReadText(BigDocument());
        expected = Written(*source);
        ASSERT_NE(expected.find("<![CDATA[cccc"), std::string::npos);
    }

    std::unique_ptr<XCXMLTree> source;
    std::string expected;
};

TEST_F(AllocationFailureTest, InterceptsTheLibrarysOwnHeapCalls) {
    // One comment node: the node from operator new, its text from malloc,
    // both made inside the shared library.
    XIXMLElement* root = source->GetRoot();
    const long before = live.load();
    Arm(2, false);
    EXPECT_THROW(root->AddComment("text copied by the library"), Corvane::XCException);
    Disarm();
    EXPECT_EQ(live.load(), before);
    Arm(3, false);
    XIXMLComment* comment = root->AddComment("text copied by the library");
    Disarm();
    EXPECT_EQ(allocations.load(), 2);
    EXPECT_EQ(live.load(), before + 2);
    comment->AsNode()->Destroy();
    EXPECT_EQ(live.load(), before);
}

TEST_F(AllocationFailureTest, ReadTreeWithAFreshReader) {
    const std::string text = BigDocument();
    ForBothModes("ReadTree", [&] {
        std::unique_ptr<XCXMLTree> tree = ReadText(text);
        if (Written(*tree) != expected) throw std::logic_error("read a different document");
    });
    // Without a CDATA reader the parser gathers the section itself.
    auto plain = [&] {
        StringReadStream stream(text);
        CXMLTreeReader reader;
        std::unique_ptr<XCXMLTree> tree(reader.ReadTree(&stream));
        return Written(*tree);
    };
    const std::string plainExpected = plain();
    ForBothModes("ReadTree, CDATA as text", [&] {
        if (plain() != plainExpected) throw std::logic_error("read a different document");
    });
}

// Counts events without allocating; FastParse skips the big element, whose
// name outgrows the short-string buffer.
class CountingParser : public CXMLParser {
public:
    long events = 0;

    long Run(const std::string& text, bool fast) {
        events = 0;
        StringReadStream stream(text);
        fast ? FastParse(&stream) : Parse(&stream);
        return events;
    }

protected:
    const void* OpenNode(const char* name) override {
        ++events;
        return std::strcmp(name, "a-long-element-name-to-skip") == 0 ? nullptr : this;
    }
    void Attribute(const char*, const char*) override { ++events; }
    void Data(const char*) override { ++events; }
    void CloseNode(const void*) override { ++events; }
};

TEST_F(AllocationFailureTest, ParserIsReusableAfterEachFailure) {
    std::string text = BigDocument();
    text.replace(text.find("<tail"), 5, "<a-long-element-name-to-skip");
    text.replace(text.find("</tail>"), 7, "</a-long-element-name-to-skip>");
    for (bool fast : {false, true}) {
        CountingParser fresh;
        const long expectedEvents = fresh.Run(text, fast);
        // A new parser for each attempt, so that its buffers and element
        // stack must grow while the heap fails.
        std::unique_ptr<CountingParser> parser;
        ForBothModes(fast ? "FastParse" : "Parse", [&] { parser->Run(text, fast); },
                     [&] { EXPECT_EQ(parser->Run(text, fast), expectedEvents); },
                     [&] { parser.reset(new CountingParser); }, [&] { parser.reset(); });
    }
}

TEST_F(AllocationFailureTest, ReaderIsReusableAfterEachFailure) {
    BodyReader bodies;
    CXMLTreeReader reader(&bodies);
    const std::string text = BigDocument();
    auto read = [&] {
        StringReadStream stream(text);
        std::unique_ptr<XCXMLTree> tree(reader.ReadTree(&stream));
        return Written(*tree);
    };
    read();  // the reader's element stack reaches its size here
    ForBothModes("ReadTree, one reader", [&] { read(); },
                 [&] { EXPECT_EQ(read(), expected); });
}

TEST_F(AllocationFailureTest, CopyLeavesTheSourceAsItWas) {
    ForBothModes(
        "Copy",
        [&] {
            std::unique_ptr<XCXMLTree> target(new XCXMLTree);
            for (XIXMLNode* node = source->GetRoot()->GetFirstNode(); node != nullptr; node = node->GetNext()) {
                node->Copy(target->GetRoot());
            }
            if (Written(*target) != expected) throw std::logic_error("copied a different document");
        },
        [&] { EXPECT_EQ(Written(*source), expected); });
}

// The writer allocates nothing itself: the failures come from the host's
// stream, and must pass through the writer unchanged.
TEST_F(AllocationFailureTest, WritingLeavesTheDocumentAsItWas) {
    ForBothModes(
        "Write",
        [&] {
            std::string out;
            XCXMLStringWriteStream stream(out);
            source->Write(&stream);
            if (out != expected) throw std::logic_error("wrote a different document");
        },
        [&] { EXPECT_EQ(Written(*source), expected); });
}

// Names interned by an edit stay in the document's key table until the
// document goes, so each attempt edits a document of its own.
TEST_F(AllocationFailureTest, EditsLeaveADocumentThatStillWritesAndFrees) {
    std::unique_ptr<XCXMLTree> edited;
    ForBothModes(
        "edits",
        [&] {
            XIXMLElement* doc = edited->GetRoot()->FindElement("doc");
            XIXMLElement* added = doc->AddElement("added-element-with-a-long-name");
            added->AddAttribute("first-attribute-name", "a value long enough to need the heap");
            added->AddAttribute("second", "2")->SetFmtValue("%d and %s", 42, "a formatted tail");
            added->AddData("text data")->SetData("replaced text data, long enough to need a block");
            added->AddComment("comment")->SetComment("another comment");
            added->AddPI("target", "instruction")->SetInstruction("another instruction");
            XIXMLDocType* type = added->AddDocType(added->GetKey("name"), "public", nullptr, "subset");
            type->SetSystem("system");
            type->SetPublic(nullptr);
            const std::string written = Written(*edited);
            added->Destroy();
            if (Written(*edited) != expected || written.find("42 and a formatted tail") == std::string::npos) {
                throw std::logic_error("edited the wrong way");
            }
        },
        [&] {
            // What the failed edit left in place goes away with its element.
            XIXMLElement* doc = edited->GetRoot()->FindElement("doc");
            XIXMLElement* last = doc->FindFirstElement();
            while (last->NextElement() != nullptr) last = last->NextElement();
            if (last != doc->FindElement("body")) last->Destroy();
            EXPECT_EQ(Written(*edited), expected);
        },
        [&] { edited = ReadText(BigDocument()); }, [&] { edited.reset(); });
}

// A failed setter keeps the old value; the getter's pointer stays readable.
TEST_F(AllocationFailureTest, FailedSettersKeepTheOldValue) {
    XIXMLElement* doc = source->GetRoot()->FindElement("doc");
    XIXMLAttribute* attribute = doc->FindAttribute("b");
    XIXMLData* data = doc->FindElement("body")->FindElement("p")->GetData();
    XIXMLComment* comment = source->GetRoot()->GetFirstNode()->GetNext()->GetNext()->AsComment();
    XIXMLPI* pi = source->GetRoot()->GetFirstNode()->AsPI();
    XIXMLDocType* type = source->GetRoot()->GetFirstNode()->GetNext()->AsDocType();
    ASSERT_TRUE(attribute && data && comment && pi && type);

    struct Setter {
        const char* name;
        std::function<void(const char*)> set;
        std::function<std::string()> get;
    };
    const Setter setters[] = {
        {"SetValue", [&](const char* v) { attribute->SetValue(v); }, [&] { return std::string(attribute->GetValue()); }},
        {"SetFmtValue", [&](const char* v) { attribute->SetFmtValue("%s %d", v, 7); },
         [&] { return std::string(attribute->GetValue()); }},
        {"SetData", [&](const char* v) { data->SetData(v); }, [&] { return std::string(data->GetData()); }},
        {"SetFmtData", [&](const char* v) { data->SetFmtData("%s %f", v, 2.5); },
         [&] { return std::string(data->GetData()); }},
        {"SetComment", [&](const char* v) { comment->SetComment(v); }, [&] { return std::string(comment->GetComment()); }},
        {"SetInstruction", [&](const char* v) { pi->SetInstruction(v); }, [&] { return std::string(pi->GetInstruction()); }},
        {"SetSystem", [&](const char* v) { type->SetSystem(v); }, [&] { return std::string(type->GetSystem()); }},
    };
    for (const Setter& setter : setters) {
        for (bool persistent : {false, true}) {
            SCOPED_TRACE(std::string(setter.name) + (persistent ? ", persistent" : ""));
            const std::string old = setter.get();
            const std::string value = old + ", replaced by a value long enough to need a fresh block";
            const Outcome outcome = FailEachAllocation([&] { setter.set(value.c_str()); },
                                                       [&] { EXPECT_EQ(setter.get(), old); }, persistent);
            EXPECT_TRUE(outcome.finished);
            EXPECT_GT(outcome.points, 0);
            EXPECT_NE(setter.get(), old);
        }
    }
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

class RefusingBody : public XIXMLData::IXMLCData {
public:
    bool Write(XIXMLWriteStream*, int, const XIXMLNode*) override { return true; }
    IXMLCData* Copy() override { return new RefusingBody; }

protected:
    void Destroy() override {
        delete this;
        throw std::runtime_error("refused");
    }
};

// A destructor's report must still arrive, whole, when the heap has nothing
// left to format it with.
TEST(ReportsOnAnExhaustedHeap, StillArrive) {
    FixedSink sink;
    Corvane::XCReporter::SetSink(&FixedSink::Receive, &sink);
    std::unique_ptr<XCXMLTree> tree(new XCXMLTree);
    tree->GetRoot()->AddElement("e")->AddData(new RefusingBody);
    Arm(1, true);
    tree.reset();
    Disarm();
    Corvane::XCReporter::SetSink(nullptr, nullptr);
    EXPECT_EQ(sink.reports, 1);
    // Even the provider's own exception could not be made, only bad_alloc.
    EXPECT_STREQ(sink.last, "XCXMLData::~XCXMLData: Exception in destructor (std::bad_alloc)");
}

}  // namespace
