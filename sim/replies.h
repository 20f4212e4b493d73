#pragma once

// The texts the box answers with. The console reads them at fixed character
// positions from the first character of what it received, so each builder
// puts its key and value at exactly those positions. Every reply ends in "\r\n".

#include "sim/command_line.h"

#include <string>
#include <string_view>

namespace sim {

inline constexpr std::string_view reply_end = "\r\n";

// A value as the three digits the console reads, zero-padded; a value outside
// 0..999 is clamped so that the positions never move.
std::string three_digits(int value);

// "POWE" + "001": the key at position 1, the value right behind it.
std::string keyed(std::string_view key, int value);

// An acknowledgement that carries no value: "WDEF".
std::string bare(std::string_view key);

// A picture value: seven characters naming the output ("OUT A: "), then the key
// at positions 8 to 11 and the value at 12 to 14: "OUT C: BRIV050".
std::string picture(int output, std::string_view key, int value);

// "VERS" + one digit + the minor part: "VERS115" reads as v1.15.
std::string version(int major, std::string_view minor);

// "IP00": twelve fields of three digits, seven characters apart (positions 5,
// 12, ... 82), each behind its own four-character tag: IP00..IP03 for the
// address, MA00..MA03 for the mask, GA00..GA03 for the gateway.
std::string addresses(const Octets& address, const Octets& mask, const Octets& gateway);

} // namespace sim
