#pragma once

// What wallctl prints: for people, tables that fit a wall of boxes, the boxes
// that did not finish gathered at the end; for programs (--json), one JSON
// array with one object per box in the boxes' order, whose keys depend on the
// command alone and are always there, null where a value is absent. Every
// object has "box", "ok" and "error" (null when ok, "interrupted" for a box a
// signal stopped); then
//   status, get:  "settings": {SETTING: value or null for each one asked}
//   set, apply:   "relinked": bool, "settings": {SETTING: {"before": value or
//                 null, "wanted": value, "result": "verified" | "sent" |
//                 "unchanged" | "would change" | "failed" | "not sent"}}
//   diff:         "settings": {SETTING: value or null for each differing one}
//   raw:          "received": [line, ...]
//   actions:      nothing more.
// Values are JSON numbers for plain numbers, strings for names and addresses.

#include "wallctl/box_result.h"
#include "wallctl/request.h"
#include "wallctl/scan.h"

#include <string>
#include <vector>

namespace wallctl {

using Cells = std::vector<std::vector<std::string>>;

// Rows of cells, every column as wide as its widest cell, `gap` blanks between columns.
std::string columns(const Cells& rows, std::string_view indent = {}, std::size_t gap = 2);

// How a box ended, as its row says it: "ok", "ok (re-linked)", "failed: REASON", "interrupted".
std::string verdict(const BoxResult& result);

std::string results_table(const Request& request, const std::vector<BoxResult>& results);
std::string results_json(const Request& request, const std::vector<BoxResult>& results);

// Whether diff found settings on which the boxes (or the boxes and the snapshot) differ.
bool differences_found(const Request& request, const std::vector<BoxResult>& results);

// How the boxes ended, for standard error: "15 ok, 2 failed, 1 interrupted".
std::string summary(const std::vector<BoxResult>& results);

// One line per box found: its MAC and its address; as JSON, {"box", "mac"} each.
std::string scan_table(const std::vector<FoundBox>& boxes);
std::string scan_json(const std::vector<FoundBox>& boxes);

} // namespace wallctl
