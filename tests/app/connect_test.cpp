#include "app/app.h"
#include "app/connect.h"
#include "rig.h"
#include "sim_responder.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// What the full refresh asks, in order, after the OSD-information query.
const std::vector<std::string> refresh_lines = {"RPOW",  "RMDN",  "RBEZ",  "RVER",  "RIPM",
                                                "RLINK", "RBH ",  "RBV ",  "RRES",  "ROSDD",
                                                "ROSDT", "ROSDH", "ROSDV", "ROSDG", "RMUTE"};

std::map<std::string, std::string> full_box() {
    return {{"SOSDI", "OSDI"},
            {"RPOW", "POWE001"},
            {"RMDN", "MODN001"},
            {"RBEZ", "BEZE001"},
            {"RVER", "VERS115"},
            {"RIPM", "IPMD000"},
            {"RLINK", "IP00192 .. 168 .. 001 .. 021 .. 255 .. 255 .. 255 .. 000 .. 192 .. 168 .. 001 .. 001"},
            {"RBH ", "BHV012"},
            {"RBV ", "BVV034"},
            {"RRES", "RESO020"},
            {"ROSDD", "OSDD001"},
            {"ROSDT", "OSDT010"},
            {"ROSDH", "OSDH005"},
            {"ROSDV", "OSDV005"},
            {"ROSDG", "OSDG002"},
            {"RMUTE", "MUTE001"}};
}

std::vector<std::string> with_osd_query(std::vector<std::string> lines) {
    lines.insert(lines.begin(), "SOSDI");
    return lines;
}

struct Connect : ::testing::Test {
    Rig r{install_all};
    std::vector<int> bar_at_send; // ProgressBar1 as each line left, -1 while hidden
    void SetUp() override {
        r.list_boxes(3);
        for (int k = 0; k < 3; ++k) {
            auto table = reply_table(full_box());
            r.script_box(k, [this, table](const std::string& line) {
                bar_at_send.push_back(r.f.ProgressBar1.visible() ? r.f.ProgressBar1.value() : -1);
                return table(line);
            });
        }
    }
    // Unlocked: Search and Connect usable, the pages as far as the link is up.
    void expect_window_usable(bool online) {
        EXPECT_FALSE(r.f.ProgressBar1.visible());
        EXPECT_FALSE(r.f.panels_locked);
        for (Control* c : std::initializer_list<Control*>{&r.f.btn_sys_search, &r.f.btn_con}) {
            EXPECT_TRUE(c->shown_enabled()) << c->name();
        }
        for (Control* c : std::initializer_list<Control*>{&r.f.btn_ip_get, &r.f.btn_io_rst[0]}) {
            EXPECT_EQ(c->shown_enabled(), online) << c->name();
        }
    }
};

TEST_F(Connect, OpensEveryBoxAwaitsTheSelectedOneAndReadsItsWholeState) {
    r.f.cbo_ipaddr.user_choose(1);
    std::vector<int> bar_at_message;
    r.p.while_message_shown = [&](const Message&) {
        bar_at_message.push_back(r.f.ProgressBar1.visible() ? r.f.ProgressBar1.value() : -1);
    };
    r.f.btn_con.user_click();
    EXPECT_THAT(r.p.connects(), ElementsAre(0, 1, 2));
    EXPECT_THAT(r.p.lines(1), ElementsAreArray(with_osd_query(refresh_lines)));
    EXPECT_TRUE(r.p.lines(0).empty());
    EXPECT_TRUE(r.p.lines(2).empty());
    EXPECT_THAT(bar_at_send, ElementsAre(-1, 0, 0, 0, 0, 30, 30, 60, 60, 85, 85, 85, 85, 85, 85, 85));
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Refresh completed !", MsgIcon::none, MsgButtons::ok}));
    EXPECT_THAT(bar_at_message, ElementsAre(100));
    expect_window_usable(true);
    EXPECT_TRUE(r.f.link_up);
    EXPECT_EQ(r.f.btn_con.back_color(), color::green);
}

TEST(ConnectToTheSimulatedBox, EndsWithTheWindowShowingTheBoxsState) {
    sim::BoxState state;
    state.id = 2;
    state.firmware = "2.07";
    state.wall.bezel_switch = 1;
    state.wall.bezel_h = 12;
    state.wall.bezel_v = 34;
    state.ip_mode = 1;
    state.ip_address = "10.0.0.9";
    state.net_mask = "255.0.0.0";
    state.gateway = "10.0.0.1";
    state.resolution = 28;
    state.osd_display = 1;
    state.osd_timeout = 12;
    state.osd_h = 3;
    state.osd_v = 7;
    state.osd_gain = 9;
    state.mute = 1;
    sim::Box box;
    box.load(state);
    Rig r{install_all};
    r.list_boxes(3);
    r.script_box(1, sim_responder(box));
    r.f.cbo_ipaddr.user_choose(1);
    r.f.btn_con.user_click();

    EXPECT_THAT(r.p.message_texts(), ElementsAre("Refresh completed !"));
    const std::pair<std::string, std::string> shown[] = {
        {r.f.window.caption(), "v1.15    FW: v2.07"},
        {r.f.cbo_model.text(), " 2"},
        {r.f.cbo_ip_type.text(), "DHCP"},
        {r.f.txt_ip.text(), "010.000.000.009"},
        {r.f.txt_net.text(), "255.000.000.000"},
        {r.f.txt_gate.text(), "010.000.000.001"},
        {r.f.cbo_val_H[1].text(), " 12"},
        {r.f.cbo_val_V[1].text(), " 34"},
        {r.f.cbo_reso.text(), "Native"},
        {r.f.cbo_info_play.text(), "ON"},
        {r.f.cbo_osd_time.text(), "12"},
        {r.f.cbo_osd[0].text(), "3"},
        {r.f.cbo_osd[1].text(), "7"},
        {r.f.cbo_osd_gain.text(), "9"},
    };
    for (const auto& [text, expected] : shown) {
        EXPECT_EQ(text, expected);
    }
    EXPECT_TRUE(r.f.power_ctl[1].visible());
    EXPECT_TRUE(r.f.opt_bezel[1].value());
    EXPECT_TRUE(r.f.opt_mute[1].value());
    EXPECT_FALSE(r.f.txt_ip.enabled());
    // Every question asked once, and nothing the window showed went back to the box.
    std::map<std::string, int, std::less<>> asked;
    for (const std::string& line : with_osd_query(refresh_lines)) {
        asked[std::string(sim::command_word(line))] = 1;
    }
    EXPECT_EQ(box.received(), asked);
    EXPECT_EQ(box.state(), state);
}

TEST_F(Connect, WithoutASelectionSaysSoAndStaysOffline) {
    r.f.btn_con.user_click();
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Please select a MAC to connect !", MsgIcon::exclamation,
                                                    MsgButtons::ok}));
    EXPECT_THAT(r.p.connects(), ElementsAre(0, 1, 2));
    EXPECT_FALSE(r.f.lbl_con[2].visible());
    EXPECT_FALSE(r.f.link_up);
    EXPECT_FALSE(r.f.net_config.enabled());
    r.f.cbo_ipaddr.user_choose(2); // offline: only the selection changes
    r.p.run_until_idle();
    EXPECT_THAT(r.p.connects(), ElementsAre(0, 1, 2));
    EXPECT_TRUE(r.p.sent().empty());
}

TEST_F(Connect, ABoxThatNeverConnectsTimesOut) {
    r.p.add_box(Rig::address(0), BoxScript{true, false, 0, {}});
    r.f.cbo_ipaddr.user_choose(0);
    r.f.btn_con.user_click();
    EXPECT_EQ(r.p.now(), 15000);
    EXPECT_THAT(r.p.messages(),
                ElementsAre(Message{"Connected error!", MsgIcon::exclamation, MsgButtons::ok}));
    EXPECT_EQ(r.f.discon_flag, 1);
    EXPECT_EQ(r.f.btn_discon.back_color(), color::red);
    EXPECT_FALSE(r.f.Timer1.enabled());
}

TEST_F(Connect, ABoxSilentAfterRpowIsLeftThroughDisconnect) {
    r.script_box(0, reply_table({{"SOSDI", "OSDI"}}));
    r.f.cbo_ipaddr.user_choose(0);
    r.p.at(60'000, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_con.user_click();
    EXPECT_THAT(r.p.lines(0), ElementsAre("SOSDI", "RPOW"));
    EXPECT_TRUE(r.p.dropped().empty()); // the rest of the status read is not even tried
    EXPECT_TRUE(r.p.messages().empty());
    expect_window_usable(false);
    EXPECT_FALSE(r.f.link_up);
    for (std::uint8_t step : {r.f.status_step, r.f.ipget_step, r.f.bezel_read_step, r.f.io_read_step}) {
        EXPECT_EQ(step, 0);
    }
}

TEST_F(Connect, ABoxThatNeverAcknowledgesSosdiStartsNoRefresh) {
    r.script_box(0, reply_table({}));
    r.f.cbo_ipaddr.user_choose(0);
    r.p.at(30'000, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_con.user_click();
    EXPECT_THAT(r.p.lines(0), ElementsAre("SOSDI"));
    EXPECT_TRUE(r.p.dropped().empty());
    EXPECT_FALSE(r.f.panels_locked);
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Ethernet is disconnected !"));
}

TEST_F(Connect, SwitchingBoxesReopensOnlyThatOneAndRefreshesWhenAsked) {
    r.go_online(0);
    r.p.answer(MsgAnswer::no);
    r.f.cbo_ipaddr.user_choose(2);
    EXPECT_THAT(r.p.connects(), ElementsAre(2));
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{2, "SOSDI"}));
    EXPECT_EQ(r.f.osd_info_step, 2);
    EXPECT_THAT(r.p.messages(),
                ElementsAre(Message{"Do you want to refresh the parameters for this MAC device ?",
                                    MsgIcon::question, MsgButtons::yes_no}));
    r.p.clear_records();
    r.p.answer(MsgAnswer::yes);
    r.f.cbo_ipaddr.user_choose(1);
    EXPECT_THAT(r.p.lines(1), ElementsAreArray(with_osd_query(refresh_lines)));
    EXPECT_EQ(r.p.sent().size(), refresh_lines.size() + 1);
    EXPECT_TRUE(r.f.link_up);
}

TEST_F(Connect, RefreshOnADroppedLinkGoesOfflineWithoutLocking) {
    r.go_online(0);
    r.p.drop(0);
    r.p.run_until_idle();
    r.f.btn_sys_refresh.user_click();
    EXPECT_THAT(r.p.messages(),
                ElementsAre(Message{"Ethernet is disconnected !", MsgIcon::critical, MsgButtons::ok}));
    EXPECT_FALSE(r.f.link_up);
    EXPECT_FALSE(r.f.panels_locked);
    EXPECT_TRUE(r.f.sys_setting.enabled());
    EXPECT_TRUE(r.p.sent().empty());
}

// A Connect, a box switch or going offline takes the link from every handler
// waiting under it: each such wait ends, and nothing it would have sent or
// asked comes later. A FakePlatform that has nothing left to do while a wait
// still waits throws Stalled, so a handler left pending fails these tests.
TEST_F(Connect, ASwitchInterruptedByAFailedConnectEndsWithIt) {
    r.go_online(0);
    r.p.add_box(Rig::address(1), BoxScript{true, false, 0, {}}); // its connection never completes
    r.p.at(3000, [&] { r.f.btn_con.user_click(); });
    r.f.cbo_ipaddr.user_choose(1);
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Connected error!"));
    EXPECT_FALSE(r.f.link_up);
    EXPECT_FALSE(r.f.Timer1.enabled());
    r.p.clear_records();
    r.f.cbo_ipaddr.user_choose(0);
    r.f.btn_con.user_click();
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Refresh completed !"));
    r.p.run_until_idle();
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Refresh completed !"));
}

TEST_F(Connect, OnlyTheLastOfNestedSwitchesAsksAndTalks) {
    r.go_online(0);
    r.script_box(1, reply_table(full_box()), 5000);
    r.p.at(1000, [&] { r.f.cbo_ipaddr.user_choose(2); });
    r.f.cbo_ipaddr.user_choose(1);
    EXPECT_THAT(
        r.p.message_texts(),
        ElementsAre("Do you want to refresh the parameters for this MAC device ?", "Refresh completed !"));
    EXPECT_THAT(r.p.lines(2), ElementsAreArray(with_osd_query(refresh_lines)));
    EXPECT_TRUE(r.p.lines(1).empty());
    EXPECT_FALSE(r.f.Timer1.enabled());
    expect_window_usable(true);
}

TEST_F(Connect, AWaitEndsWhenAConnectOrDisconnectTakesItsLink) {
    struct Case {
        const char* name;
        std::function<void(Rig&)> interrupt;
        bool online_after;
    };
    const Case cases[] = {
        {"Connect", [](Rig& rig) { rig.f.btn_con.user_click(); }, true},
        {"Disconnect", [](Rig& rig) { rig.f.btn_discon.user_click(); }, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Rig rig{install_all};
        rig.list_boxes(2);
        rig.script_box(0, reply_table(full_box()));
        rig.script_box(1, reply_table(full_box()));
        rig.go_online(0);
        rig.script_box(0, reply_table({}), 20); // Get IP gets no answer on this link
        rig.p.at(500, [&] {
            rig.script_box(0, reply_table(full_box()));
            k.interrupt(rig);
        });
        rig.f.btn_ip_get.user_click();
        EXPECT_EQ(rig.f.link_up, k.online_after);
        EXPECT_EQ(rig.f.ipget_step, 0);
        // Get IP asked once and never again, on the old link or on the new one.
        const std::vector<std::string> lines = rig.p.lines(0);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "RIPM"), k.online_after ? 2 : 1);
        EXPECT_EQ(rig.p.message_texts().size(), k.online_after ? 1u : 0u);
    }
}

TEST_F(Connect, AConnectTakenOverByABoxSwitchLeavesNoConnectingNotice) {
    r.go_online(0);
    r.p.answer(MsgAnswer::no);
    r.p.at(5, [&] { r.f.cbo_ipaddr.user_choose(2); });
    r.f.btn_con.user_click();
    EXPECT_THAT(r.p.message_texts(),
                ElementsAre("Do you want to refresh the parameters for this MAC device ?"));
    EXPECT_TRUE(r.p.lines(0).empty());
    EXPECT_FALSE(r.f.lbl_con[2].visible());
    expect_window_usable(true);
}

TEST_F(Connect, DisconnectEndsABoxSwitchThatWaitsForItsConnection) {
    r.go_online(0);
    r.p.add_box(Rig::address(1), BoxScript{true, false, 0, {}});
    const std::int64_t start = r.p.now();
    r.p.at(2000, [&] { r.f.btn_discon.user_click(); });
    r.f.cbo_ipaddr.user_choose(1);
    EXPECT_EQ(r.p.now(), start + 2000);
    EXPECT_TRUE(r.p.messages().empty());
    EXPECT_FALSE(r.f.link_up);
    EXPECT_FALSE(r.f.Timer1.enabled());
}

} // namespace
} // namespace wc::test
