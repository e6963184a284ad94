// The byte queue: growth, pop without copy, compaction, checked access.
#include <gtest/gtest.h>

#include "clone/ByteQueue.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

TEST(ByteQueueTest, NewQueueIsEmptyAndGuarded) {
    ByteQueue q;
    EXPECT_EQ(q.Length(), 0);
    EXPECT_EQ(q.Capacity(), 1);
    EXPECT_EQ(q.PopFront(), -1);
    EXPECT_FATAL(q.At(0), "Out of ByteQueue element !");
    q.PushBack(7);
    EXPECT_FATAL(q.At(1), "Out of ByteQueue element !");
    EXPECT_FATAL(q.At(-1), "Out of ByteQueue element !");
}

TEST(ByteQueueTest, PopsByteValuesNotSigns) {
    ByteQueue q;
    q.PushBack(0xFF).PushBack(0x00);
    EXPECT_EQ(q.PopFront(), 255);
    EXPECT_EQ(q.PopFront(), 0);
    EXPECT_EQ(q.PopFront(), -1);
}

TEST(ByteQueueTest, GrowsByAQuarterOfTheOldLengthAndFillsWithZero) {
    ByteQueue q;
    q.SetLength(10);
    EXPECT_EQ(q.Capacity(), 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(q.At(i), 0) << i;

    ByteQueue r;
    r.SetLength(50);
    r.SetLength(40);  // shrinking keeps the block
    EXPECT_EQ(r.Capacity(), 50);
    r.SetLength(100);
    EXPECT_EQ(r.Capacity(), 110);
}

TEST(ByteQueueTest, PopFrontMovesTheHeadAndCompactsPast4096) {
    ByteQueue q;
    for (int i = 0; i < 6000; ++i) q.PushBack(static_cast<uint8_t>(i % 251));
    for (int i = 0; i < 4096; ++i) q.PopFront();
    EXPECT_EQ(q.HeadOffset(), 4096);  // no copy yet
    for (int i = 4096; i < 5000; ++i) q.PopFront();
    EXPECT_LT(q.HeadOffset(), 4096);  // compacted on the way
    ASSERT_EQ(q.Length(), 1000);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(q.At(i), (5000 + i) % 251) << i;
}

TEST(ByteQueueTest, AppendsAssignsAndClears) {
    ByteQueue a;
    a.AssignBytes("abc", 3).AppendFill('x', 2).AppendBytes("yz", 2);
    ByteQueue b(a);
    b.Append(b);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.Data()), b.Length()), "abcxxyzabcxxyz");
    a.PopFront();
    a.Compact();
    EXPECT_EQ(a.Capacity(), 6);
    EXPECT_EQ(a.At(0), 'b');
    b.Clear();
    EXPECT_EQ(b.Length(), 0);
    EXPECT_EQ(b.Capacity(), 1);
    EXPECT_EQ(b.HeadOffset(), 0);
}

}  // namespace
}  // namespace parlo
