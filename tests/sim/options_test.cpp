#include "sim/command_line.h"
#include "sim/options.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

using namespace std::chrono_literals;

std::variant<Options, std::string> parse(std::initializer_list<std::string_view> args) {
    return parse_options(std::vector<std::string_view>(args));
}

TEST(Options, BoxOptionsApplyToTheAddressThatFollowsThem) {
    const auto parsed = parse({"--state-dir", "/tmp/st", "--delay", "250", "--silent", "RPOW", "--silent",
                               "RMDN", "--mac", "aa:bb:cc:dd:ee:0f", "127.0.0.1:2323", "--split", "4",
                               "--join", "--close-after", "3", "127.0.0.2", "--refuse", "127.0.0.3:0"});
    ASSERT_TRUE(std::holds_alternative<Options>(parsed)) << std::get<std::string>(parsed);
    const Options& options = std::get<Options>(parsed);
    EXPECT_EQ(options.state_dir, "/tmp/st");
    ASSERT_EQ(options.boxes.size(), 3u);

    Faults first;
    first.delay = 250ms;
    first.silent = {"RPOW", "RMDN"};
    EXPECT_EQ(options.boxes[0], (BoxConfig{"127.0.0.1", 2323, "AA:BB:CC:DD:EE:0F", first}));

    Faults second;
    second.split = 4;
    second.join = true;
    second.close_after = 3;
    EXPECT_EQ(options.boxes[1], (BoxConfig{"127.0.0.2", 23, "02:57:41:4C:4C:02", second}));

    Faults third;
    third.refuse = true;
    EXPECT_EQ(options.boxes[2], (BoxConfig{"127.0.0.3", 0, "02:57:41:4C:4C:03", third}));
}

TEST(Options, MistakesAreReportedNotGuessed) {
    const std::vector<std::vector<std::string_view>> cases = {
        {},
        {"--state-dir", "/tmp"},
        {"127.0.0.1", "--join"},
        {"--fast", "127.0.0.1"},
        {"localhost:23"},
        {"127.0.0.1:65536"},
        {"127.0.0.1:x"},
        {"127.0.0.256"},
        {"--mac", "aa:bb:cc:dd:ee", "127.0.0.1"},
        {"--mac", "aa-bb-cc-dd-ee-ff", "127.0.0.1"},
        {"--delay", "-5", "127.0.0.1"},
        {"--close-after", "0", "127.0.0.1"},
        {"--split", "0", "127.0.0.1"},
        {"--silent", "", "127.0.0.1"},
        {"127.0.0.1", "--delay"},
    };
    for (const auto& args : cases) {
        const auto parsed = parse_options(args);
        EXPECT_TRUE(std::holds_alternative<std::string>(parsed))
            << (args.empty() ? "(none)" : std::string(args.front()));
    }
}

TEST(CommandLine, NumbersAreDigitsOnlyWithinTheirRange) {
    EXPECT_EQ(number_in("007", 0, 10), 7);
    EXPECT_EQ(number_in("255", 0, 255), 255);
    for (std::string_view text : {"", "256", "-1", "+1", " 1", "1 ", "1.0", "x", "99999999999"}) {
        EXPECT_FALSE(number_in(text, 0, 255)) << text;
    }
    const CommandLine command = split_command("SMN  3 2 ");
    EXPECT_EQ(command.word, "SMN");
    EXPECT_EQ(command.params, (std::vector<std::string_view>{"3", "2"}));
    EXPECT_EQ(dotted(*parse_dotted("010.000.000.001")), "10.0.0.1");
}

} // namespace
} // namespace sim
