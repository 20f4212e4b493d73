#include "network/network.h"
#include "rig.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;

// An "IP00" reply: twelve fields, four unread characters between two.
std::string ip00(const std::vector<std::string>& fields) {
    std::string reply = "IP00";
    for (std::size_t k = 0; k < fields.size(); ++k) {
        reply += (k == 0 ? "" : " .. ") + fields[k];
    }
    return reply + "\r\n";
}

const std::string dhcp_box_address =
    ip00({"192", "168", "001", "020", "255", "255", "255", "000", "192", "168", "001", "001"});

struct Network : ::testing::Test {
    Rig r;
    void online(Responder box) {
        r.list_boxes(3);
        r.script_box(0, std::move(box));
        r.go_online(0);
    }
    void reply(std::string text) {
        r.p.arrive(0, std::move(text));
        r.p.run_until_idle();
    }
};

TEST_F(Network, GetIpOnADhcpBoxShowsItsAddressesAndSendsNoModeBack) {
    online(reply_table({{"RIPM", "IPMD001\r\n"}, {"RLINK", dhcp_box_address}}));
    r.f.btn_ip_get.user_click();
    EXPECT_THAT(r.p.lines(0), ElementsAre("RIPM", "RLINK"));
    EXPECT_EQ(r.f.cbo_ip_type.text(), "DHCP");
    for (Control* c :
         std::initializer_list<Control*>{&r.f.txt_ip, &r.f.txt_net, &r.f.txt_gate, &r.f.btn_ip_set}) {
        EXPECT_FALSE(c->enabled()) << c->name();
    }
    EXPECT_EQ(r.f.txt_ip.text(), "192.168.001.020");
    EXPECT_EQ(r.f.txt_net.text(), "255.255.255.000");
    EXPECT_EQ(r.f.txt_gate.text(), "192.168.001.001");
    EXPECT_EQ(r.f.ipget_step, 0);
    EXPECT_TRUE(r.p.messages().empty());
}

TEST_F(Network, AnUnknownTypeKeepsTheSelectionAndAShortReplyShowsWhatThereIs) {
    online(reply_table({{"RIPM", "IPMD007\r\n"}, {"RLINK", "IP00192 .. 16"}}));
    r.f.btn_ip_get.user_click();
    EXPECT_THAT(r.p.lines(0), ElementsAre("RIPM", "RLINK"));
    EXPECT_EQ(r.f.cbo_ip_type.list_index(), -1);
    EXPECT_EQ(r.f.txt_ip.text(), "192.16..");
    EXPECT_EQ(r.f.txt_net.text(), "...");
}

TEST_F(Network, SetIpStaticSendsEachLineAfterThePreviousAcknowledgement) {
    std::vector<std::int64_t> sent_at;
    std::vector<int> bar_at_send;
    std::int64_t start = 0;
    online([&](const std::string& line) {
        sent_at.push_back(r.p.now() - start);
        bar_at_send.push_back(r.f.ProgressBar2.visible() ? r.f.ProgressBar2.value() : -1);
        static const std::map<std::string, std::string> acks = {
            {"SIPM", "IPMD000"}, {"SIPA", "IPA0"}, {"SMAA", "MAA0"}, {"SGAA", "GAA0"}};
        return std::vector<Reply>{{acks.at(line.substr(0, 4)), 100}};
    });
    r.f.txt_ip.user_type("10.0.0.9");
    r.f.txt_net.user_type("255.0.0.0");
    r.f.txt_gate.user_type("10.0.0.1\r\nSREL"); // cannot become a second command
    start = r.p.now();
    r.f.btn_ip_set.user_click();
    EXPECT_THAT(r.p.lines(0),
                ElementsAre("SIPM 0", "SIPA 10.0.0.9", "SMAA 255.0.0.0", "SGAA 10.0.0.1??SREL"));
    EXPECT_THAT(sent_at, ElementsAre(0, 100, 200, 300));
    EXPECT_THAT(bar_at_send, ElementsAre(0, 20, 50, 80));
    EXPECT_EQ(r.f.ProgressBar2.value(), 0);
    EXPECT_FALSE(r.f.ProgressBar2.visible());
    EXPECT_TRUE(r.f.btn_ip_relink.visible());
    EXPECT_EQ(r.f.ipset_step, 0);
}

TEST_F(Network, AddressTypeChoicesSendTheModeAndWaitForItsAcknowledgement) {
    online(reply_table({{"SIPM 0", "IPMD000"}, {"SIPM 1", "IPMD001"}}, 300));
    const auto start = r.p.now();
    r.f.cbo_ip_type.user_choose(1);
    EXPECT_EQ(r.p.now(), start + 300);
    EXPECT_FALSE(r.f.txt_ip.enabled());
    EXPECT_EQ(r.f.ipmode_step, 0);
    btn_ip_set_Click(r.c); // DHCP: the mode only, no progress
    EXPECT_FALSE(r.f.ProgressBar2.visible());
    r.f.cbo_ip_type.user_choose(0);
    EXPECT_TRUE(r.f.btn_ip_set.enabled());
    EXPECT_EQ(r.f.ipset_step, 0);
    EXPECT_THAT(r.p.lines(0), ElementsAre("SIPM 1", "SIPM 1", "SIPM 0"));
    EXPECT_EQ(r.p.now(), start + 900);
}

TEST_F(Network, AcknowledgementsActOnlyForTheCounterThatAwaitsThem) {
    online({});
    reply("IPA0");
    reply("DEFA");
    EXPECT_EQ(r.f.ipset_step, 0);
    EXPECT_EQ(r.f.factory_step, 0);
    r.f.factory_step = 1;
    reply("DEFA");
    EXPECT_EQ(r.f.factory_step, 2);
    // One IPMD for the read-back and the mode write at once: each takes it.
    r.f.ipget_step = 1;
    r.f.ipmode_step = 1;
    reply("IPMD001");
    EXPECT_EQ(r.f.ipget_step, 2);
    EXPECT_EQ(r.f.ipmode_step, 2);
    EXPECT_TRUE(r.p.sent().empty());
}

TEST_F(Network, ReLinkWaitsTheFullDelayEveryTimeThenGoesOffline) {
    online({});
    auto start = r.p.now();
    r.f.btn_ip_relink.user_click();
    EXPECT_EQ(r.p.now(), start + 2000);
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Set re-link completed, please search MAC again !",
                                                    MsgIcon::information, MsgButtons::ok}));
    EXPECT_EQ(r.f.discon_flag, 1);
    // A re-link cut short by Disconnect leaves its tick behind; the next one still waits.
    r.go_online(0);
    r.p.at(500, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_ip_relink.user_click();
    r.go_online(0);
    start = r.p.now();
    r.f.btn_ip_relink.user_click();
    EXPECT_EQ(r.p.now(), start + 2000);
    EXPECT_THAT(r.p.lines(0), ElementsAre("SREL"));
    EXPECT_FALSE(r.f.relink_timeout);
}

TEST_F(Network, SetIpOnASilentBoxEndsWithDisconnectAndTidiesUp) {
    online({});
    r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_ip_set.user_click();
    EXPECT_THAT(r.p.lines(0), ElementsAre("SIPM 0"));
    EXPECT_EQ(r.p.dropped().size(), 3u);
    EXPECT_EQ(r.f.ipset_step, 0);
    EXPECT_FALSE(r.f.ProgressBar2.visible());
    EXPECT_TRUE(r.f.btn_ip_relink.visible());
}

TEST_F(Network, EveryActionOnALostLinkSaysSoAndSendsNothing) {
    for (Button* button : {&r.f.btn_ip_get, &r.f.btn_ip_set, &r.f.btn_ip_relink}) {
        online({});
        r.f.cbo_model.set_list_index(2);
        r.p.clear_records();
        r.p.drop(0);
        r.p.run_until_idle();
        button->user_click();
        EXPECT_THAT(r.p.messages(),
                    ElementsAre(Message{"Ethernet is disconnected !", MsgIcon::critical, MsgButtons::ok}))
            << button->name();
        EXPECT_TRUE(r.p.sent().empty());
        EXPECT_FALSE(r.f.link_up);
        EXPECT_EQ(r.f.cbo_model.list_index(), 2);
    }
}

} // namespace
} // namespace wc::test
