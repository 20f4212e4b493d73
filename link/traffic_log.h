#pragma once

// One line of a traffic log, as wallctl -v and the console's traffic log write
// it: "2026-12-06T08:55:02.118 10.0.0.5:23 > SPOW 1\r\n" for bytes sent,
// "... < POWE001\r\n" for bytes received. A log spans days, so every line
// carries the date. Control characters and bytes outside printable ASCII are
// shown as escapes (\r, \n, \t, \xNN; a backslash as \\), so one log line always
// stands for one event, whatever the box sent.

#include <chrono>
#include <string>
#include <string_view>

namespace wc {

enum class Traffic { sent, received };

// A moment as the local clock on the wall shows it, to the millisecond.
using LocalTime = std::chrono::local_time<std::chrono::milliseconds>;

LocalTime local_time(std::chrono::system_clock::time_point at);

// "2026-12-06T08:55:02.118"
std::string timestamp(LocalTime at);

std::string visible_bytes(std::string_view bytes);

// "TIMESTAMP PEER > BYTES" without a line end.
std::string traffic_line(LocalTime at, std::string_view peer, Traffic direction, std::string_view bytes);

} // namespace wc
