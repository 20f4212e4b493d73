#pragma once

#include "found_box.h"

#include <map>
#include <string_view>
#include <vector>

namespace scanner {

// The completed entries of the kernel's neighbour table in the text form of
// /proc/net/arp. Incomplete and malformed lines are left out.
std::map<Ipv4, Mac> parse_arp_table(std::string_view text);

// Pairs each responder with its MAC. A responder the neighbour table does not know
// is still a box: it is listed with the all-zero MAC rather than dropped.
std::vector<FoundBox> attach_macs(const std::vector<Ipv4>& responders, const std::map<Ipv4, Mac>& neighbours);

} // namespace scanner
