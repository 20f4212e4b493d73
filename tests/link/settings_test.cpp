#include "link/actions.h"
#include "link/replies.h"
#include "link/settings.h"
#include "sim/box.h"

#include <gtest/gtest.h>

namespace wc {
namespace {

// What the box answers to the catalogue's read line, through the catalogue's decoder.
std::optional<Value> read_back(sim::Box& box, const Setting& row) {
    for (std::string reply : box.handle_line(row.read)) {
        reply.erase(reply.size() - 2); // its "\r\n"
        if (answers(row, reply)) {
            return decode(row, reply);
        }
    }
    return std::nullopt;
}

struct Edges {
    std::vector<std::string> valid; // as scripts write them
    Value refused;                  // a value the box must not take
    std::string refused_text;       // its text, which parse_value must not take
};

Edges edges(const Setting& row) {
    if (row.layout == ReplyLayout::address) {
        return {{"0.0.0.0", "255.255.255.255", "010.000.000.005"}, std::string("256.1.1.1"), "256.1.1.1"};
    }
    const auto names = value_names(row.names);
    if (!names.empty()) {
        const int past = static_cast<int>(names.size());
        return {{value_text(row, 0), value_text(row, past - 1)}, past, "maybe"};
    }
    return {{std::to_string(row.lo), std::to_string(row.hi)}, row.hi + 1, std::to_string(row.hi + 1)};
}

TEST(SettingsCatalogue, EverySetLineReadsBackAsTheValueSetAndAValueOutOfRangeIsRefused) {
    for (const Setting& row : settings) {
        if (row.set.empty()) {
            continue;
        }
        const Edges e = edges(row);
        for (const std::string& text : e.valid) {
            const auto value = parse_value(row, text);
            ASSERT_TRUE(value) << row.name << " " << text;
            sim::Box box;
            box.handle_line(set_line(row, *value));
            EXPECT_EQ(read_back(box, row), value) << row.name << " " << text;
        }
        sim::Box box;
        const auto factory = read_back(box, row);
        ASSERT_TRUE(factory) << row.name;
        box.handle_line(set_line(row, e.refused));
        EXPECT_EQ(read_back(box, row), factory) << row.name << " refused by the box";
        EXPECT_FALSE(parse_value(row, e.refused_text)) << row.name << " refused before sending";
    }
}

TEST(SettingsCatalogue, SetLinesAreTheConsolesLines) {
    struct Case {
        const char* setting;
        const char* value;
        const char* line;
    };
    for (const Case c :
         {Case{"brightness.b", "70", "SBRI 2 70"}, Case{"hue.d", "0", "SHUE 4 0"},
          Case{"osd.h", "7", "SOSDH 7"}, Case{"resolution", "1080p60", "SRES 20"},
          Case{"resolution", "native", "SRES 28"}, Case{"ip", "10.0.0.5", "SIPA 10.0.0.5"},
          Case{"gateway", "010.0.0.01", "SGAA 10.0.0.1"}, Case{"power", "ON", "SPOW 1"},
          Case{"id", "4", "SMDN 4"}, Case{"bezel", "on", "SBEZ 1"}, Case{"bezel.h", "12", "SBH 12"},
          Case{"mute", "on", "SMUTE 1"}, Case{"address-type", "dhcp", "SIPM 1"}}) {
        const Setting* row = find_setting(c.setting);
        ASSERT_NE(row, nullptr) << c.setting;
        const auto value = parse_value(*row, c.value);
        ASSERT_TRUE(value) << c.setting << "=" << c.value;
        EXPECT_EQ(set_line(*row, *value), c.line);
    }
    EXPECT_EQ(find_setting("brightness"), nullptr);
    EXPECT_FALSE(parse_value(*find_setting("firmware"), "1.15")) << "read only";
}

TEST(SettingsCatalogue, ValuesShowAsScriptsWriteThem) {
    struct Case {
        const char* setting;
        Value value;
        const char* text;
    };
    for (const Case& c :
         {Case{"power", 0, "off"}, Case{"address-type", 1, "dhcp"}, Case{"resolution", 23, "1080I50"},
          Case{"osd.timeout", 50, "50"}, Case{"ip", std::string("10.0.0.5"), "10.0.0.5"}}) {
        EXPECT_EQ(value_text(*find_setting(c.setting), c.value), c.text);
    }
}

TEST(SettingsCatalogue, DecodersTakeOnlyWellFormedRepliesAndNeverFail) {
    struct Case {
        const char* setting;
        std::string reply;
        std::optional<Value> value;
    };
    const std::string link =
        "IP00010IP01000IP02000IP03005MA00255MA01255MA02255MA03000GA00010GA01000GA02000GA03001";
    for (const Case& c : {
             Case{"power", "POWE001", 1},
             Case{"power", "POWE000 and more", 0},
             Case{"power", "POWE002", {}}, // no value of power
             Case{"power", "POWE00", {}},
             Case{"power", "POWE0x1", {}},
             Case{"power", "POWE-01", {}},
             Case{"power", "powe001", {}},
             Case{"power", " POWE001", {}},
             Case{"power", "", {}},
             Case{"bezel.h", "BHV255", 255},
             Case{"bezel.h", "BHV256", {}},
             Case{"osd.timeout", "OSDT004", {}},
             Case{"brightness.c", "OUT C: BRIV100", 100},
             Case{"brightness.c", "BRIV050", {}}, // the key only counts at 8
             Case{"brightness.c", "OUT C: BRIV05", {}},
             Case{"firmware", "VERS115", std::string("1.15")},
             Case{"firmware", "VERS1", {}},
             Case{"firmware", "VERSx15", {}},
             Case{"ip", link, std::string("10.0.0.5")},
             Case{"mask", link, std::string("255.255.255.0")},
             Case{"gateway", link, std::string("10.0.0.1")},
             Case{"gateway", link.substr(0, 80), {}},
             Case{"ip", "IP00256" + link.substr(7), {}},
             Case{"mask", std::string("IP00\0\0\0", 7), {}},
         }) {
        EXPECT_EQ(decode(*find_setting(c.setting), c.reply), c.value)
            << c.setting << " \"" << c.reply << "\"";
    }
}

TEST(SettingsCatalogue, RepliesAsTheBoxWritesThemDecodeToTheirValues) {
    const std::array<Octets, 3> link{{{10, 0, 0, 5}, {255, 255, 255, 0}, {10, 0, 0, 1}}};
    struct Case {
        const char* setting;
        std::string reply;
        Value value;
    };
    for (const Case& c : {
             Case{"power", keyed_reply("POWE", 1), 1},
             Case{"bezel.h", keyed_reply("BHV", 255), 255},
             Case{"osd.timeout", keyed_reply("OSDT", 5), 5},
             Case{"brightness.c", picture_reply(3, "BRIV", 100), 100},
             Case{"hue.a", picture_reply(1, "HUEV", 0), 0},
             Case{"ip", address_reply(link), std::string("10.0.0.5")},
             Case{"mask", address_reply(link), std::string("255.255.255.0")},
             Case{"gateway", address_reply(link), std::string("10.0.0.1")},
             Case{"firmware", firmware_reply("1.15"), std::string("1.15")},
         }) {
        EXPECT_EQ(decode(*find_setting(c.setting), c.reply), c.value)
            << c.setting << " \"" << c.reply << "\"";
    }
    // Out of three digits' reach the value is clamped, so the positions never move.
    EXPECT_EQ(keyed_reply("BHV", 1000), "BHV999");
    EXPECT_EQ(keyed_reply("BHV", -1), "BHV000");
}

TEST(Actions, LinesAreTheConsolesAndTheBoxAcknowledgesThem) {
    struct Case {
        const char* action;
        std::vector<int> numbers;
        std::optional<std::string> line;
    };
    for (const Case& c :
         {Case{"layout", {3, 4}, "SMN 3 4 "}, Case{"layout", {0, 4}, {}}, Case{"layout", {3}, {}},
          Case{"hotkey", {23}, "SHOT 23"}, Case{"hotkey", {24}, {}}, Case{"wall-reset", {}, "SWDE"},
          Case{"favourite-save", {5}, "SFAVE 5"}, Case{"favourite-recall", {1}, "RFAVE 1"},
          Case{"favourite-recall", {6}, {}}, Case{"picture-reset", {}, "SPIRE"},
          Case{"picture-setting-reset", {4}, "SIMRE 4"}, Case{"picture-setting-reset", {5}, {}},
          Case{"osd-info", {}, "SOSDI"}, Case{"osd-reset", {}, "SOSDR"}, Case{"factory-reset", {}, "SDEF"},
          Case{"relink", {}, "SREL"}}) {
        const Action* action = find_action(c.action);
        ASSERT_NE(action, nullptr) << c.action;
        const auto line = action_line(*action, c.numbers);
        EXPECT_EQ(line, c.line) << c.action;
        if (line) {
            sim::Box box;
            const auto replies = box.handle_line(*line);
            EXPECT_EQ(replies.empty() ? "" : replies.front().substr(0, action->ack.size()), action->ack)
                << *line;
        }
    }
}

} // namespace
} // namespace wc
