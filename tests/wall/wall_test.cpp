#include "app/connect.h"
#include "rig.h"
#include "system/power.h"
#include "system/status.h"
#include "wall/bezel.h"
#include "wall/favourites.h"
#include "wall/layout.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Wall : ::testing::Test {
    Rig r{install_layout, install_bezel, install_status, install_favourites};
    void SetUp() override {
        r.online(3);
        r.f.opt_tv2.user_click();
    }
};

TEST_F(Wall, SendTakesChosenOrTypedScreenCountsAndEndsTheLineWithABlank) {
    r.f.btn_tvwall_send.user_click(); // nothing chosen yet
    r.f.cbo_tv_row.user_choose(2);    // " 3" under "Column"
    r.f.cbo_tv_col.user_choose(1);    // " 2" under "Row"
    r.f.btn_tvwall_send.user_click();
    r.f.cbo_tv_row.user_choose(14);
    r.f.cbo_tv_col.user_choose(14);
    r.f.btn_tvwall_send.user_click();
    // Typed counts are rounded as typed; 0, 16 and what is no number are refused and keep the count (9).
    const std::pair<const char*, int> typed[] = {{" 12 ", 12}, {"2.5", 2}, {"0", 9},
                                                 {"16", 9},    {"abc", 9}, {"15.5", 16}};
    for (auto [text, value] : typed) {
        SCOPED_TRACE(text);
        r.f.cbo_tv_row.user_choose(8);
        r.f.cbo_tv_row.user_edit(text);
        EXPECT_EQ(r.f.tv_row_value, value);
    }
    r.f.btn_tvwall_send.user_click(); // 15.5 was taken by the list as 16: not on the wall
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SMN 3 2 "}, Sent{0, "SMN 15 15 "}));
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Please choose the correct values !", "Please type 1 ~ 15!",
                                                 "Please type 1 ~ 15!", "Please type 1 ~ 15!",
                                                 "Please choose the correct values !"));
    EXPECT_EQ(r.p.messages()[1], (Message{"Please type 1 ~ 15!", MsgIcon::exclamation, MsgButtons::ok}));
}

TEST_F(Wall, TheWallResetAndHotKeysGoToEveryListedBox) {
    std::vector<int> shown_at_send;
    r.script_box(0, [&](const std::string&) {
        shown_at_send = {r.f.cbo_val_H[1].list_index(), r.f.cbo_val_V[1].list_index()};
        return std::vector<Chunk>{{"WDEF\r\n"}};
    });
    r.f.btn_tvwall_reset.user_click();
    EXPECT_THAT(shown_at_send, ElementsAre(10, 10));
    r.p.drop(1);
    r.p.drop(2);
    r.p.run_until_idle();
    r.f.opt_tv1.user_click();
    r.f.btn_tv_fs[0].user_click();
    r.f.btn_tv_fs[23].user_click();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SWDE"}, Sent{1, "SWDE"}, Sent{2, "SWDE"}, Sent{0, "SHOT 0"},
                                        Sent{0, "SHOT 23"}));
    EXPECT_THAT(r.p.dropped(),
                ElementsAre(Sent{1, "SHOT 0"}, Sent{2, "SHOT 0"}, Sent{1, "SHOT 23"}, Sent{2, "SHOT 23"}));
}

TEST_F(Wall, BezelSendWritesEachValueAfterTheLastAcknowledgementThenReadsTheSwitch) {
    auto table = reply_table({{"SBH 12", "BHV012"},
                              {"SBV 7", "BVV007"},
                              {"RBEZ", "BEZE001"},
                              {"RFAVE 1", "RFAV001"},
                              {"RBV ", "BVV999"}});
    r.script_box(0, [&](const std::string& line) {
        // Out of turn, then above 255.
        return line == "RBH " ? std::vector<Chunk>{{"BVV005\r\n"}, {"BHV256\r\n"}} : table(line);
    });
    r.f.Check1[2].user_click(); // every bezel command to every listed box
    r.f.cbo_val_H[1].user_choose(12);
    r.f.cbo_val_V[1].user_choose(7);
    r.f.btn_H_Bezel_send.user_click();
    r.finish();
    EXPECT_TRUE(r.f.opt_bezel[1].value()); // chosen by the BEZE answer, and not sent back as SBEZ 1
    r.f.opt_bezel[0].user_click();
    // A recall reads the bezel back: values without a list entry keep the selection, and the read ends.
    r.f.opt_tv3.user_click();
    r.f.btn_recall[1].user_click();
    r.finish();
    EXPECT_THAT(r.p.lines(0),
                ElementsAre("SBH 12", "SBV 7", "RBEZ", "SBEZ 0", "RFAVE 1", "RBEZ", "RBH ", "RBV "));
    for (int k = 1; k < 3; ++k) {
        EXPECT_THAT(r.p.lines(k), ElementsAre("SBH 12", "SBV 7", "RBEZ", "SBEZ 0", "RFAVE 1")) << "box " << k;
    }
    EXPECT_EQ(r.f.cbo_val_H[1].list_index(), 12);
    EXPECT_EQ(r.f.cbo_val_V[1].list_index(), 7);
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Recall completed !"));
}

// A Send pressed while a Send awaits an acknowledgement takes the values
// over; pressed while a Send reads the switch, it is refused without a word,
// as a Send is while any bezel read runs.
TEST(Bezel, ASendWhileASendAwaitsItsValuesTakesOverAndWhileItReadsTheSwitchIsRefused) {
    const std::pair<std::map<std::string, std::string>, std::vector<std::string>> cases[] = {
        {{}, {"SBH 1", "SBH 1"}},                                                 // awaiting BHV
        {{{"SBH 1", "BHV001"}, {"SBV 2", "BVV002"}}, {"SBH 1", "SBV 2", "RBEZ"}}, // awaiting BEZE
    };
    for (const auto& [replies, lines] : cases) {
        Rig r{install_layout, install_bezel, install_status};
        r.online(1, reply_table(replies));
        r.f.opt_tv2.user_click();
        r.f.cbo_val_H[1].user_choose(1);
        r.f.cbo_val_V[1].user_choose(2);
        const auto send = [&] { r.f.btn_H_Bezel_send.user_click(); };
        const auto seen = r.meanwhile(send, 500, send, 1000);
        EXPECT_EQ(seen.lines, lines);
        EXPECT_EQ(seen.ended_ms, 1000);
        EXPECT_THAT(seen.messages, IsEmpty());
    }
}

// A hot key, the wall reset, Power or a read-back pressed while a Send reads
// the switch goes out, and leaves the BEZE answer to the Send.
TEST(Bezel, AWallCommandPowerOrAReadBackDuringASendsSwitchReadLeavesTheAnswerToTheSend) {
    const std::pair<const char*, std::function<void(Form1&)>> cases[] = {
        {"SHOT 3",
         [](Form1& f) {
             f.opt_tv1.user_click();
             f.btn_tv_fs[3].user_click();
         }},
        {"SWDE", [](Form1& f) { f.btn_tvwall_reset.user_click(); }},
        {"", [](Form1& f) { f.power_ctl[0].user_click(); }},        // asks for a Refresh, sends nothing
        {"RPOW", [](Form1& f) { f.btn_sys_refresh.user_click(); }}, // its status read gets no answer
        {"RFAVE 1",
         [](Form1& f) {
             f.opt_tv3.user_click();
             f.btn_recall[1].user_click();
         }},
    };
    for (const auto& [line, act] : cases) {
        SCOPED_TRACE(line);
        Rig r{install_layout, install_bezel,      install_status,
              install_power,  install_favourites, install_connect};
        auto acks = reply_table({{"SBH 1", "BHV001"}, {"SBV 2", "BVV002"}});
        r.online(1, [acks](const std::string& sent) {
            return sent == "RBEZ" ? std::vector<Chunk>{{"BEZE001\r\n", 1000}} : acks(sent);
        });
        r.f.opt_tv2.user_click();
        r.f.cbo_val_H[1].user_choose(1);
        r.f.cbo_val_V[1].user_choose(2);
        const auto seen =
            r.meanwhile([&] { r.f.btn_H_Bezel_send.user_click(); }, 500, [&, act = act] { act(r.f); }, 5000);
        std::vector<std::string> lines{"SBH 1", "SBV 2", "RBEZ"};
        if (*line != '\0') {
            lines.emplace_back(line);
        }
        EXPECT_EQ(seen.lines, lines);
        EXPECT_TRUE(r.f.opt_bezel[1].value());
    }
}

// Box 1 is not connected. A recall locks the panels and reads the bezel back from the selected box.
TEST(Favourites, StoreAndRecallOnTheSimulatedBoxesBringBackTheWallAndTheWindowShowsIt) {
    sim::BoxState state;
    state.wall.bezel_h = 12;
    state.wall.bezel_v = 34;
    state.wall.bezel_switch = 1;
    sim::Box boxes[3];
    Rig r{install_favourites, install_bezel, install_layout, install_status};
    r.list_boxes(3);
    // -1: a line went out with the panels unlocked, or Disconnect or the page buttons unusable.
    std::vector<int> progress;
    for (int k = 0; k < 3; ++k) {
        boxes[k].load(state);
        r.script_box(k, [&, k, sim = sim_responder(boxes[k])](const std::string& line) {
            const bool locked = r.f.panels_locked && r.f.ProgressBar1.visible() &&
                                r.f.btn_discon.operable() && !r.f.btn_sys_search.operable() &&
                                r.f.opt_io.operable();
            progress.push_back(k != 0 ? -2 : locked ? r.f.ProgressBar1.value() : -1);
            return sim(line);
        });
    }
    r.go_online(0);
    r.p.drop(1);
    r.p.run_until_idle();
    r.f.opt_tv3.user_click();
    r.f.btn_save[3].user_click();
    r.f.opt_tv2.user_click();
    r.f.btn_tvwall_reset.user_click();
    r.p.run_until_idle();
    ASSERT_EQ(boxes[2].state().wall.bezel_h, 10); // the reset reached the other box too
    r.p.clear_records();
    progress.clear();
    r.f.opt_tv3.user_click();
    r.f.btn_recall[3].user_click(); // the box answers RFAV003
    r.finish();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "RFAVE 3"}, Sent{2, "RFAVE 3"}, Sent{0, "RBEZ"},
                                        Sent{0, "RBH "}, Sent{0, "RBV "}));
    EXPECT_THAT(r.p.dropped(), IsEmpty()); // a box that is not connected is left out, not tried
    EXPECT_THAT(progress, ElementsAre(0, -2, 40, 60, 60));
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Recall completed !", MsgIcon::none, MsgButtons::ok}));
    EXPECT_EQ(boxes[0].state().wall, state.wall);
    EXPECT_EQ(boxes[2].state().wall, state.wall);
    EXPECT_EQ(r.f.cbo_val_H[1].list_index(), 12);
    EXPECT_EQ(r.f.cbo_val_V[1].list_index(), 34);
    EXPECT_TRUE(r.f.opt_bezel[1].value());
    EXPECT_EQ(boxes[0].received("SBEZ"), 0); // the switch read back was not sent back
    EXPECT_FALSE(r.f.ProgressBar1.visible());
    EXPECT_TRUE(r.f.btn_recall[3].operable());
}

TEST(Favourites, OtherAnswersDoNotEndARecallAndDisconnectLeavesTheWindowOfflineWithNoMessage) {
    for (const char* answer : {"RFAV006", "RFAV3"}) {
        SCOPED_TRACE(answer);
        Rig r{install_favourites, install_bezel, install_layout, install_status};
        r.online(2, reply_table({{"RFAVE 1", answer}}));
        r.f.opt_tv3.user_click();
        const auto start = r.p.now();
        r.p.at(60'000, [&] { r.f.btn_discon.user_click(); });
        r.f.btn_recall[1].user_click();
        r.finish();
        EXPECT_EQ(r.p.now(), start + 60'000);
        EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "RFAVE 1"}, Sent{1, "RFAVE 1"}));
        // No bezel read, no completion: the window ends offline and unlocked.
        EXPECT_THAT(r.p.messages(), IsEmpty());
        EXPECT_FALSE(r.f.panels_locked);
        EXPECT_FALSE(r.f.ProgressBar1.visible());
        EXPECT_FALSE(r.f.frame_control[4].enabled());
        EXPECT_FALSE(r.f.btn_sys_refresh.enabled());
        EXPECT_TRUE(r.f.btn_con.shown_enabled());
    }
}

} // namespace
} // namespace wc::test
