#pragma once

// One simulated video-wall box: its settings and its answer to each command
// line, with the lines, keys, reply layouts and ranges of the settings
// catalogue (link/settings.h, link/actions.h), so the box speaks as the
// console and wallctl read. No sockets here; the server (wallsim) and
// in-process tests both drive a Box line by line.
//
// Refused parameters (letters, signs, fractions, out of range, missing or
// extra) never change the state. The command is still answered whenever its
// answer does not depend on the parameter: "SBH 300" gets "BHV" with the
// unchanged value, "SPOW 7" gets "POWE" with the current power, "SIPA x" gets
// "IPA0". A read whose parameter picks what to read ("RBRI 5", "RFAVE 9") has
// nothing to report and is not answered. Unknown lines get no answer.

#include "sim/box_state.h"

#include <chrono>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// After "SREL" the box re-links: the connection that sent it ends this long after.
inline constexpr std::chrono::milliseconds relink_delay{200};

class Box {
public:
    explicit Box(std::string mac = std::string(default_mac));

    // One command line without its "\r\n"; the replies to send, in order,
    // without line ends: how they are framed is the connection's (Faults).
    std::vector<std::string> handle_line(std::string_view line);

    const BoxState& state() const { return m_state; }

    // Replaces the whole state, to start a test from a box in a given state.
    void load(BoxState state) { m_state = std::move(state); }

    // How many lines of each known command word reached the box, whether or not
    // their parameters were taken, and the last such line (bytes outside
    // printable ASCII shown as "?").
    const std::map<std::string, int, std::less<>>& received() const { return m_received; }
    int received(std::string_view word) const;
    const std::string& last_command() const { return m_last_command; }

private:
    BoxState m_state;
    std::map<std::string, int, std::less<>> m_received;
    std::string m_last_command;
};

// The command word of a line: everything up to its first blank.
std::string_view command_word(std::string_view line);

// Whether the line makes the box end the connection it came on ("SREL").
bool ends_connection(std::string_view line);

} // namespace sim
