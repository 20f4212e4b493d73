// The scanner's parts that need no network: its command line, the addresses it
// sweeps and the text of MAC.txt and IP.txt.
#include "arp_table.h"
#include "invocation.h"
#include "output_lines.h"
#include "sweep_targets.h"

#include <gtest/gtest.h>
#include <net/if.h>

namespace scanner {
namespace {

// No arguments sweep; a question is answered and anything else refused, both without touching the network.
TEST(Invocation, NoArgumentsSweepAndEverythingButHelpOrVersionAloneIsRefused) {
    using Args = std::vector<std::string_view>;
    const std::pair<Args, Invocation> cases[] = {
        {{}, Invocation::sweep},
        {{"--help"}, Invocation::help},
        {{"-h"}, Invocation::help},
        {{"--version"}, Invocation::version},
        {{"--version", "--help"}, Invocation::bad_usage},
        {{"-v"}, Invocation::bad_usage},
        {{"."}, Invocation::bad_usage},
        {{""}, Invocation::bad_usage},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(invocation(args), expected) << (args.empty() ? "(none)" : args.front());
    }
}

// Runs of consecutive targets as "first-last".
std::string describe(const std::vector<Ipv4>& targets) {
    std::string text;
    for (std::size_t i = 0, end = 1; i < targets.size(); i = end++) {
        while (end < targets.size() && targets[end] == targets[end - 1] + 1) {
            ++end;
        }
        text += format_ip(targets[i]) + "-" + format_ip(targets[end - 1]) + " ";
    }
    return text;
}

constexpr unsigned up = IFF_UP | IFF_BROADCAST | IFF_RUNNING;

TEST(SweepTargets, HostsOfEveryOwnSlash24ExceptThePcItself) {
    const std::pair<std::vector<InterfaceAddress>, const char*> cases[] = {
        {{{up, 0xC0A80105}}, "192.168.001.001-192.168.001.004 192.168.001.006-192.168.001.254 "},
        {{{up, 0x0A000001}, {up, 0x0A0000FE}}, "010.000.000.002-010.000.000.253 "},
        // Loopback and interfaces that are down are not swept, but the PC's own
        // address on a down interface is still never probed.
        {{{up | IFF_LOOPBACK, 0x7F000001},
          {IFF_BROADCAST, 0x0A010203},
          {up, 0xC0A80105},
          {IFF_BROADCAST, 0xC0A80106}},
         "192.168.001.001-192.168.001.004 192.168.001.007-192.168.001.254 "},
        // Networks in interface order, each once.
        {{{up, 0xC0A80205}, {up, 0xC0A80105}, {up, 0xC0A80207}},
         "192.168.002.001-192.168.002.004 192.168.002.006-192.168.002.006 192.168.002.008-192.168.002.254 "
         "192.168.001.001-192.168.001.004 192.168.001.006-192.168.001.254 "},
        {{}, ""},
    };
    for (const auto& [local, expected] : cases) {
        EXPECT_EQ(describe(sweep_targets(local)), expected);
    }
}

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
