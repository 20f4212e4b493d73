#include "sim/reply_shaper.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

using namespace std::chrono_literals;
using Chunks = std::vector<std::string>;

// A timeline stepped by hand.
class ReplyShaperTest : public ::testing::Test {
protected:
    ReplyShaper::Clock::time_point at(std::chrono::milliseconds offset) const { return m_start + offset; }

    ReplyShaper::Clock::time_point m_start{std::chrono::hours(1)};
};

TEST_F(ReplyShaperTest, WithoutFaultsEveryReplyLeavesAtOnceOnItsOwn) {
    ReplyShaper shaper(Faults{});
    shaper.add("IPMD001\r\n", at(0ms));
    shaper.add("RELI\r\n", at(0ms));
    EXPECT_EQ(shaper.take_due(at(0ms)), (Chunks{"IPMD001\r\n", "RELI\r\n"}));
    EXPECT_TRUE(shaper.empty());
    EXPECT_FALSE(shaper.next_due());
}

TEST_F(ReplyShaperTest, ADelayHoldsEachReplyThatLong) {
    Faults faults;
    faults.delay = 100ms;
    ReplyShaper shaper(faults);
    shaper.add("POWE001\r\n", at(0ms));
    shaper.add("MODN000\r\n", at(30ms));
    EXPECT_EQ(shaper.next_due(), at(100ms));
    EXPECT_EQ(shaper.take_due(at(99ms)), Chunks{});
    EXPECT_EQ(shaper.pending_bytes(), 18u);
    EXPECT_EQ(shaper.take_due(at(100ms)), Chunks{"POWE001\r\n"});
    EXPECT_EQ(shaper.take_due(at(130ms)), Chunks{"MODN000\r\n"});
}

TEST_F(ReplyShaperTest, ASplitReplyLeavesInTwoChunksAndKeepsItsPlaceInLine) {
    Faults faults;
    faults.split = 4;
    ReplyShaper shaper(faults);
    shaper.add("POWE001\r\n", at(0ms));
    shaper.add("MODN000\r\n", at(10ms)); // must not overtake the second half
    EXPECT_EQ(shaper.take_due(at(10ms)), Chunks{"POWE"});
    EXPECT_EQ(shaper.next_due(), at(0ms) + ReplyShaper::split_gap);
    EXPECT_EQ(shaper.take_due(at(50ms)), (Chunks{"001\r\n", "MODN"}));
    EXPECT_EQ(shaper.take_due(at(100ms)), Chunks{"000\r\n"});

    faults.split = 20; // beyond the reply: sent whole
    ReplyShaper whole(faults);
    whole.add("POWE001\r\n", at(0ms));
    EXPECT_EQ(whole.take_due(at(0ms)), Chunks{"POWE001\r\n"});
}

TEST_F(ReplyShaperTest, JoinedRepliesLeaveInPairsOrAloneAfterAWait) {
    Faults faults;
    faults.join = true;
    ReplyShaper shaper(faults);
    shaper.add("IPMD001\r\n", at(0ms));
    EXPECT_EQ(shaper.take_due(at(0ms)), Chunks{});
    shaper.add("RELI\r\n", at(5ms));
    shaper.add("POWE001\r\n", at(5ms));
    EXPECT_EQ(shaper.take_due(at(5ms)), Chunks{"IPMD001\r\nRELI\r\n"});
    EXPECT_EQ(shaper.next_due(), at(5ms) + ReplyShaper::join_wait);
    EXPECT_EQ(shaper.take_due(at(5ms) + ReplyShaper::join_wait - 1ms), Chunks{});
    EXPECT_EQ(shaper.take_due(at(5ms) + ReplyShaper::join_wait), Chunks{"POWE001\r\n"});
    EXPECT_TRUE(shaper.empty());
}

TEST_F(ReplyShaperTest, FaultsCombineJoinThenDelayThenSplit) {
    Faults faults;
    faults.join = true;
    faults.delay = 100ms;
    faults.split = 9;
    ReplyShaper shaper(faults);
    shaper.add("IPMD001\r\n", at(0ms));
    shaper.add("RELI\r\n", at(0ms));
    EXPECT_EQ(shaper.take_due(at(99ms)), Chunks{});
    EXPECT_EQ(shaper.take_due(at(100ms)), Chunks{"IPMD001\r\n"});
    EXPECT_EQ(shaper.take_due(at(150ms)), Chunks{"RELI\r\n"});
}

} // namespace
} // namespace sim
