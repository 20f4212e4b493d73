// From the neighbour table and the responders to the text of MAC.txt and IP.txt.
#include "arp_table.h"
#include "output_lines.h"

#include <gtest/gtest.h>

namespace scanner {
namespace {

TEST(Output, EveryResponderInSweepOrderWithItsMacFromCompletedEntriesOrZeros) {
    const char* arp_table = "IP address       HW type     Flags       HW address            Mask     Device\n"
                            "192.168.1.20     0x1         0x2         02:57:43:00:00:0a     *        eth0\n"
                            "192.168.1.21     0x1         0x0         02:57:43:00:00:0b     *        eth0\n"
                            "192.168.1.22 0x1 0x2 00:00:00:00:00:00 * eth0\n"
                            "192.168.1.23 0x1 0x2 02:57:43:00:00:0g * eth0\n"
                            "192.168.1.99 0x1 0x2 02:57:43:00:00:63 * eth0\n"
                            "10.0.0.7\t0x1\t0x6\tAB:CD:EF:0A:1B:FF\t*\teth1";
    const std::vector<Ipv4> responders = {0x0A000007, 0xC0A80117, 0xC0A80116, 0xC0A80115, 0xC0A80114};
    const OutputTexts texts = output_texts(attach_macs(responders, parse_arp_table(arp_table)));
    EXPECT_EQ(texts.mac_text, "AB:CD:EF:0A:1B:FF\r\n00:00:00:00:00:00\r\n00:00:00:00:00:00\r\n"
                              "00:00:00:00:00:00\r\n02:57:43:00:00:0A\r\n");
    EXPECT_EQ(texts.ip_text, "010.000.000.007\r\n192.168.001.023\r\n192.168.001.022\r\n"
                             "192.168.001.021\r\n192.168.001.020\r\n");
    EXPECT_EQ(output_texts({}), (OutputTexts{"", ""}));
}

} // namespace
} // namespace scanner
