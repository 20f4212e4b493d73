#include "link/reply_lines.h"
#include "link/traffic_log.h"

#include <gtest/gtest.h>

namespace wc {
namespace {

using Lines = std::vector<std::string>;

TEST(ReplyLines, RepliesSplitOrJoinedInChunksComeOutAsLines) {
    ReplyLines lines;
    EXPECT_EQ(lines.feed("POWE0"), Lines{});
    EXPECT_EQ(lines.feed("01\r\nMODN000\r"), Lines{"POWE001"});
    EXPECT_EQ(lines.feed("\nBHV010\r\nBVV"), (Lines{"MODN000", "BHV010"}));
    EXPECT_EQ(lines.feed("010\r\n\r\n"), (Lines{"BVV010", ""}));
    EXPECT_EQ(lines.pending(), 0u);
}

TEST(ReplyLines, AnOverlongLineIsDroppedUpToItsEndAndTheNextLineComesThrough) {
    ReplyLines lines(8);
    EXPECT_EQ(lines.feed("0123456789"), Lines{});
    EXPECT_LE(lines.pending(), 8u);
    EXPECT_EQ(lines.feed(std::string(100000, 'x') + "\r"), Lines{});
    EXPECT_LE(lines.pending(), 8u);
    EXPECT_EQ(lines.feed("\nPOWE001\r\n" + std::string(20, 'y') + "\r\nRESO020\r\n"),
              (Lines{"POWE001", "RESO020"}));
}

TEST(TrafficLog, OneLinePerEventWithControlCharactersShownAsEscapes) {
    using namespace std::chrono;
    const milliseconds at = hours(9) + minutes(4) + seconds(31) + milliseconds(5);
    EXPECT_EQ(traffic_line(at, "10.0.0.5:23", Traffic::sent, "SPOW 1\r\n"),
              "09:04:31.005 10.0.0.5:23 > SPOW 1\\r\\n");
    EXPECT_EQ(traffic_line(at, "10.0.0.5:23", Traffic::received, std::string("A\0\t\xff\\", 5)),
              "09:04:31.005 10.0.0.5:23 < A\\x00\\t\\xFF\\\\");
}

} // namespace
} // namespace wc
