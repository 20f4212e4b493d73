#pragma once

#include "sweep_targets.h"

#include <vector>

namespace scanner {

// Every IPv4 address of every interface, in the order getifaddrs gives them, which
// is the kernel's interface order. Throws std::system_error when the list cannot
// be read.
std::vector<InterfaceAddress> local_interface_addresses();

} // namespace scanner
