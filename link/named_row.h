#pragma once

// A row of one of the protocol's tables (the settings, the one-off commands)
// by its name.

#include <array>
#include <cstddef>
#include <string_view>

namespace wc {

// The row of that name; nullptr when there is none.
template <class Row, std::size_t N>
constexpr const Row* find_named(const std::array<Row, N>& rows, std::string_view name) {
    for (const Row& row : rows) {
        if (row.name == name) {
            return &row;
        }
    }
    return nullptr;
}

// The row of that name, found while compiling: a name that is no row does not build.
// (No pointer is compared here: GCC's undefined-behaviour sanitizer makes a
// comparison of a table row's address with null no constant expression.)
template <class Row, std::size_t N>
consteval const Row& named_row(const std::array<Row, N>& rows, std::string_view name) {
    for (const Row& row : rows) {
        if (row.name == name) {
            return row;
        }
    }
    throw "no row of that name";
}

} // namespace wc
