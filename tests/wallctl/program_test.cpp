// The wallctl program as scripts run it, against wallsim boxes on loopback:
// exit statuses, output, what reached the boxes, and what signals and a
// stdout that takes nothing do to a run are the interface.

#include "sim/box_state.h"
#include "sim/state_file.h"
#include "wallctl/text_file.h"
#include "wallsim.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <unistd.h>

namespace wallctl {
namespace {

namespace fs = std::filesystem;
using sim::testing::Client;
using sim::testing::Listening;
using sim::testing::WallsimProcess;
using Json = nlohmann::json;
using Lines = std::vector<std::string>;

using wc::test::file_text;
using wc::test::put;
using wc::test::Ran;
using wc::test::Running;
using wc::test::TempDir;

// wallctl (or a copy of it) run to its end.
Ran run_wallctl(const Lines& args, const std::string& input = {}, const std::string& program = WALLCTL_PATH) {
    Lines argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    return wc::test::run(argv, input);
}

// wallctl running, its standard error read as it comes, its standard output
// into a file or into the descriptor given.
Running start_wallctl(const Lines& args, int out = -1) {
    Lines argv{WALLCTL_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    Running::Options options;
    options.watched = STDERR_FILENO;
    options.out = out;
    return Running(argv, options);
}

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
    return sim::parse_state(file_text(dir / sim::state_file_name(box.address, box.port)));
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

// What each setting of a set or apply came to, from its JSON.
std::map<std::string, std::string> results_of(const Json& box) {
    std::map<std::string, std::string> results;
    for (const auto& [name, setting] : box["settings"].items()) {
        results[name] = setting["result"];
    }
    return results;
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
    EXPECT_EQ(run.err, "9 ok, 3 failed\n");
    const Json boxes = Json::parse(run.out);
    ASSERT_EQ(boxes.size(), wallsim.boxes().size());
    const std::string reasons[] = {"cannot connect: Connection refused",
                                   "no answer to \"RPOW\" within 2000 ms",
                                   "the box closed the connection before answering \"RVER\""};
    for (int k = 1; k <= ok + 3; ++k) {
        const Json& box = boxes[k - 1];
        EXPECT_EQ(box["box"], text_of(wallsim.boxes()[k - 1]));
        EXPECT_EQ(box["ok"], k <= ok) << k;
        EXPECT_EQ(box["error"], k <= ok ? Json() : Json(reasons[k - ok - 1])) << k;
        // Every setting has its key, null where it was not read.
        EXPECT_EQ(box["settings"].size(), wc::settings.size());
        EXPECT_EQ(box["settings"]["firmware"], k <= ok ? Json(sim::BoxState{}.firmware) : Json()) << k;
        if (k <= ok) {
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

// get is a table of a row per box, those that failed last with their reason,
// and the count on stderr; raw fails a box that stays silent.
TEST(Wallctl, GetPrintsARowPerBoxFailuresLastAndRawFailsASilentBox) {
    WallsimProcess wallsim(
        {"--silent", "RPOW", "127.0.0.1:0", "127.0.0.1:0", "--refuse", "127.0.0.1:0", "127.0.0.1:0"}, 4);
    ASSERT_EQ(wallsim.boxes().size(), 4u);
    std::string listed;
    for (const Listening& box : wallsim.boxes()) {
        listed += text_of(box) + "\n";
    }
    const Ran run = run_wallctl({"--boxes", "-", "--timeout", "300", "get", "power", "brightness.a"}, listed);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "2 ok, 2 failed\n");
    const auto& b = wallsim.boxes();
    const std::string pad(text_of(b[0]).size() - 3, ' ');
    EXPECT_EQ(run.out, "box" + pad + "  power  brightness.a\n" + text_of(b[1]) + "  on     50\n" +
                           text_of(b[3]) + "  on     50\n" + text_of(b[0]) +
                           "  -      -             failed: no answer to \"RPOW\" within 300 ms\n" +
                           text_of(b[2]) +
                           "  -      -             failed: cannot connect: Connection refused\n");

    const Ran raw = run_wallctl(with_boxes(wallsim, {"--json", "--timeout", "300", "raw", "RPOW"}));
    EXPECT_EQ(raw.status, 2);
    const Json boxes = Json::parse(raw.out);
    EXPECT_EQ(boxes[0]["error"], "no answer to \"RPOW\" within 300 ms");
    EXPECT_EQ(boxes[0]["received"], Json::array());
    EXPECT_EQ(boxes[1]["received"], Json::array({"POWE001"}));
}

// set reads first and writes only what differs; the box re-links only when an
// address or the address type really changes.
TEST(Wallctl, SetWritesOnlyWhatDiffersVerifiesItAndReLinksOnlyForARealChange) {
    WallsimProcess wallsim({"127.0.0.1:0"}, 1);
    ASSERT_EQ(wallsim.boxes().size(), 1u);
    const Lines reads{"RLINK\\r\\n", "RBRI 2\\r\\n", "ROSDH\\r\\n",
                      "RRES\\r\\n",  "RPOW\\r\\n",   "RMUTE\\r\\n"};
    Lines all = reads;
    all.insert(all.end(), {"SBRI 2 70\\r\\n", "SOSDH 7\\r\\n", "SRES 19\\r\\n", "SPOW 0\\r\\n",
                           "SMUTE 1\\r\\n", "SIPA 10.0.0.5\\r\\n", "RBRI 2\\r\\n", "ROSDH\\r\\n",
                           "RRES\\r\\n", "RPOW\\r\\n", "RMUTE\\r\\n", "RLINK\\r\\n", "SREL\\r\\n"});
    const Lines network_reads{"RIPM\\r\\n", "RBH \\r\\n"};
    const struct {
        Lines args;
        Lines sent;
        std::string verdict;
    } stages[] = {
        {{"ip=10.0.0.5", "brightness.b=70", "osd.h=7", "resolution=1080p50", "power=off", "mute=on"},
         all,
         "ok (re-linked)"},
        {{"ip=10.0.0.5", "brightness.b=70", "osd.h=7", "resolution=1080p50", "power=off", "mute=on"},
         reads,
         "ok\n"},
        // Nothing is read after the address type: the box re-links on it. Its echo is the check.
        {{"address-type=dhcp", "bezel.h=12"},
         {"RIPM\\r\\n", "RBH \\r\\n", "SBH 12\\r\\n", "RBH \\r\\n", "SIPM 1\\r\\n"},
         "ok (re-linked)"},
        {{"address-type=dhcp", "bezel.h=12"}, network_reads, "ok\n"},
    };
    for (const auto& stage : stages) {
        Lines args{"-v", "set"};
        args.insert(args.end(), stage.args.begin(), stage.args.end());
        const Ran run = run_wallctl(with_boxes(wallsim, args));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(sent_lines(run.err), stage.sent);
        EXPECT_NE(run.out.find(stage.verdict), std::string::npos) << run.out;
    }
    EXPECT_NE(run_wallctl(with_boxes(wallsim, {"set", "bezel.h=12"})).out.find("bezel.h  12  unchanged"),
              std::string::npos);
}

// diff is a check (exit 3 while the boxes differ, from one another or from a
// snapshot); apply --dry-run only reads; apply leaves no difference, the
// network settings and the ID only when asked, and a second apply sends nothing.
TEST(Wallctl, ASnapshotAppliedToAnotherBoxLeavesNoDifferenceAndDiffExitsWith3WhileThereIsOne) {
    TempDir dir;
    WallsimProcess wallsim({"127.0.0.1:0", "127.0.0.1:0"}, 2);
    ASSERT_EQ(wallsim.boxes().size(), 2u);
    const std::string from = text_of(wallsim.boxes()[0]);
    const std::string to = text_of(wallsim.boxes()[1]);
    Client box(wallsim.boxes()[0].port);
    box.send("SBRI 1 9\r\nSRES 28\r\nSMDN 7\r\nSBEZ 1\r\nSOSDT 30\r\nSMUTE 1\r\nSHUE 4 100\r\nSGAA "
             "10.1.2.254\r\n");
    ASSERT_EQ(box.reply(), "GAA0");

    const std::string file = dir / "wall.json";
    ASSERT_EQ(run_wallctl({"-b", from, "snapshot", "-o", file}).status, 0);
    Ran run = run_wallctl({"-b", to, "diff", file});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "setting       " + file + "  " + to);
    run = run_wallctl({"-b", to, "-v", "--json", "apply", "--dry-run", file});
    EXPECT_EQ(run.status, 0);
    for (const std::string& line : sent_lines(run.err)) {
        EXPECT_EQ(line.front(), 'R') << line;
    }
    EXPECT_EQ(results_of(Json::parse(run.out)[0])["resolution"], "would change");

    const std::pair<Lines, Lines> stages[] = {
        {{}, {"setting", "id", "gateway"}}, {{"--with-network"}, {"setting", "id"}}, {{"--with-id"}, {"no"}}};
    for (const auto& [flags, rows] : stages) {
        Lines apply{"-b", to, "apply"};
        apply.insert(apply.end(), flags.begin(), flags.end());
        apply.push_back("-");
        const Ran applied = run_wallctl(apply, file_text(file));
        ASSERT_EQ(applied.status, 0) << applied.out << applied.err;
        const Ran diff = run_wallctl({"-b", from, "-b", to, "diff"});
        EXPECT_EQ(diff.status, rows.size() > 1 ? 3 : 0);
        Lines first_words;
        for (const std::string_view line : text_lines(diff.out)) {
            first_words.emplace_back(line.substr(0, line.find(' ')));
        }
        EXPECT_EQ(first_words, rows) << diff.out;
    }
    EXPECT_EQ(run_wallctl({"-b", to, "diff", file}).out, "no differences\n");
    run = run_wallctl({"-b", to, "-v", "apply", "--with-network", "--with-id", file});
    EXPECT_EQ(run.status, 0);
    for (const std::string& line : sent_lines(run.err)) {
        EXPECT_EQ(line.front(), 'R') << line;
    }
}

// A refusal ends wallctl with exit status 1 before anything reaches the box
// (what each refusal says, the parts tests show); then every action does reach it.
TEST(Wallctl, RefusalsSendNothingAndEachActionReachesTheBox) {
    TempDir dir;
    WallsimProcess wallsim({"--state-dir", dir.path.string(), "127.0.0.1:0"}, 1);
    ASSERT_EQ(wallsim.boxes().size(), 1u);
    const std::string box = text_of(wallsim.boxes()[0]);
    put(dir / "over.json", R"({"format":"wallctl-snapshot","version":1,"settings":{"hue.a":101}})");
    for (const auto& [args, input] : std::initializer_list<std::pair<Lines, std::string>>{
             {{"-b", box, "set", "brightness.a=101"}, ""},
             {{"-b", box, "apply", dir / "over.json"}, ""},
             {{"-b", box, "snapshot", "-o", dir / "no/such.json"}, ""},
             {{"-b", box, "factory-reset"}, "n\n"}}) {
        const Ran run = run_wallctl(args, input);
        EXPECT_EQ(run.status, 1) << args.back();
        EXPECT_NE(run.err.find("wallctl: "), std::string::npos) << args.back();
    }
    for (const auto& [key, value] : state_of(dir, wallsim.boxes()[0])) {
        EXPECT_FALSE(key.starts_with("count.")) << key << " reached the box";
    }

    struct Action {
        Lines args;
        std::map<std::string, std::string> state;
        std::string input = {};
        int status = 0;
    };
    for (const Action& a : {
             Action{{"layout", "3x4"}, {{"rows", "3"}, {"columns", "4"}}},
             Action{{"hotkey", "7"}, {{"hot_key", "7"}, {"rows", "3"}, {"columns", "2"}}},
             Action{{"favourite", "save", "2"}, {{"fav2.rows", "3"}}},
             Action{{"wall-reset"}, {{"rows", "1"}, {"hot_key", "0"}}},
             Action{{"favourite", "recall", "2"}, {{"rows", "3"}, {"hot_key", "7"}}},
             Action{{"power", "off"}, {{"power", "0"}}},
             // raw sends the words as one line; a box that does not answer it fails.
             Action{{"--timeout", "300", "raw", "SBRI", "4", "3"}, {{"brightness.4", "3"}}, "", 2},
             Action{{"picture-reset"}, {{"brightness.4", "50"}}},
             Action{{"set", "osd.gain=9"}, {{"osd_gain", "9"}}},
             Action{{"osd-reset"}, {{"osd_gain", "2"}, {"power", "0"}}},
             Action{{"factory-reset"}, {{"power", "1"}, {"rows", "1"}}, "y\n"},
             Action{{"power", "off"}, {{"power", "0"}}},
             Action{{"factory-reset", "--yes"}, {{"power", "1"}}},
         }) {
        const Ran run = run_wallctl(with_boxes(wallsim, a.args), a.input);
        EXPECT_EQ(run.status, a.status) << a.args[0] << run.out << run.err;
        auto state = state_of(dir, wallsim.boxes()[0]);
        for (const auto& [key, value] : a.state) {
            EXPECT_EQ(state[key], value) << a.args[0] << " " << key;
        }
    }
}

// Only an exchange that gets no answer within --timeout, or the run's
// --deadline, fails a box for time; a box that fails half-way shows what it changed.
TEST(Wallctl, ASlowBoxThatAnswersEveryLineInTimeNeverFailsAndAFailedOneShowsWhatItChanged) {
    TempDir dir;
    WallsimProcess wallsim({"--state-dir", dir.path.string(), "--delay", "100", "127.0.0.1:0",
                            "--close-after", "4", "127.0.0.1:0"},
                           2);
    ASSERT_EQ(wallsim.boxes().size(), 2u);
    // Every setting differs: each is read, sent and read back, far more than ten exchanges.
    const auto settings = [](int value) {
        Lines args{"--json", "set", "bezel.h=" + std::to_string(value), "bezel.v=" + std::to_string(value)};
        for (const wc::Setting& row : wc::settings) {
            if (row.layout() == wc::ReplyLayout::picture) {
                args.push_back(std::string(row.name) + "=" + std::to_string(value));
            }
        }
        return args;
    };
    Lines args = settings(70);
    args.insert(args.begin(), {"-b", text_of(wallsim.boxes()[0]), "--timeout", "400"});
    Ran run = run_wallctl(args);
    EXPECT_EQ(run.status, 0) << run.out;
    for (const auto& [name, result] : results_of(Json::parse(run.out)[0])) {
        EXPECT_EQ(result, "verified") << name;
    }
    args = settings(60);
    args.insert(args.begin(), {"-b", text_of(wallsim.boxes()[0]), "--deadline", "1s"});
    run = run_wallctl(args);
    EXPECT_EQ(run.status, 2) << run.out;
    EXPECT_EQ(Json::parse(run.out)[0]["error"], "the run's deadline of 1000 ms was reached");

    // The box closes the connection after the line that sets brightness.a.
    run = run_wallctl({"-b", text_of(wallsim.boxes()[1]), "--json", "set", "brightness.a=70", "power=off",
                       "contrast.a=70"});
    EXPECT_EQ(run.status, 2) << run.out;
    EXPECT_EQ(results_of(Json::parse(run.out)[0]),
              (std::map<std::string, std::string>{
                  {"brightness.a", "sent"}, {"power", "failed"}, {"contrast.a", "not sent"}}));
    EXPECT_EQ(state_of(dir, wallsim.boxes()[1])["brightness.1"], "70");
}

// A signal ends the run with every result so far, the boxes not done
// interrupted; the exchange under way ends first unless a second signal comes.
TEST(Wallctl, ASignalEndsTheRunWithEveryResultSoFarAndASecondOneEndsItAtOnce) {
    TempDir dir;
    WallsimProcess wallsim({"--state-dir", dir.path.string(), "--delay", "300", "127.0.0.1:0", "--silent",
                            "RPOW", "127.0.0.1:0"},
                           2);
    ASSERT_EQ(wallsim.boxes().size(), 2u);
    const std::string slow = text_of(wallsim.boxes()[0]);
    Running first = start_wallctl(
        {"-v", "--json", "--timeout", "60000", "-b", slow, "set", "brightness.a=70", "hue.a=70"});
    ASSERT_TRUE(first.await(slow + " > RBRI 1"));
    first.signal(SIGTERM);
    Ran run = first.finish();
    EXPECT_EQ(run.status, 143);
    Json box = Json::parse(run.out)[0];
    EXPECT_EQ(box["error"], "interrupted");
    EXPECT_EQ(box["settings"]["brightness.a"],
              Json({{"before", 50}, {"wanted", 70}, {"result", "not sent"}}));
    EXPECT_EQ(state_of(dir, wallsim.boxes()[0])["count.RBRI"], "1") << "the exchange under way ended";

    const std::string silent = text_of(wallsim.boxes()[1]);
    Running second = start_wallctl({"-v", "--timeout", "600s", "-b", silent, "-b", slow, "get", "power"});
    ASSERT_TRUE(second.await(silent + " > RPOW"));
    second.signal(SIGINT);
    // Signals sent together may arrive as one: the second goes once the first has been taken.
    ASSERT_TRUE(second.await("wallctl: interrupted: the exchanges under way end within 600000 ms"));
    second.signal(SIGINT);
    run = second.finish();
    EXPECT_EQ(run.status, 130);
    EXPECT_NE(run.out.find(silent + "  -      interrupted\n"), std::string::npos) << run.out;
}

// Lost output is an error, except for a reader that has gone, which ends the run quietly.
TEST(Wallctl, AFailedWriteToStdoutFailsTheRunButAClosedPipeEndsItQuietly) {
    WallsimProcess wallsim({"127.0.0.1:0"}, 1);
    ASSERT_EQ(wallsim.boxes().size(), 1u);
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    int pipe_ends[2];
    ASSERT_EQ(pipe2(pipe_ends, O_CLOEXEC), 0);
    close(pipe_ends[0]);
    for (const Lines& args :
         {Lines{"status"}, Lines{"snapshot"}, Lines{"--json", "get", "power"}, Lines{"--version"}}) {
        Ran run = start_wallctl(with_boxes(wallsim, args), full).finish();
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_EQ(run.err, "wallctl: write error: No space left on device\n");
        run = start_wallctl(with_boxes(wallsim, args), pipe_ends[1]).finish();
        EXPECT_EQ(run.status, 141) << args[0];
        EXPECT_EQ(run.err, "");
    }
    close(full);
    close(pipe_ends[1]);
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
        put(p.scanner, "#!/bin/sh\n"
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
                                                     {"firmware", sim::BoxState{}.firmware}}));
        put(p.scanner, "#!/bin/sh\nexit 1\n");
        EXPECT_EQ(run_wallctl({"scan"}, {}, p.wallctl.string()).status, 2) << "a failed scanner";
    }
    ::unsetenv("XDG_DATA_HOME");
}

} // namespace
} // namespace wallctl
