#include "link/line_assembler.h"

#include <gtest/gtest.h>

namespace wc {
namespace {

using Lines = std::vector<std::string>;

std::string_view name(LineEnd end) {
    return end == LineEnd::crlf ? "crlf" : "lf";
}

TEST(LineAssembler, AnyChunkingGivesTheSameLines) {
    const std::string_view stream = "RPOW\r\nA\nB\r\n\nD\r\r\nE\rF\n";
    const std::pair<LineEnd, Lines> cases[] = {
        {LineEnd::crlf, {"RPOW", "A\nB", "\nD\r"}}, // a reply ends at "\r\n" only
        {LineEnd::lf, {"RPOW", "A", "B", "", "D\r", "E\rF"}},
    };
    for (const auto& [end, expected] : cases) {
        for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
            LineAssembler lines(end);
            Lines got = lines.feed(stream.substr(0, cut));
            for (std::string& line : lines.feed(stream.substr(cut))) {
                got.push_back(std::move(line));
            }
            EXPECT_EQ(got, expected) << name(end) << ", cut at " << cut;
        }
        LineAssembler bytes(end);
        Lines got;
        for (const char c : stream) {
            for (std::string& line : bytes.feed(std::string_view(&c, 1))) {
                got.push_back(std::move(line));
            }
        }
        EXPECT_EQ(got, expected) << name(end) << ", byte by byte";
    }
}

TEST(LineAssembler, AnOverlongLineIsDroppedUpToItsEndAndTheNextLineComesThrough) {
    for (const LineEnd end : {LineEnd::crlf, LineEnd::lf}) {
        SCOPED_TRACE(name(end));
        LineAssembler lines(end, 8);
        // The limit itself still fits, its end not counted, whichever chunk the "\r" comes in.
        EXPECT_EQ(lines.feed("12345678\r"), Lines{});
        EXPECT_EQ(lines.feed("\n0123456789"), Lines{"12345678"});
        EXPECT_LE(lines.pending(), 8u);
        EXPECT_EQ(lines.feed(std::string(100000, 'x') + "\r"), Lines{});
        EXPECT_LE(lines.pending(), 8u);
        EXPECT_EQ(lines.feed("\nPOWE001\r\n" + std::string(20, 'y') + "\r\nRESO020\r\n"),
                  (Lines{"POWE001", "RESO020"}));
        EXPECT_EQ(lines.pending(), 0u);
    }
}

} // namespace
} // namespace wc
