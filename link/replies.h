#pragma once

// The box's replies, each written with its key and its values at the
// character positions (from 1) where the console and the settings catalogue
// read them; every value is three digits, zero-padded. The simulated box
// answers with these, so it writes exactly where the readers look. Without
// the line end.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace wc {

inline constexpr std::size_t value_digits = 3;

// A picture value, "OUT C: BRIV050": the output at 1-7, the key at 8-11, the value at 12-14.
inline constexpr std::size_t picture_key_at = 8;
inline constexpr std::size_t picture_value_at = 12;

// The addresses, "IP00192IP01168...GA03001": field k (from 0) at 5 + 7k behind
// its tag, four fields for the address (IP00..IP03), four for the mask
// (MA00..MA03), four for the gateway (GA00..GA03).
inline constexpr std::size_t first_address_field = 5;
inline constexpr std::size_t address_field_distance = 7;

using Octets = std::array<int, 4>;

// "POWE" + "001": the key at 1, the value right behind it. A value outside
// 0..999 is clamped, so that the positions never move.
std::string keyed_reply(std::string_view key, int value);

// The value of output 1..4 (OUT A..OUT D).
std::string picture_reply(int output, std::string_view key, int value);

// The address, the mask and the gateway, in this order.
std::string address_reply(const std::array<Octets, 3>& addresses);

// "VERS" and the version's digits: "1.15" (one digit, a dot, two digits) gives "VERS115".
std::string firmware_reply(std::string_view version);

} // namespace wc
