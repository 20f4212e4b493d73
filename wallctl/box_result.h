#pragma once

// What one box did: the settings read, what became of each setting a set or
// apply asked for, what came back to a raw line, and, when the box did not
// finish, why. One result per box, in the order the boxes were given.

#include "link/settings.h"
#include "wallctl/box_address.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wallctl {

struct SettingValue {
    const wc::Setting* row;
    wc::Value value;
};

// What became of one setting that a set or apply asked for.
enum class Change {
    not_sent,     // the box failed or the run stopped before it
    unchanged,    // the box held the value already: nothing sent
    would_change, // a dry run: the box holds another value
    sent,         // sent, not read back
    verified,     // sent and read back (or echoed) as asked
    failed,       // sent, and the box did not take it or did not answer
};

// "not sent", "unchanged", "would change", "sent", "verified", "failed".
std::string_view change_name(Change change);

struct SettingChange {
    const wc::Setting* row;
    wc::Value wanted;
    std::optional<wc::Value> before; // as the box held it; nothing when not read
    Change change = Change::not_sent;
};

struct BoxResult {
    BoxAddress box;
    bool ok = true;
    bool interrupted = false;           // a signal stopped the run before the box was done
    std::string error;                  // why the box did not finish
    std::vector<SettingValue> settings; // read, in the order asked
    std::vector<SettingChange> changes; // set and apply: one per setting asked, in the order asked
    std::string received;               // raw: everything the box sent back
    bool relinked = false;              // the box took new addressing and ended the connection
};

// The box's value of the setting; nullptr when it was not read.
const wc::Value* find_value(const std::vector<SettingValue>& settings, const wc::Setting& row);

// 0 when every box did what was asked, 2 when any failed.
int exit_status(const std::vector<BoxResult>& results);

} // namespace wallctl
