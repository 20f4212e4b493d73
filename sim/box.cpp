#include "sim/box.h"

#include "link/protocol.h"
#include "link/replies.h"
#include "sim/command_line.h"

#include <algorithm>
#include <array>
#include <span>
#include <stdexcept>
#include <variant>

namespace sim {
namespace {

using Params = std::vector<std::string_view>;
using Replies = std::vector<std::string>;
using Pictures = PictureValues BoxState::*;

// Where the box keeps a setting of the catalogue. The bezel values live inside
// the wall settings, so that a favourite slot is one plain snapshot.
using Place = std::variant<int BoxState::*, int WallSettings::*, Pictures, std::string BoxState::*>;

const std::array<std::pair<std::string_view, Place>, 17> places{{
    {"power", &BoxState::power},
    {"id", &BoxState::id},
    {"firmware", &BoxState::firmware},
    {"bezel", &WallSettings::bezel_switch},
    {"bezel.h", &WallSettings::bezel_h},
    {"bezel.v", &WallSettings::bezel_v},
    {"address-type", &BoxState::ip_mode},
    {"ip", &BoxState::ip_address},
    {"mask", &BoxState::net_mask},
    {"gateway", &BoxState::gateway},
    {"resolution", &BoxState::resolution},
    {"osd.display", &BoxState::osd_display},
    {"osd.timeout", &BoxState::osd_timeout},
    {"osd.h", &BoxState::osd_h},
    {"osd.v", &BoxState::osd_v},
    {"osd.gain", &BoxState::osd_gain},
    {"mute", &BoxState::mute},
}};

// The picture values by the catalogue's names ("brightness.b" is output 2 of
// "brightness"), in the order "SIMRE n" numbers them.
const std::array<std::pair<std::string_view, Pictures>, 4> pictures{{
    {"brightness", &BoxState::brightness},
    {"contrast", &BoxState::contrast},
    {"saturation", &BoxState::saturation},
    {"hue", &BoxState::hue},
}};

// A row of the catalogue as the box reads its lines: "RBRI 2" and "SBRI 2"
// are the words RBRI and SBRI with output 2 as their first parameter.
struct Entry {
    const wc::Setting* row;
    std::string_view read_word;
    std::string_view set_word; // empty when read only
    int output;                // a picture value's output; 0 for the others
    Place place;
};

Place place_of(const wc::Setting& row) {
    if (row.layout() == wc::ReplyLayout::picture) {
        const std::string_view kind = row.name.substr(0, row.name.find('.'));
        for (const auto& [name, values] : pictures) {
            if (name == kind) {
                return values;
            }
        }
    }
    for (const auto& [name, place] : places) {
        if (name == row.name) {
            return place;
        }
    }
    throw std::logic_error("the box keeps no " + std::string(row.name));
}

const std::vector<Entry>& entries() {
    static const std::vector<Entry> table = [] {
        std::vector<Entry> rows;
        for (const wc::Setting& row : wc::settings) {
            const CommandLine read = split_command(row.read);
            const int output =
                read.params.empty() ? 0 : wc::number_in(read.params[0], 1, outputs).value_or(0);
            rows.push_back({&row, read.word, split_command(row.set).word, output, place_of(row)});
        }
        return rows;
    }();
    return table;
}

int& number(BoxState& state, const Entry& entry) {
    if (const auto* wall = std::get_if<int WallSettings::*>(&entry.place)) {
        return state.wall.**wall;
    }
    if (const auto* values = std::get_if<Pictures>(&entry.place)) {
        return (state.**values)[static_cast<std::size_t>(entry.output - 1)];
    }
    return state.*std::get<int BoxState::*>(entry.place);
}

std::string& text(BoxState& state, const Entry& entry) {
    return state.*std::get<std::string BoxState::*>(entry.place);
}

// Whether the parameters name the entry's output; the others take any.
bool picks(const Entry& entry, const Params& params) {
    return entry.output == 0 || (!params.empty() && wc::number_in(params[0], 1, outputs) == entry.output);
}

wc::Octets octets(const std::string& address) {
    return wc::address_octets(address).value_or(wc::Octets{});
}

std::string read_reply(BoxState& state, const Entry& entry) {
    const wc::Setting& row = *entry.row;
    switch (row.layout()) {
    case wc::ReplyLayout::keyed:
        return wc::keyed_reply(row.key, number(state, entry));
    case wc::ReplyLayout::picture:
        return wc::picture_reply(entry.output, row.key, number(state, entry));
    case wc::ReplyLayout::address:
        return wc::address_reply({octets(state.ip_address), octets(state.net_mask), octets(state.gateway)});
    case wc::ReplyLayout::firmware:
        return wc::firmware_reply(text(state, entry));
    case wc::ReplyLayout::ack: // no setting is read as an acknowledgement
        break;
    }
    return {};
}

// False when no setting is read with this word. A read whose parameter picks
// the output answers only for an output there is; the others let parameters pass.
bool answer_read(BoxState& state, const CommandLine& command, Replies& replies) {
    bool known = false;
    for (const Entry& entry : entries()) {
        if (entry.read_word != command.word) {
            continue;
        }
        known = true;
        if (picks(entry, command.params) && (entry.output == 0 || command.params.size() == 1)) {
            // The address, the mask and the gateway share one read and one reply.
            replies.push_back(read_reply(state, entry));
            break;
        }
    }
    return known;
}

void store(BoxState& state, const Entry& entry, std::string_view value) {
    if (entry.row->layout() == wc::ReplyLayout::address) {
        if (auto address = wc::dotted_address(value)) {
            text(state, entry) = std::move(*address);
        }
    } else if (const auto taken = wc::number_in(value, entry.row->lo, entry.row->hi)) {
        number(state, entry) = *taken;
    }
}

// False when no setting is set with this word. The value is taken when it is
// one the setting takes; the answer, where the box gives one, does not depend
// on it: a keyed answer tells the value the box holds afterwards.
bool take_set(BoxState& state, const CommandLine& command, Replies& replies) {
    const Entry* answering = nullptr;
    for (const Entry& entry : entries()) {
        if (entry.set_word.empty() || entry.set_word != command.word) {
            continue;
        }
        answering = answering != nullptr ? answering : &entry;
        const std::size_t count = entry.output == 0 ? 1 : 2;
        if (command.params.size() == count && picks(entry, command.params)) {
            store(state, entry, command.params.back());
        }
    }
    if (answering == nullptr) {
        return false;
    }
    const wc::Setting& row = *answering->row;
    if (!row.set_reply.empty()) {
        replies.push_back(row.layout() == wc::ReplyLayout::keyed
                              ? wc::keyed_reply(row.set_reply, number(state, *answering))
                              : std::string(row.set_reply));
    }
    if (row.relinks) {
        replies.push_back(std::string(wc::relink_notice));
    }
    return true;
}

// What each one-off command does to the box, by the catalogue's names; it
// runs only with numbers that fit the command.
using Effect = void (*)(BoxState&, std::span<const int>);
const std::array<std::pair<std::string_view, Effect>, 11> effects{{
    {"layout",
     [](BoxState& state, std::span<const int> size) {
         state.wall.rows = size[0];
         state.wall.columns = size[1];
     }},
    {"hotkey",
     [](BoxState& state, std::span<const int> key) {
         const wc::Layout& layout = wc::hot_key_layouts[static_cast<std::size_t>(key[0])];
         state.wall.rows = layout.rows;
         state.wall.columns = layout.columns;
         state.wall.hot_key = key[0];
     }},
    {"wall-reset", [](BoxState& state, std::span<const int>) { state.wall = WallSettings{}; }},
    {"favourite-save",
     [](BoxState& state, std::span<const int> slot) {
         state.favourites[static_cast<std::size_t>(slot[0] - 1)] = state.wall;
     }},
    {"favourite-recall",
     [](BoxState& state, std::span<const int> slot) {
         state.wall = state.favourites[static_cast<std::size_t>(slot[0] - 1)];
     }},
    {"picture-reset",
     [](BoxState& state, std::span<const int>) {
         const BoxState factory;
         for (const auto& [name, values] : pictures) {
             state.*values = factory.*values;
         }
     }},
    {"picture-setting-reset",
     [](BoxState& state, std::span<const int> row) {
         const Pictures values = pictures[static_cast<std::size_t>(row[0] - 1)].second;
         state.*values = BoxState{}.*values;
     }},
    {"osd-info", [](BoxState&, std::span<const int>) {}},
    {"osd-reset",
     [](BoxState& state, std::span<const int>) {
         // The OSD settings and mute go back to factory; the resolution stays.
         const BoxState factory;
         for (int BoxState::*osd : {&BoxState::osd_display, &BoxState::osd_timeout, &BoxState::osd_h,
                                    &BoxState::osd_v, &BoxState::osd_gain, &BoxState::mute}) {
             state.*osd = factory.*osd;
         }
     }},
    {"factory-reset",
     [](BoxState& state, std::span<const int>) {
         // The MAC address and the firmware belong to the hardware, not to its settings.
         BoxState factory;
         factory.mac = state.mac;
         factory.firmware = state.firmware;
         state = factory;
     }},
    // The re-link itself is the server's business (ends_connection).
    {"relink", [](BoxState&, std::span<const int>) {}},
}};

Effect effect_of(const wc::Action& action) {
    for (const auto& [name, effect] : effects) {
        if (name == action.name) {
            return effect;
        }
    }
    throw std::logic_error("the box does nothing for " + std::string(action.name));
}

// False when no one-off command has this word. One that carries no numbers
// lets parameters pass, as the reads do.
bool run_action(BoxState& state, const CommandLine& command, Replies& replies) {
    const auto action = std::find_if(wc::actions.begin(), wc::actions.end(),
                                     [&](const wc::Action& a) { return a.word == command.word; });
    if (action == wc::actions.end()) {
        return false;
    }
    const auto numbers =
        action->numbers == 0
            ? std::optional<std::vector<int>>(std::in_place)
            : numbers_in(command.params, static_cast<std::size_t>(action->numbers), action->lo, action->hi);
    if (numbers) {
        effect_of (*action)(state, *numbers);
    }
    if (action->echoes_number) {
        if (numbers) {
            replies.push_back(wc::keyed_reply(action->ack, numbers->front()));
        }
    } else if (!action->ack.empty()) {
        replies.push_back(std::string(action->ack));
    }
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
    if (!answer_read(m_state, command, replies) && !take_set(m_state, command, replies) &&
        !run_action(m_state, command, replies)) {
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
    return command_word(line) == wc::named_action("relink").word;
}

} // namespace sim
