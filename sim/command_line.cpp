#include "sim/command_line.h"

#include <algorithm>
#include <charconv>

namespace sim {

CommandLine split_command(std::string_view line) {
    CommandLine command;
    const std::size_t word_end = std::min(line.find(' '), line.size());
    command.word = line.substr(0, word_end);
    std::size_t pos = word_end;
    while (pos < line.size()) {
        const std::size_t start = line.find_first_not_of(' ', pos);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find(' ', start), line.size());
        command.params.push_back(line.substr(start, end - start));
        pos = end;
    }
    return command;
}

std::optional<int> number_in(std::string_view text, int lo, int hi) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < lo || value > hi) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::vector<int>> numbers_in(const std::vector<std::string_view>& params, std::size_t count,
                                           int lo, int hi) {
    if (params.size() != count) {
        return std::nullopt;
    }
    std::vector<int> values;
    for (std::string_view param : params) {
        const auto value = number_in(param, lo, hi);
        if (!value) {
            return std::nullopt;
        }
        values.push_back(*value);
    }
    return values;
}

std::optional<Octets> parse_dotted(std::string_view text) {
    Octets octets{};
    for (std::size_t i = 0; i < octets.size(); ++i) {
        const std::size_t dot = i + 1 < octets.size() ? text.find('.') : text.size();
        if (dot == std::string_view::npos || dot > 3) {
            return std::nullopt;
        }
        const auto value = number_in(text.substr(0, dot), 0, 255);
        if (!value) {
            return std::nullopt;
        }
        octets[i] = *value;
        text.remove_prefix(std::min(dot + 1, text.size()));
    }
    return octets;
}

std::string dotted(const Octets& octets) {
    std::string text;
    for (int octet : octets) {
        if (!text.empty()) {
            text += '.';
        }
        text += std::to_string(octet);
    }
    return text;
}

} // namespace sim
