#pragma once

#include "found_box.h"

#include <string>
#include <vector>

namespace scanner {

// "02:57:43:00:00:0A": six upper-case two-digit groups, 17 characters.
std::string format_mac(const Mac& mac);

// "192.168.001.020": the console reads each octet from fixed character positions,
// so every group keeps its leading zeros.
std::string format_ip(Ipv4 address);

struct OutputTexts {
    std::string mac_text;
    std::string ip_text;
    bool operator==(const OutputTexts&) const = default;
};

// The contents of MAC.txt and IP.txt: line k of both files describes the same box,
// every line ends in CR LF (the console reads them as DOS text lines).
OutputTexts output_texts(const std::vector<FoundBox>& boxes);

} // namespace scanner
