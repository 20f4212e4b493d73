#pragma once

#include <cstdint>

namespace scanner {

// The boxes serve their command line on TCP port 23.
constexpr std::uint16_t box_port = 23;

// The port to probe. WALL_SCANNER_PORT exists for tests only, so that a test can
// point the scanner at a listener that needs no privileges; the console never sets
// it. `environment_value` is that variable's value or null; anything but a number
// from 1 to 65535 gives the boxes' own port.
std::uint16_t scan_port(const char* environment_value);

} // namespace scanner
