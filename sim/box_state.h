#pragma once

// The settings one simulated video-wall box keeps. Every default member value
// below is the box's factory value: a default-constructed BoxState is a box
// fresh from the factory, and "SDEF" brings a box back to it (keeping its MAC
// address and its firmware).

#include <array>
#include <string>
#include <string_view>

namespace sim {

inline constexpr std::string_view default_mac = "02:57:41:4C:4C:01";
inline constexpr int outputs = 4; // OUT A .. OUT D
inline constexpr int favourite_slots = 5;
inline constexpr int picture_default = 50;

// What a favourite slot holds: the TV-wall settings of the box.
struct WallSettings {
    int rows = 1;         // first number of "SMN a b ", 1..15
    int columns = 1;      // second number of "SMN a b ", 1..15
    int hot_key = 0;      // last layout hot key, 0..23 ("SHOT n")
    int bezel_switch = 0; // 0 off, 1 on
    int bezel_h = 10;     // 0..255
    int bezel_v = 10;     // 0..255

    bool operator==(const WallSettings&) const = default;
};

struct BoxState {
    int power = 1; // 0 off, 1 on
    int id = 0;    // "ID No.", 0..255

    int firmware_major = 1;            // one digit
    std::string firmware_minor = "15"; // two characters: "VERS115" reads as v1.15

    WallSettings wall;
    std::array<WallSettings, favourite_slots> favourites{};

    // Index 0..3 = output 1..4 (OUT A..D), each 0..100.
    std::array<int, outputs> brightness{picture_default, picture_default, picture_default, picture_default};
    std::array<int, outputs> contrast{picture_default, picture_default, picture_default, picture_default};
    std::array<int, outputs> saturation{picture_default, picture_default, picture_default, picture_default};
    std::array<int, outputs> hue{picture_default, picture_default, picture_default, picture_default};

    int resolution = 20; // index 0..28 of the console's list; 20 is "1080p60"
    int osd_display = 0; // OSD auto display, 0 off, 1 on
    int osd_timeout = 5; // 5..50
    int osd_h = 5;       // 0..20
    int osd_v = 5;       // 0..20
    int osd_gain = 2;    // 0..10
    int mute = 0;        // 0 off, 1 on

    int ip_mode = 0; // 0 static, 1 DHCP
    std::string ip_address = "192.168.1.100";
    std::string net_mask = "255.255.255.0";
    std::string gateway = "192.168.1.1";
    std::string mac = std::string(default_mac);

    bool operator==(const BoxState&) const = default;
};

// The wall layout that layout hot key n (0..23) stands for; the console's
// caption "RxC" of hot key n gives rows R and columns C.
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

} // namespace sim
