#include "app/app.h"
#include "app/connect.h"
#include "rig.h"
#include "sim/box_state.h"

#include <functional>
#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// What Connect asks, in order: the OSD information, then the full refresh.
const std::vector<std::string> connect_lines = {"SOSDI", "RPOW",  "RMDN",  "RBEZ", "RVER",  "RIPM",
                                                "RLINK", "RBH ",  "RBV ",  "RRES", "ROSDD", "ROSDT",
                                                "ROSDH", "ROSDV", "ROSDG", "RMUTE"};

// Unlocked: Search and Connect usable, the pages as far as the link is up.
void expect_window_usable(const Form1& f, bool online) {
    EXPECT_FALSE(f.ProgressBar1.visible());
    EXPECT_FALSE(f.panels_locked);
    EXPECT_EQ(f.link_up, online);
    for (const Control* c : std::initializer_list<const Control*>{&f.btn_sys_search, &f.btn_con}) {
        EXPECT_TRUE(c->shown_enabled()) << c->name();
    }
    for (const Control* c : std::initializer_list<const Control*>{&f.btn_ip_get, &f.btn_io_rst[0]}) {
        EXPECT_EQ(c->shown_enabled(), online) << c->name();
    }
}

// Three simulated boxes.
struct Connect : ::testing::Test {
    Rig r{install_all};
    sim::Box boxes[3];
    std::vector<int> bar_at_send; // ProgressBar1 as each line left, -1 while hidden
    void SetUp() override {
        r.list_boxes(3);
        for (int k = 0; k < 3; ++k) {
            r.script_box(k, [this, sim = sim_responder(boxes[k])](const std::string& line) {
                bar_at_send.push_back(r.f.ProgressBar1.visible() ? r.f.ProgressBar1.value() : -1);
                return sim(line);
            });
        }
    }
};

// Nothing the window shows from the box goes back to it, though showing a value raises its Click.
TEST_F(Connect, OpensEveryBoxAwaitsTheSelectedOneAndReadsItsWholeStateWithoutWritingBack) {
    r.f.cbo_ipaddr.user_choose(1);
    std::vector<int> bar_at_message;
    r.p.while_message_shown = [&](const Message&) {
        bar_at_message.push_back(r.f.ProgressBar1.visible() ? r.f.ProgressBar1.value() : -1);
    };
    r.f.btn_con.user_click();
    r.finish();
    EXPECT_THAT(r.p.connects(), ElementsAre(0, 1, 2));
    EXPECT_EQ(r.p.sent().size(), connect_lines.size());
    EXPECT_THAT(r.p.lines(1), ElementsAreArray(connect_lines));
    EXPECT_THAT(bar_at_send, ElementsAre(-1, 0, 0, 0, 0, 30, 30, 60, 60, 85, 85, 85, 85, 85, 85, 85));
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Refresh completed !", MsgIcon::none, MsgButtons::ok}));
    EXPECT_THAT(bar_at_message, ElementsAre(100));
    expect_window_usable(r.f, true);
    EXPECT_EQ(r.f.btn_con.back_color(), color::green);
}

TEST_F(Connect, WithoutASelectionSaysSoAndStaysOffline) {
    r.f.btn_con.user_click();
    r.finish();
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Please select a MAC to connect !", MsgIcon::exclamation,
                                                    MsgButtons::ok}));
    EXPECT_THAT(r.p.connects(), ElementsAre(0, 1, 2));
    EXPECT_FALSE(r.f.lbl_con[2].visible());
    EXPECT_FALSE(r.f.link_up);
    EXPECT_FALSE(r.f.net_config.enabled());
    r.f.cbo_ipaddr.user_choose(2); // offline: only the selection changes
    r.p.run_until_idle();
    EXPECT_THAT(r.p.connects(), ElementsAre(0, 1, 2));
    EXPECT_THAT(r.p.sent(), IsEmpty());
}

// Connected while "Connected error!" is on screen: the time-out is said, and
// the connection still counts.
TEST_F(Connect, ABoxNotConnectedAfter15SecondsTimesOut) {
    for (bool connects_then : {false, true}) {
        SCOPED_TRACE(connects_then);
        Rig rig{install_all};
        rig.list_boxes(1);
        rig.p.add_box(Rig::address(0), BoxScript{true, connects_then, 15050, sim_responder(boxes[0])});
        rig.p.set_reading_ms(100);
        std::int64_t said_at = 0;
        rig.p.while_message_shown = [&](const Message&) { said_at = said_at == 0 ? rig.p.now() : said_at; };
        rig.f.cbo_ipaddr.user_choose(0);
        rig.f.btn_con.user_click();
        rig.finish();
        EXPECT_EQ(said_at, 15000);
        std::vector<std::string> said{"Connected error!"};
        if (connects_then) {
            said.emplace_back("Refresh completed !");
        }
        EXPECT_EQ(rig.p.message_texts(), said);
        EXPECT_EQ(rig.p.messages()[0].icon, MsgIcon::exclamation);
        EXPECT_EQ(rig.f.link_up, connects_then);
        EXPECT_EQ(rig.f.btn_discon.back_color(), connects_then ? color::button_face : color::red);
        EXPECT_FALSE(rig.f.Timer1.enabled());
    }
}

// Disconnect is the way out of a Connect whose box stopped answering.
TEST_F(Connect, DisconnectEndsAConnectWhoseBoxFallsSilent) {
    struct Case {
        std::map<std::string, std::string> replies;
        std::vector<std::string> lines, messages;
    };
    const Case cases[] = {
        {{{"SOSDI", "OSDI"}}, {"SOSDI", "RPOW"}, {}},    // the rest of the status read is not even tried
        {{}, {"SOSDI"}, {"Ethernet is disconnected !"}}, // no refresh starts
    };
    for (const Case& c : cases) {
        Rig rig{install_all};
        rig.list_boxes(1);
        rig.script_box(0, reply_table(c.replies));
        rig.f.cbo_ipaddr.user_choose(0);
        rig.p.at(60'000, [&] { rig.f.btn_discon.user_click(); });
        rig.f.btn_con.user_click();
        rig.finish();
        EXPECT_EQ(rig.p.lines(0), c.lines);
        EXPECT_THAT(rig.p.dropped(), IsEmpty());
        EXPECT_EQ(rig.p.message_texts(), c.messages);
        expect_window_usable(rig.f, false);
    }
}

TEST_F(Connect, SwitchingBoxesReopensOnlyThatOneAndRefreshesWhenAsked) {
    r.go_online(0);
    r.p.answer(MsgAnswer::no);
    r.f.cbo_ipaddr.user_choose(2);
    r.finish();
    EXPECT_THAT(r.p.connects(), ElementsAre(2));
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{2, "SOSDI"}));
    EXPECT_THAT(r.p.messages(),
                ElementsAre(Message{"Do you want to refresh the parameters for this MAC device ?",
                                    MsgIcon::question, MsgButtons::yes_no}));
    r.p.clear_records();
    r.p.answer(MsgAnswer::yes);
    r.f.cbo_ipaddr.user_choose(1);
    r.finish();
    EXPECT_EQ(r.p.sent().size(), connect_lines.size());
    EXPECT_THAT(r.p.lines(1), ElementsAreArray(connect_lines));
    EXPECT_TRUE(r.f.link_up);
}

TEST_F(Connect, RefreshOnADroppedLinkSaysSoAndGoesOfflineWithoutLocking) {
    r.f.cbo_ipaddr.user_choose(0);
    r.f.btn_con.user_click();
    r.finish();
    ASSERT_EQ(r.f.window.caption(), std::string(version_caption) + "    FW: v" + sim::BoxState{}.firmware);
    ASSERT_TRUE(r.f.power_ctl[1].visible());
    r.p.drop(0);
    r.p.run_until_idle();
    r.p.clear_records();
    r.f.btn_sys_refresh.user_click();
    r.finish();
    EXPECT_THAT(r.p.messages(),
                ElementsAre(Message{"Ethernet is disconnected !", MsgIcon::critical, MsgButtons::ok}));
    EXPECT_THAT(r.p.sent(), IsEmpty());
    // The offline look: no firmware in the title, the power state unknown, the pages unusable.
    expect_window_usable(r.f, false);
    EXPECT_EQ(r.f.window.caption(), version_caption);
    EXPECT_EQ(r.f.btn_discon.back_color(), color::red);
    EXPECT_TRUE(r.f.power_ctl[0].visible() && !r.f.power_ctl[1].visible());
    for (const Frame& page : r.f.frame_control) {
        EXPECT_FALSE(page.enabled());
    }
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(r.p.socket_state(k), SocketState::closed);
    }
}

// A Connect or a box switch takes the link over: every other handler ends
// where it waits and says and sends nothing more. Going offline ends every
// wait of the link.
TEST_F(Connect, ASwitchWaitingForItsConnectionEndsWithADisconnectOrAFailedConnect) {
    for (bool connect : {false, true}) {
        SCOPED_TRACE(connect ? "Connect" : "Disconnect");
        Rig rig{install_all};
        rig.online(2, sim_responder(boxes[0]));
        rig.p.add_box(Rig::address(1), BoxScript{true, false, 0, {}}); // its connection never completes
        const std::int64_t start = rig.p.now();
        rig.p.at(2000, [&] { (connect ? rig.f.btn_con : rig.f.btn_discon).user_click(); });
        rig.f.cbo_ipaddr.user_choose(1);
        rig.finish();
        EXPECT_EQ(rig.p.now(), start + (connect ? 17000 : 2000));
        EXPECT_EQ(rig.p.message_texts(),
                  connect ? std::vector<std::string>{"Connected error!"} : std::vector<std::string>{});
        EXPECT_FALSE(rig.f.link_up);
        EXPECT_FALSE(rig.f.Timer1.enabled());
        rig.p.clear_records();
        rig.f.cbo_ipaddr.user_choose(0);
        rig.f.btn_con.user_click();
        rig.finish(); // the switch said and sent nothing more
        EXPECT_THAT(rig.p.message_texts(), ElementsAre("Refresh completed !"));
        EXPECT_EQ(rig.p.lines(0), connect_lines);
    }
}

TEST_F(Connect, OnlyTheLastOfTwoSwitchesAsksAndTalks) {
    r.go_online(0);
    r.script_box(1, sim_responder(boxes[1]), 5000);
    r.p.at(1000, [&] { r.f.cbo_ipaddr.user_choose(2); });
    r.f.cbo_ipaddr.user_choose(1);
    r.finish();
    EXPECT_THAT(
        r.p.message_texts(),
        ElementsAre("Do you want to refresh the parameters for this MAC device ?", "Refresh completed !"));
    EXPECT_THAT(r.p.lines(2), ElementsAreArray(connect_lines));
    EXPECT_THAT(r.p.lines(1), IsEmpty());
    expect_window_usable(r.f, true);
}

TEST_F(Connect, AConnectTakenOverByABoxSwitchLeavesNoConnectingNotice) {
    r.go_online(0);
    r.p.answer(MsgAnswer::no);
    r.p.at(5, [&] { r.f.cbo_ipaddr.user_choose(2); });
    r.f.btn_con.user_click();
    r.finish();
    EXPECT_THAT(r.p.message_texts(),
                ElementsAre("Do you want to refresh the parameters for this MAC device ?"));
    EXPECT_THAT(r.p.lines(0), IsEmpty());
    EXPECT_FALSE(r.f.lbl_con[2].visible());
    expect_window_usable(r.f, true);
}

} // namespace
} // namespace wc::test
