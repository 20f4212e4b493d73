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

// What a favourite slot holds: the TV-wall settings of the box.
struct WallSettings {
    int rows = 1;         // first number of "SMN a b "
    int columns = 1;      // second number of "SMN a b "
    int hot_key = 0;      // last layout hot key ("SHOT n")
    int bezel_switch = 0; // 0 off, 1 on
    int bezel_h = 10;
    int bezel_v = 10;

    bool operator==(const WallSettings&) const = default;
};

using PictureValues = std::array<int, outputs>; // index 0..3 = OUT A..D
inline constexpr PictureValues picture_factory{wc::picture_reset_value, wc::picture_reset_value,
                                               wc::picture_reset_value, wc::picture_reset_value};

struct BoxState {
    int power = 1; // 0 off, 1 on
    int id = 0;    // "ID No."

    std::string firmware = "1.15"; // answered as "VERS115"

    WallSettings wall;
    std::array<WallSettings, favourite_slots> favourites{};

    PictureValues brightness = picture_factory;
    PictureValues contrast = picture_factory;
    PictureValues saturation = picture_factory;
    PictureValues hue = picture_factory;

    int resolution = 20; // index of the console's list; 20 is "1080p60"
    int osd_display = 0; // OSD auto display, 0 off, 1 on
    int osd_timeout = 5;
    int osd_h = 5;
    int osd_v = 5;
    int osd_gain = 2;
    int mute = 0; // 0 off, 1 on

    int ip_mode = 0; // 0 static, 1 DHCP
    std::string ip_address = "192.168.1.100";
    std::string net_mask = "255.255.255.0";
    std::string gateway = "192.168.1.1";
    std::string mac = std::string(default_mac);

    bool operator==(const BoxState&) const = default;
};

} // namespace sim
