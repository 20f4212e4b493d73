#include "scan_port.h"

#include <charconv>
#include <cstring>

namespace scanner {

std::uint16_t scan_port(const char* environment_value) {
    if (environment_value == nullptr) {
        return box_port;
    }
    const char* end = environment_value + std::strlen(environment_value);
    unsigned value = 0;
    const auto [stop, error] = std::from_chars(environment_value, end, value);
    if (error != std::errc{} || stop != end || value == 0 || value > 65535) {
        return box_port;
    }
    return static_cast<std::uint16_t>(value);
}

} // namespace scanner
