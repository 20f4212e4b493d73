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
    EXPECT_THAT(r.p.lines(0), ElementsAre("RIPM", "RLINK"));
    EXPECT_EQ(r.f.cbo_ip_type.text(), "DHCP");
    EXPECT_FALSE(r.f.txt_ip.enabled());
    EXPECT_FALSE(r.f.btn_ip_set.enabled());
    EXPECT_EQ(r.f.txt_ip.text(), "192.168.001.020");
    EXPECT_EQ(r.f.txt_net.text(), "255.255.255.000");
    EXPECT_EQ(r.f.txt_gate.text(), "192.168.001.001");
    EXPECT_EQ(r.f.ipget_step, 0);
}

// The box joins its answer to "SIPM 1" and the re-link notice in one chunk.
TEST_F(Network, ChoosingDhcpEndsOnItsAnswerJoinedWithTheReLinkNotice) {
    r.online(3, reply_table({{"SIPM 1", "IPMD001\r\nRELI"}}));
    const auto start = r.p.now();
    r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
    r.f.cbo_ip_type.user_choose(1);
    EXPECT_EQ(r.p.now(), start + 10);
}

// DHCP chosen while Get IP awaits a slow box goes out; the type the answer
// then shows is the box's own and does not.
TEST_F(Network, ATypeChosenWhileGetIpWaitsIsSent) {
    r.online(3, reply_table({{"RIPM", "IPMD000"}}, 1000));
    r.p.at(500, [&] { r.f.cbo_ip_type.user_choose(1); });
    r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_ip_get.user_click();
    EXPECT_THAT(r.p.lines(0), ElementsAre("RIPM", "SIPM 1", "RLINK"));
}

// Get IP or Refresh pressed while Get IP waits is refused without a word.
TEST(GetIp, AReadBackPressedWhileItWaitsIsRefusedAndItEndsOnItsAnswers) {
    for (auto press : {&Form1::btn_ip_get, &Form1::btn_sys_refresh}) {
        Rig r{install_network, install_connect};
        r.online(1, reply_table({{"RIPM", "IPMD001"}, {"RLINK", address_reply({})}}, 1000));
        const auto start = r.p.now();
        r.p.at(500, [&] { (r.f.*press).user_click(); });
        r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
        r.f.btn_ip_get.user_click();
        EXPECT_EQ(r.p.now(), start + 2000);
        EXPECT_THAT(r.p.lines(0), ElementsAre("RIPM", "RLINK"));
    }
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
    EXPECT_THAT(seen, ElementsAre("SIPM 0 @0 0", "SIPA 10.0.0.9? @100 20", "SMAA 255.0.0.0 @200 50",
                                  "SGAA 10.0.0.1??SREL @300 80"));
    EXPECT_FALSE(r.f.ProgressBar2.visible());
    EXPECT_TRUE(r.f.btn_ip_relink.visible());
    EXPECT_EQ(r.f.ipset_step, 0);
}

// Set IP pressed again, or a type chosen, while Set IP awaits a slow box is
// refused without a word; Set IP ends on its answers at 4,000 ms, and the
// window shows the type it wrote.
TEST(SetIp, AnotherAddressWriteWhileItWaitsIsRefusedAndItEndsOnItsAnswers) {
    // What is done meanwhile, and the type the list shows after.
    const std::pair<std::function<void(Form1&)>, const char*> cases[] = {
        {[](Form1& f) { f.btn_ip_set.user_click(); }, ""},
        {[](Form1& f) { f.cbo_ip_type.user_choose(0); }, "STATIC"},
        {[](Form1& f) { f.cbo_ip_type.user_choose(1); }, "STATIC"}};
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        SCOPED_TRACE(k);
        Rig r{install_network};
        r.online(1, reply_table({{"SIPM 0", "IPMD000"},
                                 {"SIPM 1", "IPMD001"},
                                 {"SIPA ", "IPA0"},
                                 {"SMAA ", "MAA0"},
                                 {"SGAA ", "GAA0"}},
                                1000));
        const auto start = r.p.now();
        r.p.at(500, [&] { cases[k].first(r.f); });
        r.p.at(9000, [&] { r.f.btn_discon.user_click(); });
        r.f.btn_ip_set.user_click();
        EXPECT_EQ(r.p.now(), start + 4000);
        EXPECT_THAT(r.p.lines(0), ElementsAre("SIPM 0", "SIPA ", "SMAA ", "SGAA "));
        EXPECT_EQ(r.f.cbo_ip_type.text(), cases[k].second)
            << "the type written, whatever was chosen meanwhile";
        EXPECT_TRUE(r.f.txt_ip.enabled());
    }
}

TEST_F(Network, ReLinkWaitsTheFullDelayEveryTimeThenGoesOffline) {
    r.online(3, {});
    r.p.at(500, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_ip_relink.user_click(); // cut short: its tick is left behind, the next re-link still waits
    r.go_online(0);
    const auto start = r.p.now();
    r.f.btn_ip_relink.user_click();
    EXPECT_EQ(r.p.now(), start + 2000);
    EXPECT_THAT(r.p.lines(0), ElementsAre("SREL"));
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Set re-link completed, please search MAC again !",
                                                    MsgIcon::information, MsgButtons::ok}));
    EXPECT_EQ(r.f.discon_flag, 1);
}

// Set IP pressed while a factory reset awaits DEFA: the DEFA is the reset's,
// not an acknowledgement of the address type.
TEST_F(Network, AnAcknowledgementActsOnlyForItsCounterAndDisconnectEndsTheWaitOnASilentBox) {
    r.online(3, reply_table({{"SDEF", "DEFA"}}, 1000));
    const auto start = r.p.now();
    r.p.at(100, [&] { r.f.btn_ip_set.user_click(); });
    r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_sys_fac_rst.user_click();
    EXPECT_EQ(r.p.now(), start + 5000);
    EXPECT_THAT(r.p.lines(0), ElementsAre("SDEF", "SIPM 0"));
    EXPECT_EQ(r.f.ipset_step, 0);
    EXPECT_FALSE(r.f.ProgressBar2.visible());
    EXPECT_TRUE(r.f.btn_ip_relink.visible());
    EXPECT_TRUE(r.f.btn_con.shown_enabled());
}

} // namespace
} // namespace wc::test
