#include "sim/box.h"
#include "sim/state_file.h"
#include "wallsim_process.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace sim::testing {
namespace {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "wallsim_test_XXXXXX").string();
        m_path = mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::map<std::string, std::string, std::less<>> read_state(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return parse_state(text.str());
}

TEST(Wallsim, ServesTwoBoxesEachWithItsOwnStateSharedByItsClients) {
    TempDir states;
    WallsimProcess wallsim(
        {"--state-dir", states.path().string(), "127.0.0.1:0", "--mac", "02:00:00:00:00:2b", "127.0.0.1:0"},
        2);
    ASSERT_EQ(wallsim.boxes().size(), 2u);
    const Listening& first = wallsim.boxes()[0];
    const Listening& second = wallsim.boxes()[1];
    EXPECT_EQ(first.address, "127.0.0.1");
    EXPECT_NE(first.port, 0);
    EXPECT_NE(second.port, first.port);
    EXPECT_EQ(first.mac, "02:57:41:4C:4C:01");
    EXPECT_EQ(second.mac, "02:00:00:00:00:2B");

    Client one(first.port);
    Client other(second.port);
    EXPECT_EQ(one.exchange("SBH 12"), "BHV012\r\n");
    EXPECT_EQ(one.exchange("RBRI 2"), "OUT B: BRIV050\r\n");
    EXPECT_EQ(other.exchange("RBH "), "BHV010\r\n");
    EXPECT_EQ(other.exchange("SIPM 1"), "IPMD001\r\n");
    EXPECT_EQ(other.reply(), "RELI\r\n");

    Client one_again(first.port);
    EXPECT_EQ(one_again.exchange("RBH "), "BHV012\r\n");
    EXPECT_EQ(one.exchange("RIPM"), "IPMD000\r\n");

    // The state file is written before the reply leaves, so it is current now.
    const auto state = read_state(states.path() / state_file_name("127.0.0.1", first.port));
    EXPECT_EQ(state.at("bezel_h"), "12");
    EXPECT_EQ(state.at("count.RBH"), "1");
    EXPECT_EQ(state.at("last_command"), "RIPM");
    EXPECT_EQ(read_state(states.path() / state_file_name("127.0.0.1", second.port)).at("ip_mode"), "1");

    const int status = wallsim.stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "SIGTERM ends wallsim cleanly";
}

TEST(Wallsim, BadClientsNeverStopTheBoxFromServingOthers) {
    WallsimProcess wallsim({"127.0.0.1:0"}, 1);
    ASSERT_EQ(wallsim.boxes().size(), 1u);
    const std::uint16_t port = wallsim.boxes()[0].port;
    Client good(port);
    Client bad(port);

    bad.send("no such command\r\n\x01\x02\xff\xfe garbage \r\n\n\r\n");
    bad.send(std::string("RP\0OW\r\nSBH\0 99\r\n", 16));
    bad.send(std::string(1024 * 1024, 'S') + "BH 77\r\n"); // one line of a megabyte, then more
    EXPECT_EQ(bad.exchange("RPOW"), "POWE001\r\n") << "the overlong line ended at its line end";
    EXPECT_EQ(good.exchange("RBH "), "BHV010\r\n");

    bad.send("SBH 5"); // and gone, mid-line
    bad.close_now();
    Client abrupt(port);
    abrupt.send(std::string(10000, '\0'));
    abrupt.close_now();

    EXPECT_EQ(good.exchange("RBH "), "BHV010\r\n");
    Client late(port);
    EXPECT_EQ(late.exchange("RMDN"), "MODN000\r\n");
}

TEST(Wallsim, RelinkEndsTheConnectionAfterAShortDelay) {
    WallsimProcess wallsim({"127.0.0.1:0"}, 1);
    ASSERT_EQ(wallsim.boxes().size(), 1u);
    Client client(wallsim.boxes()[0].port);
    const Clock::time_point sent = Clock::now();
    client.send("SREL\r\n");
    EXPECT_TRUE(client.closed_by_server());
    EXPECT_GE(Clock::now() - sent, relink_delay);

    Client next(wallsim.boxes()[0].port); // the box itself goes on
    EXPECT_EQ(next.exchange("RPOW"), "POWE001\r\n");
}

TEST(Wallsim, FaultsApplyToTheirOwnBoxOnly) {
    WallsimProcess wallsim({"--delay", "300", "--silent", "RPOW", "--close-after", "3", "127.0.0.1:0",
                            "--refuse", "127.0.0.1:0", "--split", "4", "--join", "127.0.0.1:0",
                            "127.0.0.1:0"},
                           4);
    ASSERT_EQ(wallsim.boxes().size(), 4u);

    Client slow(wallsim.boxes()[0].port);
    const Clock::time_point sent = Clock::now();
    slow.send("RPOW\r\nRMDN\r\n");
    EXPECT_EQ(slow.reply(), "MODN000\r\n") << "RPOW goes unanswered";
    EXPECT_GE(Clock::now() - sent, std::chrono::milliseconds(300));
    EXPECT_EQ(slow.exchange("RBEZ"), "BEZE000\r\n");
    EXPECT_TRUE(slow.closed_by_server()) << "closed after its third command";

    EXPECT_EQ(connect_error(wallsim.boxes()[1].port), ECONNREFUSED);

    Client shaped(wallsim.boxes()[2].port);
    EXPECT_EQ(shaped.exchange("SIPM 0"), "IPMD000\r\n");
    EXPECT_EQ(shaped.reply(), "RELI\r\n");

    Client plain(wallsim.boxes()[3].port);
    EXPECT_EQ(plain.exchange("RPOW"), "POWE001\r\n");
}

} // namespace
} // namespace sim::testing
