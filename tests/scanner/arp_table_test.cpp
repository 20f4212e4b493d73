#include "arp_table.h"
#include "output_lines.h"

#include <gtest/gtest.h>
#include <string>

namespace scanner {
namespace {

// Printable form of a parsed table: "address=MAC" pairs in address order.
std::string describe(const std::map<Ipv4, Mac>& table) {
    std::string text;
    for (const auto& [address, mac] : table) {
        text += format_ip(address) + "=" + format_mac(mac) + " ";
    }
    return text;
}

struct ArpCase {
    const char* name;
    const char* text;
    const char* expected;
};

constexpr const char* heading =
    "IP address       HW type     Flags       HW address            Mask     Device\n";

TEST(ArpTable, KeepsOnlyCompletedWellFormedEntries) {
    const ArpCase cases[] = {
        {"complete", "192.168.1.20     0x1         0x2         02:57:43:00:00:01     *        eth0\n",
         "192.168.001.020=02:57:43:00:00:01 "},
        {"permanent counts as complete", "192.168.1.21 0x1 0x6 0a:0b:0c:0d:0e:0f * eth0\n",
         "192.168.001.021=0A:0B:0C:0D:0E:0F "},
        {"incomplete", "192.168.1.22     0x1         0x0         00:00:00:00:00:00     *        eth0\n", ""},
        {"learned address but not complete", "192.168.1.31 0x1 0x0 02:57:43:00:00:1f * eth0\n", ""},
        {"complete flag but no address", "192.168.1.23 0x1 0x2 00:00:00:00:00:00 * eth0\n", ""},
        {"no final newline", "192.168.1.24 0x1 0x2 02:57:43:00:00:18 * eth1",
         "192.168.001.024=02:57:43:00:00:18 "},
        {"tabs and upper case", "10.0.0.7\t0x1\t0x2\tAA:BB:CC:DD:EE:FF\t*\teth0\n",
         "010.000.000.007=AA:BB:CC:DD:EE:FF "},
        {"bad address", "192.168.1.300 0x1 0x2 02:57:43:00:00:01 * eth0\n", ""},
        {"bad flags", "192.168.1.25 0x1 2x 02:57:43:00:00:01 * eth0\n", ""},
        {"short MAC", "192.168.1.26 0x1 0x2 02:57:43:00:00:1 * eth0\n", ""},
        {"MAC without separators", "192.168.1.27 0x1 0x2 025743000001ab * eth0\n", ""},
        {"MAC with a non-hex digit", "192.168.1.28 0x1 0x2 02:57:43:00:00:0g * eth0\n", ""},
        {"too few fields", "192.168.1.29 0x1 0x2\n", ""},
        {"first of two entries for one address",
         "192.168.1.30 0x1 0x2 02:00:00:00:00:01 * eth0\n192.168.1.30 0x1 0x2 02:00:00:00:00:02 * eth1\n",
         "192.168.001.030=02:00:00:00:00:01 "},
        {"empty", "", ""},
    };
    for (const ArpCase& c : cases) {
        EXPECT_EQ(describe(parse_arp_table(std::string(heading) + c.text)), c.expected) << c.name;
    }
}

TEST(ArpTable, EveryResponderIsListedInSweepOrderUnknownOnesWithZeroMac) {
    const Mac known = {0x02, 0x57, 0x43, 0x00, 0x00, 0x02};
    const std::map<Ipv4, Mac> neighbours = {{0xC0A80115, known}, {0xC0A80199, Mac{1, 2, 3, 4, 5, 6}}};
    const std::vector<FoundBox> expected = {{0xC0A80116, Mac{}}, {0xC0A80115, known}};
    EXPECT_EQ(attach_macs({0xC0A80116, 0xC0A80115}, neighbours), expected);
}

} // namespace
} // namespace scanner
