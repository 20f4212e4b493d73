#include "sim/box.h"

#include "sim/command_line.h"
#include "sim/replies.h"

#include <algorithm>
#include <array>
#include <variant>

namespace sim {
namespace {

using Params = std::vector<std::string_view>;
using Replies = std::vector<std::string>;

// The bezel values live inside the wall settings, so that a favourite slot is
// one plain snapshot; a setting names its field in either struct.
using Field = std::variant<int BoxState::*, int WallSettings::*>;

int& field(BoxState& state, Field which) {
    if (const auto* wall_field = std::get_if<int WallSettings::*>(&which)) {
        return state.wall.**wall_field;
    }
    return state.*std::get<int BoxState::*>(which);
}

enum class SetAnswer { none, value, value_then_relink };

// A setting with a one-number set command and a read command answered with
// key + value. Whether the set command is answered follows what the console
// awaits: SPOW, SBH, SBV and SIPM are, the fire-and-forget ones are not.
struct Setting {
    std::string_view set_word;
    std::string_view read_word;
    std::string_view key;
    Field field;
    int lo;
    int hi;
    SetAnswer set_answer;
};

const std::array<Setting, 13> settings{{
    {"SPOW", "RPOW", "POWE", &BoxState::power, 0, 1, SetAnswer::value},
    {"SMDN", "RMDN", "MODN", &BoxState::id, 0, 255, SetAnswer::none},
    {"SBEZ", "RBEZ", "BEZE", &WallSettings::bezel_switch, 0, 1, SetAnswer::none},
    {"SBH", "RBH", "BHV", &WallSettings::bezel_h, 0, 255, SetAnswer::value},
    {"SBV", "RBV", "BVV", &WallSettings::bezel_v, 0, 255, SetAnswer::value},
    {"SRES", "RRES", "RESO", &BoxState::resolution, 0, 28, SetAnswer::none},
    {"SOSDD", "ROSDD", "OSDD", &BoxState::osd_display, 0, 1, SetAnswer::none},
    {"SOSDT", "ROSDT", "OSDT", &BoxState::osd_timeout, 5, 50, SetAnswer::none},
    {"SOSDH", "ROSDH", "OSDH", &BoxState::osd_h, 0, 20, SetAnswer::none},
    {"SOSDV", "ROSDV", "OSDV", &BoxState::osd_v, 0, 20, SetAnswer::none},
    {"SOSDG", "ROSDG", "OSDG", &BoxState::osd_gain, 0, 10, SetAnswer::none},
    {"SMUTE", "RMUTE", "MUTE", &BoxState::mute, 0, 1, SetAnswer::none},
    // A changed address type takes effect at once: the box re-links ("RELI").
    {"SIPM", "RIPM", "IPMD", &BoxState::ip_mode, 0, 1, SetAnswer::value_then_relink},
}};

// "SBRI output value" sets one output; "RBRI output" reads it; "SIMRE n"
// resets row n (1 brightness .. 4 hue) of all four outputs.
struct PictureSetting {
    std::string_view set_word;
    std::string_view read_word;
    std::string_view key;
    std::array<int, outputs> BoxState::*values;
};

const std::array<PictureSetting, 4> picture_settings{{
    {"SBRI", "RBRI", "BRIV", &BoxState::brightness},
    {"SCON", "RCON", "CONV", &BoxState::contrast},
    {"SSAT", "RSAT", "SATV", &BoxState::saturation},
    {"SHUE", "RHUE", "HUEV", &BoxState::hue},
}};

struct AddressSetting {
    std::string_view word;
    std::string_view ack;
    std::string BoxState::*text;
};

const std::array<AddressSetting, 3> address_settings{{
    {"SIPA", "IPA0", &BoxState::ip_address},
    {"SMAA", "MAA0", &BoxState::net_mask},
    {"SGAA", "GAA0", &BoxState::gateway},
}};

void reset_picture_row(BoxState& state, const PictureSetting& row) {
    (state.*row.values).fill(picture_default);
}

std::optional<int> one_number(const Params& params, int lo, int hi) {
    const auto values = numbers_in(params, 1, lo, hi);
    return values ? std::optional<int>((*values)[0]) : std::nullopt;
}

// The commands that fit none of the tables above.
using Action = void (*)(BoxState&, const Params&, Replies&);
struct Special {
    std::string_view word;
    Action action;
};

const std::array<Special, 13> specials{{
    {"SMN",
     [](BoxState& state, const Params& params, Replies& replies) {
         if (const auto size = numbers_in(params, 2, 1, 15)) {
             state.wall.rows = (*size)[0];
             state.wall.columns = (*size)[1];
         }
         replies.push_back(bare("MNC"));
     }},
    {"SHOT",
     [](BoxState& state, const Params& params, Replies& replies) {
         if (const auto key = one_number(params, 0, static_cast<int>(hot_key_layouts.size()) - 1)) {
             const Layout& layout = hot_key_layouts[static_cast<std::size_t>(*key)];
             state.wall.rows = layout.rows;
             state.wall.columns = layout.columns;
             state.wall.hot_key = *key;
         }
         replies.push_back(bare("HOTK"));
     }},
    {"SWDE",
     [](BoxState& state, const Params&, Replies& replies) {
         state.wall = WallSettings{};
         replies.push_back(bare("WDEF"));
     }},
    {"SFAVE",
     [](BoxState& state, const Params& params, Replies&) {
         if (const auto slot = one_number(params, 1, favourite_slots)) {
             state.favourites[static_cast<std::size_t>(*slot - 1)] = state.wall;
         }
     }},
    {"RFAVE",
     [](BoxState& state, const Params& params, Replies& replies) {
         if (const auto slot = one_number(params, 1, favourite_slots)) {
             state.wall = state.favourites[static_cast<std::size_t>(*slot - 1)];
             replies.push_back(keyed("RFAV", *slot));
         }
     }},
    {"RVER",
     [](BoxState& state, const Params&, Replies& replies) {
         replies.push_back(version(state.firmware_major, state.firmware_minor));
     }},
    {"SDEF",
     [](BoxState& state, const Params&, Replies& replies) {
         // The MAC address and the firmware belong to the hardware, not to its settings.
         BoxState factory;
         factory.mac = state.mac;
         factory.firmware_major = state.firmware_major;
         factory.firmware_minor = state.firmware_minor;
         state = factory;
         replies.push_back(bare("DEFA"));
     }},
    {"SIMRE",
     [](BoxState& state, const Params& params, Replies& replies) {
         if (const auto row = one_number(params, 1, static_cast<int>(picture_settings.size()))) {
             reset_picture_row(state, picture_settings[static_cast<std::size_t>(*row - 1)]);
         }
         replies.push_back(bare("IMRE"));
     }},
    {"SPIRE",
     [](BoxState& state, const Params&, Replies& replies) {
         for (const PictureSetting& row : picture_settings) {
             reset_picture_row(state, row);
         }
         replies.push_back(bare("IMRE"));
     }},
    {"SOSDI", [](BoxState&, const Params&, Replies& replies) { replies.push_back(bare("OSDI")); }},
    {"SOSDR",
     [](BoxState& state, const Params&, Replies& replies) {
         // The OSD settings and mute go back to factory; the resolution stays.
         const BoxState factory;
         for (int BoxState::*osd : {&BoxState::osd_display, &BoxState::osd_timeout, &BoxState::osd_h,
                                    &BoxState::osd_v, &BoxState::osd_gain, &BoxState::mute}) {
             state.*osd = factory.*osd;
         }
         replies.push_back(bare("OSDR"));
     }},
    {"RLINK",
     [](BoxState& state, const Params&, Replies& replies) {
         const auto octets = [](const std::string& text) { return parse_dotted(text).value_or(Octets{}); };
         replies.push_back(
             addresses(octets(state.ip_address), octets(state.net_mask), octets(state.gateway)));
     }},
    // The re-link itself is the server's business (ends_connection); the box says nothing.
    {"SREL", [](BoxState&, const Params&, Replies&) {}},
}};

// Runs the command; false when the word is not one the box knows.
bool dispatch(BoxState& state, const CommandLine& command, Replies& replies) {
    const std::string_view word = command.word;
    for (const Setting& row : settings) {
        if (word == row.set_word) {
            if (const auto value = one_number(command.params, row.lo, row.hi)) {
                field(state, row.field) = *value;
            }
            if (row.set_answer != SetAnswer::none) {
                replies.push_back(keyed(row.key, field(state, row.field)));
            }
            if (row.set_answer == SetAnswer::value_then_relink) {
                replies.push_back(bare("RELI"));
            }
            return true;
        }
        if (word == row.read_word) {
            replies.push_back(keyed(row.key, field(state, row.field)));
            return true;
        }
    }
    for (const PictureSetting& row : picture_settings) {
        if (word == row.set_word) {
            const Params& params = command.params;
            const auto output = params.size() == 2 ? number_in(params[0], 1, outputs) : std::nullopt;
            const auto value = params.size() == 2 ? number_in(params[1], 0, 100) : std::nullopt;
            if (output && value) {
                (state.*row.values)[static_cast<std::size_t>(*output - 1)] = *value;
            }
            return true;
        }
        if (word == row.read_word) {
            if (const auto output = one_number(command.params, 1, outputs)) {
                replies.push_back(
                    picture(*output, row.key, (state.*row.values)[static_cast<std::size_t>(*output - 1)]));
            }
            return true;
        }
    }
    for (const AddressSetting& row : address_settings) {
        if (word == row.word) {
            const auto octets = command.params.size() == 1 ? parse_dotted(command.params[0]) : std::nullopt;
            if (octets) {
                state.*row.text = dotted(*octets);
            }
            replies.push_back(bare(row.ack));
            return true;
        }
    }
    const auto special =
        std::find_if(specials.begin(), specials.end(), [&](const Special& s) { return s.word == word; });
    if (special == specials.end()) {
        return false;
    }
    special->action(state, command.params, replies);
    return true;
}

std::string printable(std::string_view line) {
    std::string text(line);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c < ' ' || c > '~'; }, '?');
    return text;
}

} // namespace

Box::Box(std::string mac) {
    m_state.mac = std::move(mac);
}

std::vector<std::string> Box::handle_line(std::string_view line) {
    const CommandLine command = split_command(line);
    Replies replies;
    if (!dispatch(m_state, command, replies)) {
        return {};
    }
    ++m_received[std::string(command.word)];
    m_last_command = printable(line);
    return replies;
}

int Box::received(std::string_view word) const {
    const auto it = m_received.find(word);
    return it == m_received.end() ? 0 : it->second;
}

std::string_view command_word(std::string_view line) {
    return split_command(line).word;
}

bool ends_connection(std::string_view line) {
    return command_word(line) == "SREL";
}

} // namespace sim
