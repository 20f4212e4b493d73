#include "sim/replies.h"

#include <algorithm>
#include <array>

namespace sim {

std::string three_digits(int value) {
    const std::string digits = std::to_string(std::clamp(value, 0, 999));
    return std::string(3 - digits.size(), '0') + digits;
}

std::string keyed(std::string_view key, int value) {
    return std::string(key) + three_digits(value) + std::string(reply_end);
}

std::string bare(std::string_view key) {
    return std::string(key) + std::string(reply_end);
}

std::string picture(int output, std::string_view key, int value) {
    const char letter = static_cast<char>('A' + std::clamp(output, 1, 26) - 1);
    return std::string("OUT ") + letter + ": " + keyed(key, value);
}

std::string version(int major, std::string_view minor) {
    return "VERS" + std::to_string(std::clamp(major, 0, 9)) + std::string(minor) + std::string(reply_end);
}

std::string addresses(const Octets& address, const Octets& mask, const Octets& gateway) {
    struct Group {
        std::string_view tag;
        const Octets& octets;
    };
    std::string text;
    for (const Group& group : std::array<Group, 3>{{{"IP0", address}, {"MA0", mask}, {"GA0", gateway}}}) {
        for (std::size_t i = 0; i < group.octets.size(); ++i) {
            text += std::string(group.tag) + std::to_string(i) + three_digits(group.octets[i]);
        }
    }
    return text + std::string(reply_end);
}

} // namespace sim
