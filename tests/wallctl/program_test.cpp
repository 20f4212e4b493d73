// The wallctl program as scripts run it, against wallsim boxes on loopback:
// exit statuses, output and what reached the boxes are the interface.

#include "sim/state_file.h"
#include "wallctl/text_file.h"
#include "wallsim_process.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <sys/wait.h>
#include <unistd.h>

namespace wallctl {
namespace {

namespace fs = std::filesystem;
using sim::testing::Client;
using sim::testing::Listening;
using sim::testing::WallsimProcess;
using Json = nlohmann::json;
using Lines = std::vector<std::string>;

struct Ran {
    int status = -1; // the exit status; -1 when it did not exit
    std::string out;
    std::string err;
};

// Runs wallctl (or a copy of it) to its end, which its own time-outs bring about.
Ran run_wallctl(const Lines& args, const std::string& input = {}, const std::string& program = WALLCTL_PATH) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    // Files, not pipes: the child can write all it wants while the test waits for it to end.
    std::FILE* const files[] = {std::tmpfile(), std::tmpfile(), std::tmpfile()}; // stdin, stdout, stderr
    std::fputs(input.c_str(), files[0]);
    std::rewind(files[0]);
    const pid_t pid = fork();
    if (pid == 0) {
        for (int fd = 0; fd < 3; ++fd) {
            dup2(fileno(files[fd]), fd);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const auto text = [](std::FILE* file) {
        return read_text("/proc/self/fd/" + std::to_string(fileno(file))).value_or("");
    };
    Ran ran{WIFEXITED(status) ? WEXITSTATUS(status) : -1, text(files[1]), text(files[2])};
    for (std::FILE* file : files) {
        std::fclose(file);
    }
    return ran;
}

// A fresh directory, removed with everything in it at the end.
struct TempDir {
    fs::path path;
    TempDir() {
        std::string name = (fs::temp_directory_path() / "wallctl_test_XXXXXX").string();
        path = ::mkdtemp(name.data());
    }
    TempDir(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path operator/(const std::string& name) const { return path / name; }
};

std::string text_of(const Listening& box) {
    return box.address + ":" + std::to_string(box.port);
}

Lines with_boxes(const WallsimProcess& wallsim, const Lines& args) {
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

// The lines wallctl -v traced as sent, as the trace shows them.
Lines sent_lines(const std::string& trace) {
    Lines sent;
    for (const std::string_view line : text_lines(trace)) {
        if (const std::size_t at = line.find(" > "); at != std::string_view::npos) {
            sent.emplace_back(line.substr(at + 3));
        }
    }
    return sent;
}

// Each box shows its own state, however it frames its replies and whatever
// chunks they come in, or why it failed; the others succeed all the same.
TEST(Wallctl, StatusShowsEachBoxsStateInAnyDialectOrWhyItFailedAndAnyFailureGivesExitStatus2) {
    const std::vector<Lines> answering = {{},
                                          {"--split", "3"},
                                          {"--join"},
                                          {"--bytewise"},
                                          {"--line-end", "lf"},
                                          {"--line-end", "cr"},
                                          {"--line-end", "none"},
                                          {"--echo"},
                                          {"--banner", "Welcome to wall box 9", "--prompt", "> "}};
    Lines args;
    for (const Lines& options : answering) {
        args.insert(args.end(), options.begin(), options.end());
        args.push_back("127.0.0.1:0");
    }
    args.insert(args.end(), {"--refuse", "127.0.0.1:0", "--silent", "RPOW", "127.0.0.1:0", "--close-after",
                             "2", "127.0.0.1:0"});
    const int ok = static_cast<int>(answering.size());
    WallsimProcess wallsim(args, answering.size() + 3);
    ASSERT_EQ(wallsim.boxes().size(), answering.size() + 3);
    for (int k = 1; k <= ok; ++k) {
        const std::string n = std::to_string(k);
        Client box(wallsim.boxes()[k - 1].port);
        // The answer to the last line says the box has taken them all.
        box.send("SRES 3\r\nSBRI 3 7" + n + "\r\nSMDN " + n + "\r\nSIPA 10.0.0." + n + "\r\n");
        ASSERT_EQ(box.reply(), "IPA0");
    }
    // The default time-out: the box that joins replies waits for partners on every one.
    const Ran run = run_wallctl(with_boxes(wallsim, {"--json", "status"}));
    EXPECT_EQ(run.status, 2) << run.err;
    const Json boxes = Json::parse(run.out);
    ASSERT_EQ(boxes.size(), wallsim.boxes().size());
    const std::string reasons[] = {"cannot connect: Connection refused",
                                   "no answer to \"RPOW\" within 2000 ms",
                                   "the box closed the connection before answering \"RVER\""};
    for (int k = 1; k <= ok + 3; ++k) {
        const Json& box = boxes[k - 1];
        EXPECT_EQ(box["box"], text_of(wallsim.boxes()[k - 1]));
        EXPECT_EQ(box["ok"], k <= ok) << k;
        EXPECT_EQ(box["error"], k <= ok ? "" : reasons[k - ok - 1]) << k;
        if (k <= ok) {
            EXPECT_EQ(box["settings"].size(), wc::settings.size());
            // Numbers as JSON numbers, names as strings; the three addresses come in one reply.
            const Json some{{"brightness.c", 70 + k},     {"id", k},
                            {"resolution", "800x600@60"}, {"ip", "10.0.0." + std::to_string(k)},
                            {"mask", "255.255.255.0"},    {"gateway", "192.168.1.1"}};
            for (const auto& [name, value] : some.items()) {
                EXPECT_EQ(box["settings"][name], value) << k << " " << name;
            }
        }
    }
}

TEST(Wallctl, SetSendsTheConsolesLinesAddressesLastVerifiesAndReLinksTheBox) {
    WallsimProcess wallsim({"127.0.0.1:0"}, 1);
    ASSERT_EQ(wallsim.boxes().size(), 1u);
    Ran run = run_wallctl(with_boxes(wallsim, {"-v", "set", "ip=10.0.0.5", "brightness.b=70", "osd.h=7",
                                               "resolution=1080p50", "power=off", "mute=on"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(sent_lines(run.err),
              (Lines{"SBRI 2 70\\r\\n", "SOSDH 7\\r\\n", "SRES 19\\r\\n", "SPOW 0\\r\\n", "SMUTE 1\\r\\n",
                     "SIPA 10.0.0.5\\r\\n", "RBRI 2\\r\\n", "ROSDH\\r\\n", "RRES\\r\\n", "RPOW\\r\\n",
                     "RMUTE\\r\\n", "RLINK\\r\\n", "SREL\\r\\n"}));
    EXPECT_NE(run.out.find("ok (re-linked)"), std::string::npos) << run.out;

    // Nothing is read after the address type: the box re-links on it. Its echo is the check.
    run = run_wallctl(with_boxes(wallsim, {"-v", "set", "address-type=dhcp", "bezel.h=12"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(sent_lines(run.err), (Lines{"SBH 12\\r\\n", "RBH \\r\\n", "SIPM 1\\r\\n"}));
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
    ASSERT_EQ(box.reply(), "GAA0");

    const std::string file = (dir / "wall.json").string();
    ASSERT_EQ(run_wallctl({"-b", from, "snapshot", "-o", file}).status, 0);
    const std::pair<Lines, Lines> stages[] = {
        {{}, {"setting", "id", "gateway"}}, {{"--with-network"}, {"setting", "id"}}, {{"--with-id"}, {}}};
    for (const auto& [flags, rows] : stages) {
        Lines apply{"-b", to, "apply"};
        apply.insert(apply.end(), flags.begin(), flags.end());
        apply.push_back(file);
        const Ran applied = run_wallctl(apply);
        ASSERT_EQ(applied.status, 0) << applied.out << applied.err;
        const Ran diff = run_wallctl({"-b", from, "-b", to, "diff"});
        EXPECT_EQ(diff.status, 0);
        Lines first_words;
        for (const std::string_view line : text_lines(diff.out)) {
            first_words.emplace_back(line.substr(0, line.find(' ')));
        }
        EXPECT_EQ(first_words, rows) << diff.out;
    }
}

// Bad usage or a bad file ends wallctl with exit status 1 before anything
// reaches the box; then every action does reach it.
TEST(Wallctl, BadUsageSendsNothingAndEachActionReachesTheBoxAndRawShowsWhatComesBack) {
    TempDir dir;
    WallsimProcess wallsim({"--state-dir", dir.path.string(), "127.0.0.1:0"}, 1);
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
    for (const Case& c :
         {Case{{"-b", box, "set", "brightness.a=101"}}, Case{{"-b", box, "set", "power=maybe"}},
          Case{{"-b", box, "set", "firmware=1.16"}}, Case{{"-b", box, "set", "power=on", "power=off"}},
          Case{{"-b", box, "set", "brightness.a=70", "nosuch=1"}}, Case{{"-b", box, "get", "nosuch"}},
          Case{{"-b", box, "layout", "0x3"}}, Case{{"-b", box, "hotkey", "24"}},
          Case{{"-b", box, "favourite", "save", "6"}}, Case{{"-b", box, "raw", "RPOW\r\nSDEF"}},
          Case{{"-b", box, "apply", over}}, Case{{"-b", box, "apply", newer}},
          Case{{"-b", box, "apply", (dir / "missing.json").string()}}, Case{{"--boxes", boxes, "status"}},
          Case{{"-b", box, "--timeout", "0", "status"}}, Case{{"-b", box, "-b", box, "snapshot"}},
          Case{{"-b", box, "frobnicate"}}, Case{{"status"}}, Case{{"-b", box, "factory-reset"}, "n\n"}}) {
        const Ran run = run_wallctl(c.args, c.input);
        EXPECT_EQ(run.status, 1) << c.args.back();
        EXPECT_FALSE(run.err.empty()) << c.args.back();
    }
    for (const auto& [key, value] : state_of(dir, wallsim.boxes()[0])) {
        EXPECT_FALSE(key.starts_with("count.")) << key << " reached the box";
    }

    struct Action {
        Lines args;
        std::map<std::string, std::string> state;
        std::string input = {};
    };
    for (const Action& a : {
             Action{{"layout", "3x4"}, {{"rows", "3"}, {"columns", "4"}}},
             Action{{"hotkey", "7"}, {{"hot_key", "7"}, {"rows", "3"}, {"columns", "2"}}},
             Action{{"favourite", "save", "2"}, {{"fav2.rows", "3"}}},
             Action{{"wall-reset"}, {{"rows", "1"}, {"hot_key", "0"}}},
             Action{{"favourite", "recall", "2"}, {{"rows", "3"}, {"hot_key", "7"}}},
             Action{{"power", "off"}, {{"power", "0"}}},
             Action{{"set", "brightness.d=3", "osd.gain=9"}, {{"brightness.4", "3"}, {"osd_gain", "9"}}},
             Action{{"picture-reset"}, {{"brightness.4", "50"}, {"osd_gain", "9"}}},
             Action{{"osd-reset"}, {{"osd_gain", "2"}, {"power", "0"}}},
             Action{{"factory-reset"}, {{"power", "1"}, {"rows", "1"}}, "y\n"},
             Action{{"power", "off"}, {{"power", "0"}}},
             Action{{"factory-reset", "--yes"}, {{"power", "1"}}},
         }) {
        const Ran run = run_wallctl(with_boxes(wallsim, a.args), a.input);
        EXPECT_EQ(run.status, 0) << a.args[0] << run.out << run.err;
        auto state = state_of(dir, wallsim.boxes()[0]);
        for (const auto& [key, value] : a.state) {
            EXPECT_EQ(state[key], value) << a.args[0] << " " << key;
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
// them into its working directory, as the scanner does. wallctl runs it where
// the console would: beside it in the build folder, with its files there;
// installed, from libexec, with its files in the user's folder, which the
// console shares.
TEST(Wallctl, ScanRunsTheScannerWhereTheConsoleDoesAndASnapshotNamesTheMacItFound) {
    TempDir dir;
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    WallsimProcess wallsim({"127.0.0.1:0"}, 1);
    ASSERT_EQ(wallsim.boxes().size(), 1u);
    struct Place {
        fs::path wallctl, scanner, files;
        long beside; // files in wallctl's folder then, wallctl's own included
    };
    for (const Place& p : {Place{dir / "build/wallctl", dir / "build/KRAV_TILESCOPE.exe", dir / "build", 4},
                           Place{dir / "bin/wallctl", dir / "libexec/wallconsole/KRAV_TILESCOPE.exe",
                                 dir / "data/wallconsole", 1}}) {
        fs::create_directories(p.wallctl.parent_path());
        fs::create_directories(p.scanner.parent_path());
        fs::copy_file(WALLCTL_PATH, p.wallctl);
        write_text(p.scanner, "#!/bin/sh\n"
                              "printf '02:57:41:4C:4C:01\\r\\n02:57:41:4C:4C:0A\\r\\n' >MAC.txt\n"
                              "printf '192.168.001.020\\r\\n127.000.000.001\\r\\n' >IP.txt\n");
        fs::permissions(p.scanner, fs::perms::owner_all);
        Ran run = run_wallctl({"scan"}, {}, p.wallctl.string());
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "02:57:41:4C:4C:01  192.168.1.20\n02:57:41:4C:4C:0A  127.0.0.1\n");
        EXPECT_TRUE(fs::exists(p.files / "IP.txt")) << p.files;
        EXPECT_EQ(std::distance(fs::directory_iterator(p.wallctl.parent_path()), {}), p.beside);

        run = run_wallctl(with_boxes(wallsim, {"snapshot"}), {}, p.wallctl.string());
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(Json::parse(run.out)["box"], Json({{"address", text_of(wallsim.boxes()[0])},
                                                     {"mac", "02:57:41:4C:4C:0A"},
                                                     {"firmware", "1.15"}}));
        write_text(p.scanner, "#!/bin/sh\nexit 1\n");
        EXPECT_EQ(run_wallctl({"scan"}, {}, p.wallctl.string()).status, 2) << "a failed scanner";
    }
    ::unsetenv("XDG_DATA_HOME");
}

} // namespace
} // namespace wallctl
