#pragma once

// What one run of wallctl is asked to do, checked in full before anything is
// sent: the boxes, the time-outs, the output wanted and the command with its
// settings, values or line.

#include "link/settings.h"
#include "wallctl/box_address.h"

#include <chrono>
#include <string>
#include <vector>

namespace wallctl {

// How many exchange time-outs one box may take in all, so that a box that
// answers every exchange just in time still ends.
inline constexpr int box_limit_factor = 10;

enum class Command { status, get, set, snapshot, apply, diff, action, raw, scan };

struct Assignment {
    const wc::Setting* row;
    wc::Value value;
};

struct Request {
    std::vector<BoxAddress> boxes;
    std::chrono::milliseconds timeout{2000}; // one exchange: a line and its answer, or connecting
    bool json = false;
    bool verbose = false;
    Command command = Command::status;

    std::vector<const wc::Setting*> reads; // status, get, snapshot, diff
    std::vector<Assignment> assignments;   // set, apply, power
    bool verify = true;
    std::string output_file; // snapshot -o; empty for stdout
    std::string line;        // action and raw: the line to send
    std::string_view ack;    // action: the key that acknowledges it
    bool confirmed = true;   // false for factory-reset without --yes: ask first
};

} // namespace wallctl
