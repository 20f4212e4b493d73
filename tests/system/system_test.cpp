#include "network/network.h"
#include "rig.h"
#include "sim_responder.h"
#include "system/power.h"
#include "system/status.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(Status, ReadBackShowsTheAnswersKeepsAnIdWithoutAnEntryAndSendsNothingBack) {
    Rig r{install_status, install_power, install_network};
    r.list_boxes(3);
    r.script_box(
        0, reply_table({{"RPOW", "POWE000"}, {"RMDN", "MODN007"}, {"RBEZ", "BEZE001"}, {"RVER", "VERS115"}}));
    r.go_online(0);
    r.f.cbo_model.set_list_index(1);
    r.p.clear_records();
    status_readback(r.c); // a read left waiting would throw Stalled
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "RPOW"}, Sent{0, "RMDN"}, Sent{0, "RBEZ"}, Sent{0, "RVER"}));
    EXPECT_EQ(r.f.status_step, 0);
    EXPECT_TRUE(r.f.power_ctl[2].visible()); // "Power OFF"
    EXPECT_EQ(r.f.cbo_model.list_index(), 1);
    EXPECT_TRUE(r.f.opt_bezel[1].value());
    EXPECT_EQ(r.f.window.caption(), "v1.15    FW: v1.15");
}

TEST(Power, TheButtonsFollowTheSimulatedBoxAndPowerOffSwitchesEveryBoxOnAndEndsTheSession) {
    sim::Box box;
    Rig r{install_status, install_power, install_network};
    r.list_boxes(3);
    r.script_box(0, sim_responder(box));
    r.go_online(0);
    r.f.status_step = 4;
    r.f.power_ctl[0].user_click(); // the state is unknown until read
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Click Refresh to Get Power Status !",
                                                    MsgIcon::information, MsgButtons::ok}));
    EXPECT_THAT(r.p.sent(), IsEmpty());
    status_readback(r.c);
    ASSERT_TRUE(r.f.power_ctl[1].visible()); // "Power ON", as the box is

    r.p.clear_records();
    r.f.power_ctl[1].user_click();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SPOW 0"}));
    EXPECT_EQ(box.state().power, 0);
    EXPECT_TRUE(r.f.power_ctl[2].visible());
    EXPECT_EQ(r.f.discon_flag, 0); // switching off keeps the session

    r.p.clear_records();
    r.f.Check1[0].user_click();
    const auto start = r.p.now();
    r.f.power_ctl[2].user_click(); // "Power OFF"
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SPOW 1"}, Sent{1, "SPOW 1"}, Sent{2, "SPOW 1"}));
    EXPECT_EQ(box.state().power, 1);
    EXPECT_GT(r.p.now(), start); // the answer was awaited before the session ended
    EXPECT_EQ(r.p.socket_state(2), SocketState::closed);
    EXPECT_EQ(r.f.discon_flag, 1);
    EXPECT_TRUE(r.f.power_ctl[2].enabled());
}

TEST(FactoryReset, WithAllIpItCompletesOnTheSelectedBoxsAcknowledgementAndThenFindsTheLinkDown) {
    Rig r{install_status, install_power, install_network};
    r.list_boxes(3);
    r.script_box(0, reply_table({{"SDEF", "DEFA"}}, 10)); // not read: box 1 is selected
    r.script_box(1, reply_table({{"SDEF", "DEFA"}}, 50));
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
    EXPECT_EQ(r.p.socket_state(2), SocketState::closed);
    r.p.clear_records();
    r.f.btn_sys_fac_rst.user_click();
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Ethernet is disconnected !"));
    EXPECT_THAT(r.p.sent(), IsEmpty());
    EXPECT_EQ(r.f.factory_step, 0);
    EXPECT_TRUE(r.f.btn_sys_fac_rst.enabled());
}

TEST(System, AWaitEndedByDisconnectLeavesTheCountersAtRestAndTheButtonsUsable) {
    struct Case {
        const char* name;
        std::function<void(Rig&)> act;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"status read", [](Rig& r) { status_readback(r.c); }, {}},
        {"Power OFF", [](Rig& r) { r.f.power_ctl[2].user_click(); }, {}},
        {"factory reset",
         [](Rig& r) { r.f.btn_sys_fac_rst.user_click(); },
         {"Reset completed ! Please reconnect the ethernet !"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r{install_status, install_power, install_network};
        r.list_boxes(3);
        r.go_online(0);
        const auto start = r.p.now();
        r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
        r.f.panels_locked = true;           // as inside the full refresh
        r.f.power_ctl[2].set_visible(true); // "Power OFF"
        c.act(r);
        EXPECT_EQ(r.p.now(), start + 5000); // the box never answers
        EXPECT_EQ(r.p.lines(0).size(), 1u);
        EXPECT_EQ(r.p.socket_state(2), SocketState::closed);
        EXPECT_EQ(r.f.status_step + r.f.factory_step, 0);
        EXPECT_TRUE(r.f.power_ctl[2].enabled());
        EXPECT_EQ(r.f.btn_sys_fac_rst.enabled(), !c.messages.empty());
        EXPECT_EQ(r.p.message_texts(), c.messages);
    }
}

} // namespace
} // namespace wc::test
