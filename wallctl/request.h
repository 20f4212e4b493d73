#pragma once

// What one run of wallctl is asked to do, checked in full before anything is
// sent: the boxes, the time-outs, the output wanted and the command with its
// settings, values or line.

#include "link/settings.h"
#include "wallctl/box_address.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace wallctl {

enum class Command { status, get, set, snapshot, apply, diff, action, raw, scan, report, watch };

enum class ReportFormat { html, csv };

struct Assignment {
    const wc::Setting* row;
    wc::Value value;
};

struct Request {
    std::vector<BoxAddress> boxes;
    std::string boxes_from; // for the report: "FILE", "the command line" (-b) or "FILE and the command line"
    std::chrono::milliseconds timeout{2000};           // one exchange: a line and its answer, or connecting
    std::optional<std::chrono::milliseconds> deadline; // the whole run, when the user gives one
    bool json = false;
    bool verbose = false;
    Command command = Command::status;

    std::vector<const wc::Setting*> reads; // status, get, snapshot, diff, report, watch
    std::vector<Assignment> assignments;   // set, apply, power; diff FILE: the snapshot's values
    bool verify = true;
    bool dry_run = false; // apply: read and compare, send nothing
    // diff: the snapshot compared with; snapshot and report -o: the target, empty for stdout
    std::string file;
    std::string line;      // action and raw: the line to send
    std::string_view ack;  // action: the key that acknowledges it
    bool confirmed = true; // false for factory-reset without --yes: ask first
    ReportFormat format = ReportFormat::html;
    std::chrono::seconds interval{5}; // watch: between the reads of a box
};

} // namespace wallctl
