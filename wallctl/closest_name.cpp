#include "wallctl/closest_name.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace wallctl {

namespace {

// Optimal string alignment distance: insertions, deletions, changes and swaps of neighbours.
std::size_t edit_distance(std::string_view a, std::string_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) {
        for (std::size_t j = 0; j <= b.size(); ++j) {
            if (i == 0 || j == 0) {
                d[i][j] = i + j;
                continue;
            }
            d[i][j] = std::min(
                {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

} // namespace

std::optional<std::string_view> closest_name(std::string_view typed,
                                             std::span<const std::string_view> names) {
    if (typed.empty()) {
        return std::nullopt;
    }
    std::vector<std::string_view> prefixed;
    std::copy_if(names.begin(), names.end(), std::back_inserter(prefixed),
                 [&](std::string_view name) { return name.starts_with(typed); });
    if (prefixed.size() == 1) {
        return prefixed.front();
    }
    std::optional<std::string_view> best;
    std::size_t best_distance = std::max<std::size_t>(1, typed.size() / 3) + 1;
    for (const std::string_view name : names) {
        if (const std::size_t distance = edit_distance(typed, name); distance < best_distance) {
            best = name;
            best_distance = distance;
        }
    }
    return best;
}

} // namespace wallctl
