#include "app/connect.h"
#include "link/replies.h"
#include "network/network.h"
#include "rig.h"
#include "system/power.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;

struct Network : ::testing::Test {
    Rig r{install_network, install_power};
};

TEST_F(Network, GetIpOnADhcpBoxShowsItsAddressesAndSendsNoModeBack) {
    r.online(
        3, reply_table(
               {{"RIPM", "IPMD001"},
                {"RLINK", address_reply({Octets{192, 168, 1, 20}, {255, 255, 255, 0}, {192, 168, 1, 1}})}}));
    r.f.btn_ip_get.user_click();
    r.finish();
    EXPECT_THAT(r.p.lines(0), ElementsAre("RIPM", "RLINK"));
    EXPECT_EQ(r.f.cbo_ip_type.text(), "DHCP");
    EXPECT_FALSE(r.f.txt_ip.enabled());
    EXPECT_FALSE(r.f.btn_ip_set.enabled());
    EXPECT_EQ(r.f.txt_ip.text(), "192.168.001.020");
    EXPECT_EQ(r.f.txt_net.text(), "255.255.255.000");
    EXPECT_EQ(r.f.txt_gate.text(), "192.168.001.001");
}

// The box joins its answer to "SIPM 1" and the re-link notice in one chunk.
TEST_F(Network, ChoosingDhcpEndsOnItsAnswerJoinedWithTheReLinkNotice) {
    r.online(3, reply_table({{"SIPM 1", "IPMD001\r\nRELI"}}));
    const auto start = r.p.now();
    r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
    r.f.cbo_ip_type.user_choose(1);
    r.finish();
    EXPECT_EQ(r.p.now(), start + 10);
}

// DHCP chosen while Get IP awaits a slow box goes out; the type the answer
// then shows is the box's own and does not.
TEST_F(Network, ATypeChosenWhileGetIpWaitsIsSent) {
    r.online(3, reply_table({{"RIPM", "IPMD000"}}, 1000));
    const auto seen =
        r.meanwhile([&] { r.f.btn_ip_get.user_click(); }, 500, [&] { r.f.cbo_ip_type.user_choose(1); });
    EXPECT_THAT(seen.lines, ElementsAre("RIPM", "SIPM 1", "RLINK"));
}

TEST_F(Network, SetIpStaticSendsEachLineAfterThePreviousAcknowledgementAndOnlyAsciiText) {
    std::vector<std::string> seen; // each line with the time since the click and the progress bar
    std::int64_t start = 0;
    r.online(3, [&](const std::string& line) {
        seen.push_back(line + " @" + std::to_string(r.p.now() - start) + " " +
                       (r.f.ProgressBar2.visible() ? std::to_string(r.f.ProgressBar2.value()) : "hidden"));
        static const std::map<std::string, std::string> acks = {
            {"SIPM", "IPMD000\r\n"}, {"SIPA", "IPA0\r\n"}, {"SMAA", "MAA0\r\n"}, {"SGAA", "GAA0\r\n"}};
        return std::vector<Chunk>{{acks.at(line.substr(0, 4)), 100}};
    });
    r.f.txt_ip.user_type("10.0.0.9\xc3\xa9"); // one non-ASCII character, one '?'
    r.f.txt_net.user_type("255.0.0.0");
    r.f.txt_gate.user_type("10.0.0.1\r\nSREL"); // cannot become a second command
    start = r.p.now();
    r.f.btn_ip_set.user_click();
    r.finish();
    EXPECT_THAT(seen, ElementsAre("SIPM 0 @0 0", "SIPA 10.0.0.9? @100 20", "SMAA 255.0.0.0 @200 50",
                                  "SGAA 10.0.0.1??SREL @300 80"));
    EXPECT_FALSE(r.f.ProgressBar2.visible());
    EXPECT_TRUE(r.f.btn_ip_relink.visible());
}

// An address write pressed while another waits for its box starts at once.
// One that writes the same step counter takes it over: the first ends where
// it was once the second is done. A DHCP choice waits on its own counter and
// both go on, each taking the answers to its own lines.
TEST(AddressWrites, OneStartedWhileAnotherWaitsIsSentAndTakesOverItsStep) {
    struct Case {
        std::function<void(Form1&)> act;
        std::vector<std::string> lines;
        std::int64_t ends_at;
        const char* type_shown;
    };
    const Case cases[] = {
        {[](Form1& f) { f.btn_ip_set.user_click(); },
         {"SIPM 0", "SIPM 0", "SIPA ", "SMAA ", "SGAA "},
         5000,
         ""},
        {[](Form1& f) { f.cbo_ip_type.user_choose(0); }, {"SIPM 0", "SIPM 0"}, 1000, "STATIC"},
        {[](Form1& f) { f.cbo_ip_type.user_choose(1); },
         {"SIPM 0", "SIPM 1", "SIPA ", "SMAA ", "SGAA "},
         5000,
         "DHCP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type_shown);
        Rig r{install_network};
        r.online(1, reply_table({{"SIPM 0", "IPMD000"},
                                 {"SIPM 1", "IPMD001"},
                                 {"SIPA ", "IPA0"},
                                 {"SMAA ", "MAA0"},
                                 {"SGAA ", "GAA0"}},
                                1000));
        const auto seen = r.meanwhile([&] { r.f.btn_ip_set.user_click(); }, 500, [&] { c.act(r.f); });
        EXPECT_EQ(seen.ended_ms, c.ends_at);
        EXPECT_EQ(seen.lines, c.lines);
        EXPECT_EQ(r.f.cbo_ip_type.text(), c.type_shown);
        EXPECT_FALSE(r.f.ProgressBar2.visible());
        EXPECT_TRUE(r.f.btn_ip_relink.visible());
    }
}

TEST_F(Network, ReLinkWaitsTheFullDelayEveryTimeThenGoesOffline) {
    r.online(3, {});
    r.p.at(500, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_ip_relink.user_click(); // cut short: its tick is left behind, the next re-link still waits
    r.finish();
    r.go_online(0);
    const auto start = r.p.now();
    r.f.btn_ip_relink.user_click();
    r.finish();
    EXPECT_EQ(r.p.now(), start + 2000);
    EXPECT_THAT(r.p.lines(0), ElementsAre("SREL"));
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Set re-link completed, please search MAC again !",
                                                    MsgIcon::information, MsgButtons::ok}));
    EXPECT_EQ(r.f.discon_flag, 1);
}

// Set IP pressed while a factory reset awaits DEFA: the DEFA is the reset's,
// not an acknowledgement of the address type, and the reset going offline
// ends the Set IP's wait.
TEST_F(Network, AnAcknowledgementActsOnlyForItsCounter) {
    r.online(3, reply_table({{"SDEF", "DEFA"}}, 1000));
    const auto start = r.p.now();
    r.p.at(100, [&] { r.f.btn_ip_set.user_click(); });
    r.f.btn_sys_fac_rst.user_click();
    r.finish();
    EXPECT_EQ(r.p.now(), start + 1000);
    EXPECT_THAT(r.p.lines(0), ElementsAre("SDEF", "SIPM 0"));
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Reset completed ! Please reconnect the ethernet !"));
    EXPECT_FALSE(r.f.ProgressBar2.visible());
    EXPECT_TRUE(r.f.btn_ip_relink.visible());
}

} // namespace
} // namespace wc::test
