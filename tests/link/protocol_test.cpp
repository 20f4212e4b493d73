#include "link/line_assembler.h"
#include "link/protocol.h"
#include "link/traffic_log.h"

#include <gtest/gtest.h>

namespace wc {
namespace {

using Lines = std::vector<std::string>;

TEST(Protocol, FieldsAreReadAtFixedPositionsAndKeysCompareExactly) {
    EXPECT_EQ(chars("POWE001", 5, 3), "001");
    EXPECT_EQ(chars("POWE1", 5, 3), "1"); // cut short at the end
    EXPECT_EQ(chars("POWE", 5, 3), "");
    EXPECT_EQ(chars("", 1, 4), "");
    EXPECT_TRUE(key_at("POWE001\r\n", "POWE"));
    EXPECT_FALSE(key_at("powe001", "POWE"));  // small letters
    EXPECT_FALSE(key_at("POW", "POWE"));      // the whole key
    EXPECT_FALSE(key_at("xPOWE001", "POWE")); // not at position 1
    EXPECT_TRUE(key_at("OUT1 : BRIV050", "BRIV", 8));
    EXPECT_FALSE(key_at("BRIV050", "BRIV", 8)); // the picture key only counts at 8
}

TEST(Protocol, NumbersReadLikeTheBoxWritesThemAndTypedOnesAsAWhole) {
    for (auto [text, value] : {std::pair{"020", 20.0},
                               {"  7x", 7},
                               {"1.2", 1.2},
                               {"", 0},
                               {"abc", 0},
                               {"-05", -5},
                               {"1.", 1},
                               {".5", 0.5},
                               {"12 3", 12}}) {
        EXPECT_DOUBLE_EQ(leading_number(text), value) << text;
    }
    for (auto [value, whole] : {std::pair{15.5, 16L}, {14.5, 14}, {0.4, 0}, {-0.5, 0}, {1e300, 1000000000}}) {
        EXPECT_EQ(round_half_even(value), whole) << value;
    }
    for (const char* yes : {"50", " 7", "7.0", "-0.5", "100.5", "+3", " 1e2 ", ".5"}) {
        EXPECT_TRUE(numeric_value(yes).has_value()) << yes;
    }
    for (const char* no : {"", " ", "abc", "5a", "1.2.3", "-", ".", "1e", "0x10", "1 2"}) {
        EXPECT_FALSE(numeric_value(no).has_value()) << no;
    }
    EXPECT_DOUBLE_EQ(*numeric_value(" 100.5"), 100.5);
}

TEST(Protocol, WireTextIsOneByteOfPrintableAsciiPerCharacter) {
    EXPECT_EQ(wire_text("SIPA 1\r\nSPOW 1"), "SIPA 1??SPOW 1");
    EXPECT_EQ(wire_text("SIPA \xC3\xA9t\xE6\xBC\xA2"), "SIPA ?t?"); // é and a CJK character
    EXPECT_EQ(wire_text(std::string("A\0B", 3)), "A?B");
}

TEST(LineAssembler, AnyChunkingGivesTheSameLines) {
    const std::string_view stream = "RPOW\r\nA\nB\r\n\nD\r\r\nE\rF\n";
    const std::pair<LineEnd, Lines> cases[] = {
        {LineEnd::crlf, {"RPOW", "A\nB", "\nD\r"}}, // a reply ends at "\r\n" only
        {LineEnd::lf, {"RPOW", "A", "B", "", "D\r", "E\rF"}},
    };
    for (const auto& [end, expected] : cases) {
        SCOPED_TRACE(end == LineEnd::crlf ? "crlf" : "lf");
        for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
            LineAssembler lines(end);
            Lines got = lines.feed(stream.substr(0, cut));
            for (std::string& line : lines.feed(stream.substr(cut))) {
                got.push_back(std::move(line));
            }
            EXPECT_EQ(got, expected) << "cut at " << cut;
        }
        LineAssembler bytes(end);
        Lines got;
        for (const char c : stream) {
            for (std::string& line : bytes.feed(std::string_view(&c, 1))) {
                got.push_back(std::move(line));
            }
        }
        EXPECT_EQ(got, expected) << "byte by byte";
    }
}

TEST(LineAssembler, AnOverlongLineIsDroppedUpToItsEndAndTheNextLineComesThrough) {
    for (const LineEnd end : {LineEnd::crlf, LineEnd::lf}) {
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
