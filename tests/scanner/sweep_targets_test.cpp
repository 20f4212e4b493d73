#include "output_lines.h"
#include "sweep_targets.h"

#include <gtest/gtest.h>
#include <net/if.h>

namespace scanner {
namespace {

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

} // namespace
} // namespace scanner
