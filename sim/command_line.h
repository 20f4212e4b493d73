#pragma once

// How the box reads a command line: a command word up to the first blank, then
// parameters separated by blanks. The box's firmware is lenient about blanks
// (the console sends typed text as typed, so "SOSDV  7" must still set 7) and
// strict about everything else: a number is plain decimal digits, nothing more
// (wc::number_in).

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace sim {

struct CommandLine {
    std::string_view word;
    std::vector<std::string_view> params;
};

// Splits a line (without its terminator); empty parameters from repeated
// blanks are dropped, so "RBH " has no parameter and "SMN 3 2 " has two.
CommandLine split_command(std::string_view line);

// The parameters as exactly count numbers within lo..hi each.
std::optional<std::vector<int>> numbers_in(const std::vector<std::string_view>& params, std::size_t count,
                                           int lo, int hi);

} // namespace sim
