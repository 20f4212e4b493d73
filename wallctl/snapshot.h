#pragma once

// A box's settings in a file, to back it up and to set other boxes to it:
//   {"format": "wallctl-snapshot", "version": 1,
//    "box": {"address": "10.0.0.5:23", "mac": "02:57:41:4C:4C:01", "firmware": "1.15"},
//    "settings": {"power": "on", "id": 3, ...}}
// "mac" is there only where a scan found the box. Settings are written as the
// --json output writes them; a file is read back strictly: an unknown format or
// version, an unknown or read-only setting, or a value the setting does not
// take make the whole file bad.

#include "wallctl/box_result.h"
#include "wallctl/request.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wallctl {

inline constexpr int snapshot_version = 1;

// The snapshot of a box that read every setting; the firmware goes with the box's identity.
std::string snapshot_text(const BoxResult& result, const std::optional<std::string>& mac);

// The settings of a snapshot, in the file's order; nothing, with the reason in `error`, for a bad file.
std::optional<std::vector<Assignment>> parse_snapshot(std::string_view text, std::string& error);

} // namespace wallctl
