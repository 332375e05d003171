// Growth of the parser's character buffer: doubling for single characters
// and the NUL, capacity + length + count for bulk additions.

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

TEST(TBuffer, StartsEmptyWith256Bytes) {
    TBuffer<char> buffer;
    EXPECT_EQ(buffer.GetLength(), 0);
    EXPECT_EQ(buffer.GetCapacity(), 256);
    EXPECT_STREQ(static_cast<const char*>(buffer), "");
}

TEST(TBuffer, SingleCharactersAndTheNulDoubleAFullBlock) {
    TBuffer<char> buffer;
    AddRepeated(buffer, 256);
    EXPECT_EQ(buffer.GetCapacity(), 256);
    std::string text = static_cast<const char*>(buffer);
    EXPECT_EQ(buffer.GetCapacity(), 512);
    EXPECT_EQ(text, std::string(256, 'x'));
    EXPECT_EQ(buffer.GetLength(), 256);

    TBuffer<char> other;
    AddRepeated(other, 257);
    EXPECT_EQ(other.GetCapacity(), 512);
}

TEST(TBuffer, BulkAdditionsGrowToCapacityPlusLengthPlusCount) {
    TBuffer<char> buffer;
    AddRepeated(buffer, 250);
    const char ten[] = "0123456789";
    buffer.AddChars(ten, 10);
    EXPECT_EQ(buffer.GetCapacity(), 516);
    EXPECT_EQ(buffer.GetLength(), 260);
    buffer.AddChars(ten, 0);
    EXPECT_EQ(buffer.GetCapacity(), 516);
    EXPECT_EQ(buffer.GetLength(), 260);
    EXPECT_EQ(std::string(static_cast<const char*>(buffer)).substr(248), "xx0123456789");
}

TEST(TBuffer, AddEachEndsWhereAddCharWould) {
    const std::string source(5000, 'r');
    for (int before : {0, 1, 255, 256, 300}) {
        for (int count : {0, 1, 255, 256, 257, 1000, 4097}) {
            TBuffer<char> single;
            TBuffer<char> bulk;
            AddRepeated(single, before, 'a');
            AddRepeated(bulk, before, 'a');
            AddRepeated(single, count, 'r');
            bulk.AddEach(source.data(), count);
            EXPECT_EQ(bulk.GetCapacity(), single.GetCapacity()) << before << "+" << count;
            EXPECT_EQ(bulk.GetLength(), single.GetLength());
            EXPECT_EQ(std::string(static_cast<const char*>(bulk)),
                      std::string(static_cast<const char*>(single)));
        }
    }
}

TEST(TBuffer, ResetKeepsTheCapacity) {
    TBuffer<char> buffer;
    AddRepeated(buffer, 1000);
    EXPECT_EQ(buffer.GetCapacity(), 1024);
    buffer.Reset();
    EXPECT_EQ(buffer.GetLength(), 0);
    EXPECT_EQ(buffer.GetCapacity(), 1024);
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
    buffer.Reset();
    EXPECT_TRUE(buffer == "");
}

TEST(TBuffer, FailedGrowthEmptiesTheBufferUntilReset) {
    TBuffer<char> buffer;
    buffer.AddChars("abc", 3);
    // Needs 256 + 3 + INT_MAX - 10 bytes: past a signed 32-bit size, so the
    // growth fails before anything is read from the (short) source.
    try {
        buffer.AddChars("abc", INT_MAX - 10);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Can't allocate buffer.");
    }
    EXPECT_EQ(buffer.GetLength(), 0);
    EXPECT_EQ(buffer.GetCapacity(), 0);
    EXPECT_THROW(buffer.AddChar('x'), std::runtime_error);
    EXPECT_THROW(buffer.AddEach("x", 1), std::runtime_error);
    buffer.Reset();
    EXPECT_EQ(buffer.GetCapacity(), 256);
    buffer.AddChar('y');
    EXPECT_STREQ(static_cast<const char*>(buffer), "y");
}

}  // namespace
