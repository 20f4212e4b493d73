// wallctl's parts in-process: what the program tests on wallsim cannot show,
// as a box that answers as no well-behaved box would, and the exact text of
// the tables, messages and files.

#include "link/version.h"
#include "wallctl/arguments.h"
#include "wallctl/box_jobs.h"
#include "wallctl/closest_name.h"
#include "wallctl/majority.h"
#include "wallctl/output.h"
#include "wallctl/snapshot.h"
#include "wallctl/text_file.h"

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/read_until.hpp>
#include <asio/write.hpp>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>
#include <unistd.h>

namespace wallctl {
namespace {

using namespace std::string_literals;

Parsed parse(std::vector<std::string> args) {
    args.insert(args.begin(), "wallctl");
    std::vector<const char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    return parse_arguments(static_cast<int>(argv.size()), argv.data());
}

std::string temp_file(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + "wallctl_" + name + "_" + std::to_string(::getpid());
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(Arguments, BoxesComeFromRepeatedOptionsAndAFileOnPort23UnlessGiven) {
    const std::string file =
        temp_file("boxes", "# the wall\n127.0.0.1:2323\n\n  127.0.0.2   # spare\r\n\t\n");
    const Parsed parsed = parse({"-b", "127.0.0.9", "--boxes", file, "status", "-b", "127.0.0.10:99"});
    std::remove(file.c_str());
    ASSERT_TRUE(parsed.request) << parsed.err;
    EXPECT_EQ(parsed.request->boxes,
              (std::vector<BoxAddress>{
                  {"127.0.0.9", 23}, {"127.0.0.10", 99}, {"127.0.0.1", 2323}, {"127.0.0.2", 23}}));
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

TEST(Arguments, HelpListsTheSettingsAndVersionNamesTheProjectsVersionBothWithStatus0) {
    for (const auto& [arg, text] : {std::pair<std::string, std::string>{"--help", "osd.timeout   5..50\n"},
                                    {"--version", "wallctl " + std::string(wc::version) + "\n"}}) {
        const Parsed parsed = parse({arg});
        EXPECT_FALSE(parsed.request);
        EXPECT_EQ(parsed.exit_status, 0);
        EXPECT_NE(parsed.out.find(text), std::string::npos) << parsed.out;
    }
}

// Every usage error says what was wrong and, where it can, what was meant.
TEST(Arguments, UsageErrorsNameTheFix) {
    const std::string empty = temp_file("empty", "# no boxes yet\n");
    const std::string bad = temp_file("bad", "127.0.0.1\nnot-a-box\n");
    const std::string dir = ::testing::TempDir();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"set", "brightness.a", "70"}, "set takes SETTING=VALUE: write brightness.a=70"},
        {{"set", "power"}, "\"power\" is no SETTING=VALUE, such as power=on"},
        {{"set", "brigthness.a=70"},
         "no setting \"brigthness.a\"; did you mean brightness.a? (wallctl --help lists them)"},
        {{"get", "resolutoin"},
         "no setting \"resolutoin\"; did you mean resolution? (wallctl --help lists them)"},
        {{"stat"}, "no command \"stat\"; did you mean status? (wallctl --help lists them)"},
        {{"--timeout", "9", "satus"},
         "no command \"satus\"; did you mean status? (wallctl --help lists them)"},
        {{"frobnicate"}, "no command \"frobnicate\" (wallctl --help lists them)"},
        {{"--timeout", "2x", "status"},
         "--timeout takes milliseconds, such as 2000, or seconds, such as 2s, up to 600s; not \"2x\""},
        {{"--deadline", "0", "status"},
         "--deadline takes milliseconds, such as 2000, or seconds, such as 2s, up to 86400s; not \"0\""},
        {{"favourite", "save", "9"}, "favourite save takes 1..5"},
        {{"status", "--bogus"},
         "The following argument was not expected: --bogus (wallctl --help tells more)"},
        {{"--boxes", dir, "status"}, "cannot read " + dir + ": Is a directory"},
        {{"--boxes", dir + "/nofile", "status"}, "cannot read " + dir + "/nofile: No such file or directory"},
        {{"--boxes", empty, "status"}, empty + " lists no boxes"},
        {{"--boxes", "-", "apply", "-"}, "standard input can give the boxes or the snapshot, not both"},
        {{"--boxes", bad, "status"}, bad + ", line 2: \"not-a-box\" is no ADDR[:PORT]"},
        {{"set", "firmware=1.16"}, "firmware is read only"},
        {{"set", "power=on", "power=off"}, "power is given twice"},
        {{"set", "brightness.a=101"}, "brightness.a=101: brightness.a takes 0..100"},
        {{"layout", "0x3"}, "layout takes 1..15"},
        {{"hotkey", "24"}, "hotkey takes 0..23"},
        {{"raw", "RPOW\r\nSDEF"}, "the line holds a line break or a byte that is not printable ASCII"},
        {{"--timeout", "0", "status"},
         "--timeout takes milliseconds, such as 2000, or seconds, such as 2s, up to 600s; not \"0\""},
        {{"-b", "127.0.0.2", "snapshot"}, "snapshot reads exactly one box"},
    };
    for (const auto& [args, message] : cases) {
        std::vector<std::string> all{"-b", "127.0.0.1"};
        all.insert(all.end(), args.begin(), args.end());
        const Parsed parsed = parse(all);
        EXPECT_FALSE(parsed.request) << message;
        EXPECT_EQ(parsed.exit_status, 1);
        EXPECT_EQ(parsed.err, "wallctl: " + message + "\n");
    }
    std::remove(empty.c_str());
    std::remove(bad.c_str());
    EXPECT_EQ(parse({"status"}).err, "wallctl: no boxes: give -b ADDR[:PORT] or --boxes FILE\n");
}

TEST(Arguments, TimesTakeMillisecondsOrSecondsAndRawJoinsItsWords) {
    const Parsed parsed =
        parse({"-b", "127.0.0.1", "--timeout", "2s", "--deadline", "1500ms", "raw", "SBRI", "2", "70"});
    ASSERT_TRUE(parsed.request) << parsed.err;
    EXPECT_EQ(parsed.request->timeout, std::chrono::milliseconds(2000));
    EXPECT_EQ(parsed.request->deadline, std::chrono::milliseconds(1500));
    EXPECT_EQ(parsed.request->line, "SBRI 2 70");
}

TEST(ClosestName, AUniquePrefixOrATypoWithinAThirdOfTheLengthIsTheNameMeant) {
    const std::string_view names[] = {"status", "set", "snapshot", "brightness.a", "brightness.b"};
    for (const auto& [typed, meant] :
         std::initializer_list<std::pair<std::string_view, std::string_view>>{{"stat", "status"},
                                                                              {"sanpshot", "snapshot"},
                                                                              {"brightnes.b", "brightness.b"},
                                                                              {"sett", "set"},
                                                                              {"bright", ""},
                                                                              {"snap", "snapshot"},
                                                                              {"xyz", ""},
                                                                              {"", ""},
                                                                              {"stop", ""},
                                                                              {"sxxxus", ""}}) {
        EXPECT_EQ(closest_name(typed, names).value_or(""), meant) << typed;
    }
}

using Answers = std::map<std::string, std::string>; // a line, and the bytes the box answers it with

// Answers each line it knows with its bytes, until the client hangs up.
class ScriptedBox {
public:
    explicit ScriptedBox(Answers answers)
        : m_thread([this, answers = std::move(answers)] {
              asio::ip::tcp::socket socket = m_acceptor.accept();
              asio::error_code error;
              std::string buffer;
              for (std::size_t size;
                   (size = asio::read_until(socket, asio::dynamic_buffer(buffer), "\r\n", error));
                   buffer.erase(0, size)) {
                  if (const auto answer = answers.find(buffer.substr(0, size - 2)); answer != answers.end()) {
                      asio::write(socket, asio::buffer(answer->second), error);
                  }
              }
          }) {}
    ~ScriptedBox() { m_thread.join(); }
    std::uint16_t port() const { return m_acceptor.local_endpoint().port(); }

private:
    asio::io_context m_io;
    asio::ip::tcp::acceptor m_acceptor{m_io, {asio::ip::make_address_v4("127.0.0.1"), 0}};
    std::thread m_thread; // last, so that it starts once the box listens
};

// Reads the settings named, or sets each to `value`.
Request asking(std::vector<const char*> names, std::optional<wc::Value> value = {}) {
    Request request;
    request.command = value ? Command::set : Command::get;
    for (const char* name : names) {
        if (value) {
            request.assignments.push_back({wc::find_setting(name), *value});
        } else {
            request.reads.push_back(wc::find_setting(name));
        }
    }
    return request;
}

TEST(BoxClient, NoiseAndUnaskedRepliesAreSkippedButAWrongAnswerFailsTheBoxWithItsReason) {
    struct Case {
        Answers answers;
        Request request;
        std::string error;
        std::vector<wc::Value> values = {};
    };
    for (Case c : {
             Case{{{"RPOW", "garbage\r\n\x01\xff\0\r\nMODN005\r\nPOWE000\r\n"s},
                   {"RBH ", "BHV012\r\nBHV099\r\n"}, // the left-over BHV099 is not taken for RBV
                   {"RBV ", "BVV013\r\n"}},
                  asking({"power", "bezel.h", "bezel.v"}),
                  "",
                  {0, 12, 13}},
             Case{{{"RPOW", "POWE9x9\r\nPOWE002\r\n"}},
                  asking({"power"}),
                  "\"RPOW\" was answered with \"POWE002\", which is no power"},
             Case{{{"RBRI 1", "OUT A: BRIV050\r\n"}},
                  asking({"brightness.a"}, 70),
                  "brightness.a reads back 50, not 70"},
             Case{{{"RIPM", "IPMD000\r\n"}, {"SIPM 1", "IPMD000\r\nRELI\r\n"}},
                  asking({"address-type"}, 1),
                  "address-type was answered with \"IPMD000\", not dhcp"},
         }) {
        ScriptedBox box(c.answers);
        c.request.boxes = {{"127.0.0.1", box.port()}};
        Progress progress(1, false);
        const BoxResult result = serve_boxes(c.request, job_for(c.request), progress).results.front();
        EXPECT_EQ(result.ok, c.error.empty());
        EXPECT_EQ(result.error, c.error);
        for (std::size_t k = 0; k < c.values.size(); ++k) {
            EXPECT_EQ(result.settings.at(k).value, c.values[k]) << k;
        }
    }
}

const wc::Setting* row(std::string_view name) {
    return wc::find_setting(name);
}

BoxResult answered(std::string address, int brightness, std::string ip) {
    BoxResult r;
    r.box = {std::move(address), 23};
    r.settings = {{row("power"), 1}, {row("brightness.a"), brightness}, {row("ip"), std::move(ip)}};
    return r;
}

BoxResult failed(std::string address) {
    BoxResult r;
    r.box = {std::move(address), 2323};
    r.ok = false;
    r.error = "cannot connect: Connection refused";
    return r;
}

Request command(Command which, std::vector<const wc::Setting*> reads = {}) {
    Request request;
    request.command = which;
    request.reads = std::move(reads);
    return request;
}

TEST(Output, TheTablesShowEveryBoxTheFailedOnesLastAndEachSettingsChange) {
    BoxResult relinked = answered("10.0.0.10", 70, "10.0.0.5");
    relinked.relinked = true;
    EXPECT_EQ(results_table(command(Command::status), {failed("10.0.0.9"), relinked}),
              "10.0.0.10:23  ok (re-linked)\n"
              "  power         on\n"
              "  brightness.a  70\n"
              "  ip            10.0.0.5\n"
              "10.0.0.9:2323  failed: cannot connect: Connection refused\n");

    BoxResult half = failed("10.0.0.8");
    half.error = "no answer to \"RPOW\" within 2000 ms";
    half.changes = {{row("brightness.a"), 70, 50, Change::sent}, {row("mute"), 0, 0, Change::unchanged}};
    Request set = command(Command::set);
    set.assignments = {{row("brightness.a"), 70}, {row("mute"), 0}, {row("power"), 1}};
    EXPECT_EQ(results_table(set, {half}), "10.0.0.8:2323  failed: no answer to \"RPOW\" within 2000 ms\n"
                                          "  brightness.a  50 -> 70  sent\n"
                                          "  mute          off       unchanged\n"
                                          "  power         ? -> on   not sent\n");
}

TEST(Output, DiffShowsOnlyTheSettingsOnWhichTheBoxesDifferAndThenTheFailedBoxes) {
    const std::vector<BoxResult> wall{answered("10.0.0.1", 50, "10.0.0.1"),
                                      answered("10.0.0.2", 50, "10.0.0.2"),
                                      answered("10.0.0.3", 50, "10.0.0.1"), failed("10.0.0.4")};
    const Request diff = command(Command::diff, {row("power"), row("brightness.a"), row("ip")});
    EXPECT_EQ(results_table(diff, wall), "setting  10.0.0.1:23  10.0.0.2:23  10.0.0.3:23\n"
                                         "ip       10.0.0.1     10.0.0.2     10.0.0.1\n"
                                         "10.0.0.4:2323  failed: cannot connect: Connection refused\n");
    EXPECT_EQ(nlohmann::json::parse(results_json(diff, wall))[1]["settings"],
              nlohmann::json({{"ip", "10.0.0.2"}}));
    EXPECT_TRUE(differences_found(diff, wall));
    Request with_file = diff;
    with_file.file = "wall.json";
    with_file.assignments = {{row("brightness.a"), 50}};
    with_file.reads = {row("brightness.a")};
    EXPECT_FALSE(differences_found(with_file, wall));
    EXPECT_EQ(results_table(with_file, {wall[0]}), "no differences\n");
}

// Whatever became of a box, its object has the command's keys.
TEST(Output, EachCommandsJsonHasItsKeysForEveryBoxNullWhereAValueIsAbsent) {
    BoxResult interrupted = failed("10.0.0.7");
    interrupted.interrupted = true;
    interrupted.error = "interrupted";
    const std::vector<BoxResult> wall{answered("10.0.0.1", 50, "10.0.0.1"), failed("10.0.0.4"), interrupted};
    Request set = command(Command::set);
    set.assignments = {{row("power"), 0}};
    const std::pair<Request, std::vector<std::string>> cases[] = {
        {command(Command::get, {row("power"), row("mute")}), {"box", "ok", "error", "settings"}},
        {set, {"box", "ok", "error", "relinked", "settings"}},
        {command(Command::diff, {row("brightness.a")}), {"box", "ok", "error", "settings"}},
        {command(Command::raw), {"box", "ok", "error", "received"}},
        {command(Command::action), {"box", "ok", "error"}},
    };
    for (const auto& [request, keys] : cases) {
        for (const nlohmann::ordered_json& box : nlohmann::ordered_json::parse(results_json(request, wall))) {
            std::vector<std::string> found;
            for (const auto& [key, value] : box.items()) {
                found.push_back(key);
            }
            EXPECT_EQ(found, keys) << box.dump();
        }
    }
    const auto get = nlohmann::ordered_json::parse(results_json(cases[0].first, wall));
    EXPECT_EQ(get[0]["settings"], nlohmann::ordered_json({{"power", "on"}, {"mute", nullptr}}));
    EXPECT_EQ(get[0]["error"], nullptr);
    EXPECT_EQ(get[2]["error"], "interrupted");
    EXPECT_EQ(nlohmann::ordered_json::parse(results_json(set, wall))[1]["settings"]["power"],
              nlohmann::ordered_json({{"before", nullptr}, {"wanted", "off"}, {"result", "not sent"}}));
    EXPECT_EQ(summary(wall), "1 ok, 1 failed, 1 interrupted\n");
}

// Two boxes against one make a majority; a tie makes none, and each value of a tie stands out.
TEST(Majority, TheValueMostBoxesHoldWinsATieMarksEveryValueAndAddressesAreNeverCompared) {
    const std::vector<SettingValue> a{
        {row("power"), 1}, {row("mute"), 0}, {row("ip"), std::string("10.0.0.1")}};
    const std::vector<SettingValue> b{
        {row("power"), 1}, {row("mute"), 1}, {row("ip"), std::string("10.0.0.2")}};
    const std::vector<SettingValue> c{{row("power"), 0}};
    const wc::Setting* rows[] = {row("power"), row("mute"), row("ip")};
    const std::vector<SettingValue>* wall[] = {&a, &b, &c};
    const Majority majority(rows, wall);
    EXPECT_EQ(*majority.value(*row("power")), wc::Value(1));
    EXPECT_TRUE(majority.differs(*row("power"), &c[0].value));
    EXPECT_FALSE(majority.differs(*row("power"), &a[0].value));
    EXPECT_EQ(majority.value(*row("mute")), nullptr);
    EXPECT_TRUE(majority.differs(*row("mute"), &a[1].value) && majority.differs(*row("mute"), &b[1].value));
    EXPECT_FALSE(majority.differs(*row("ip"), &b[2].value));
}

// That a good snapshot reads back, the program tests show by applying one.
TEST(Snapshot, ABadSnapshotSaysWhy) {
    std::string error;
    for (const auto& [text, reason] : std::initializer_list<std::pair<const char*, const char*>>{
             {"", "not a JSON object"},
             {"[1]", "not a JSON object"},
             {R"({"format":"other","version":1,"settings":{}})", "not a snapshot of format version 1"},
             {R"({"format":"wallctl-snapshot","version":2,"settings":{}})",
              "not a snapshot of format version 1"},
             {R"({"format":"wallctl-snapshot","version":1})", "no \"settings\" object"},
             {R"({"format":"wallctl-snapshot","version":1,"settings":{"firmware":"1.15"}})",
              "\"firmware\" is no setting that can be set"},
             {R"({"format":"wallctl-snapshot","version":1,"settings":{"power":1}})",
              "\"power\": 1 is no value of it"}}) {
        EXPECT_FALSE(parse_snapshot(text, error)) << text;
        EXPECT_EQ(error, reason);
    }
}

TEST(Scan, TheScannersFilesGiveMacAndAddressLineByLine) {
    std::string error;
    EXPECT_EQ(
        parse_scan_texts("02:57:41:4C:4C:01 extra\r\n02:57:41:4C:4C:02\r\n",
                         "192.168.001.020\r\n010.000.000.007\r\n", error),
        (std::vector<FoundBox>{{"02:57:41:4C:4C:01", "192.168.1.20"}, {"02:57:41:4C:4C:02", "10.0.0.7"}}));
    EXPECT_FALSE(parse_scan_texts("02:57:41:4C:4C:01\r\n", "", error));
    EXPECT_EQ(error, "MAC.txt has 1 lines, IP.txt 0");
    EXPECT_FALSE(parse_scan_texts("02:57:41:4C:4C:01\r\n", "192.168.1\r\n", error));
    EXPECT_EQ(error, "IP.txt line 1 is no address");
}

// As Qt's AppLocalDataLocation, so that installed wallctl and the console share the last scan.
TEST(Scan, TheUsersFolderIsInXdgDataHomeWhenThatIsAbsoluteElseInTheHomeFolder) {
    EXPECT_EQ(user_data_dir("/data/op", "/home/op").string(), "/data/op/wallconsole");
    for (const char* xdg : {"data", "", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(user_data_dir(xdg, "/home/op").string(), "/home/op/.local/share/wallconsole");
    }
}

} // namespace
} // namespace wallctl
