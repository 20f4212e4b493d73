#include "sim/box.h"
#include "sim/state_file.h"

#include <gtest/gtest.h>
#include <numeric>

namespace sim {
namespace {

// Characters from..from+count-1, counted from 1, as the console reads a reply.
std::string at(std::string_view text, std::size_t from, std::size_t count) {
    return from > text.size() ? std::string() : std::string(text.substr(from - 1, count));
}

std::string replies_of(Box& box, std::string_view line) {
    const std::vector<std::string> replies = box.handle_line(line);
    return std::accumulate(replies.begin(), replies.end(), std::string());
}

// A box where every setting differs from its factory value, so that a command
// that touches the wrong field shows.
Box primed_box() {
    Box box("02:00:00:00:00:99");
    for (const char* line :
         {"SPOW 0",    "SMDN 3",  "SBEZ 1",    "SBH 40",        "SBV 41",           "SMN 2 3 ",
          "SFAVE 4",   "SHOT 8",  "SBRI 1 11", "SBRI 4 14",     "SCON 2 22",        "SSAT 3 33",
          "SHUE 4 44", "SRES 7",  "SOSDD 1",   "SOSDT 30",      "SOSDH 11",         "SOSDV 12",
          "SOSDG 9",   "SMUTE 1", "SIPM 1",    "SIPA 10.1.2.3", "SMAA 255.255.0.0", "SGAA 10.1.0.1"}) {
        box.handle_line(line);
    }
    return box;
}

struct SettingCase {
    const char* set;
    const char* set_replies; // everything the set line is answered with
    const char* read;
    const char* key;
    std::size_t key_at; // where the console reads the key: 1, or 8 for picture values
    const char* value;  // the three characters right behind the key
    int (*field)(const BoxState&);
};

TEST(Box, EverySettingIsSetReadBackAndAnsweredWhereTheConsoleReads) {
    const SettingCase cases[] = {
        {"SPOW 0", "POWE000\r\n", "RPOW", "POWE", 1, "000", [](const BoxState& s) { return s.power; }},
        {"SMDN 7", "", "RMDN", "MODN", 1, "007", [](const BoxState& s) { return s.id; }},
        {"SBEZ 1", "", "RBEZ", "BEZE", 1, "001", [](const BoxState& s) { return s.wall.bezel_switch; }},
        {"SBH 12", "BHV012\r\n", "RBH ", "BHV", 1, "012", [](const BoxState& s) { return s.wall.bezel_h; }},
        {"SBV 255", "BVV255\r\n", "RBV ", "BVV", 1, "255", [](const BoxState& s) { return s.wall.bezel_v; }},
        {"SRES 28", "", "RRES", "RESO", 1, "028", [](const BoxState& s) { return s.resolution; }},
        {"SOSDD 1", "", "ROSDD", "OSDD", 1, "001", [](const BoxState& s) { return s.osd_display; }},
        {"SOSDT 50", "", "ROSDT", "OSDT", 1, "050", [](const BoxState& s) { return s.osd_timeout; }},
        {"SOSDH 20", "", "ROSDH", "OSDH", 1, "020", [](const BoxState& s) { return s.osd_h; }},
        {"SOSDV  7", "", "ROSDV", "OSDV", 1, "007", [](const BoxState& s) { return s.osd_v; }}, // typed " 7"
        {"SOSDG 10", "", "ROSDG", "OSDG", 1, "010", [](const BoxState& s) { return s.osd_gain; }},
        {"SMUTE 1", "", "RMUTE", "MUTE", 1, "001", [](const BoxState& s) { return s.mute; }},
        {"SIPM 1", "IPMD001\r\nRELI\r\n", "RIPM", "IPMD", 1, "001",
         [](const BoxState& s) { return s.ip_mode; }},
        {"SBRI 4 100", "", "RBRI 4", "BRIV", 8, "100", [](const BoxState& s) { return s.brightness[3]; }},
        {"SCON 3 75", "", "RCON 3", "CONV", 8, "075", [](const BoxState& s) { return s.contrast[2]; }},
        {"SSAT 2 0", "", "RSAT 2", "SATV", 8, "000", [](const BoxState& s) { return s.saturation[1]; }},
        {"SHUE 1 33", "", "RHUE 1", "HUEV", 8, "033", [](const BoxState& s) { return s.hue[0]; }},
    };
    for (const SettingCase& c : cases) {
        SCOPED_TRACE(c.set);
        Box box;
        const int value = std::stoi(c.value);
        ASSERT_NE(c.field(box.state()), value)
            << "the factory value must differ for the case to mean anything";
        EXPECT_EQ(replies_of(box, c.set), c.set_replies);
        EXPECT_EQ(c.field(box.state()), value);

        const std::string reply = replies_of(box, c.read);
        const std::size_t key_length = std::string_view(c.key).size();
        EXPECT_EQ(at(reply, c.key_at, key_length), c.key) << reply;
        EXPECT_EQ(at(reply, c.key_at + key_length, 3), c.value) << reply;
        EXPECT_EQ(reply.size(), c.key_at + key_length + 3 + 1) << "nothing but \\r\\n after the value";
        EXPECT_TRUE(reply.ends_with("\r\n"));
    }
}

TEST(Box, AcknowledgementsAreTheKeysTheConsoleAwaits) {
    const std::pair<const char*, const char*> cases[] = {
        {"SMN 3 2 ", "MNC\r\n"},
        {"SHOT 5", "HOTK\r\n"},
        {"SWDE", "WDEF\r\n"},
        {"SIMRE 2", "IMRE\r\n"},
        {"SPIRE", "IMRE\r\n"},
        {"SOSDR", "OSDR\r\n"},
        {"SOSDI", "OSDI\r\n"},
        {"SIPA 10.0.0.5", "IPA0\r\n"},
        {"SMAA 255.0.0.0", "MAA0\r\n"},
        {"SGAA 10.0.0.1", "GAA0\r\n"},
        {"SIPM 0", "IPMD000\r\nRELI\r\n"},
        {"SDEF", "DEFA\r\n"},
        {"RFAVE 3", "RFAV003\r\n"},
        {"RVER", "VERS115\r\n"},
        {"SFAVE 1", ""},
        {"SREL", ""},
    };
    for (const auto& [line, replies] : cases) {
        Box box;
        EXPECT_EQ(replies_of(box, line), replies) << line;
    }
}

TEST(Box, FirmwareVersionIsReadAsOneDigitAndTwo) {
    Box box;
    const std::string reply = replies_of(box, "RVER");
    EXPECT_EQ(at(reply, 5, 1), "1");
    EXPECT_EQ(at(reply, 6, 2), "15");

    BoxState short_minor;
    short_minor.firmware_minor = "";
    box.load(short_minor);
    EXPECT_EQ(replies_of(box, "RVER"), "VERS1\r\n");
}

TEST(Box, AddressesComeBackAsTwelveFieldsSevenApart) {
    Box box;
    box.handle_line("SIPA 192.168.001.005"); // the console may send back what it showed, zeros and all
    box.handle_line("SMAA 255.255.255.128");
    box.handle_line("SGAA 192.168.1.1");
    EXPECT_EQ(box.state().ip_address, "192.168.1.5");

    const std::string reply = replies_of(box, "RLINK");
    EXPECT_EQ(at(reply, 1, 4), "IP00");
    const char* fields[] = {"192", "168", "001", "005", "255", "255",
                            "255", "128", "192", "168", "001", "001"};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        EXPECT_EQ(at(reply, 5 + 7 * i, 3), fields[i]) << "field " << i + 1 << " of " << reply;
    }
    EXPECT_EQ(reply.size(), 84u + 2u);
}

TEST(Box, HotKeysSetTheLayoutOfTheirCaption) {
    const std::pair<int, Layout> cases[] = {
        {0, {1, 1}}, {6, {2, 3}}, {7, {3, 2}}, {19, {3, 5}}, {23, {6, 3}}};
    for (const auto& [key, layout] : cases) {
        Box box;
        box.handle_line("SHOT " + std::to_string(key));
        EXPECT_EQ(box.state().wall.rows, layout.rows) << key;
        EXPECT_EQ(box.state().wall.columns, layout.columns) << key;
        EXPECT_EQ(box.state().wall.hot_key, key);
    }
    Box box;
    box.handle_line("SMN 15 4 ");
    EXPECT_EQ(box.state().wall.rows, 15);
    EXPECT_EQ(box.state().wall.columns, 4);
}

TEST(Box, ResetsPutTheirOwnSettingsBackAndNothingElse) {
    Box box = primed_box();
    const BoxState primed = box.state();

    box.handle_line("SIMRE 2");
    EXPECT_EQ(box.state().contrast, (std::array<int, 4>{50, 50, 50, 50}));
    EXPECT_EQ(box.state().brightness, primed.brightness);

    box.handle_line("SPIRE");
    for (const auto& row : {box.state().brightness, box.state().saturation, box.state().hue}) {
        EXPECT_EQ(row, (std::array<int, 4>{50, 50, 50, 50}));
    }

    box.handle_line("SOSDR");
    const BoxState factory;
    EXPECT_EQ(box.state().osd_timeout, factory.osd_timeout);
    EXPECT_EQ(box.state().osd_gain, factory.osd_gain);
    EXPECT_EQ(box.state().mute, 0);
    EXPECT_EQ(box.state().resolution, primed.resolution); // the resolution is no OSD setting

    box.handle_line("SWDE");
    EXPECT_EQ(box.state().wall, WallSettings{});
    EXPECT_EQ(box.state().favourites, primed.favourites);
    EXPECT_EQ(box.state().ip_address, primed.ip_address);
}

TEST(Box, FactoryResetRestoresEverythingButTheHardware) {
    Box box = primed_box();
    BoxState state = box.state();
    state.firmware_minor = "20";
    box.load(state);
    ASSERT_NE(box.state().favourites, BoxState{}.favourites);

    EXPECT_EQ(replies_of(box, "SDEF"), "DEFA\r\n");
    BoxState expected;
    expected.mac = "02:00:00:00:00:99";
    expected.firmware_minor = "20";
    EXPECT_EQ(box.state(), expected);
}

TEST(Box, FavouritesStoreAndRecallWallSnapshots) {
    Box box;
    for (const char* line : {"SMN 2 3 ", "SBH 20", "SBV 30", "SBEZ 1", "SFAVE 2", "SHOT 3", "SFAVE 5"}) {
        box.handle_line(line);
    }
    const WallSettings second{2, 3, 0, 1, 20, 30};
    const WallSettings fifth{4, 4, 3, 1, 20, 30};
    EXPECT_EQ(box.state().favourites[1], second);
    EXPECT_EQ(box.state().favourites[4], fifth);

    box.handle_line("SWDE");
    EXPECT_EQ(replies_of(box, "RFAVE 2"), "RFAV002\r\n");
    EXPECT_EQ(box.state().wall, second);
    EXPECT_EQ(replies_of(box, "RBH "), "BHV020\r\n");
    EXPECT_EQ(replies_of(box, "RBEZ"), "BEZE001\r\n");

    box.handle_line("RFAVE 5");
    EXPECT_EQ(box.state().wall, fifth);
    box.handle_line("RFAVE 1"); // never stored: the factory wall
    EXPECT_EQ(box.state().wall, WallSettings{});
}

TEST(Box, RefusedParametersLeaveTheStateAsItWas) {
    // Answered from the unchanged state where the answer does not depend on the
    // parameter; reads that the parameter selects are not answered.
    const std::pair<const char*, std::vector<const char*>> cases[] = {
        {"BHV040\r\n",
         {"SBH 256", "SBH -1", "SBH x", "SBH", "SBH 1 2", "SBH 1.5", "SBH +5", "SBH 99999999999"}},
        {"BVV041\r\n", {"SBV 300"}},
        {"POWE000\r\n", {"SPOW 2"}},
        {"IPMD001\r\nRELI\r\n", {"SIPM 2"}},
        {"MNC\r\n", {"SMN 0 3 ", "SMN 16 1 ", "SMN 3 ", "SMN a b "}},
        {"HOTK\r\n", {"SHOT 24", "SHOT"}},
        {"IMRE\r\n", {"SIMRE 5", "SIMRE 0"}},
        {"IPA0\r\n",
         {"SIPA 1.2.3", "SIPA 256.1.1.1", "SIPA a.b.c.d", "SIPA 1.2.3.4.5", "SIPA 1..2.3", "SIPA"}},
        {"MAA0\r\n", {"SMAA 1.2.3.4 x"}},
        {"GAA0\r\n", {"SGAA 1234.1.1.1"}},
        {"", {"SMDN 256",     "SBEZ 2",   "SRES 29",   "SOSDD 2", "SOSDT 4",   "SOSDT 51",  "SOSDH 21",
              "SOSDV -1",     "SOSDG 11", "SOSDG 7.0", "SMUTE 2", "SBRI 0 50", "SBRI 5 50", "SBRI 1 101",
              "SBRI 2 100.5", "SBRI 1",   "SFAVE 0",   "SFAVE 6", "RFAVE 6",   "RFAVE x",   "RBRI 5",
              "RCON 0",       "RHUE",     "sbh 12",    "SBH12",   "",          "XYZZY 1"}},
    };
    const Box primed = primed_box();
    for (const auto& [replies, lines] : cases) {
        for (const char* line : lines) {
            Box box = primed;
            EXPECT_EQ(replies_of(box, line), replies) << line;
            EXPECT_EQ(box.state(), primed.state()) << line;
        }
    }
    Box box = primed;
    const std::string binary("S\0BH\x01\xff 12", 10);
    EXPECT_TRUE(box.handle_line(binary).empty());
    EXPECT_EQ(box.state(), primed.state());
}

TEST(Box, CountsTheCommandsItKnows) {
    Box box;
    for (const char* line : {"RPOW", "RPOW", "SBH 999", "garbage", "SOSDV  7"}) {
        box.handle_line(line);
    }
    EXPECT_EQ(box.received("RPOW"), 2);
    EXPECT_EQ(box.received("SBH"), 1); // refused, but it reached the box
    EXPECT_EQ(box.received("garbage"), 0);
    EXPECT_EQ(box.received().size(), 3u);
    EXPECT_EQ(box.last_command(), "SOSDV  7");

    box.handle_line(std::string("SIPA \x01\xff", 7));
    EXPECT_EQ(box.last_command(), "SIPA ??");
}

TEST(Box, OnlyTheRelinkEndsAConnection) {
    EXPECT_TRUE(ends_connection("SREL"));
    EXPECT_TRUE(ends_connection("SREL "));
    EXPECT_FALSE(ends_connection("SRELX"));
    EXPECT_FALSE(ends_connection("RPOW"));
}

TEST(StateFile, ListsEverySettingAndWhatWasReceived) {
    Box box = primed_box();
    box.handle_line("SBH 12");
    const auto values = parse_state(format_state(box));
    EXPECT_EQ(values.at("bezel_h"), "12");
    EXPECT_EQ(values.at("fav4.rows"), "2");
    EXPECT_EQ(values.at("hue.4"), "44");
    EXPECT_EQ(values.at("ip_address"), "10.1.2.3");
    EXPECT_EQ(values.at("mac"), "02:00:00:00:00:99");
    EXPECT_EQ(values.at("firmware"), "1.15");
    EXPECT_EQ(values.at("count.SBH"), "2");
    EXPECT_EQ(values.at("last_command"), "SBH 12");
    EXPECT_EQ(state_file_name("127.0.0.1", 2323), "127.0.0.1_2323.state");
}

} // namespace
} // namespace sim
