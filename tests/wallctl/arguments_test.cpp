#include "link/version.h"
#include "wallctl/arguments.h"
#include "wallctl/text_file.h"
#include "wallctl_process.h"

#include <gtest/gtest.h>

namespace wallctl::testing {
namespace {

Parsed parse(std::vector<std::string> args) {
    args.insert(args.begin(), "wallctl");
    std::vector<const char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    return parse_arguments(static_cast<int>(argv.size()), argv.data());
}

std::vector<std::string> names(const std::vector<Assignment>& assignments) {
    std::vector<std::string> list;
    for (const Assignment& a : assignments) {
        list.emplace_back(a.row->name);
    }
    return list;
}

TEST(Arguments, BoxesComeFromRepeatedOptionsAndAFileOnPort23UnlessGiven) {
    TempDir dir;
    write_text(dir / "wall", "# the wall\n127.0.0.1:2323\n\n  127.0.0.2   # spare\r\n\t\n");
    const Parsed parsed =
        parse({"-b", "127.0.0.9", "--boxes", (dir / "wall").string(), "status", "-b", "127.0.0.10:99"});
    ASSERT_TRUE(parsed.request) << parsed.err;
    EXPECT_EQ(parsed.request->boxes,
              (std::vector<BoxAddress>{
                  {"127.0.0.9", 23}, {"127.0.0.10", 99}, {"127.0.0.1", 2323}, {"127.0.0.2", 23}}));
    EXPECT_EQ(parsed.request->command, Command::status);
}

TEST(Arguments, AnAddressIsFourOctetsAndAPortFrom1To65535) {
    for (const char* good : {"127.0.0.1", "127.0.0.1:1", "10.0.0.255:65535", "010.0.0.1"}) {
        EXPECT_TRUE(parse_box_address(good)) << good;
    }
    for (const char* bad : {"", "localhost", "127.0.0.1:0", "127.0.0.1:65536", "127.0.0.1:", "127.0.0.1:+5",
                            "127.0.0.1:23:4", "127.0.0.256", "1.2.3", "1.2.3.4.5", ":23"}) {
        EXPECT_FALSE(parse_box_address(bad)) << bad;
    }
}

TEST(Arguments, CommandsBecomeTheConsolesLines) {
    struct Case {
        std::vector<std::string> args;
        std::string line;
        std::string_view ack;
    };
    for (const Case& c :
         {Case{{"layout", "3x4"}, "SMN 3 4 ", "MNC"}, Case{{"hotkey", "0"}, "SHOT 0", "HOTK"},
          Case{{"favourite", "recall", "5"}, "RFAVE 5", "RFAV"},
          Case{{"favourite", "save", "1"}, "SFAVE 1", ""}, Case{{"wall-reset"}, "SWDE", "WDEF"},
          Case{{"osd-reset"}, "SOSDR", "OSDR"}, Case{{"factory-reset", "--yes"}, "SDEF", "DEFA"},
          Case{{"raw", "SMN 3 4 "}, "SMN 3 4 ", ""}}) {
        std::vector<std::string> args{"-b", "127.0.0.1"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Parsed parsed = parse(args);
        ASSERT_TRUE(parsed.request) << c.line << parsed.err;
        EXPECT_EQ(parsed.request->line, c.line);
        EXPECT_EQ(parsed.request->ack, c.ack) << c.line;
        EXPECT_TRUE(parsed.request->confirmed);
    }
    EXPECT_FALSE(parse({"-b", "127.0.0.1", "factory-reset"}).request->confirmed) << "asks first";
    const Parsed power = parse({"-b", "127.0.0.1", "power", "off"});
    EXPECT_EQ(power.request->command, Command::set);
    EXPECT_EQ(power.request->assignments.front().value, wc::Value(0));
}

TEST(Arguments, ApplyTakesNetworkAndIdOnlyWhenAsked) {
    TempDir dir;
    write_text(dir / "snap",
               R"({"format": "wallctl-snapshot", "version": 1, "box": {"address": "127.0.0.1:23"},
        "settings": {"power": "on", "id": 3, "address-type": "static", "ip": "10.0.0.5", "mask": "255.0.0.0",
                     "gateway": "10.0.0.1", "brightness.a": 70}})");
    const std::string file = (dir / "snap").string();
    EXPECT_EQ(names(parse({"-b", "127.0.0.1", "apply", file}).request->assignments),
              (std::vector<std::string>{"power", "brightness.a"}));
    EXPECT_EQ(names(parse({"-b", "127.0.0.1", "apply", "--with-id", file}).request->assignments),
              (std::vector<std::string>{"power", "id", "brightness.a"}));
    EXPECT_EQ(names(parse({"-b", "127.0.0.1", "apply", "--with-network", file}).request->assignments),
              (std::vector<std::string>{"power", "address-type", "ip", "mask", "gateway", "brightness.a"}));
}

TEST(Arguments, HelpExitsWith0AndListsTheSettings) {
    const Parsed parsed = parse({"--help"});
    EXPECT_FALSE(parsed.request);
    EXPECT_EQ(parsed.exit_status, 0);
    EXPECT_NE(parsed.out.find("osd.timeout   5..50"), std::string::npos) << parsed.out;
}

TEST(Arguments, VersionExitsWith0AndNamesTheProjectsVersion) {
    const Parsed parsed = parse({"--version"});
    EXPECT_FALSE(parsed.request);
    EXPECT_EQ(parsed.exit_status, 0);
    EXPECT_EQ(parsed.out, "wallctl " + std::string(wc::version) + "\n");
}

} // namespace
} // namespace wallctl::testing
