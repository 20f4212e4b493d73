// The scanner end to end on a private namespace network made by scripts/testnet:
// real interfaces, a real neighbour table and real silence from absent hosts.
#include "child_process.h"
#include "temp_dir.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <sstream>
#include <unistd.h>

namespace {

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::set<std::string> root_link_names() {
    const RunResult links = run_program({"ip", "-o", "link", "show"});
    std::set<std::string> names;
    std::istringstream lines(links.output);
    for (std::string line; std::getline(lines, line);) {
        // "4: eth0@if3: <...": the name sits between the first two colons.
        const std::size_t start = line.find(": ") + 2;
        names.insert(line.substr(start, line.find_first_of(":@", start) - start));
    }
    return names;
}

// The network of one test, under a prefix of its own; removed however the test ends.
class TestNet {
public:
    explicit TestNet(std::string prefix) : m_env{"WALL_NET_PREFIX=" + std::move(prefix)} {}
    ~TestNet() {
        if (m_up) {
            run_program({WALL_TESTNET, "down"}, m_env);
        }
    }
    TestNet(const TestNet&) = delete;
    TestNet& operator=(const TestNet&) = delete;

    RunResult check() const { return run_program({WALL_TESTNET, "check"}, m_env); }
    RunResult up(int boxes) {
        m_up = true;
        return run_program({WALL_TESTNET, "up", std::to_string(boxes)}, m_env);
    }
    std::vector<std::string> in_namespace(const std::string& box, std::vector<std::string> command) const {
        command.insert(command.begin(), {WALL_TESTNET, box == "pc" ? "run-pc" : "run-box"});
        if (box != "pc") {
            command.insert(command.begin() + 2, box);
        }
        return command;
    }
    const std::vector<std::string>& env() const { return m_env; }

private:
    std::vector<std::string> m_env;
    bool m_up = false;
};

TEST(ScannerOnTestNetwork, FindsTheListeningBoxesOfBothPcNetworksInTime) {
    TestNet net("ws" + std::to_string(::getpid()));
    const RunResult usable = net.check();
    if (!usable.succeeded()) {
        GTEST_SKIP() << "no test network here: " << usable.output;
    }
    const std::set<std::string> root_links_before = root_link_names();
    const RunResult up = net.up(3);
    ASSERT_TRUE(up.succeeded()) << up.output;

    // Nothing of the test network may appear in the root namespace.
    std::vector<std::string> added;
    std::ranges::set_difference(root_link_names(), root_links_before, std::back_inserter(added));
    for (const char* ours : {"br0", "pc0", "pc1", "box1", "box2", "box3", "boxx", "eth1"}) {
        EXPECT_EQ(std::ranges::count(added, ours), 0) << ours << " leaked into the root namespace";
    }

    // Boxes 1 and 3 and the box on the PC's second network listen; box 2 is present
    // on the network but refuses the port, so it must not be listed.
    std::vector<std::unique_ptr<ChildProcess>> boxes;
    for (const auto& [box, address] :
         {std::pair{"1", "192.168.1.20"}, {"3", "192.168.1.22"}, {"x", "192.168.2.30"}}) {
        boxes.push_back(
            std::make_unique<ChildProcess>(net.in_namespace(box, {BOX_LISTENER, address}), net.env()));
        const std::string line = boxes.back()->read_line();
        ASSERT_EQ(line.rfind("listening", 0), 0u) << "box " << box << " did not start: " << line;
    }

    const TempDir dir;
    const auto scanner = dir.path() / "KRAV_TILESCOPE.exe";
    std::filesystem::copy_file(WALL_SCANNER, scanner);
    const auto started = std::chrono::steady_clock::now();
    const RunResult scan = run_program(net.in_namespace("pc", {scanner.string()}), net.env());
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    RecordProperty("scan_seconds", std::to_string(elapsed.count()));
    std::printf("scanner run in the PC namespace took %.3f s\n", elapsed.count());

    ASSERT_TRUE(scan.succeeded()) << scan.output;
    EXPECT_LT(elapsed.count(), 1.5);
    EXPECT_EQ(contents(dir.path() / "MAC.txt"),
              "02:57:43:00:00:01\r\n02:57:43:00:00:03\r\n02:57:43:00:00:FF\r\n");
    EXPECT_EQ(contents(dir.path() / "IP.txt"), "192.168.001.020\r\n192.168.001.022\r\n192.168.002.030\r\n");
}

} // namespace
