#include "network/network.h"
#include "rig.h"
#include "system/power.h"
#include "system/status.h"
#include "wall/bezel.h"
#include "wall/layout.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::map<std::string, std::string> status_answers = {
    {"RPOW", "POWE000"}, {"RMDN", "MODN007"}, {"RBEZ", "BEZE001"}, {"RVER", "VERS207"}};

TEST(Status, ReadBackShowsTheAnswersKeepsAnIdWithoutAnEntryAndSendsNothingBack) {
    Rig r{install_status, install_power, install_network};
    r.online(3, reply_table(status_answers));
    r.f.cbo_model.user_choose(1);
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SMDN 1"}));
    r.p.clear_records();
    r.c.start(status_readback(r.c)); // the read a Refresh starts with
    r.finish();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "RPOW"}, Sent{0, "RMDN"}, Sent{0, "RBEZ"}, Sent{0, "RVER"}));
    EXPECT_TRUE(r.f.power_ctl[2].visible()); // "Power OFF"
    EXPECT_EQ(r.f.cbo_model.list_index(), 1);
    EXPECT_TRUE(r.f.opt_bezel[1].value());
    EXPECT_EQ(r.f.window.caption(), std::string(version_caption) + "    FW: v2.07");
}

TEST(Power, TheButtonsFollowTheSimulatedBoxAndPowerOffSwitchesEveryBoxOnAndEndsTheSession) {
    sim::Box box;
    Rig r{install_status, install_power, install_network};
    r.online(3, sim_responder(box));
    r.f.power_ctl[0].user_click(); // the state is unknown until read
    r.finish();
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Click Refresh to Get Power Status !",
                                                    MsgIcon::information, MsgButtons::ok}));
    EXPECT_THAT(r.p.sent(), IsEmpty());
    r.c.start(status_readback(r.c));
    r.finish();
    ASSERT_TRUE(r.f.power_ctl[1].visible()); // "Power ON", as the box is

    r.p.clear_records();
    r.f.power_ctl[1].user_click();
    r.finish();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SPOW 0"}));
    EXPECT_EQ(box.state().power, 0);
    EXPECT_TRUE(r.f.power_ctl[2].visible());
    EXPECT_EQ(r.f.discon_flag, 0); // switching off keeps the session

    r.p.clear_records();
    r.f.Check1[0].user_click();
    const auto start = r.p.now();
    r.f.power_ctl[2].user_click(); // "Power OFF"
    r.finish();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SPOW 1"}, Sent{1, "SPOW 1"}, Sent{2, "SPOW 1"}));
    EXPECT_EQ(box.state().power, 1);
    EXPECT_GT(r.p.now(), start); // the answer was awaited before the session ended
    EXPECT_EQ(r.p.socket_state(2), SocketState::closed);
    EXPECT_EQ(r.f.discon_flag, 1);
    EXPECT_TRUE(r.f.power_ctl[2].enabled());
}

// A hot key or the wall reset hands the status step back, which ends a wait
// for the power answer as Disconnect does. An ID or bezel switch chosen
// meanwhile is the operator's: it is sent.
TEST(Power, AWaitOnASilentBoxEndsByDisconnectOrAWallCommandAndChoicesMeanwhileAreSent) {
    const std::pair<const char*, std::function<void(Form1&)>> cases[] = {
        {"", [](Form1&) {}},
        {"SMDN 0", [](Form1& f) { f.cbo_model.user_choose(0); }},
        {"SBEZ 0",
         [](Form1& f) {
             f.opt_tv2.user_click();
             f.opt_bezel[0].user_click();
         }},
        {"SHOT 3",
         [](Form1& f) {
             f.opt_tv1.user_click();
             f.btn_tv_fs[3].user_click();
         }},
        {"SWDE",
         [](Form1& f) {
             f.opt_tv2.user_click();
             f.btn_tvwall_reset.user_click();
         }},
    };
    for (const auto& [line, act] : cases) {
        SCOPED_TRACE(line);
        Rig r{install_status, install_power, install_network, install_layout, install_bezel};
        r.online(1, reply_table(status_answers));
        r.c.start(status_readback(r.c));
        r.finish();
        // "Power OFF": the box never answers SPOW.
        const auto seen =
            r.meanwhile([&] { r.f.power_ctl[2].user_click(); }, 5000, [&, act = act] { act(r.f); }, 5000);
        std::vector<std::string> lines{"SPOW 1"};
        if (*line != '\0') {
            lines.emplace_back(line);
        }
        EXPECT_EQ(seen.lines, lines);
        EXPECT_EQ(seen.ended_ms, 5000);
        EXPECT_THAT(seen.messages, IsEmpty());
        EXPECT_TRUE(r.f.power_ctl[0].visible()); // switching on ended the session either way
        EXPECT_TRUE(r.f.power_ctl[2].enabled());
    }
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
    r.finish();
    EXPECT_EQ(r.p.now(), start + 50);
    EXPECT_TRUE(disabled_while_waiting);
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SDEF"}, Sent{1, "SDEF"}, Sent{2, "SDEF"}));
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Reset completed ! Please reconnect the ethernet !",
                                                    MsgIcon::information, MsgButtons::ok}));
    EXPECT_EQ(r.p.socket_state(2), SocketState::closed);
    r.p.clear_records();
    r.f.btn_sys_fac_rst.user_click();
    r.finish();
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Ethernet is disconnected !"));
    EXPECT_THAT(r.p.sent(), IsEmpty());
    EXPECT_TRUE(r.f.btn_sys_fac_rst.enabled());

    // Disconnect ends the wait on a silent box, and the reset says it is done:
    // the box may have taken it, and its connections are stale either way.
    r.script_box(1, {});
    r.go_online(1);
    const auto silent_start = r.p.now();
    r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_sys_fac_rst.user_click();
    r.finish();
    EXPECT_EQ(r.p.now(), silent_start + 5000);
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SDEF"}, Sent{1, "SDEF"}, Sent{2, "SDEF"}));
    EXPECT_TRUE(r.f.btn_sys_fac_rst.enabled());
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Reset completed ! Please reconnect the ethernet !"));
}

} // namespace
} // namespace wc::test
