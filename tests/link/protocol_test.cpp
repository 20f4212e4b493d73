#include "link/line_assembler.h"
#include "link/protocol.h"
#include "link/reply_reader.h"
#include "link/traffic_log.h"

#include <gtest/gtest.h>
#include <numeric>

namespace wc {
namespace {

using Lines = std::vector<std::string>;

// The replies as the reader hands them on, in chunks cut at `cuts`.
Lines read_replies(std::string_view stream, std::vector<std::size_t> cuts) {
    ReplyReader reader;
    Lines replies;
    cuts.push_back(stream.size());
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        for (const Reply& reply : reader.feed(stream.substr(from, cut - from))) {
            replies.push_back(reply.text());
        }
        EXPECT_LE(reader.held(), ReplyReader::most_held);
        from = cut;
    }
    return replies;
}

// Every dialect a box may speak gives the same replies, however TCP cuts the bytes.
TEST(ReplyReader, EveryDialectAndEveryChunkingGivesEachWholeReplyOnceInOrder) {
    const Lines replies{"POWE001", "OUT C: BRIV050", "WDEF", "MODN012"};
    const std::pair<const char*, std::string> dialects[] = {
        {"CR LF", "POWE001\r\nOUT C: BRIV050\r\nWDEF\r\nMODN012\r\n"},
        {"LF", "POWE001\nOUT C: BRIV050\nWDEF\nMODN012\n"},
        {"CR", "POWE001\rOUT C: BRIV050\rWDEF\rMODN012\r"},
        {"nothing", "POWE001OUT C: BRIV050WDEFMODN012"},
        {"echo",
         "RPOW\r\nPOWE001\r\nRBRI 3\r\nOUT C: BRIV050\r\nSOSDI\r\nSWDE\r\nWDEF\r\nRMDN\r\nMODN012\r\n"},
        {"echo, LF", "RPOW\nPOWE001\nRBRI 3\nOUT C: BRIV050\nSWDE\nWDEF\nRMDN\nMODN012\n"},
        {"greeting and prompt",
         "Welcome to box 7 (fw 2.07)\r\n> POWE001\r\n> OUT C: BRIV050\r\n# WDEF\r\n> MODN012\r\n> "},
        {"noise", "\x01\xff powe001 POWE1\r\nBHV\r\nPOWE001 and more\r\nxxOUT C: BRIV050WDEF\nMODN012"},
    };
    for (const auto& [dialect, stream] : dialects) {
        SCOPED_TRACE(dialect);
        EXPECT_EQ(read_replies(stream, {}), replies);
        for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
            EXPECT_EQ(read_replies(stream, {cut}), replies) << "cut at " << cut;
        }
        std::vector<std::size_t> every_byte(stream.size());
        std::iota(every_byte.begin(), every_byte.end(), 0);
        EXPECT_EQ(read_replies(stream, every_byte), replies) << "byte by byte";
    }
}

TEST(ReplyReader, AWholeReplyIsHandedOnAtOnceAndNoiseIsNeverHeldLong) {
    ReplyReader reader;
    EXPECT_TRUE(reader.feed("POWE00").empty());
    EXPECT_EQ(reader.feed("1").size(), 1u); // no line end awaited
    const std::string link =
        "IP00010IP01000IP02000IP03005MA00255MA01255MA02255MA03000GA00010GA01000GA02000GA03001";
    EXPECT_TRUE(reader.feed(std::string(100000, '?') + link.substr(0, 80)).empty());
    EXPECT_LE(reader.held(), ReplyReader::most_held);
    const auto addresses = reader.feed(link.substr(80));
    ASSERT_EQ(addresses.size(), 1u);
    EXPECT_EQ(addresses[0].field(11), "001");
    // Capitals before a key make it part of other text; a short value is no value.
    EXPECT_TRUE(reader.feed("SOSDI\r\nRFAVE 3\r\nXMNC\r\nZWDEF\r\nPOWE01\r\nosdi\r\n").empty());
    // ...but not across a line end, even one behind more capitals than are held.
    EXPECT_TRUE(reader.feed(std::string(200, 'A')).empty());
    EXPECT_EQ(reader.feed("\r\nPOWE001").size(), 1u);
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

TEST(LineAssembler, AnOverlongCommandLineIsDroppedUpToItsEndAndTheNextLineComesThrough) {
    LineAssembler lines(8);
    // The limit itself still fits, its end not counted, whichever chunk the "\r" comes in.
    EXPECT_EQ(lines.feed("12345678\r"), Lines{});
    EXPECT_EQ(lines.feed("\n0123456789"), Lines{"12345678"});
    EXPECT_LE(lines.pending(), 8u);
    EXPECT_EQ(lines.feed(std::string(100000, 'x') + "\r"), Lines{});
    EXPECT_LE(lines.pending(), 8u);
    EXPECT_EQ(lines.feed("\nRPOW\r\n" + std::string(20, 'y') + "\nRRES\n"), (Lines{"RPOW", "RRES"}));
    EXPECT_EQ(lines.pending(), 0u);
}

TEST(TrafficLog, OneLinePerEventWithItsDateAndControlCharactersShownAsEscapes) {
    using namespace std::chrono;
    const LocalTime at =
        local_days(year(2026) / 12 / 6) + hours(9) + minutes(4) + seconds(31) + milliseconds(5);
    EXPECT_EQ(traffic_line(at, "10.0.0.5:23", Traffic::sent, "SPOW 1\r\n"),
              "2026-12-06T09:04:31.005 10.0.0.5:23 > SPOW 1\\r\\n");
    EXPECT_EQ(traffic_line(at, "10.0.0.5:23", Traffic::received, std::string("A\0\t\xff\\", 5)),
              "2026-12-06T09:04:31.005 10.0.0.5:23 < A\\x00\\t\\xFF\\\\");
}

} // namespace
} // namespace wc
