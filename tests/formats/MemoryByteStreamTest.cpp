#include "formats/MemoryByteStream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace celdo {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(MemoryByteStream, ReadsExactlyAndTheEndIsAReadError) {
    const Bytes bytes{1, 2, 3};
    MemoryByteStream stream(bytes);
    std::uint8_t two[2] = {};
    ASSERT_EQ(stream.read(two, 2), status::Ok);
    EXPECT_EQ(two[1], 2);
    // Two more bytes than there are: nothing is taken, the position stays.
    EXPECT_EQ(stream.read(two, 2), status::ReadError);
    EXPECT_EQ(stream.position(), 2);
    ASSERT_EQ(stream.read(two, 1), status::Ok);
    EXPECT_EQ(two[0], 3);
    EXPECT_EQ(stream.read(two, 1), status::ReadError);
}

TEST(MemoryByteStream, ScatteredReadFillsEachTargetInTurn) {
    const Bytes bytes{1, 2, 3, 4, 5, 6, 7};
    MemoryByteStream stream(bytes);
    std::uint8_t rows[3][2] = {};
    std::uint8_t* targets[] = {rows[2], rows[1], rows[0]};
    ASSERT_EQ(stream.readInto(targets, 2), status::Ok);
    EXPECT_EQ(rows[2][0], 1);
    EXPECT_EQ(rows[1][1], 4);
    EXPECT_EQ(rows[0][1], 6);
    EXPECT_EQ(stream.position(), 6);
    EXPECT_EQ(stream.readInto(targets, 2), status::ReadError);
}

TEST(MemoryByteStream, WritesGrowTheSinkAndAGapIsZeros) {
    Bytes sink;
    MemoryByteStream stream(sink);
    ASSERT_EQ(stream.write("ab", 2), status::Ok);
    ASSERT_EQ(stream.seek(5, SEEK_SET), status::Ok);
    ASSERT_EQ(stream.write("c", 1), status::Ok);
    EXPECT_EQ(sink, (Bytes{'a', 'b', 0, 0, 0, 'c'}));
    // Overwriting in the middle, then gathering two pieces at the end.
    ASSERT_EQ(stream.seek(-4, SEEK_END), status::Ok);
    ASSERT_EQ(stream.write("X", 1), status::Ok);
    const std::uint8_t first[] = {'d', 'e'};
    const std::uint8_t second[] = {'f', 'g'};
    const std::uint8_t* sources[] = {first, second};
    ASSERT_EQ(stream.seek(0, SEEK_END), status::Ok);
    ASSERT_EQ(stream.writeFrom(sources, 2), status::Ok);
    EXPECT_EQ(sink, (Bytes{'a', 'b', 'X', 0, 0, 'c', 'd', 'e', 'f', 'g'}));
    // What was written reads back.
    ASSERT_EQ(stream.seek(1, SEEK_SET), status::Ok);
    std::uint8_t back[2];
    ASSERT_EQ(stream.read(back, 2), status::Ok);
    EXPECT_EQ(back[1], 'X');
}

TEST(MemoryByteStream, SeekBeforeTheStartFailsAndKeepsThePosition) {
    const Bytes bytes{1, 2, 3};
    MemoryByteStream stream(bytes);
    ASSERT_EQ(stream.seek(2, SEEK_SET), status::Ok);
    EXPECT_EQ(stream.seek(-3, SEEK_CUR), status::SeekError);
    EXPECT_EQ(stream.seek(-4, SEEK_END), status::SeekError);
    EXPECT_EQ(stream.position(), 2);
    EXPECT_EQ(stream.seek(-1, SEEK_END), status::Ok);
    EXPECT_EQ(stream.position(), 2);
}

TEST(MemoryByteStream, BytesToReadAreNeverWritten) {
    const Bytes bytes{1, 2, 3};
    MemoryByteStream stream(bytes);
    EXPECT_EQ(stream.write("x", 1), status::WriteError);
    const std::uint8_t* sources[] = {bytes.data()};
    EXPECT_EQ(stream.writeFrom(sources, 1), status::WriteError);
    EXPECT_EQ(bytes, (Bytes{1, 2, 3}));
}

TEST(MemoryByteStream, NothingWorksAfterClose) {
    Bytes sink;
    MemoryByteStream stream(sink);
    ASSERT_EQ(stream.write("a", 1), status::Ok);
    EXPECT_EQ(stream.close(), status::Ok);
    std::uint8_t byte;
    EXPECT_EQ(stream.read(&byte, 1), status::ReadError);
    EXPECT_EQ(stream.write("b", 1), status::WriteError);
    EXPECT_EQ(stream.seek(0, SEEK_SET), status::SeekError);
    EXPECT_EQ(sink, Bytes{'a'});
}

} // namespace
} // namespace celdo
