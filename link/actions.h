#pragma once

// The box's one-off commands, beside the settings catalogue: a wall layout, a
// layout hot key, the resets, favourites, the OSD information and the
// re-link. Each has the line the console sends and the key of the reply that
// acknowledges it.

#include "link/named_row.h"

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
    // The answer carries the number back behind its key ("RFAV003"), so the
    // box answers only a number it took.
    bool echoes_number = false;
};

// The wall layout that layout hot key n stands for; the console's button for
// hot key n is captioned with it, "RxC".
struct Layout {
    int rows;
    int columns;
};
inline constexpr std::array<Layout, 24> hot_key_layouts{{
    {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, // row 1 of the hot-key page
    {2, 3}, {3, 2}, {3, 4}, {4, 2}, {4, 3}, {4, 5}, // row 2
    {1, 2}, {2, 1}, {1, 3}, {3, 1}, {1, 4}, {4, 1}, // row 3
    {2, 4}, {3, 5}, {5, 4}, {5, 3}, {6, 2}, {6, 3}, // row 4
}};

inline constexpr std::array<Action, 11> actions{{
    {"layout", "SMN", "MNC", 2, 1, 15, true}, // rows, then columns
    {"hotkey", "SHOT", "HOTK", 1, 0, static_cast<int>(hot_key_layouts.size()) - 1},
    {"wall-reset", "SWDE", "WDEF"},
    {"favourite-save", "SFAVE", "", 1, 1, 5},
    {"favourite-recall", "RFAVE", "RFAV", 1, 1, 5, false, true},
    {"picture-reset", "SPIRE", "IMRE"},
    // One picture value on every output: 1 brightness, 2 contrast, 3 saturation, 4 hue.
    {"picture-setting-reset", "SIMRE", "IMRE", 1, 1, 4},
    // Every output shows its OSD information.
    {"osd-info", "SOSDI", "OSDI"},
    {"osd-reset", "SOSDR", "OSDR"},
    {"factory-reset", "SDEF", "DEFA"},
    // The box ends the connection that sent it and takes its new addressing.
    {"relink", "SREL", ""},
}};

// The row of that name; nullptr when there is none.
const Action* find_action(std::string_view name);

// The row of that name, found while compiling: a name that is no row does not build.
consteval const Action& named_action(std::string_view name) {
    return named_row(actions, name);
}

// The line with these numbers, as they are: "SMN 3 4 ", "SHOT 7".
std::string action_text(const Action& action, std::span<const int> numbers);

// The same line, checked: nothing when the count of numbers or a value does
// not fit the action.
std::optional<std::string> action_line(const Action& action, std::span<const int> numbers);

} // namespace wc
