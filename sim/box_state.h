#pragma once

// The settings one simulated video-wall box keeps. Every default member value
// below is the box's factory value: a default-constructed BoxState is a box
// fresh from the factory, and "SDEF" brings a box back to it (keeping its MAC
// address and its firmware). What each value may be is the settings
// catalogue's (link/settings.h, link/actions.h).

#include "link/actions.h"
#include "link/settings.h"

#include <array>
#include <string>
#include <string_view>

namespace sim {

inline constexpr std::string_view default_mac = "02:57:41:4C:4C:01";
inline constexpr int outputs = wc::picture_outputs;
inline constexpr int favourite_slots = wc::named_action("favourite-save").hi;

consteval int factory_value(std::string_view setting) {
    return wc::named_setting(setting).factory;
}

// What a favourite slot holds: the TV-wall settings of the box.
struct WallSettings {
    int rows = 1;                              // first number of "SMN a b "
    int columns = 1;                           // second number of "SMN a b "
    int hot_key = 0;                           // last layout hot key ("SHOT n")
    int bezel_switch = factory_value("bezel"); // 0 off, 1 on
    int bezel_h = factory_value("bezel.h");
    int bezel_v = factory_value("bezel.v");

    bool operator==(const WallSettings&) const = default;
};

using PictureValues = std::array<int, outputs>; // index 0..3 = OUT A..D

consteval PictureValues factory_pictures(std::string_view kind) {
    PictureValues values{};
    for (std::size_t k = 0; k < values.size(); ++k) {
        values[k] = wc::picture_setting(kind)[k].factory;
    }
    return values;
}

struct BoxState {
    int power = factory_value("power"); // 0 off, 1 on
    int id = factory_value("id");       // "ID No."

    std::string firmware = "2.07"; // answered as "VERS207"

    WallSettings wall;
    std::array<WallSettings, favourite_slots> favourites{};

    PictureValues brightness = factory_pictures("brightness");
    PictureValues contrast = factory_pictures("contrast");
    PictureValues saturation = factory_pictures("saturation");
    PictureValues hue = factory_pictures("hue");

    int resolution = factory_value("resolution");   // index of the console's list
    int osd_display = factory_value("osd.display"); // OSD auto display, 0 off, 1 on
    int osd_timeout = factory_value("osd.timeout");
    int osd_h = factory_value("osd.h");
    int osd_v = factory_value("osd.v");
    int osd_gain = factory_value("osd.gain");
    int mute = factory_value("mute"); // 0 off, 1 on

    int ip_mode = factory_value("address-type"); // 0 static, 1 DHCP
    std::string ip_address = "192.168.1.100";
    std::string net_mask = "255.255.255.0";
    std::string gateway = "192.168.1.1";
    std::string mac = std::string(default_mac);

    bool operator==(const BoxState&) const = default;
};

} // namespace sim
