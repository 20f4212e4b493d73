#pragma once

// The box's one-off commands, beside the settings catalogue: a wall layout, a
// layout hot key, the resets, favourites and the re-link. Each has the line
// the console sends and the key of the reply that acknowledges it.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace wc {

struct Action {
    std::string_view name; // as scripts write it: "layout", "favourite-recall"
    std::string_view word; // the command word; numbers follow, separated by blanks
    std::string_view ack;  // the key of the box's answer; empty when the box answers nothing
    int numbers = 0;       // how many numbers the line carries, each within lo..hi
    int lo = 0;
    int hi = 0;
    bool trailing_blank = false; // the box wants a blank behind the last number
};

inline constexpr std::array<Action, 9> actions{{
    {"layout", "SMN", "MNC", 2, 1, 15, true}, // rows, then columns
    {"hotkey", "SHOT", "HOTK", 1, 0, 23},
    {"wall-reset", "SWDE", "WDEF"},
    {"favourite-save", "SFAVE", "", 1, 1, 5},
    {"favourite-recall", "RFAVE", "RFAV", 1, 1, 5},
    {"picture-reset", "SPIRE", "IMRE"},
    {"osd-reset", "SOSDR", "OSDR"},
    {"factory-reset", "SDEF", "DEFA"},
    // The box ends the connection that sent it and takes its new addressing.
    {"relink", "SREL", ""},
}};

// The row of that name; nullptr when there is none.
const Action* find_action(std::string_view name);

// The line with these numbers: "SMN 3 4 ", "SHOT 7". Nothing when their count
// or a value does not fit the action.
std::optional<std::string> action_line(const Action& action, std::span<const int> numbers);

} // namespace wc
