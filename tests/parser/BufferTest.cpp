// Growth of the character buffer: doubling for single characters and the
// NUL, old capacity + length + count for bulk additions.

#include <CorvaneXML/XMLBuffer.h>

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>

using CorvaneXML::TBuffer;

namespace {

void AddRepeated(TBuffer<char>& buffer, int count, char c = 'x') {
    for (int i = 0; i < count; ++i) buffer.AddChar(c);
}

TEST(TBuffer, GrowthRules) {
    TBuffer<char> buffer;
    EXPECT_EQ(buffer.GetCapacity(), 256);
    EXPECT_STREQ(static_cast<const char*>(buffer), "");
    AddRepeated(buffer, 256);
    EXPECT_EQ(buffer.GetCapacity(), 256);
    EXPECT_EQ(std::string(static_cast<const char*>(buffer)), std::string(256, 'x'));  // the NUL doubles
    EXPECT_EQ(buffer.GetCapacity(), 512);
    EXPECT_EQ(buffer.GetLength(), 256);
    buffer.AddChar('y');
    EXPECT_EQ(buffer.GetCapacity(), 512);

    TBuffer<char> bulk;
    AddRepeated(bulk, 250);
    bulk.AddChars("0123456789", 10);
    EXPECT_EQ(bulk.GetCapacity(), 516);
    bulk.AddChars("z", 0);
    EXPECT_EQ(bulk.GetLength(), 260);
    EXPECT_EQ(std::string(static_cast<const char*>(bulk)).substr(248), "xx0123456789");
    AddRepeated(bulk, 800);
    EXPECT_EQ(bulk.GetCapacity(), 2064);
    bulk.Reset();
    EXPECT_EQ(bulk.GetLength(), 0);
    EXPECT_EQ(bulk.GetCapacity(), 2064);
}

TEST(TBuffer, AddEachEndsWhereAddCharWould) {
    const std::string source(5000, 'r');
    for (int before : {0, 1, 255, 256, 300}) {
        for (int count : {0, 1, 255, 256, 257, 1000, 4097}) {
            TBuffer<char> single;
            TBuffer<char> each;
            AddRepeated(single, before, 'a');
            AddRepeated(each, before, 'a');
            AddRepeated(single, count, 'r');
            each.AddEach(source.data(), count);
            EXPECT_EQ(each.GetCapacity(), single.GetCapacity()) << before << "+" << count;
            EXPECT_EQ(std::string(static_cast<const char*>(each)), static_cast<const char*>(single));
        }
    }
}

TEST(TBuffer, ComparesWholeContents) {
    TBuffer<char> buffer;
    buffer.AddChars("DOC", 3);
    EXPECT_FALSE(buffer == "DOCTYPE");
    buffer.AddChars("TYPE", 4);
    EXPECT_TRUE(buffer == "DOCTYPE");
    EXPECT_FALSE(buffer == "DOCTYP");
    buffer.AddChar('X');
    EXPECT_FALSE(buffer == "DOCTYPE");
}

TEST(TBuffer, FailedGrowthEmptiesTheBufferUntilReset) {
    TBuffer<char> buffer;
    buffer.AddChars("abc", 3);
    // The bulk size passes a signed 32-bit size, so growing fails before
    // anything is read from the (short) source.
    try {
        buffer.AddChars("abc", INT_MAX - 10);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Can't allocate buffer.");
    }
    EXPECT_EQ(buffer.GetLength(), 0);
    EXPECT_EQ(buffer.GetCapacity(), 0);
    EXPECT_THROW(buffer.AddChar('x'), std::runtime_error);
    buffer.Reset();
    EXPECT_EQ(buffer.GetCapacity(), 256);
    buffer.AddChar('y');
    EXPECT_STREQ(static_cast<const char*>(buffer), "y");
}

}  // namespace
