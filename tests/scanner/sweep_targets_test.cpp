#include "output_lines.h"
#include "sweep_targets.h"

#include <gtest/gtest.h>
#include <net/if.h>
#include <string>

namespace scanner {
namespace {

// Printable form of a target list: runs of consecutive addresses, "first-last".
std::string describe(const std::vector<Ipv4>& targets) {
    std::string text;
    for (std::size_t i = 0; i < targets.size();) {
        std::size_t end = i + 1;
        while (end < targets.size() && targets[end] == targets[end - 1] + 1) {
            ++end;
        }
        text += format_ip(targets[i]) + "-" + format_ip(targets[end - 1]) + " ";
        i = end;
    }
    return text;
}

constexpr unsigned up = IFF_UP | IFF_BROADCAST | IFF_RUNNING;

struct SweepCase {
    const char* name;
    std::vector<InterfaceAddress> local;
    const char* expected;
};

TEST(SweepTargets, HostsOfEveryOwnSlash24ExceptThePcItself) {
    const SweepCase cases[] = {
        {"one network",
         {{up, 0xC0A80105}},
         "192.168.001.001-192.168.001.004 192.168.001.006-192.168.001.254 "},
        {"own address at the ends of the range",
         {{up, 0x0A000001}, {up, 0x0A0000FE}},
         "010.000.000.002-010.000.000.253 "},
        {"loopback and down interfaces are not swept",
         {{up | IFF_LOOPBACK, 0x7F000001}, {IFF_BROADCAST, 0x0A010203}, {up, 0xC0A80105}},
         "192.168.001.001-192.168.001.004 192.168.001.006-192.168.001.254 "},
        {"networks in interface order, not numeric order",
         {{up, 0xC0A80205}, {up, 0xC0A80105}},
         "192.168.002.001-192.168.002.004 192.168.002.006-192.168.002.254 "
         "192.168.001.001-192.168.001.004 192.168.001.006-192.168.001.254 "},
        {"two addresses in one network sweep it once, skipping both",
         {{up, 0xC0A80105}, {up, 0xC0A80107}},
         "192.168.001.001-192.168.001.004 192.168.001.006-192.168.001.006 192.168.001.008-192.168.001.254 "},
        {"own address on a down interface is still not probed",
         {{up, 0xC0A80105}, {IFF_BROADCAST, 0xC0A80106}},
         "192.168.001.001-192.168.001.004 192.168.001.007-192.168.001.254 "},
        {"no interfaces", {}, ""},
        {"only loopback", {{up | IFF_LOOPBACK, 0x7F000001}}, ""},
    };
    for (const SweepCase& c : cases) {
        EXPECT_EQ(describe(sweep_targets(c.local)), c.expected) << c.name;
    }
}

} // namespace
} // namespace scanner
