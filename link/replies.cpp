#include "link/replies.h"

#include <algorithm>
#include <iterator>

namespace wc {

namespace {

std::string three_digits(int value) {
    const std::string digits = std::to_string(std::clamp(value, 0, 999));
    return std::string(value_digits - digits.size(), '0') + digits;
}

} // namespace

std::string keyed_reply(std::string_view key, int value) {
    std::string reply(key);
    reply += three_digits(value);
    return reply;
}

std::string picture_reply(int output, std::string_view key, int value) {
    std::string reply = "OUT ";
    reply += static_cast<char>('A' + std::clamp(output, 1, 26) - 1);
    reply += ": ";
    reply += keyed_reply(key, value);
    return reply;
}

std::string address_reply(const std::array<Octets, 3>& addresses) {
    constexpr std::array<std::string_view, 3> tags{"IP0", "MA0", "GA0"};
    std::string reply;
    for (std::size_t a = 0; a < addresses.size(); ++a) {
        for (std::size_t k = 0; k < addresses[a].size(); ++k) {
            reply += tags[a];
            reply += static_cast<char>('0' + k);
            reply += three_digits(addresses[a][k]);
        }
    }
    return reply;
}

std::string firmware_reply(std::string_view version) {
    std::string reply = "VERS";
    std::remove_copy(version.begin(), version.end(), std::back_inserter(reply), '.');
    return reply;
}

} // namespace wc
