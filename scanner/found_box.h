#pragma once

#include <array>
#include <cstdint>

namespace scanner {

// IPv4 addresses are kept as host-order integers so that a /24 network is simply
// the upper 24 bits and a sweep is a counting loop.
using Ipv4 = std::uint32_t;

using Mac = std::array<std::uint8_t, 6>;

struct FoundBox {
    Ipv4 address = 0;
    Mac mac{};
    bool operator==(const FoundBox&) const = default;
};

} // namespace scanner
