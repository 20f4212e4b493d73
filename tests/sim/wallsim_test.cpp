#include "sim/box.h"
#include "sim/connection.h"
#include "sim/reply_shaper.h"
#include "wallsim.h"

#include <gtest/gtest.h>
#include <memory>
#include <sys/wait.h>
#include <vector>

namespace sim::testing {
namespace {

TEST(Wallsim, BadClientsNeverStopTheBoxFromServingOthers) {
    WallsimProcess wallsim({"127.0.0.1:0"}, 1);
    ASSERT_EQ(wallsim.boxes().size(), 1u);
    const std::uint16_t port = wallsim.boxes()[0].port;
    Client good(port);
    auto bad = std::make_unique<Client>(port);
    bad->send("no such command\r\n\x01\x02\xff\xfe garbage \r\n\n\r\n");
    bad->send(std::string("RP\0OW\r\nSBH\0 99\r\n", 16));
    bad->send(std::string(1024 * 1024, 'S') + "BH 77\r\n"); // one line of a megabyte, then more
    EXPECT_EQ(bad->exchange("RPOW"), "POWE001") << "the overlong line ended at its line end";
    EXPECT_EQ(good.exchange("RBH "), "BHV010");
    bad->send("SBH 5"); // and gone, mid-line
    bad.reset();
    EXPECT_EQ(good.exchange("RBH "), "BHV010");
    Client late(port);
    EXPECT_EQ(late.exchange("RMDN"), "MODN000");
}

// Clients that send without reading are held to what their replies may queue
// up: the box goes on answering the others, and SIGTERM still ends wallsim.
// How fast it answers them meanwhile is scripts/bench's wallsim_flood.
TEST(Wallsim, FloodingClientsStopNobodyElse) {
    WallsimProcess wallsim({"127.0.0.1:0"}, 1);
    ASSERT_EQ(wallsim.boxes().size(), 1u);
    const std::uint16_t port = wallsim.boxes()[0].port;
    std::string flood;
    while (flood.size() < output_limit) {
        flood += "RLINK\r\n"; // 7 bytes that ask for 86
    }
    Client good(port);
    std::vector<std::unique_ptr<Client>> flooding;
    for (int i = 0; i < 200; ++i) {
        flooding.push_back(std::make_unique<Client>(port));
        flooding.back()->offer(flood);
    }
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(good.exchange("RVER"), "VERS207");
    }
    const int status = wallsim.stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "SIGTERM ends a loaded wallsim cleanly";
}

// Out of descriptors, wallsim leaves the next connection queued, serves the
// clients it has, and takes the queued one once one of them leaves.
TEST(Wallsim, WaitsForAFreeDescriptor) {
    constexpr unsigned descriptor_limit = 32;
    WallsimProcess wallsim({"127.0.0.1:0", "127.0.0.1:0"}, 2, descriptor_limit);
    ASSERT_EQ(wallsim.boxes().size(), 2u);
    Client first(wallsim.boxes()[0].port);
    std::vector<std::unique_ptr<Client>> clients;
    while (wallsim.descriptors() < descriptor_limit) {
        clients.push_back(std::make_unique<Client>(wallsim.boxes()[1].port));
        ASSERT_EQ(clients.back()->exchange("RMDN"), "MODN000");
    }
    Client queued(wallsim.boxes()[1].port);
    queued.send("RMDN\r\n");
    EXPECT_EQ(first.exchange("RPOW"), "POWE001") << "the clients it has are served";
    clients.pop_back();
    EXPECT_EQ(queued.reply(), "MODN000");
}

// The faults wallctl's tests meet (refused, silent and closing boxes, each box
// with the options before its address) show there; here what a client of
// wallsim sees and wallctl cannot.
TEST(Wallsim, AMacOfItsOwnShapedRepliesAndARelinkThatEndsTheConnection) {
    WallsimProcess wallsim(
        {"--mac", "02:00:00:00:00:2b", "127.0.0.1:0", "--split", "4", "--join", "127.0.0.1:0"}, 2);
    ASSERT_EQ(wallsim.boxes().size(), 2u);
    EXPECT_EQ(wallsim.boxes()[0].mac, "02:00:00:00:00:2B");
    Client client(wallsim.boxes()[0].port);
    client.send("SREL\r\n");
    EXPECT_EQ(client.reply(), "") << "the box ended the connection";
    Client shaped(wallsim.boxes()[1].port);
    EXPECT_EQ(shaped.exchange("RBH "), "BHV010")
        << "a lone reply waits for a partner, then leaves in two halves";
}

} // namespace
} // namespace sim::testing
