// The wallctl program as scripts run it, against wallsim boxes on loopback:
// exit statuses, output and what reached the boxes are the interface.

#include "link/settings.h"
#include "sim/state_file.h"
#include "wallctl/text_file.h"
#include "wallctl_process.h"
#include "wallsim_process.h"

#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>

namespace wallctl::testing {
namespace {

using sim::testing::Client;
using sim::testing::Listening;
using sim::testing::WallsimProcess;
using Json = nlohmann::json;
using Lines = std::vector<std::string>;

std::string text_of(const Listening& box) {
    return box.address + ":" + std::to_string(box.port);
}

Lines with_boxes(const WallsimProcess& wallsim, Lines args) {
    Lines all;
    for (const Listening& box : wallsim.boxes()) {
        all.insert(all.end(), {"-b", text_of(box)});
    }
    all.insert(all.end(), args.begin(), args.end());
    return all;
}

std::map<std::string, std::string, std::less<>> state_of(const TempDir& dir, const Listening& box) {
    return sim::parse_state(read_text(dir / sim::state_file_name(box.address, box.port)).value_or(""));
}

// The wallsim state key of a setting: "brightness.c" is "brightness.3", "osd.h" is "osd_h".
std::string state_key(std::string_view name) {
    static const std::map<std::string_view, std::string> keys{
        {"bezel", "bezel_switch"}, {"address-type", "ip_mode"}, {"ip", "ip_address"}, {"mask", "net_mask"}};
    if (const auto key = keys.find(name); key != keys.end()) {
        return key->second;
    }
    std::string key(name);
    if (key.size() > 2 && key[key.size() - 2] == '.' && key.back() >= 'a' && key.back() <= 'd') {
        key.back() = static_cast<char>('1' + (key.back() - 'a'));
    } else if (key.starts_with("bezel.") || key.starts_with("osd.")) {
        key[key.find('.')] = '_';
    }
    return key;
}

// The state's value as wallctl shows it.
std::string shown(const wc::Setting& row, const std::string& state) {
    const bool text = row.layout == wc::ReplyLayout::address || row.layout == wc::ReplyLayout::firmware;
    return text ? state : wc::value_text(row, std::stoi(state));
}

std::string shown(const Json& value) {
    return value.is_string() ? value.get<std::string>() : value.dump();
}

// The lines wallctl -v traced as sent, as the trace shows them.
Lines sent_lines(const std::string& trace) {
    Lines sent;
    const std::regex event(R"(^\d\d:\d\d:\d\d\.\d\d\d 127\.0\.0\.1:\d+ ([<>]) (.*)$)");
    for (const std::string_view line : text_lines(trace)) {
        std::cmatch match;
        EXPECT_TRUE(std::regex_match(line.begin(), line.end(), match, event)) << line;
        if (match.size() == 3 && match[1] == ">") {
            sent.push_back(match[2]);
        }
    }
    return sent;
}

TEST(Wallctl, StatusOfSeveralBoxesEqualsTheirStoredStateWhateverChunksTheRepliesComeIn) {
    TempDir dir;
    WallsimProcess wallsim({"--state-dir", dir.path().string(), "127.0.0.1:0", "--split", "3", "127.0.0.1:0",
                            "--join", "127.0.0.1:0"},
                           3);
    ASSERT_EQ(wallsim.boxes().size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        const std::string n = std::to_string(k + 1);
        Client box(wallsim.boxes()[k].port);
        // The answer to the last line says the box has taken them all.
        box.send("SRES " + n + "\r\nSBRI 3 7" + n + "\r\nSMDN " + n + "\r\nSOSDT 4" + n + "\r\nSIPA 10.0.0." +
                 n + "\r\n");
        ASSERT_EQ(box.reply(), "IPA0\r\n");
    }
    const Ran run = run_wallctl(with_boxes(wallsim, {"--json", "status"}));
    ASSERT_EQ(run.status, 0) << run.err;
    const Json boxes = Json::parse(run.out);
    ASSERT_EQ(boxes.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        const Json& box = boxes[k];
        EXPECT_EQ(box["box"], text_of(wallsim.boxes()[k]));
        EXPECT_EQ(box["ok"], true);
        const auto state = state_of(dir, wallsim.boxes()[k]);
        ASSERT_EQ(box["settings"].size(), wc::settings.size());
        for (const wc::Setting& row : wc::settings) {
            EXPECT_EQ(shown(box["settings"][std::string(row.name)]),
                      shown(row, state.at(state_key(row.name))))
                << box["box"] << " " << row.name;
        }
    }
    EXPECT_EQ(boxes[2]["settings"]["brightness.c"], 73) << "numbers as JSON numbers";
    EXPECT_EQ(boxes[2]["settings"]["resolution"], "800x600@60") << "names as strings";
}

TEST(Wallctl, SetSendsTheConsolesLinesAddressesLastVerifiesAndReLinksTheBox) {
    TempDir dir;
    WallsimProcess wallsim({"--state-dir", dir.path().string(), "127.0.0.1:0"}, 1);
    ASSERT_EQ(wallsim.boxes().size(), 1u);
    Ran run = run_wallctl(with_boxes(wallsim, {"-v", "set", "ip=10.0.0.5", "brightness.b=70", "osd.h=7",
                                               "resolution=1080p50", "power=off", "mute=on"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(sent_lines(run.err),
              (Lines{"SBRI 2 70\\r\\n", "SOSDH 7\\r\\n", "SRES 19\\r\\n", "SPOW 0\\r\\n", "SMUTE 1\\r\\n",
                     "SIPA 10.0.0.5\\r\\n", "RBRI 2\\r\\n", "ROSDH\\r\\n", "RRES\\r\\n", "RPOW\\r\\n",
                     "RMUTE\\r\\n", "RLINK\\r\\n", "SREL\\r\\n"}));
    EXPECT_NE(run.out.find("ok (re-linked)"), std::string::npos) << run.out;
    auto state = state_of(dir, wallsim.boxes()[0]);
    for (const auto& [key, value] : std::map<std::string, std::string>{{"brightness.2", "70"},
                                                                       {"osd_h", "7"},
                                                                       {"resolution", "19"},
                                                                       {"power", "0"},
                                                                       {"mute", "1"},
                                                                       {"ip_address", "10.0.0.5"}}) {
        EXPECT_EQ(state[key], value) << key;
    }

    // Nothing is read after the address type: the box re-links on it. Its echo is the check.
    run = run_wallctl(with_boxes(wallsim, {"-v", "set", "address-type=dhcp", "bezel.h=12"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(sent_lines(run.err), (Lines{"SBH 12\\r\\n", "RBH \\r\\n", "SIPM 1\\r\\n"}));
    EXPECT_EQ(state_of(dir, wallsim.boxes()[0])["ip_mode"], "1");
}

TEST(Wallctl, ASnapshotAppliedToAnotherBoxLeavesNoDifferenceNetworkAndIdOnlyWhenAsked) {
    TempDir dir;
    WallsimProcess wallsim({"127.0.0.1:0", "127.0.0.1:0"}, 2);
    ASSERT_EQ(wallsim.boxes().size(), 2u);
    const std::string from = text_of(wallsim.boxes()[0]);
    const std::string to = text_of(wallsim.boxes()[1]);
    Client box(wallsim.boxes()[0].port);
    box.send("SBRI 1 9\r\nSRES 28\r\nSMDN 7\r\nSBEZ 1\r\nSOSDT 30\r\nSMUTE 1\r\nSHUE 4 100\r\nSGAA "
             "10.1.2.254\r\n");
    ASSERT_EQ(box.reply(), "GAA0\r\n");

    const std::string file = (dir / "wall.json").string();
    ASSERT_EQ(run_wallctl({"-b", from, "snapshot", "-o", file}).status, 0);
    Ran run = run_wallctl({"-b", to, "apply", file});
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    run = run_wallctl({"-b", from, "-b", to, "diff"});
    EXPECT_EQ(run.status, 0);
    Lines rows;
    for (const std::string_view line : text_lines(run.out)) {
        rows.emplace_back(line.substr(0, line.find(' ')));
    }
    EXPECT_EQ(rows, (Lines{"setting", "id", "gateway"})) << run.out;

    ASSERT_EQ(run_wallctl({"-b", to, "apply", "--with-network", "--with-id", file}).status, 0);
    run = run_wallctl({"-b", from, "-b", to, "diff"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
}

TEST(Wallctl, BoxesThatFailGiveExitStatus2WithTheirReasonsWhileTheOthersSucceed) {
    WallsimProcess wallsim({"127.0.0.1:0", "--refuse", "127.0.0.1:0", "--silent", "RPOW", "127.0.0.1:0",
                            "--close-after", "2", "127.0.0.1:0"},
                           4);
    ASSERT_EQ(wallsim.boxes().size(), 4u);
    const Ran run = run_wallctl(with_boxes(wallsim, {"--json", "--timeout", "500", "status"}));
    EXPECT_EQ(run.status, 2);
    const Json boxes = Json::parse(run.out);
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0]["ok"], true);
    EXPECT_EQ(boxes[0]["settings"].size(), wc::settings.size());
    const std::string reasons[] = {"", "cannot connect: Connection refused",
                                   "no answer to \"RPOW\" within 500 ms",
                                   "the box closed the connection before answering \"RVER\""};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(boxes[k]["error"], reasons[k]) << k;
        EXPECT_EQ(boxes[k]["ok"], reasons[k].empty()) << k;
    }
    const Ran table = run_wallctl(with_boxes(wallsim, {"--timeout", "500", "get", "power"}));
    EXPECT_EQ(table.status, 2);
    EXPECT_NE(table.out.find(text_of(wallsim.boxes()[2]) + "  failed: no answer to \"RPOW\""),
              std::string::npos)
        << table.out;
}

TEST(Wallctl, BadUsageOrABadFileExitsWith1AndNothingReachesTheBox) {
    TempDir dir;
    WallsimProcess wallsim({"--state-dir", dir.path().string(), "127.0.0.1:0"}, 1);
    ASSERT_EQ(wallsim.boxes().size(), 1u);
    const std::string box = text_of(wallsim.boxes()[0]);
    const auto file = [&](const std::string& name, const std::string& text) {
        write_text(dir / name, text);
        return (dir / name).string();
    };
    const std::string boxes = file("boxes", box + "\nnot-a-box\n");
    const std::string over =
        file("over.json", R"({"format":"wallctl-snapshot","version":1,"settings":{"hue.a":101}})");
    const std::string newer =
        file("newer.json", R"({"format":"wallctl-snapshot","version":2,"settings":{}})");
    struct Case {
        Lines args;
        std::string input = {};
    };
    for (const Case& c : {Case{{"-b", box, "set", "brightness.a=101"}},
                          Case{{"-b", box, "set", "power=maybe"}},
                          Case{{"-b", box, "set", "osd.timeout=4"}},
                          Case{{"-b", box, "set", "ip=10.0.0.256"}},
                          Case{{"-b", box, "set", "firmware=1.16"}},
                          Case{{"-b", box, "set", "power=on", "power=off"}},
                          Case{{"-b", box, "set", "brightness.a=70", "nosuch=1"}},
                          Case{{"-b", box, "get", "nosuch"}},
                          Case{{"-b", box, "layout", "0x3"}},
                          Case{{"-b", box, "hotkey", "24"}},
                          Case{{"-b", box, "favourite", "save", "6"}},
                          Case{{"-b", box, "raw", "RPOW\r\nSDEF"}},
                          Case{{"-b", box, "apply", over}},
                          Case{{"-b", box, "apply", newer}},
                          Case{{"-b", box, "apply", (dir / "missing.json").string()}},
                          Case{{"--boxes", boxes, "status"}},
                          Case{{"-b", box, "--timeout", "0", "status"}},
                          Case{{"-b", box, "-b", box, "snapshot"}},
                          Case{{"-b", box, "frobnicate"}},
                          Case{{"status"}},
                          Case{{"-b", box, "factory-reset"}, "n\n"}}) {
        const Ran run = run_wallctl(c.args, c.input);
        EXPECT_EQ(run.status, 1) << c.args.back();
        EXPECT_FALSE(run.err.empty()) << c.args.back();
    }
    for (const auto& [key, value] : state_of(dir, wallsim.boxes()[0])) {
        EXPECT_FALSE(key.starts_with("count.")) << key << " reached the box";
    }
}

TEST(Wallctl, ActionsReachTheBoxAndRawShowsWhatComesBack) {
    TempDir dir;
    WallsimProcess wallsim({"--state-dir", dir.path().string(), "127.0.0.1:0"}, 1);
    ASSERT_EQ(wallsim.boxes().size(), 1u);
    struct Case {
        Lines args;
        std::map<std::string, std::string> state;
        std::string input = {};
    };
    for (const Case& c : {
             Case{{"layout", "3x4"}, {{"rows", "3"}, {"columns", "4"}}},
             Case{{"hotkey", "7"}, {{"hot_key", "7"}, {"rows", "3"}, {"columns", "2"}}},
             Case{{"favourite", "save", "2"}, {{"fav2.rows", "3"}}},
             Case{{"wall-reset"}, {{"rows", "1"}, {"hot_key", "0"}}},
             Case{{"favourite", "recall", "2"}, {{"rows", "3"}, {"hot_key", "7"}}},
             Case{{"power", "off"}, {{"power", "0"}}},
             Case{{"set", "brightness.d=3", "osd.gain=9"}, {{"brightness.4", "3"}, {"osd_gain", "9"}}},
             Case{{"picture-reset"}, {{"brightness.4", "50"}, {"osd_gain", "9"}}},
             Case{{"osd-reset"}, {{"osd_gain", "2"}, {"power", "0"}}},
             Case{{"factory-reset"}, {{"power", "1"}, {"rows", "1"}}, "y\n"},
         }) {
        const Ran run = run_wallctl(with_boxes(wallsim, c.args), c.input);
        EXPECT_EQ(run.status, 0) << c.args[0] << run.out << run.err;
        auto state = state_of(dir, wallsim.boxes()[0]);
        for (const auto& [key, value] : c.state) {
            EXPECT_EQ(state[key], value) << c.args[0] << " " << key;
        }
    }
    Ran run = run_wallctl(with_boxes(wallsim, {"--json", "--timeout", "300", "raw", "RPOW"}));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Json::parse(run.out)[0]["received"], Json::array({"POWE001"}));
    run = run_wallctl(with_boxes(wallsim, {"--timeout", "300", "raw", "SBEZ 1"}));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, text_of(wallsim.boxes()[0]) + "  ok\n") << "a line the box does not answer";
}

// The scanner's sweep is not the point here, its files are: a stand-in writes
// them into its working directory, as the scanner does. wallctl runs it from
// `scanner`, which must leave them in `files_dir`, and reads them back there.
void expect_scan_and_snapshot_mac(const std::filesystem::path& wallctl, const std::filesystem::path& scanner,
                                  const std::filesystem::path& files_dir) {
    std::filesystem::create_directories(wallctl.parent_path());
    std::filesystem::create_directories(scanner.parent_path());
    std::filesystem::copy_file(WALLCTL_PATH, wallctl);
    write_text(scanner, "#!/bin/sh\n"
                        "printf '02:57:41:4C:4C:01\\r\\n02:57:41:4C:4C:0A\\r\\n' >MAC.txt\n"
                        "printf '192.168.001.020\\r\\n127.000.000.001\\r\\n' >IP.txt\n");
    std::filesystem::permissions(scanner, std::filesystem::perms::owner_all);
    Ran run = run_wallctl({"scan"}, {}, wallctl.string());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "02:57:41:4C:4C:01  192.168.1.20\n02:57:41:4C:4C:0A  127.0.0.1\n");
    EXPECT_TRUE(std::filesystem::exists(files_dir / "IP.txt")) << files_dir;

    WallsimProcess wallsim({"127.0.0.1:0"}, 1);
    ASSERT_EQ(wallsim.boxes().size(), 1u);
    run = run_wallctl(with_boxes(wallsim, {"snapshot"}), {}, wallctl.string());
    ASSERT_EQ(run.status, 0) << run.err;
    const Json box = Json::parse(run.out)["box"];
    EXPECT_EQ(
        box,
        Json({{"address", text_of(wallsim.boxes()[0])}, {"mac", "02:57:41:4C:4C:0A"}, {"firmware", "1.15"}}));

    write_text(scanner, "#!/bin/sh\nexit 1\n");
    EXPECT_EQ(run_wallctl({"scan"}, {}, wallctl.string()).status, 2) << "a failed scanner";
}

TEST(Wallctl, InTheBuildFolderScanRunsTheScannerBesideItAndKeepsItsFilesThere) {
    TempDir dir;
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    expect_scan_and_snapshot_mac(dir / "wallctl", dir / "KRAV_TILESCOPE.exe", dir.path());
    EXPECT_FALSE(std::filesystem::exists(dir / "data"));
    ::unsetenv("XDG_DATA_HOME");
}

// Installed, the programs' folder belongs to root: the scanner is a helper in
// libexec and the files go to the user's folder, shared with the console.
TEST(Wallctl, InstalledScanRunsTheScannerFromLibexecAndKeepsItsFilesInTheUsersFolder) {
    TempDir dir;
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    expect_scan_and_snapshot_mac(dir / "bin/wallctl", dir / "libexec/wallconsole/KRAV_TILESCOPE.exe",
                                 dir / "data/wallconsole");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "bin"), {}), 1) << "wallctl alone";
    ::unsetenv("XDG_DATA_HOME");
}

} // namespace
} // namespace wallctl::testing
