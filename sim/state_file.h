#pragma once

// The state file that wallsim keeps per box (--state-dir), so that end-to-end
// tests can see what reached the box: one "key=value" line per setting, then
// "last_command=" and one "count.WORD=n" line per command word received.
// Keys: power id firmware; rows columns hot_key bezel_switch bezel_h bezel_v;
// the same six as fav1.rows .. fav5.bezel_v; brightness.1 .. hue.4 (outputs 1..4);
// resolution osd_display osd_timeout osd_h osd_v osd_gain mute; ip_mode
// ip_address net_mask gateway mac.

#include "sim/box.h"

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace sim {

std::string format_state(const Box& box);

// Key to value of a state file's text; lines without "=" are skipped.
std::map<std::string, std::string, std::less<>> parse_state(std::string_view text);

// The file name of a box's state: "127.0.0.1_2323.state".
std::string state_file_name(std::string_view address, unsigned port);

// Writes the text next to its destination and renames it into place, so a
// reader sees either the old or the new file, never half of one. False on failure.
bool write_atomically(const std::filesystem::path& path, std::string_view text);

} // namespace sim
