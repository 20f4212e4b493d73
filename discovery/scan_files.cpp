#include "discovery/scan_files.h"

#include "link/protocol.h"

namespace wc {

std::string mac_text(std::string_view line) {
    return std::string(chars(line, 1, 17));
}

std::array<long, 4> ip_octets(std::string_view line) {
    std::array<long, 4> octets{};
    for (std::size_t k = 0; k < octets.size(); ++k) {
        octets[k] = whole_value(chars(line, 1 + 4 * k, 3));
    }
    return octets;
}

bool octets_in_range(const std::array<long, 4>& octets) {
    for (long octet : octets) {
        if (octet < 0 || octet > 255) {
            return false;
        }
    }
    return true;
}

std::string dotted(const std::array<long, 4>& octets) {
    return std::to_string(octets[0]) + "." + std::to_string(octets[1]) + "." + std::to_string(octets[2]) +
           "." + std::to_string(octets[3]);
}

} // namespace wc
