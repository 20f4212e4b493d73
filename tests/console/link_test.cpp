#include "console/link.h"
#include "rig.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;

struct Link : ::testing::Test {
    Rig r{};
    void SetUp() override {
        r.list_boxes(3);
        for (int k = 0; k < 3; ++k) {
            r.script_box(k, reply_table({{"RPOW", "POWE001"}}));
        }
    }
};

TEST_F(Link, SendAllWritesTheSameLineOnEveryListedSocketInOrderDroppingClosedOnes) {
    r.go_online(1);
    r.p.socket_close(1);
    send_all(r.c, "SHOT 3");
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SHOT 3"}, Sent{2, "SHOT 3"}));
    EXPECT_THAT(r.p.dropped(), ElementsAre(Sent{1, "SHOT 3"}));
    r.p.clear_records();
    send_one(r.c, "RPOW");
    EXPECT_THAT(r.p.dropped(), ElementsAre(Sent{1, "RPOW"})); // the selected box only
    EXPECT_TRUE(r.p.sent().empty());
}

TEST_F(Link, WaitReplyEndsWhenTheLinkIsTornDown) {
    r.go_online();
    std::uint8_t flag = 1;
    const auto start = r.p.now();
    r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
    wait_reply(r.c, flag, 2);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(r.f.discon_flag, 1);
    EXPECT_EQ(r.p.now(), start + 5000);
}

TEST_F(Link, CheckLinkOnADroppedBoxSaysSoAndRestoresTheNotConnectedLook) {
    r.go_online();
    r.f.window.set_caption("v1.15    FW: v1.15");
    r.f.power_ctl[0].set_visible(false);
    r.f.power_ctl[1].set_visible(true);
    r.p.drop(0);
    r.p.run_until_idle();
    EXPECT_FALSE(check_link(r.c));
    EXPECT_THAT(r.p.messages(),
                ElementsAre(Message{"Ethernet is disconnected !", MsgIcon::critical, MsgButtons::ok}));
    EXPECT_EQ(r.f.discon_flag, 1);
    EXPECT_FALSE(r.f.link_up);
    EXPECT_FALSE(r.f.net_config.enabled());
    EXPECT_EQ(r.f.window.caption(), "v1.15");
    EXPECT_EQ(r.f.btn_discon.back_color(), color::red);
    EXPECT_EQ(r.f.btn_con.back_color(), color::button_face);
    EXPECT_TRUE(r.f.power_ctl[0].visible());
    EXPECT_FALSE(r.f.power_ctl[1].visible());
    EXPECT_FALSE(r.f.power_ctl[0].enabled());
    for (Frame& page : r.f.frame_control) {
        EXPECT_FALSE(page.enabled());
    }
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(r.p.socket_state(k), SocketState::closed);
    }
    EXPECT_EQ(r.f.cbo_ipaddr.list_count(), 3); // the list survives
}

TEST_F(Link, DisconnectInsideConnectWaitEndsTheWaitAndStaysOffline) {
    r.p.add_box(Rig::address(0), BoxScript{true, false, 0, {}}); // never connects
    r.f.cbo_ipaddr.set_list_index(0);
    open_link(r.c, 0);
    r.f.Timer1.set_enabled(true);
    r.p.at(3000, [&] { r.f.btn_discon.user_click(); });
    EXPECT_FALSE(connect_wait(r.c));
    EXPECT_EQ(r.p.now(), 3000);
    EXPECT_NE(selected_state(r.c), SocketState::connected);
    EXPECT_TRUE(r.p.messages().empty());
}

TEST_F(Link, TimeoutAndConnectionInTheSameYieldStillCountAsConnected) {
    r.p.add_box(Rig::address(0), BoxScript{true, true, 15000, {}});
    r.f.cbo_ipaddr.set_list_index(0);
    open_link(r.c, 0);
    r.f.Timer1.set_enabled(true); // fires at 15000 too, after the connection
    EXPECT_TRUE(connect_wait(r.c));
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Connected error!"));
    EXPECT_EQ(r.p.messages()[0].icon, MsgIcon::exclamation);
    EXPECT_EQ(selected_state(r.c), SocketState::connected);
    EXPECT_FALSE(r.f.con_timeout);
}

TEST_F(Link, TimersAreOneShotFlags) {
    r.f.Timer2.set_enabled(true);
    r.p.run_until_idle();
    EXPECT_TRUE(r.f.relink_timeout);
    EXPECT_FALSE(r.f.Timer2.enabled());
    EXPECT_EQ(r.p.now(), 2000);
}

} // namespace
} // namespace wc::test
