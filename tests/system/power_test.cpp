#include "rig.h"
#include "sim_responder.h"
#include "system/power.h"
#include "system/status.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Power : ::testing::Test {
    Rig r;
    std::vector<bool> pressed_enabled_at_send;
    void SetUp() override {
        r.list_boxes(3);
        r.go_online(0);
    }
    // Box 0 answers SPOW with the given power state and notes whether the pressed button was usable.
    void box_answers(const char* power_reply, int pressed) {
        r.script_box(0, [this, power_reply, pressed](const std::string& line) {
            pressed_enabled_at_send.push_back(r.f.power_ctl[pressed].enabled());
            return line.rfind("SPOW", 0) == 0 ? std::vector<Reply>{{power_reply}} : std::vector<Reply>{};
        });
    }
    // As the status read leaves the window after an answer.
    void show(int button) {
        for (int k = 0; k < 3; ++k) {
            r.f.power_ctl[k].set_visible(k == button);
        }
    }
    bool all_closed() {
        for (int k = 0; k < 3; ++k) {
            if (r.p.socket_state(k) != socket_state::closed) {
                return false;
            }
        }
        return true;
    }
};

TEST_F(Power, UnreadPowerAsksForARefreshAndSendsNothing) {
    r.f.status_step = 4;
    r.f.power_ctl[0].user_click();
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Click Refresh to Get Power Status !",
                                                    MsgIcon::information, MsgButtons::ok}));
    EXPECT_THAT(r.p.sent(), IsEmpty());
    EXPECT_EQ(r.f.status_step, 0);
}

TEST_F(Power, PowerOnSwitchesTheSelectedBoxOffAndShowsItsAnswer) {
    box_answers("POWE000\r\n", 1);
    show(1);
    r.f.power_ctl[1].user_click();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SPOW 0"}));
    EXPECT_THAT(pressed_enabled_at_send, ElementsAre(false));
    EXPECT_TRUE(r.f.power_ctl[2].visible());
    EXPECT_FALSE(r.f.power_ctl[1].visible());
    EXPECT_TRUE(r.f.power_ctl[1].enabled());
    EXPECT_EQ(r.f.status_step, 0);
    EXPECT_EQ(r.f.discon_flag, 0); // switching off keeps the session
    EXPECT_THAT(r.p.messages(), IsEmpty());
}

TEST_F(Power, PowerOffSwitchesEveryBoxOnWithAllIpThenDropsEveryConnection) {
    box_answers("POWE001\r\n", 2);
    show(2);
    r.f.Check1[0].user_click();
    r.f.power_ctl[2].user_click();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SPOW 1"}, Sent{1, "SPOW 1"}, Sent{2, "SPOW 1"}));
    EXPECT_THAT(pressed_enabled_at_send, ElementsAre(false));
    EXPECT_TRUE(r.p.now() >= 10); // the answer was awaited before the session ended
    EXPECT_TRUE(all_closed());
    EXPECT_EQ(r.f.discon_flag, 1);
    EXPECT_TRUE(r.f.power_ctl[0].visible());
    EXPECT_TRUE(r.f.power_ctl[2].enabled());
    EXPECT_EQ(r.f.status_step, 0);
}

TEST_F(Power, ASilentBoxKeepsTheWaitUntilAnotherExchangeFreesTheStatusStep) {
    show(1);
    const auto start = r.p.now();
    r.p.at(5000, [&] {
        r.f.opt_tv1.user_click();
        r.f.btn_tv_fs[2].user_click(); // a hot key hands the status step back
    });
    r.f.power_ctl[1].user_click();
    EXPECT_EQ(r.p.now(), start + 5000);
    EXPECT_THAT(r.p.sent(),
                ElementsAre(Sent{0, "SPOW 0"}, Sent{0, "SHOT 2"}, Sent{1, "SHOT 2"}, Sent{2, "SHOT 2"}));
    EXPECT_TRUE(r.f.power_ctl[1].enabled());
    EXPECT_EQ(r.f.status_step, 0);
    EXPECT_EQ(r.f.discon_flag, 0);
}

TEST_F(Power, DisconnectEndsAPowerWaitHarmlessly) {
    show(2);
    r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
    r.f.power_ctl[2].user_click();
    EXPECT_TRUE(all_closed());
    EXPECT_TRUE(r.f.power_ctl[2].enabled());
    EXPECT_EQ(r.f.status_step, 0);
    EXPECT_THAT(r.p.messages(), IsEmpty());
}

TEST(FactoryReset, WithAllIpItCompletesOnTheSelectedBoxsAcknowledgement) {
    Rig r;
    r.list_boxes(3);
    r.script_box(0, reply_table({{"SDEF", "DEFA\r\n"}}, 10)); // not read: box 1 is selected
    r.script_box(1, reply_table({{"SDEF", "DEFA\r\n"}}, 50));
    r.go_online(1);
    bool disabled_while_waiting = false;
    r.p.at(20, [&] { disabled_while_waiting = !r.f.btn_sys_fac_rst.enabled(); });
    const auto start = r.p.now();
    r.f.Check1[1].user_click();
    r.f.btn_sys_fac_rst.user_click();
    EXPECT_EQ(r.p.now(), start + 50);
    EXPECT_TRUE(disabled_while_waiting);
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SDEF"}, Sent{1, "SDEF"}, Sent{2, "SDEF"}));
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Reset completed ! Please reconnect the ethernet !",
                                                    MsgIcon::information, MsgButtons::ok}));
    EXPECT_EQ(r.p.socket_state(1), socket_state::closed);
    EXPECT_EQ(r.f.discon_flag, 1);
    EXPECT_EQ(r.f.factory_step, 0);
    EXPECT_TRUE(r.f.btn_sys_fac_rst.enabled());
}

TEST_F(Power, FactoryResetOnADeadLinkLeavesItsButtonUsable) {
    r.p.drop(0);
    r.p.run_until_idle();
    r.f.btn_sys_fac_rst.user_click();
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Ethernet is disconnected !"));
    EXPECT_THAT(r.p.sent(), IsEmpty());
    EXPECT_TRUE(r.f.btn_sys_fac_rst.enabled());
    EXPECT_EQ(r.f.factory_step, 0);
}

TEST_F(Power, FactoryResetAfterADisconnectStillReportsAndLeavesTheButtonUsable) {
    r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
    r.f.Check1[1].user_click();
    r.f.btn_sys_fac_rst.user_click();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SDEF"}, Sent{1, "SDEF"}, Sent{2, "SDEF"}));
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Reset completed ! Please reconnect the ethernet !",
                                                    MsgIcon::information, MsgButtons::ok}));
    EXPECT_TRUE(all_closed());
    EXPECT_EQ(r.f.factory_step, 0);
    EXPECT_TRUE(r.f.btn_sys_fac_rst.enabled());
}

TEST(PowerWithTheSimulatedBox, TheButtonsFollowTheBoxAndSwitchingOnEndsTheSession) {
    sim::Box box;
    Rig r;
    r.list_boxes(2);
    r.script_box(0, sim_responder(box));
    r.go_online(0);
    status_readback(r.c);
    ASSERT_TRUE(r.f.power_ctl[1].visible()); // "Power ON", as the box is

    r.f.power_ctl[1].user_click();
    EXPECT_EQ(box.state().power, 0);
    EXPECT_TRUE(r.f.power_ctl[2].visible());
    EXPECT_FALSE(r.f.power_ctl[1].visible());

    r.f.power_ctl[2].user_click();
    EXPECT_EQ(box.state().power, 1);
    EXPECT_TRUE(r.f.power_ctl[0].visible()); // offline: the state is unknown until the next read
    EXPECT_EQ(r.f.discon_flag, 1);
    EXPECT_THAT(r.p.messages(), IsEmpty());
}

TEST(FactoryResetWithTheSimulatedBox, TheBoxIsBackToFactoryAndAReconnectShowsIt) {
    sim::BoxState changed;
    changed.wall.bezel_switch = 1;
    changed.wall.bezel_h = 40;
    changed.brightness[2] = 90;
    changed.mute = 1;
    sim::Box box;
    box.load(changed);
    Rig r;
    r.list_boxes(1);
    r.script_box(0, sim_responder(box));
    r.go_online(0);
    r.f.btn_sys_fac_rst.user_click();
    sim::BoxState factory;
    factory.mac = changed.mac;
    EXPECT_EQ(box.state(), factory);
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Reset completed ! Please reconnect the ethernet !"));
    EXPECT_EQ(r.f.discon_flag, 1);

    r.p.clear_records();
    r.f.btn_con.user_click();
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Refresh completed !"));
    EXPECT_EQ(r.f.cbo_val_H[1].list_index(), factory.wall.bezel_h);
    EXPECT_EQ(r.f.cbo_val_V[1].list_index(), factory.wall.bezel_v);
    EXPECT_TRUE(r.f.opt_bezel[0].value());
    EXPECT_TRUE(r.f.opt_mute[0].value());
    EXPECT_TRUE(r.f.power_ctl[1].visible());
}

} // namespace
} // namespace wc::test
