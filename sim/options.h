#pragma once

// The command line of wallsim:
//   wallsim [--state-dir DIR] [BOX OPTIONS] ADDRESS[:PORT] [[BOX OPTIONS] ADDRESS[:PORT] ...]
// One box per address (dotted IPv4; port 23 unless named, 0 picks a free one).
// Box options stand before the address they apply to and apply to that box only.

#include "link/protocol.h"

#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace sim {

// How a box ends what it says: boxes differ in their firmware.
enum class LineEnd { crlf, lf, cr, none };

// Ways a box can misbehave, for testing the console against them, and the
// ways its firmware may frame what it says.
struct Faults {
    std::chrono::milliseconds delay{0};        // --delay MS: every reply this much later
    std::set<std::string, std::less<>> silent; // --silent CMD: never answer these command words
    int close_after = 0;                       // --close-after N: close after N command lines (0: never)
    std::size_t split = 0;                     // --split POS: each reply in two chunks at POS (0: whole)
    bool join = false;                         // --join: two consecutive replies in one chunk
    bool refuse = false;                       // --refuse: connections are refused
    bool bytewise = false;                     // --bytewise: each byte the box says in a write of its own
    LineEnd line_end = LineEnd::crlf;          // --line-end crlf|lf|cr|none: behind every reply
    bool echo = false;  // --echo: each command line back, as received, before its replies
    std::string banner; // --banner TEXT: on every new connection, with a line end
    std::string prompt; // --prompt TEXT: after the banner and after every reply

    bool operator==(const Faults&) const = default;
};

struct BoxConfig {
    std::string address; // dotted IPv4
    std::uint16_t port = wc::box_port;
    std::string mac; // --mac, or 02:57:41:4C:4C:NN for the NN-th box
    Faults faults;

    bool operator==(const BoxConfig&) const = default;
};

struct Options {
    std::vector<BoxConfig> boxes;
    std::string state_dir; // --state-dir DIR; empty: no state files
};

// The options, or a message saying what is wrong with them.
std::variant<Options, std::string> parse_options(const std::vector<std::string_view>& args);

std::string_view usage();

} // namespace sim
