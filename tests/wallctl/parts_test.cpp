// wallctl's parts in-process: what the program tests on wallsim cannot show,
// as a box that answers as no well-behaved box would, and the exact text of
// the tables, messages and files.

#include "link/version.h"
#include "wallctl/arguments.h"
#include "wallctl/box_jobs.h"
#include "wallctl/output.h"
#include "wallctl/snapshot.h"
#include "wallctl/text_file.h"

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/read_until.hpp>
#include <asio/write.hpp>
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

TEST(Arguments, BoxesComeFromRepeatedOptionsAndAFileOnPort23UnlessGiven) {
    const std::string file = ::testing::TempDir() + "wallctl_boxes_" + std::to_string(::getpid());
    write_text(file, "# the wall\n127.0.0.1:2323\n\n  127.0.0.2   # spare\r\n\t\n");
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
             Case{{{"SIPM 1", "IPMD000\r\nRELI\r\n"}},
                  asking({"address-type"}, 1),
                  "address-type was answered with \"IPMD000\", not dhcp"},
         }) {
        ScriptedBox box(c.answers);
        c.request.boxes = {{"127.0.0.1", box.port()}};
        const BoxResult result = serve_boxes(c.request, job_for(c.request)).front();
        EXPECT_EQ(result.ok, c.error.empty());
        EXPECT_EQ(result.error, c.error);
        for (std::size_t k = 0; k < c.values.size(); ++k) {
            EXPECT_EQ(result.settings.at(k).value, c.values[k]) << k;
        }
    }
}

BoxResult answered(std::string address, int brightness, std::string ip) {
    BoxResult r;
    r.box = {std::move(address), 23};
    r.settings = {{wc::find_setting("power"), 1},
                  {wc::find_setting("brightness.a"), brightness},
                  {wc::find_setting("ip"), std::move(ip)}};
    return r;
}

BoxResult failed(std::string address) {
    BoxResult r;
    r.box = {std::move(address), 2323};
    r.ok = false;
    r.error = "cannot connect: Connection refused";
    return r;
}

TEST(Output, TheTableHasABlockPerBoxWithItsVerdictOnItsFirstLine) {
    BoxResult relinked = answered("10.0.0.10", 70, "10.0.0.5");
    relinked.note = "re-linked";
    EXPECT_EQ(results_table({relinked, failed("10.0.0.9")}),
              "10.0.0.10:23   ok (re-linked)\n"
              "  power         on\n"
              "  brightness.a  70\n"
              "  ip            10.0.0.5\n"
              "10.0.0.9:2323  failed: cannot connect: Connection refused\n");
}

TEST(Output, DiffShowsOnlyTheSettingsOnWhichTheBoxesDifferAndThenTheFailedBoxes) {
    const std::vector<BoxResult> wall{answered("10.0.0.1", 50, "10.0.0.1"),
                                      answered("10.0.0.2", 50, "10.0.0.2"),
                                      answered("10.0.0.3", 50, "10.0.0.1"), failed("10.0.0.4")};
    EXPECT_EQ(diff_table(wall), "setting  10.0.0.1:23  10.0.0.2:23  10.0.0.3:23\n"
                                "ip       10.0.0.1     10.0.0.2     10.0.0.1\n"
                                "10.0.0.4:2323  failed: cannot connect: Connection refused\n");
    EXPECT_EQ(nlohmann::json::parse(diff_json(wall))[1]["settings"], nlohmann::json({{"ip", "10.0.0.2"}}));
}

// That a good snapshot reads back, the program tests show by applying one.
TEST(Snapshot, ABadSnapshotSaysWhy) {
    std::string error;
    for (const auto& [text, reason] : std::initializer_list<std::pair<const char*, const char*>>{
             {"", "not a JSON object"},
             {"[1]", "not a JSON object"},
             {R"({"format":"other","version":1,"settings":{}})", "not a snapshot of format version 1"},
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
