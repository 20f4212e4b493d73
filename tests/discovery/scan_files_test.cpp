#include "discovery/scan_files.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

TEST(ScanFiles, MacIsTheFirstSeventeenCharacters) {
    EXPECT_EQ(mac_text("00:11:22:33:44:55 extra"), "00:11:22:33:44:55");
    EXPECT_EQ(mac_text("00:11:22"), "00:11:22");
    EXPECT_EQ(mac_text(""), "");
}

TEST(ScanFiles, OctetsAreReadFromFixedColumns) {
    struct Case {
        const char* line;
        std::array<long, 4> octets;
        bool in_range;
    };
    const Case cases[] = {
        {"192.168.001.020", {192, 168, 1, 20}, true},
        {"192.168.1.20", {192, 168, 1, 0}, true},  // columns 9-11 hold "1.2", 13-15 nothing
        {" 12.034.  5.006", {12, 34, 5, 6}, true}, // leading blanks
        {"abc.2.5.3.5xyz", {0, 2, 4, 0}, true},    // no digits give 0; halves go to the even side
        {"999.168.001.020", {999, 168, 1, 20}, false},
        {"192.-01.001.020", {192, -1, 1, 20}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ip_octets(c.line), c.octets) << c.line;
        EXPECT_EQ(octets_in_range(c.octets), c.in_range) << c.line;
    }
    EXPECT_EQ(dotted({10, 0, 0, 7}), "10.0.0.7");
}

} // namespace
} // namespace wc::test
