// The simulated box in-process: its answer to every command, and what a connection
// does with its replies: out in the pieces and order the box's faults ask for
// (their timing is shown in wallsim_test).
#include "sim/box.h"
#include "sim/reply_shaper.h"
#include "sim/state_file.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

using namespace std::literals;
using Chunks = std::vector<std::string>;

// The replies to a line, each ended by "\r\n" as wallsim sends them by default.
std::string replies_of(Box& box, std::string_view line) {
    std::string text;
    for (const std::string& reply : box.handle_line(line)) {
        text += reply + "\r\n";
    }
    return text;
}

// "key=value" of every setting (by its state file name) that a line changed, in key order.
std::string changes(const Box& before, const Box& after) {
    const auto old = parse_state(format_state(before));
    std::string text;
    for (const auto& [key, value] : parse_state(format_state(after))) {
        if (!key.starts_with("count.") && key != "last_command" && old.at(key) != value) {
            text += (text.empty() ? "" : " ") + key + "=" + value;
        }
    }
    return text;
}

struct Step {
    const char* line;
    const char* replies; // all of them, byte for byte: the console reads fixed positions
    const char* changes;
    const char* read = ""; // then reads the setting back
    const char* read_reply = "";
};

// One box through the whole catalogue; every line must change exactly the settings it names.
const Step catalogue[] = {
    {"SPOW 0", "POWE000\r\n", "power=0", "RPOW", "POWE000\r\n"},
    {"SMDN 7", "", "id=7", "RMDN", "MODN007\r\n"},
    {"SBEZ 1", "", "bezel_switch=1", "RBEZ", "BEZE001\r\n"},
    {"SBH 12", "BHV012\r\n", "bezel_h=12", "RBH ", "BHV012\r\n"},
    {"SBV 255", "BVV255\r\n", "bezel_v=255", "RBV ", "BVV255\r\n"},
    {"SRES 28", "", "resolution=28", "RRES", "RESO028\r\n"},
    {"SOSDD 1", "", "osd_display=1", "ROSDD", "OSDD001\r\n"},
    {"SOSDT 50", "", "osd_timeout=50", "ROSDT", "OSDT050\r\n"},
    {"SOSDH 20", "", "osd_h=20", "ROSDH", "OSDH020\r\n"},
    {"SOSDV  7", "", "osd_v=7", "ROSDV", "OSDV007\r\n"}, // the console pads to two characters
    {"SOSDG 10", "", "osd_gain=10", "ROSDG", "OSDG010\r\n"},
    {"SMUTE 1", "", "mute=1", "RMUTE", "MUTE001\r\n"},
    {"SIPM 1", "IPMD001\r\nRELI\r\n", "ip_mode=1", "RIPM", "IPMD001\r\n"},
    {"SBRI 4 100", "", "brightness.4=100", "RBRI 4", "OUT D: BRIV100\r\n"},
    {"SCON 3 75", "", "contrast.3=75", "RCON 3", "OUT C: CONV075\r\n"},
    {"SSAT 2 0", "", "saturation.2=0", "RSAT 2", "OUT B: SATV000\r\n"},
    {"SHUE 1 33", "", "hue.1=33", "RHUE 1", "OUT A: HUEV033\r\n"},
    {"SIMRE 2", "IMRE\r\n", "contrast.3=50"},
    {"SPIRE", "IMRE\r\n", "brightness.4=50 hue.1=50 saturation.2=50"},
    {"SOSDI", "OSDI\r\n", ""},
    {"SOSDR", "OSDR\r\n", "mute=0 osd_display=0 osd_gain=2 osd_h=5 osd_timeout=5 osd_v=5"},
    {"SIPA 192.168.001.005", "IPA0\r\n", "ip_address=192.168.1.5"},
    {"SMAA 255.255.255.128", "MAA0\r\n", "net_mask=255.255.255.128"},
    {"SGAA 10.0.0.1", "GAA0\r\n", "gateway=10.0.0.1", "RLINK",
     "IP00192IP01168IP02001IP03005MA00255MA01255MA02255MA03128GA00010GA01000GA02000GA03001\r\n"},
    {"RVER", "VERS207\r\n", ""},
    {"SMN 2 3 ", "MNC\r\n", "columns=3 rows=2"},
    {"SHOT 19", "HOTK\r\n", "columns=5 hot_key=19 rows=3"},
    {"SFAVE 2", "",
     "fav2.bezel_h=12 fav2.bezel_switch=1 fav2.bezel_v=255 fav2.columns=5 fav2.hot_key=19 fav2.rows=3"},
    {"SWDE", "WDEF\r\n", "bezel_h=10 bezel_switch=0 bezel_v=10 columns=1 hot_key=0 rows=1"},
    {"RFAVE 2", "RFAV002\r\n", "bezel_h=12 bezel_switch=1 bezel_v=255 columns=5 hot_key=19 rows=3"},
    {"SREL", "", ""},
};

TEST(Box, EveryCommandIsAnsweredAndChangesExactlyItsOwnSettings) {
    Box box("02:00:00:00:00:99");
    for (const Step& step : catalogue) {
        SCOPED_TRACE(step.line);
        const Box before = box;
        EXPECT_EQ(replies_of(box, step.line), step.replies);
        EXPECT_EQ(changes(before, box), step.changes);
        EXPECT_EQ(replies_of(box, step.read), step.read_reply);
    }

    // Refused parameters change nothing; the answer, where there is one, tells the unchanged value.
    const std::pair<const char*, std::vector<std::string_view>> refused[] = {
        {"BHV012\r\n",
         {"SBH 256", "SBH -1", "SBH +5", "SBH x", "SBH 1.5", "SBH", "SBH 1 2", "SBH 99999999999"}},
        {"POWE000\r\n", {"SPOW 2"}},
        {"MNC\r\n", {"SMN 0 3 ", "SMN 16 1 ", "SMN 3 "}},
        {"HOTK\r\n", {"SHOT 24"}},
        {"IMRE\r\n", {"SIMRE 5"}},
        {"IPA0\r\n", {"SIPA 1.2.3", "SIPA 256.1.1.1", "SIPA 1.2.3.4.5", "SIPA 1..2.3", "SIPA 1.2.3.4 x"}},
        {"",
         {"SOSDT 4", "SOSDT 51", "SBRI 0 50", "SBRI 5 50", "SBRI 1 101", "SBRI 1", "SFAVE 6", "RFAVE 6",
          "RBRI 5", "sbh 12", "SBH12", "", "XYZZY 1", "\0SDEF"sv, "S\0BH\x01\xff 12"sv}},
    };
    for (const auto& [replies, lines] : refused) {
        for (const std::string_view line : lines) {
            SCOPED_TRACE(line);
            Box copy = box;
            EXPECT_EQ(replies_of(copy, line), replies);
            EXPECT_EQ(copy.state(), box.state());
        }
    }

    EXPECT_EQ(replies_of(box, "SDEF"), "DEFA\r\n");
    BoxState factory;
    factory.mac = "02:00:00:00:00:99"; // the hardware's own, not a setting
    EXPECT_EQ(box.state(), factory);
}

TEST(ReplyShaper, RepliesGoInPairsOrAloneAfterAWaitThenSplitAndNeverOvertakeEachOther) {
    Faults faults;
    faults.join = true;
    faults.split = 4;
    ReplyShaper shaper(faults);
    const ReplyShaper::Clock::time_point t0{std::chrono::hours(1)}; // time is stepped by hand
    shaper.add("IPMD001\r\n", t0);
    shaper.add("RELI\r\n", t0 + 5ms);
    shaper.add("POWE001\r\n", t0 + 5ms);
    shaper.add("MODN000\r\n", t0 + 10ms);
    shaper.add("VERS207\r\n", t0 + 10ms);
    const auto gap = ReplyShaper::split_gap;
    const auto alone = t0 + 10ms + ReplyShaper::join_wait;
    const std::pair<ReplyShaper::Clock::time_point, Chunks> expected[] = {
        {t0 + 5ms, {"IPMD"}},
        {t0 + 5ms + gap, {"001\r\nRELI\r\n", "POWE"}}, // the second pair waits for the first
        {t0 + 5ms + 2 * gap, {"001\r\nMODN000\r\n"}},
        {alone - 1ms, {}},
        {alone, {"VERS"}},
        {alone + gap - 1ms, {}},
        {alone + gap, {"207\r\n"}},
    };
    for (const auto& [now, chunks] : expected) {
        EXPECT_EQ(shaper.take_due(now), chunks) << (now - t0).count();
    }
}

// What a box says in each dialect its options give it.
TEST(ReplyShaper, FramesWhatTheBoxSaysAsItsLineEndEchoBannerPromptAndChunksSay) {
    const ReplyShaper::Clock::time_point t0{std::chrono::hours(1)};
    const auto said = [&](const Faults& faults) {
        ReplyShaper shaper(faults);
        shaper.greet(t0);
        shaper.answer("SIPM 1", {"IPMD001", "RELI"}, t0);
        return shaper.take_due(t0);
    };
    Faults faults;
    EXPECT_EQ(said(faults), (Chunks{"IPMD001\r\n", "RELI\r\n"}));
    faults.line_end = LineEnd::none;
    EXPECT_EQ(said(faults), (Chunks{"IPMD001", "RELI"}));
    faults.line_end = LineEnd::cr;
    faults.echo = true;
    faults.banner = "Hi";
    faults.prompt = "> ";
    EXPECT_EQ(said(faults), (Chunks{"Hi\r> ", "SIPM 1\r\n", "IPMD001\r> ", "RELI\r> "}));
    faults = Faults{};
    faults.line_end = LineEnd::lf;
    faults.bytewise = true;
    EXPECT_EQ(said(faults), (Chunks{"I", "P", "M", "D", "0", "0", "1", "\n", "R", "E", "L", "I", "\n"}));
}

} // namespace
} // namespace sim
