// The scanner end to end on a private namespace network made by scripts/testnet:
// real interfaces, a real neighbour table and real silence from absent hosts.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Runs a shell command to its end: its exit status and its output (with errors).
std::pair<int, std::string> run(const std::string& command) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    std::string output;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        output += static_cast<char>(c);
    }
    return {::pclose(pipe), output};
}

std::string contents(const fs::path& file) {
    std::stringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

// Everything under this test's own name prefix goes again, however the test ends.
struct TestNet {
    const std::string prefix = "ws" + std::to_string(::getpid());
    const fs::path dir = fs::temp_directory_path() / ("scanner-test-" + prefix);
    TestNet() { ::setenv("WALL_NET_PREFIX", prefix.c_str(), 1); }
    ~TestNet() {
        run(WALL_TESTNET " down"); // ends the boxes started in its namespaces
        for (FILE* box : boxes) {
            ::pclose(box);
        }
        fs::remove_all(dir);
    }
    std::vector<FILE*> boxes;
};

// Our links, counted in the root namespace: the test network must add none there.
constexpr const char* our_root_links = "ip -o link show | grep -cE ': (br0|pc[01]|box[0-9x]+|eth1)[@:]'";

TEST(ScannerOnTestNetwork, FindsTheListeningBoxesOfBothPcNetworksInTime) {
    TestNet net;
    if (const auto [status, output] = run(WALL_TESTNET " check"); status != 0) {
        GTEST_SKIP() << "no test network here: " << output;
    }
    const std::string links_before = run(our_root_links).second;
    const auto [up, up_output] = run(WALL_TESTNET " up 3");
    ASSERT_EQ(up, 0) << up_output;
    EXPECT_EQ(run(our_root_links).second, links_before) << "the test network leaked into the root namespace";

    // Boxes 1 and 3 and the box on the PC's second network listen; box 2 is on the
    // network but refuses the port, so it must not be listed.
    for (const auto& [box, address] :
         {std::pair{"1", "192.168.1.20"}, {"3", "192.168.1.22"}, {"x", "192.168.2.30"}}) {
        net.boxes.push_back(
            ::popen((std::string(WALL_TESTNET " run-box ") + box + " " WALLSIM " " + address).c_str(), "r"));
        char line[256] = "";
        ASSERT_TRUE(std::fgets(line, sizeof line, net.boxes.back()) &&
                    std::string(line).starts_with("listening"))
            << "box " << box << " did not start: " << line;
    }

    fs::create_directories(net.dir);
    const fs::path scanner = net.dir / fs::path(WALL_SCANNER).filename();
    fs::copy_file(WALL_SCANNER, scanner);
    std::ofstream(net.dir / "MAC.txt") << "an older and much longer list that must go entirely\r\n";
    const auto started = std::chrono::steady_clock::now();
    // Started in its folder, as the console starts it in the folder of its files.
    std::string command = "cd ";
    command += net.dir.string() + " && " WALL_TESTNET " run-pc " + scanner.string();
    const auto [scanned, scan_output] = run(command);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;

    ASSERT_EQ(scanned, 0) << scan_output;
    EXPECT_LT(elapsed.count(), 1.5) << "seconds for the scan";
    EXPECT_EQ(contents(net.dir / "MAC.txt"),
              "02:57:43:00:00:01\r\n02:57:43:00:00:03\r\n02:57:43:00:00:FF\r\n");
    EXPECT_EQ(contents(net.dir / "IP.txt"), "192.168.001.020\r\n192.168.001.022\r\n192.168.002.030\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(net.dir), {}), 3) << "no temporary file left behind";
}

} // namespace
