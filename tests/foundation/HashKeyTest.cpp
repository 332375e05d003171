#include "foundation/HashKey.h"

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <cstdint>
#include <string>
#include <vector>

using CorvaneXML::CHashKey;
using CorvaneXML::XCXMLKey;

namespace {

int SlotOf(const CHashKey& table, const XCXMLKey* slot) {
    return static_cast<int>(slot - table.Slots());
}

int UsedSlots(const CHashKey& table) {
    int used = 0;
    for (int i = 0; i < table.Capacity(); ++i) used += static_cast<const char*>(table.Slots()[i]) != nullptr;
    return used;
}

// Names whose first examined slot in a table of `size` slots is `slot`.
std::vector<std::string> NamesStartingAt(std::uint32_t slot, std::uint32_t size, int count,
                                         const char* prefix) {
    std::vector<std::string> names;
    for (int i = 0; static_cast<int>(names.size()) < count; ++i) {
        std::string name = prefix + std::to_string(i);
        if (((CHashKey::Hash(name.c_str()) + 1) & (size - 1)) == slot) names.push_back(name);
    }
    return names;
}

}  // namespace

TEST(HashKey, HashValues) {
    EXPECT_EQ(CHashKey::Hash(""), 0u);
    EXPECT_EQ(CHashKey::Hash("a"), 1649u);
    EXPECT_EQ(CHashKey::Hash("abc"), 1640992u);
    // Bytes count as unsigned: a high byte must not sign-extend into the hash.
    EXPECT_EQ(CHashKey::Hash("\xff"), ((0xffu << 4) ^ 0xffu));
}

TEST(HashKey, NewTableAndFirstProbedSlot) {
    CHashKey table;
    EXPECT_EQ(table.Capacity(), 64);
    EXPECT_EQ(table.ProbeLimit(), 11u);
    EXPECT_EQ(SlotOf(table, table.Find("a")), 50);
    EXPECT_EQ(SlotOf(table, table.Find("abc")), 33);
    EXPECT_EQ(SlotOf(table, table.Find("")), 1);
    EXPECT_EQ(UsedSlots(table), 0);  // Find never adds
}

TEST(HashKey, InterningIsIdempotentAndCopiesTheText) {
    CHashKey table;
    char text[] = "name";
    const char* first = table.GetKey(text);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, static_cast<const char*>(text));
    text[0] = 'x';  // the caller's buffer is not what the table keeps
    const XCXMLKey again = table.GetKey("name");
    EXPECT_EQ(static_cast<const char*>(again), first);
    EXPECT_EQ(UsedSlots(table), 1);

    const XCXMLKey empty = table.GetKey("");
    EXPECT_NE(static_cast<const char*>(empty), nullptr);
    EXPECT_TRUE(empty == "");
    EXPECT_EQ(SlotOf(table, &table.GetKey("")), 1);
}

TEST(HashKey, NullNameRaises) {
    CHashKey table;
    EXPECT_ANY_THROW(table.GetKey(nullptr));
    EXPECT_ANY_THROW(table.Find(nullptr));
    EXPECT_EQ(UsedSlots(table), 0);
}

TEST(HashKey, ProbeRunWrapsAroundTheEnd) {
    CHashKey table;
    const std::vector<std::string> names = NamesStartingAt(63, 64, 3, "w");
    for (const std::string& name : names) table.GetKey(name.c_str());
    EXPECT_EQ(SlotOf(table, &table.GetKey(names[0].c_str())), 63);
    EXPECT_EQ(SlotOf(table, &table.GetKey(names[1].c_str())), 0);
    EXPECT_EQ(SlotOf(table, &table.GetKey(names[2].c_str())), 1);
}

TEST(HashKey, FullProbeRunDoublesAndKeepsEarlierKeys) {
    testsupport::ReportCapture capture;
    CHashKey table;
    // Eleven names fill the run of slot 5; the twelfth cannot be placed.
    const std::vector<std::string> names = NamesStartingAt(5, 64, 12, "c");
    std::vector<const char*> texts;
    for (int i = 0; i < 11; ++i) texts.push_back(table.GetKey(names[i].c_str()));
    EXPECT_EQ(table.Capacity(), 64);

    texts.push_back(table.GetKey(names[11].c_str()));
    EXPECT_EQ(table.Capacity(), 128);
    EXPECT_EQ(table.ProbeLimit(), 12u);
    EXPECT_TRUE(capture.reports.empty());
    EXPECT_EQ(UsedSlots(table), 12);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(static_cast<const char*>(table.GetKey(names[i].c_str())), texts[i]) << i;
        EXPECT_STREQ(texts[i], names[i].c_str());
    }
}

TEST(HashKey, RebuildThatDoesNotFitGrowsAgainWithAWarning) {
    // At 64 slots, ten names of run 60 wrap round into the run of slot 0, and
    // five names of run 0 follow them. Growing to 128 re-inserts in slot
    // order: the wrapped names and the run-0 names first, then the four names
    // left in slots 60..63, whose run (now 124) is taken for more than the
    // limit of 12. The table must go straight on to 256 slots.
    testsupport::ReportCapture capture;
    CHashKey table;
    const std::vector<std::string> late = NamesStartingAt(124, 256, 10, "p");
    const std::vector<std::string> early = NamesStartingAt(0, 256, 6, "q");
    std::vector<std::string> names(late);
    names.insert(names.end(), early.begin(), early.end());

    std::vector<const char*> texts;
    for (const std::string& name : names) texts.push_back(table.GetKey(name.c_str()));

    ASSERT_EQ(capture.reports.size(), 1u);
    EXPECT_NE(capture.reports[0].first, 0);
    EXPECT_EQ(capture.reports[0].second, "CHashKey::Grow - Double grow needed");
    EXPECT_EQ(table.Capacity(), 256);
    EXPECT_EQ(table.ProbeLimit(), 13u);  // one per attempt: 128 failed, 256 held
    EXPECT_EQ(UsedSlots(table), 16);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(static_cast<const char*>(table.GetKey(names[i].c_str())), texts[i]) << i;
    }
}
