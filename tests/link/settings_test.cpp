#include "link/actions.h"
#include "link/reply_reader.h"
#include "link/settings.h"
#include "sim/box.h"

#include <gtest/gtest.h>

namespace wc {
namespace {

// The value of the first reply in the text, as the console and wallctl read it.
std::optional<Value> decoded(const Setting& row, std::string_view text) {
    const auto replies = ReplyReader().feed(text);
    return replies.empty() ? std::nullopt : decode(row, replies.front());
}

// What the box answers to the catalogue's read line, through the catalogue's decoder.
std::optional<Value> read_back(sim::Box& box, const Setting& row) {
    for (const std::string& reply : box.handle_line(row.read)) {
        if (const auto value = decoded(row, reply)) {
            return value;
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
    if (row.layout() == ReplyLayout::address) {
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

// Names in any case, addresses with leading zeros; shown as scripts write them.
TEST(SettingsCatalogue, ScriptValuesBecomeTheConsolesLinesAndShowAsScriptsWriteThem) {
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"resolution", "native", "SRES 28", "Native"},
        {"gateway", "010.0.0.01", "SGAA 10.0.0.1", "10.0.0.1"},
        {"power", "ON", "SPOW 1", "on"},
    };
    for (const auto& [name, typed, line, shown] : cases) {
        const Setting& row = *find_setting(name);
        const auto value = parse_value(row, typed);
        ASSERT_TRUE(value) << name << "=" << typed;
        EXPECT_EQ(set_line(row, *value), line);
        EXPECT_EQ(value_text(row, *value), shown);
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
             Case{"power", "MODN001", {}},
             Case{"power", "", {}},
             Case{"bezel.h", "BHV255", 255},
             Case{"bezel.h", "BHV256", {}},
             Case{"osd.timeout", "OSDT004", {}},
             Case{"brightness.c", "OUT C: BRIV100", 100},
             Case{"brightness.c", "BRIV050", {}}, // the key only counts at 8
             Case{"brightness.c", "OUT C: BRIV05", {}},
             Case{"firmware", "VERS207", std::string("2.07")},
             Case{"firmware", "VERS1", {}},
             Case{"firmware", "VERSx15", {}},
             Case{"ip", link, std::string("10.0.0.5")},
             Case{"mask", link, std::string("255.255.255.0")},
             Case{"gateway", link, std::string("10.0.0.1")},
             Case{"gateway", link.substr(0, 80), {}},
             Case{"ip", "IP00256" + link.substr(7), {}},
             Case{"mask", std::string("IP00\0\0\0", 7), {}},
         }) {
        EXPECT_EQ(decoded(*find_setting(c.setting), c.reply), c.value)
            << c.setting << " \"" << c.reply << "\"";
    }
}

// Out of range or not of the action's count of numbers: no line.
TEST(Actions, LinesOutsideAnActionsNumbersAreRefused) {
    const std::pair<const char*, std::vector<int>> cases[] = {{"layout", {0, 4}},
                                                              {"layout", {3}},
                                                              {"hotkey", {24}},
                                                              {"favourite-recall", {6}},
                                                              {"picture-setting-reset", {5}}};
    for (const auto& [name, numbers] : cases) {
        EXPECT_EQ(action_line(*find_action(name), numbers), std::nullopt) << name;
    }
    EXPECT_EQ(action_line(*find_action("layout"), std::vector{3, 4}), "SMN 3 4 ");
}

} // namespace
} // namespace wc
