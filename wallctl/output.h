#pragma once

// What wallctl prints on stdout: a readable table by default, or with --json
// one JSON array of objects {"box", "ok", "settings", "error"} (numbers as JSON
// numbers, on/off and names as strings), one object per box in the boxes'
// order.

#include "wallctl/box_result.h"
#include "wallctl/scan.h"

#include <string>
#include <vector>

namespace wallctl {

// One block per box: its address and "ok" or "failed: reason", then one line
// per setting, or the lines the box sent back to a raw line.
std::string results_table(const std::vector<BoxResult>& results);
std::string results_json(const std::vector<BoxResult>& results);

// The settings on which the boxes that answered differ: one row per setting,
// one column per box; nothing at all when they agree. Failed boxes follow, one
// line each.
std::string diff_table(const std::vector<BoxResult>& results);
// The same objects as results_json, each with the differing settings only.
std::string diff_json(const std::vector<BoxResult>& results);

// One line per box found: its MAC and its address.
std::string scan_table(const std::vector<FoundBox>& boxes);
std::string scan_json(const std::vector<FoundBox>& boxes);

} // namespace wallctl
