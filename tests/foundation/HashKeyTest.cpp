#include "foundation/HashKey.h"

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <string>
#include <vector>

using CorvaneXML::CHashKey;

namespace {

// `count` names whose first examined slot in a table of `size` slots is `slot`.
std::vector<std::string> NamesStartingAt(std::uint32_t slot, std::uint32_t size, int count, char prefix) {
    std::vector<std::string> names;
    for (int i = 0; static_cast<int>(names.size()) < count; ++i) {
        std::string name = prefix + std::to_string(i);
        if (((CHashKey::Hash(name.c_str()) + 1) & (size - 1)) == slot) names.push_back(name);
    }
    return names;
}

}  // namespace

// Bytes count as unsigned; the probe run starts one past the hash and wraps.
TEST(HashKey, HashesAndSlots) {
    CHashKey table;
    EXPECT_EQ(table.Capacity(), 64);
    EXPECT_EQ(table.ProbeLimit(), 11u);
    struct Case {
        const char* name;
        std::uint32_t hash;
        int slot;
    } const cases[] = {{"", 0, 1}, {"a", 1649, 50}, {"abc", 1640992, 33}, {"\xff", 0xff0 ^ 0xff, 16}};
    for (const Case& c : cases) {
        EXPECT_EQ(CHashKey::Hash(c.name), c.hash) << c.name;
        EXPECT_EQ(table.Find(c.name) - table.Slots(), c.slot) << c.name;
    }
    const std::vector<std::string> wrapping = NamesStartingAt(63, 64, 3, 'w');
    for (const std::string& name : wrapping)
        EXPECT_NE(static_cast<const char*>(table.GetKey(name.c_str())), name.c_str());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(&table.GetKey(wrapping[i].c_str()) - table.Slots(), (63 + i) % 64);
    // Long names that share their first and last eight bytes stay apart.
    const char* const one = table.GetKey("head0000-one-0000tail");
    EXPECT_STREQ(table.GetKey("head0000-two-0000tail"), "head0000-two-0000tail");
    EXPECT_EQ(static_cast<const char*>(table.GetKey("head0000-one-0000tail")), one);
    EXPECT_ANY_THROW(table.GetKey(nullptr));
}

// When a name's probe run is full the table doubles; when the names do not
// fit the doubled table either, it warns and doubles again. Keys already
// handed out stay valid.
TEST(HashKey, Growth) {
    struct Case {
        std::vector<std::string> names;
        int capacity;
        std::uint32_t probeLimit;
        std::vector<std::pair<int, std::string>> reports;
    } cases[] = {
        // Eleven names fill the run of slot 5; the twelfth cannot be placed.
        {NamesStartingAt(5, 64, 12, 'c'), 128, 12, {}},
        // Ten names of run 60 wrap into run 0, where six more follow. At 128
        // slots the four names left in slots 60..63 find their run (124) taken.
        {NamesStartingAt(124, 256, 10, 'p'), 256, 13, {{1, "CHashKey::Grow - Double grow needed"}}},
    };
    const std::vector<std::string> early = NamesStartingAt(0, 256, 6, 'q');
    cases[1].names.insert(cases[1].names.end(), early.begin(), early.end());
    for (const Case& c : cases) {
        testsupport::ReportCapture capture;
        CHashKey table;
        std::vector<const char*> texts;
        for (const std::string& name : c.names) texts.push_back(table.GetKey(name.c_str()));
        EXPECT_EQ(table.Capacity(), c.capacity);
        EXPECT_EQ(table.ProbeLimit(), c.probeLimit);
        EXPECT_EQ(capture.reports, c.reports);
        for (std::size_t i = 0; i < c.names.size(); ++i) {
            EXPECT_EQ(static_cast<const char*>(table.GetKey(c.names[i].c_str())), texts[i]) << i;
            EXPECT_STREQ(texts[i], c.names[i].c_str());
        }
    }
}
