#pragma once

#include "found_box.h"

#include <vector>

namespace scanner {

// One IPv4 address of the PC as getifaddrs reports it.
struct InterfaceAddress {
    unsigned flags = 0; // IFF_* of the interface that holds the address
    Ipv4 address = 0;
};

// The addresses to probe: hosts .1 to .254 of the /24 network of every address on an
// interface that is up and not loopback, networks in the order their first address
// comes, addresses ascending within a network, each network once, the PC's own
// addresses left out. Nothing outside those /24 networks is ever a target.
std::vector<Ipv4> sweep_targets(const std::vector<InterfaceAddress>& local);

} // namespace scanner
