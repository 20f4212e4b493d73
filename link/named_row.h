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
template <class Row, std::size_t N>
consteval const Row& named_row(const std::array<Row, N>& rows, std::string_view name) {
    const Row* row = find_named(rows, name);
    if (row == nullptr) {
        throw "no row of that name";
    }
    return *row;
}

} // namespace wc
