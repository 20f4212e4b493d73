#pragma once

// One line of a traffic log, as wallctl -v and the console's traffic log write
// it: "12:04:31.250 10.0.0.5:23 > SPOW 1\r\n" for bytes sent, "... < POWE001\r\n"
// for bytes received. Control characters and bytes outside printable ASCII are
// shown as escapes (\r, \n, \t, \xNN; a backslash as \\), so one log line always
// stands for one event, whatever the box sent.

#include <chrono>
#include <string>
#include <string_view>

namespace wc {

enum class Traffic { sent, received };

std::string visible_bytes(std::string_view bytes);

// The time of day (local time) of a moment, to the millisecond.
std::chrono::milliseconds local_time_of_day(std::chrono::system_clock::time_point at);

// "HH:MM:SS.mmm PEER > BYTES" without a line end.
std::string traffic_line(std::chrono::milliseconds time_of_day, std::string_view peer, Traffic direction,
                         std::string_view bytes);

} // namespace wc
