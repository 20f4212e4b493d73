#include "link/protocol.h"

#include <gtest/gtest.h>

namespace wc {
namespace {

TEST(Protocol, FieldsAreReadAtFixedPositionsAndCutShortAtTheEnd) {
    EXPECT_EQ(chars("POWE001", 5, 3), "001");
    EXPECT_EQ(chars("POWE1", 5, 3), "1");
    EXPECT_EQ(chars("POWE", 5, 3), "");
    EXPECT_EQ(chars("OUT1 : BRIV050", 8, 4), "BRIV");
    EXPECT_EQ(chars("", 1, 4), "");
}

TEST(Protocol, KeysCompareExactlyOverTheirWholeLength) {
    EXPECT_TRUE(key_at("POWE001\r\n", "POWE"));
    EXPECT_FALSE(key_at("powe001", "POWE"));  // small letters
    EXPECT_FALSE(key_at("POW", "POWE"));      // split over two chunks
    EXPECT_FALSE(key_at("xPOWE001", "POWE")); // not at position 1
    EXPECT_TRUE(key_at("BHV010", "BHV"));
    EXPECT_TRUE(key_at("OUT1 : BRIV050", "BRIV", 8));
    EXPECT_FALSE(key_at("BRIV050", "BRIV", 8)); // the picture key only counts at 8
}

TEST(Protocol, LeadingNumbersReadLikeTheBoxWritesThem) {
    struct Case {
        const char* text;
        double value;
    };
    for (Case c : {Case{"020", 20}, Case{"  7x", 7}, Case{"1.2", 1.2}, Case{"", 0}, Case{"abc", 0},
                   Case{"-05", -5}, Case{"1.", 1}, Case{".5", 0.5}, Case{"12 3", 12}}) {
        EXPECT_DOUBLE_EQ(leading_number(c.text), c.value) << c.text;
    }
}

TEST(Protocol, RoundingTakesHalvesToTheEvenNeighbour) {
    EXPECT_EQ(round_half_even(15.5), 16);
    EXPECT_EQ(round_half_even(14.5), 14);
    EXPECT_EQ(round_half_even(0.4), 0);
    EXPECT_EQ(round_half_even(-0.5), 0);
    EXPECT_EQ(round_half_even(2.5), 2);
    EXPECT_EQ(round_half_even(1e300), 1000000000);
    EXPECT_EQ(whole_value("050"), 50);
}

TEST(Protocol, NumericTextIsASignedDecimalWithBlanksAround) {
    for (const char* yes : {"50", " 7", "7.0", "-0.5", "100.5", "+3", " 1e2 ", ".5"}) {
        EXPECT_TRUE(numeric_value(yes).has_value()) << yes;
    }
    for (const char* no : {"", " ", "abc", "5a", "1.2.3", "-", ".", "1e", "0x10", "1 2"}) {
        EXPECT_FALSE(numeric_value(no).has_value()) << no;
    }
    EXPECT_DOUBLE_EQ(*numeric_value(" 100.5"), 100.5);
}

TEST(Protocol, WireTextIsOneByteOfPrintableAsciiPerCharacter) {
    EXPECT_EQ(wire_text("SIPA 192.168.1.20"), "SIPA 192.168.1.20");
    EXPECT_EQ(wire_text("SIPA 1\r\nSPOW 1"), "SIPA 1??SPOW 1");
    EXPECT_EQ(wire_text("SIPA \xC3\xA9t\xE6\xBC\xA2"), "SIPA ?t?"); // é and a CJK character
    EXPECT_EQ(wire_text(std::string("A\0B", 3)), "A?B");
    EXPECT_EQ(sign_blank(5), " 5");
    EXPECT_EQ(sign_blank(255), " 255");
}

} // namespace
} // namespace wc
