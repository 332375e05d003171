// Runs reading, copying, editing and writing on a heap that fails at the
// 1st, 2nd, ... allocation (or at every one from there on), until the
// operation gets through. Every failure must leave as an exception, leave the
// untouched objects as they were and leak nothing.
//
// malloc, calloc, realloc, free and the plain operator new and delete are
// replaced here; the executable's definitions interpose on those the shared
// libraries would bind to, so the library's own allocations fail too
// (InterceptsTheLibrarysOwnHeap checks that). The array, nothrow and sized
// forms of new and delete forward to these; nothing here allocates aligned.
// Sanitized builds leave this program out (their runtimes own malloc); the
// live-block count does the leak checker's job. The live bytes tell the heap a
// read tree holds, whatever the library allocates it with.

#include <gtest/gtest.h>

#include "../RichDocument.h"
#include "TestStreams.h"

#include <malloc.h>

#include <atomic>
#include <functional>

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

// Bytes of the live blocks, as the C library sized them.
std::atomic<std::size_t> liveBytes{0};

void* Counted(void* block) {
    if (block != nullptr) {
        ++live;
        liveBytes += malloc_usable_size(block);
    }
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
    if (Refuse()) return nullptr;
    const std::size_t old = malloc_usable_size(block);
    void* moved = __libc_realloc(block, size);
    if (moved != nullptr) liveBytes += malloc_usable_size(moved) - old;
    return moved;
}
void free(void* block) {
    if (block != nullptr) {
        --live;
        liveBytes -= malloc_usable_size(block);
    }
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
// table must grow, a CDATA body longer than the initial buffer, and a text
// too long to share a block with its neighbours.
std::string BigDocument() {
    std::string tail = "<tail";
    for (int i = 0; i < 100; ++i) tail += " name" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    tail += ">" + std::string(9000, 't') + "</tail>";
    std::string text = RichDocument();
    text.insert(text.find("x < y"), std::string(600, 'c'));
    return text.replace(text.find("<tail/>"), 7, tail);
}

std::unique_ptr<XCXMLTree> ReadWithBodies(const std::string& text) {
    BodyReader bodies;
    CXMLTreeReader reader(&bodies);
    return ReadTree(reader, text);
}

void Same(const std::string& got, const std::string& expected) {
    if (got != expected) throw std::logic_error("a different document");
}

struct Operation {
    std::string name;
    std::function<void()> run;
    std::function<void()> restore = [] {};  // unarmed, after each attempt: undoes a success
};

// Fails allocation 1, 2, ... of the operation (in the persistent mode, that
// one and every later one) until it runs to the end. After each failure,
// `unchanged` checks what must be untouched. No block may outlive an attempt.
void FailEachAllocation(const Operation& op, const std::function<void()>& unchanged) {
    for (bool persistent : {false, true}) {
        SCOPED_TRACE(op.name + (persistent ? ", every allocation from the n-th on fails" : ", the n-th fails"));
        long at = 1;
        for (bool refused = true; refused; ++at) {
            ASSERT_LT(at, 100000) << "never finished";
            const long before = live.load();
            std::string unexpected;
            bool raised = true;
            Arm(at, persistent);
            try {
                op.run();
                raised = false;
            } catch (const std::exception& error) {
                Disarm();  // before anything here allocates
                // An exhausted heap raises through the library, as bad_alloc, or as the buffer's own failure.
                // The library's raise must say more than the name of the check that raised.
                const bool heap = (dynamic_cast<const Corvane::XCException*>(&error) != nullptr &&
                                   std::string(error.what()).rfind("CvThrow::", 0) != 0) ||
                                  dynamic_cast<const std::bad_alloc*>(&error) != nullptr ||
                                  std::string(error.what()) == "Can't allocate buffer.";
                if (!heap) unexpected = error.what();
            } catch (...) {
                Disarm();
                unexpected = "not a std::exception";
            }
            refused = Disarm();
            EXPECT_EQ(unexpected, "") << "allocation " << at;
            EXPECT_TRUE(refused || !raised) << "raised without a refused allocation";
            if (raised) unchanged();
            op.restore();
            EXPECT_EQ(live.load(), before) << "blocks leaked when allocation " << at << " failed";
            if (::testing::Test::HasFailure()) return;
        }
        EXPECT_GT(at, 2) << "never allocated";
    }
}

// Above the densest of these shapes (empty siblings, about 24 bytes per byte)
// with a margin; the blow-ups this guards against are exponential.
constexpr double kWorstPerByte = 32;

// The key table's hash, as documented: every step multiplies the state by a
// nilpotent matrix, so only the last 32 bytes of a name count.
std::uint32_t TableHash(const std::string& name) {
    std::uint32_t h = 0;
    for (unsigned char b : name) h ^= (((h << 1) ^ b) << 4) ^ (h >> 27) ^ b;
    return h;
}

std::string Repeat(std::size_t count, const std::function<std::string(std::size_t)>& piece) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += piece(i);
    return text;
}

// Reads `text` into a tree and writes it back; `held` is the tree's heap.
std::string ReadWrite(const std::string& text, std::size_t* held) {
    const std::size_t before = liveBytes.load();
    XCXMLMemoryReadStream input(text);
    CXMLTreeReader reader;
    std::unique_ptr<XCXMLTree> tree(reader.ReadTree(&input));
    *held = liveBytes.load() - before;
    std::string written;
    XCXMLStringWriteStream output(written);
    tree->Write(&output);
    return written;
}

std::string Colliding(std::size_t i) { return "n" + std::to_string(i) + std::string(32, 'z'); }

TEST(AllocationFailure, InterceptsTheLibrarysOwnHeap) {
    // One comment: the node from operator new, its text from malloc, both
    // made inside the shared library.
    XCXMLTree tree;
    Arm(3, false);
    XIXMLComment* comment = tree.GetRoot()->AddComment("text copied by the library");
    EXPECT_FALSE(Disarm());
    EXPECT_EQ(allocations.load(), 2);
    comment->AsNode()->Destroy();
}

TEST(AllocationFailure, EveryOperationSurvivesEachFailure) {
    const std::string big = BigDocument();
    std::unique_ptr<XCXMLTree> source = ReadWithBodies(big);
    const std::string expected = Written(*source);
    ASSERT_NE(expected.find("<![CDATA[cccc"), std::string::npos);
    XIXMLAttribute* attribute = source->GetRoot()->FindElement("doc")->FindAttribute("b");
    XIXMLData* data = source->GetRoot()->FindElement("doc")->FindElement("body")->FindElement("p")->GetData();
    const std::string text = data->GetData();
    // Values read with their node may share its block; set, they get one of
    // their own, as they have after every attempt below.
    attribute->SetValue("x & y");
    data->SetData(text.c_str());
    std::unique_ptr<XCXMLTree> edited;
    // Names sharing one hash: the key table's overflow.
    const std::string colliding = "<r>" + Repeat(40, [](std::size_t i) { return "<" + Colliding(i) + "/>"; }) + "</r>";
    const std::string collidingExpected = Written(*ReadWithBodies(colliding));
    // Without a CDATA reader nothing in the tree is a host's.
    CXMLTreeReader plainReader;
    const std::string plainExpected = Written(*ReadTree(plainReader, big));
    auto unchanged = [&] {
        EXPECT_EQ(Written(*source), expected);
        edited.reset();  // with what a failed edit left in it
    };

    std::vector<Operation> operations = {
        {"ReadTree", [&] { Same(Written(*ReadWithBodies(big)), expected); }},
        {"ReadTree, colliding names", [&] { Same(Written(*ReadWithBodies(colliding)), collidingExpected); }},
        {"ReadTree, no CDATA reader", [&] { Same(Written(*ReadTree(plainReader, big)), plainExpected); }},
        {"Copy",
         [&] {
             std::unique_ptr<XCXMLTree> target(new XCXMLTree);
             for (XIXMLNode* node = source->GetRoot()->GetFirstNode(); node; node = node->GetNext()) {
                 node->Copy(target->GetRoot());
             }
             Same(Written(*target), expected);
         }},
        // The writer allocates nothing itself: the string's failures pass through.
        {"Write",
         [&] {
             std::string out;
             XCXMLStringWriteStream stream(out);
             source->Write(&stream);
             Same(out, expected);
         }},
        // Names interned by an edit stay until the document goes: a document per attempt.
        {"edits",
         [&] {
             edited = ReadWithBodies(big);
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
         [&] { edited.reset(); }},
        // A buffer that cannot grow leaves the parser on the first byte of the value.
        {"long value",
         [&] {
             StringReadStream stream("<a v=\"" + std::string(300, 'v') + "\"/>");
             CXMLTreeReader valueReader;  // fresh: an earlier attempt may have grown the buffer
             try {
                 delete valueReader.ReadTree(&stream);
             } catch (const std::runtime_error& error) {
                 const bool buffer = std::string(error.what()) == "Can't allocate buffer.";
                 if (buffer) Same(std::to_string(valueReader.GetErrorOffset()), "6");
                 throw;
             }
         }},
        // A failed setter keeps the old value; a success is undone.
        {"SetFmtValue", [&] { attribute->SetFmtValue("%s", "a value long enough to need a fresh block"); },
         [&] { attribute->SetValue("x & y"); }},
        {"SetFmtData", [&] { data->SetFmtData("%s", "a text long enough to need a fresh block"); },
         [&] { data->SetData(text.c_str()); }},
    };
    for (const Operation& op : operations) FailEachAllocation(op, unchanged);
}

TEST(Heap, EveryShapeStaysWithinAMultipleOfItsInput) {
    constexpr std::size_t n = 3000;
    ASSERT_EQ(TableHash(Colliding(0)), TableHash(Colliding(n - 1)));
    struct Shape {
        const char* name;
        std::string text;
    } const shapes[] = {
        {"empty siblings", "<r>" + Repeat(n, [](std::size_t) { return "<a/>"; }) + "</r>"},
        {"nesting", Repeat(n, [](std::size_t) { return "<a>"; }) + Repeat(n, [](std::size_t) { return "</a>"; })},
        {"attributes", "<r" + Repeat(n, [](std::size_t) { return " a=''"; }) + "/>"},
        {"distinct names", "<r>" + Repeat(n, [](std::size_t i) { return "<e" + std::to_string(i) + "/>"; }) + "</r>"},
        {"colliding names", "<r>" + Repeat(n, [](std::size_t i) { return "<" + Colliding(i) + "/>"; }) + "</r>"},
    };
    for (const Shape& shape : shapes) {
        std::size_t held = 0;
        const std::string written = ReadWrite(shape.text, &held);
        EXPECT_LT(static_cast<double>(held) / static_cast<double>(shape.text.size()), kWorstPerByte) << shape.name;
        EXPECT_EQ(ReadWrite(written, &held), written) << shape.name;
    }
}

// Colliding names are still names: interned again, each gives its one key.
TEST(Heap, CollidingNamesKeepTheirKeys) {
    XCXMLTree tree;
    std::vector<const char*> keys;
    for (std::size_t i = 0; i < 2000; ++i) keys.push_back(tree.GetKey(Colliding(i).c_str()));
    for (std::size_t i = 0; i < 2000; ++i)
        ASSERT_EQ(static_cast<const char*>(tree.GetKey(Colliding(i).c_str())), keys[i]);
}

}  // namespace
