#pragma once

// What one box did: the settings read, verified or set, and, when it failed,
// why. One result per box, in the order the boxes were given.

#include "link/settings.h"
#include "wallctl/box_address.h"

#include <string>
#include <vector>

namespace wallctl {

struct SettingValue {
    const wc::Setting* row;
    wc::Value value;
};

struct BoxResult {
    BoxAddress box;
    bool ok = true;
    std::string error;                  // why the box failed
    std::vector<SettingValue> settings; // in the order they were read or set
    std::string received;               // raw: everything the box sent back
    std::string note;                   // what the box did beyond the command, such as re-linking
};

// 0 when every box did what was asked, 2 when any failed.
int exit_status(const std::vector<BoxResult>& results);

} // namespace wallctl
