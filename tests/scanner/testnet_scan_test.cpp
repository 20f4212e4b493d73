// The scanner end to end on a private namespace network: real interfaces, a
// real neighbour table and real silence from absent hosts.

#include "test_network.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace wc::test {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::stringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

// Our links, counted in the root namespace: the test network must add none there.
int our_root_links() {
    const Ran links = run({"ip", "-o", "link", "show"});
    std::istringstream lines(links.out);
    int ours = 0;
    for (std::string line; std::getline(lines, line);) {
        ours += line.find(": br0") != std::string::npos || line.find(": pc") != std::string::npos ||
                line.find(": box") != std::string::npos;
    }
    return ours;
}

// Boxes 1 and 3 and the box on the PC's second network listen; box 2 is on
// the network but refuses the port, so it must not be listed.
TEST(ScannerOnTestNetwork, FindsTheListeningBoxesOfBothPcNetworks) {
    if (const std::string unavailable = TestNetwork::unavailable_reason(); !unavailable.empty()) {
        GTEST_SKIP() << "no test network here: " << unavailable;
    }
    const int links_before = our_root_links();
    TestNetwork net("ws" + std::to_string(getpid()), 3);
    EXPECT_EQ(our_root_links(), links_before) << "the test network leaked into the root namespace";
    net.restart_box(2, {"--refuse"});

    TempDir dir;
    const fs::path scanner = dir / fs::path(WALL_SCANNER).filename();
    fs::copy_file(WALL_SCANNER, scanner);
    std::ofstream(dir / "MAC.txt") << "an older and much longer list that must go entirely\r\n";
    // Started in its folder, as the console starts it in the folder of its files.
    const Ran scan = net.run_on_pc({"sh", "-c", "cd " + dir.path.string() + " && " + scanner.string()});

    ASSERT_EQ(scan.status, 0) << scan.out << scan.err;
    EXPECT_EQ(contents(dir / "MAC.txt"),
              TestNetwork::mac(1) + "\r\n" + TestNetwork::mac(3) + "\r\n" + TestNetwork::mac(0) + "\r\n");
    EXPECT_EQ(contents(dir / "IP.txt"), "192.168.001.020\r\n192.168.001.022\r\n192.168.002.030\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 3) << "no temporary file left behind";
}

} // namespace
} // namespace wc::test
