#pragma once

#include "found_box.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace scanner {

// Tries a TCP connection to `port` on every target at once (in batches as large as
// the descriptor limit allows) and returns the targets whose connection succeeded,
// in target order. Each socket is closed as soon as its outcome is known; targets
// still silent when `timeout` has passed count as absent. Nothing is ever sent on a
// connection: the handshake alone tells that a box is there.
std::vector<Ipv4> find_responders(const std::vector<Ipv4>& targets, std::uint16_t port,
                                  std::chrono::milliseconds timeout);

} // namespace scanner
