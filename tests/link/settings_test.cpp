#include "link/actions.h"
#include "link/reply_reader.h"
#include "link/settings.h"

#include <gtest/gtest.h>

namespace wc {
namespace {

// The value of the first reply in the text, as the console and wallctl read it.
std::optional<Value> decoded(const Setting& row, std::string_view text) {
    const auto replies = ReplyReader().feed(text);
    return replies.empty() ? std::nullopt : decode(row, replies.front());
}

// Values as scripts write them, the lines that set them and how they show;
// and values outside what a box takes, refused before anything is sent.
TEST(SettingsCatalogue, ScriptValuesBecomeTheConsolesLinesAndValuesABoxRefusesAreRefusedFirst) {
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"resolution", "native", "SRES 28", "Native"},
        {"gateway", "010.0.0.01", "SGAA 10.0.0.1", "10.0.0.1"},
        {"power", "ON", "SPOW 1", "on"},
        {"bezel.h", "255", "SBH 255", "255"},
        {"osd.timeout", "5", "SOSDT 5", "5"},
        {"osd.v", "20", "SOSDV 20", "20"},
        {"brightness.d", "0", "SBRI 4 0", "0"},
        {"ip", "0.0.0.0", "SIPA 0.0.0.0", "0.0.0.0"},
    };
    for (const auto& [name, typed, line, shown] : cases) {
        const Setting& row = *find_setting(name);
        const auto value = parse_value(row, typed);
        ASSERT_TRUE(value) << name << "=" << typed;
        EXPECT_EQ(set_line(row, *value), line);
        EXPECT_EQ(value_text(row, *value), shown);
    }
    const std::pair<const char*, const char*> refused[] = {
        {"bezel.h", "256"}, {"osd.timeout", "4"}, {"osd.timeout", "51"}, {"brightness.a", "101"},
        {"id", "-1"},       {"ip", "256.1.1.1"},  {"power", "maybe"},    {"resolution", "29"},
    };
    for (const auto& [name, typed] : refused) {
        EXPECT_FALSE(parse_value(*find_setting(name), typed)) << name << "=" << typed;
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
