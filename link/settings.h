#pragma once

// The settings catalogue: every setting a box keeps and can report, with the
// line that reads it, where its value stands in the reply, the values it takes
// and the line that sets it. The lines are exactly the console's, so a tool
// or a simulated box built on this table speaks as the console does. Plain
// data and pure functions of text: no sockets, nothing above link/.

#include "link/named_row.h"
#include "link/replies.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace wc {

// The names the console's lists show; a value is its index in the list.
inline constexpr std::array<std::string_view, 29> resolution_names{
    "640x480@60",   "480p60",      "576p50",       "800x600@60",     "848x480@60",     "1024x768@60",
    "720p50",       "720p60",      "1280x768@60",  "1280x800@60",    "1280x960@60",    "1280x1024@60",
    "1360x768@60",  "1366x768@60", "1400x1050@60", "1440x900@60",    "1600x900RB@60",  "1600x1200@60",
    "1680x1050@60", "1080p50",     "1080p60",      "1920x1200RB@60", "2048x1152RB@60", "1080I50",
    "1080I60",      "1080p24",     "1080p25",      "1080p30",        "Native"};
inline constexpr std::array<std::string_view, 2> address_type_names{"STATIC", "DHCP"};
inline constexpr std::array<std::string_view, 2> switch_names{"OFF", "ON"};

// Which names a numbered setting's values have, if any.
enum class ValueNames { none, on_off, address_type, resolution };

struct Setting {
    std::string_view name;  // as scripts write it: "brightness.b", "osd.timeout"
    std::string_view read;  // the whole read line, blanks included: "RBRI 2", "RBH "
    std::string_view key;   // the key of the reply to the read line
    int field = 0;          // the addresses: 0 address, 1 mask, 2 gateway
    std::string_view set{}; // the set line before its value: "SBRI 2", "SOSDH"; empty when read only
    // The key of the box's answer to the set line; empty when the box answers nothing.
    std::string_view set_reply{};
    int lo = 0; // numbered values: the range the console's lists allow
    int hi = 0;
    int factory = 0; // numbered values: what the box holds from the factory and after a reset
    ValueNames names = ValueNames::none;
    // The box re-links after the set line: it ends the connection, so nothing
    // more can be sent or read on it.
    bool relinks = false;

    // Where the value stands in the reply to the read line.
    constexpr ReplyLayout layout() const { return find_reply_format(key)->layout; }
};

// What the box says after its answer to a re-linking set line.
inline constexpr std::string_view relink_notice = "RELI";

// The outputs of a picture value: OUT A .. OUT D, numbered 1 to 4 on the wire.
inline constexpr int picture_outputs = 4;

// A value as the box holds it: a number (a named value by its index), or the
// text of an address ("10.0.0.5") or of the firmware ("1.15").
using Value = std::variant<int, std::string>;

inline constexpr std::array<Setting, 33> settings{{
    {"power", "RPOW", "POWE", 0, "SPOW", "POWE", 0, 1, 1, ValueNames::on_off},
    {"id", "RMDN", "MODN", 0, "SMDN", "", 0, 255, 0},
    {"firmware", "RVER", "VERS"},
    {"bezel", "RBEZ", "BEZE", 0, "SBEZ", "", 0, 1, 0, ValueNames::on_off},
    {"bezel.h", "RBH ", "BHV", 0, "SBH", "BHV", 0, 255, 10},
    {"bezel.v", "RBV ", "BVV", 0, "SBV", "BVV", 0, 255, 10},
    {"address-type", "RIPM", "IPMD", 0, "SIPM", "IPMD", 0, 1, 0, ValueNames::address_type, true},
    {"ip", "RLINK", "IP00", 0, "SIPA", "IPA0"},
    {"mask", "RLINK", "IP00", 1, "SMAA", "MAA0"},
    {"gateway", "RLINK", "IP00", 2, "SGAA", "GAA0"},
    {"resolution", "RRES", "RESO", 0, "SRES", "", 0, 28, 20, ValueNames::resolution},
    {"osd.display", "ROSDD", "OSDD", 0, "SOSDD", "", 0, 1, 0, ValueNames::on_off},
    {"osd.timeout", "ROSDT", "OSDT", 0, "SOSDT", "", 5, 50, 5},
    {"osd.h", "ROSDH", "OSDH", 0, "SOSDH", "", 0, 20, 5},
    {"osd.v", "ROSDV", "OSDV", 0, "SOSDV", "", 0, 20, 5},
    {"osd.gain", "ROSDG", "OSDG", 0, "SOSDG", "", 0, 10, 2},
    {"mute", "RMUTE", "MUTE", 0, "SMUTE", "", 0, 1, 0, ValueNames::on_off},
    // Picture values: a, b, c, d are the outputs OUT A .. OUT D, numbered 1 to 4 on the wire.
    {"brightness.a", "RBRI 1", "BRIV", 0, "SBRI 1", "", 0, 100, 50},
    {"brightness.b", "RBRI 2", "BRIV", 0, "SBRI 2", "", 0, 100, 50},
    {"brightness.c", "RBRI 3", "BRIV", 0, "SBRI 3", "", 0, 100, 50},
    {"brightness.d", "RBRI 4", "BRIV", 0, "SBRI 4", "", 0, 100, 50},
    {"contrast.a", "RCON 1", "CONV", 0, "SCON 1", "", 0, 100, 50},
    {"contrast.b", "RCON 2", "CONV", 0, "SCON 2", "", 0, 100, 50},
    {"contrast.c", "RCON 3", "CONV", 0, "SCON 3", "", 0, 100, 50},
    {"contrast.d", "RCON 4", "CONV", 0, "SCON 4", "", 0, 100, 50},
    {"saturation.a", "RSAT 1", "SATV", 0, "SSAT 1", "", 0, 100, 50},
    {"saturation.b", "RSAT 2", "SATV", 0, "SSAT 2", "", 0, 100, 50},
    {"saturation.c", "RSAT 3", "SATV", 0, "SSAT 3", "", 0, 100, 50},
    {"saturation.d", "RSAT 4", "SATV", 0, "SSAT 4", "", 0, 100, 50},
    {"hue.a", "RHUE 1", "HUEV", 0, "SHUE 1", "", 0, 100, 50},
    {"hue.b", "RHUE 2", "HUEV", 0, "SHUE 2", "", 0, 100, 50},
    {"hue.c", "RHUE 3", "HUEV", 0, "SHUE 3", "", 0, 100, 50},
    {"hue.d", "RHUE 4", "HUEV", 0, "SHUE 4", "", 0, 100, 50},
}};

// The row of that name; nullptr when there is none.
const Setting* find_setting(std::string_view name);

// The row of that name, found while compiling: a name that is no row does not build.
consteval const Setting& named_setting(std::string_view name) {
    return named_row(settings, name);
}

// The rows of one picture value, output by output: "brightness" gives
// brightness.a .. brightness.d, found while compiling.
consteval std::span<const Setting, picture_outputs> picture_setting(std::string_view kind) {
    for (std::size_t first = 0; first + picture_outputs <= settings.size(); ++first) {
        bool found = true;
        for (int k = 0; k < picture_outputs; ++k) {
            const std::string_view name = settings[first + static_cast<std::size_t>(k)].name;
            found = found && name.size() == kind.size() + 2 && name.starts_with(kind) &&
                    name[kind.size()] == '.' && name.back() == 'a' + k;
        }
        if (found) {
            return std::span<const Setting, picture_outputs>(&settings[first], picture_outputs);
        }
    }
    throw "no picture value of that kind";
}

std::span<const std::string_view> value_names(ValueNames names);

// Whether the value goes into JSON as a number (a plain number without names)
// rather than as a text.
bool is_plain_number(const Setting& row);

// Whether the reply is the one to the setting's read line. Only the key: a
// reply can answer a read and still carry no value the setting takes.
bool answers(const Setting& row, const Reply& reply);

// The value in a reply to the read line (or to the set line, where the box
// echoes the value). Nothing when the reply has another key or the value lies
// outside what the setting takes.
std::optional<Value> decode(const Setting& row, const Reply& reply);

// A dotted IPv4 address: four octets 0..255, one to three digits each.
std::optional<Octets> address_octets(std::string_view text);

// The same address as text without leading zeros: "010.0.0.5" gives "10.0.0.5".
std::optional<std::string> dotted_address(std::string_view text);

// A value as a script writes it: "on", "static", "1080p60" (names in any case),
// "70", "10.0.0.5" (octets of one to three digits). Nothing when the text is
// no value of the setting or the setting is read only.
std::optional<Value> parse_value(const Setting& row, std::string_view text);

// The value as scripts read it: on/off and static/dhcp in small letters,
// resolutions as the console's list shows them, addresses without leading zeros.
std::string value_text(const Setting& row, const Value& value);

// The line the console sends to set the value: "SBRI 2 70", "SIPA 10.0.0.5".
// A text goes as it is, so the console can send what the operator typed;
// scripts send only values that parse_value or decode gave for this row.
std::string set_line(const Setting& row, const Value& value);

} // namespace wc
