#include "sim/command_line.h"

#include "link/protocol.h"

#include <algorithm>

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

std::optional<std::vector<int>> numbers_in(const std::vector<std::string_view>& params, std::size_t count,
                                           int lo, int hi) {
    if (params.size() != count) {
        return std::nullopt;
    }
    std::vector<int> values;
    for (std::string_view param : params) {
        const auto value = wc::number_in(param, lo, hi);
        if (!value) {
            return std::nullopt;
        }
        values.push_back(*value);
    }
    return values;
}

} // namespace sim
