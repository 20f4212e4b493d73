#include "sweep_targets.h"

#include <algorithm>
#include <net/if.h>

namespace scanner {
namespace {

constexpr Ipv4 network_mask = 0xFFFFFF00u;

bool contains(const std::vector<Ipv4>& values, Ipv4 value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

} // namespace

std::vector<Ipv4> sweep_targets(const std::vector<InterfaceAddress>& local) {
    std::vector<Ipv4> own;
    std::vector<Ipv4> networks;
    for (const InterfaceAddress& entry : local) {
        own.push_back(entry.address);
        const bool usable = (entry.flags & IFF_UP) != 0 && (entry.flags & IFF_LOOPBACK) == 0;
        if (usable && !contains(networks, entry.address & network_mask)) {
            networks.push_back(entry.address & network_mask);
        }
    }

    std::vector<Ipv4> targets;
    for (const Ipv4 network : networks) {
        for (Ipv4 host = 1; host <= 254; ++host) {
            if (!contains(own, network | host)) {
                targets.push_back(network | host);
            }
        }
    }
    return targets;
}

} // namespace scanner
