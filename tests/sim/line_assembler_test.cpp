#include "sim/line_assembler.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

using Lines = std::vector<std::string>;

Lines feed_all(LineAssembler& lines, const std::vector<std::string_view>& pieces) {
    Lines all;
    for (std::string_view piece : pieces) {
        for (std::string& line : lines.feed(piece)) {
            all.push_back(std::move(line));
        }
    }
    return all;
}

TEST(LineAssembler, AnyChunkingGivesTheSameLines) {
    const std::string_view bytes = "RPOW\r\nSMN 3 2 \r\nRBH \r\n";
    const Lines expected{"RPOW", "SMN 3 2 ", "RBH "};
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        LineAssembler lines;
        EXPECT_EQ(feed_all(lines, {bytes.substr(0, cut), bytes.substr(cut)}), expected) << "cut at " << cut;
    }
    LineAssembler byte_by_byte;
    Lines got;
    for (char c : bytes) {
        for (std::string& line : byte_by_byte.feed(std::string_view(&c, 1))) {
            got.push_back(line);
        }
    }
    EXPECT_EQ(got, expected);
}

TEST(LineAssembler, OnlyTheCarriageReturnBeforeTheLineEndIsDropped) {
    LineAssembler lines;
    EXPECT_EQ(feed_all(lines, {"A\rB\r\n", "C\n", "\r\n", "D\r\r\n"}), (Lines{"A\rB", "C", "", "D\r"}));
    EXPECT_EQ(feed_all(lines, {std::string_view("N\0L\n", 4)}), Lines{std::string("N\0L", 3)});
}

TEST(LineAssembler, AnOverlongLineIsDroppedUpToItsEnd) {
    LineAssembler lines(8);
    EXPECT_EQ(feed_all(lines, {"12345678\n"}), Lines{"12345678"}); // the limit itself still fits
    EXPECT_EQ(feed_all(lines, {"12345", "6789", "abcdefgh", "ijk"}), Lines{});
    EXPECT_LE(lines.pending(), 8u);
    EXPECT_EQ(feed_all(lines, {"lmn\r\nRPOW\r\n"}), Lines{"RPOW"});
    EXPECT_EQ(lines.pending(), 0u);
}

TEST(LineAssembler, AMegabyteWithoutLineEndHoldsNoMoreThanTheLimit) {
    LineAssembler lines;
    const std::string chunk(64 * 1024, 'x');
    for (int i = 0; i < 16; ++i) {
        EXPECT_TRUE(lines.feed(chunk).empty());
        EXPECT_LE(lines.pending(), LineAssembler::default_limit);
    }
    EXPECT_EQ(lines.feed("\r\nRVER\r\n"), Lines{"RVER"});
}

} // namespace
} // namespace sim
