#include "rig.h"
#include "sim_responder.h"
#include "wall/favourites.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Favourites : ::testing::Test {
    Rig r;
    void SetUp() override {
        r.list_boxes(3);
        r.go_online(0);
        r.f.opt_tv3.user_click();
    }
};

TEST_F(Favourites, StoreGoesToEveryConnectedBoxAndSaysNothing) {
    r.p.socket_close(1);
    r.f.btn_save[3].user_click();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SFAVE 3"}, Sent{2, "SFAVE 3"}));
    EXPECT_THAT(r.p.dropped(), IsEmpty()); // a box that is not connected is left out, not tried
    EXPECT_THAT(r.p.messages(), IsEmpty());
}

TEST_F(Favourites, RecallEndsOnAnySlotAnswerThenReadsTheBezelBackWithThePanelsLocked) {
    r.f.opt_bezel[1].choose();
    r.p.socket_close(1);
    r.p.clear_records();
    std::vector<int> progress; // -1: a line went out with the panels unlocked or Disconnect unusable
    auto table = reply_table({{"RFAVE 1", "RFAV003\r\n"},
                              {"RBEZ", "BEZE000\r\n"},
                              {"RBH ", "BHV010\r\n"},
                              {"RBV ", "BVV005\r\n"}});
    r.script_box(0, [&](const std::string& line) {
        const bool locked = r.f.panels_locked && r.f.ProgressBar1.visible() && r.f.btn_discon.operable();
        progress.push_back(locked ? r.f.ProgressBar1.value() : -1);
        return table(line);
    });
    r.f.btn_recall[1].user_click();

    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "RFAVE 1"}, Sent{2, "RFAVE 1"}, Sent{0, "RBEZ"},
                                        Sent{0, "RBH "}, Sent{0, "RBV "}));
    EXPECT_THAT(progress, ElementsAre(0, 40, 60, 60));
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Recall completed !", MsgIcon::none, MsgButtons::ok}));
    EXPECT_TRUE(r.f.opt_bezel[0].value());
    EXPECT_EQ(r.f.cbo_val_H[1].list_index(), 10);
    EXPECT_EQ(r.f.cbo_val_V[1].list_index(), 5);
    EXPECT_EQ(r.f.ProgressBar1.value(), 100);
    EXPECT_FALSE(r.f.ProgressBar1.visible());
    EXPECT_TRUE(r.f.btn_recall[1].operable());
    EXPECT_EQ(r.f.recall_step, 0);
}

TEST(FavouriteRecall, OtherAnswersDoNotEndItAndDisconnectEndsItHarmlessly) {
    for (const char* answer : {"RFAV006", "RFAV3", "RFAV000", "RFAX001"}) {
        SCOPED_TRACE(answer);
        Rig r;
        r.list_boxes(2);
        r.script_box(0, reply_table({{"RFAVE 1", answer}}));
        r.go_online(0);
        r.f.opt_tv3.user_click();
        std::uint8_t step_at_disconnect = 0;
        r.p.at(60'000, [&] {
            step_at_disconnect = r.f.recall_step;
            r.f.btn_discon.user_click();
        });
        r.f.btn_recall[1].user_click();
        EXPECT_EQ(step_at_disconnect, 1);
        EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "RFAVE 1"}, Sent{1, "RFAVE 1"}));
        // No bezel read, no completion: the window ends offline with its counters at rest.
        EXPECT_THAT(r.p.messages(), IsEmpty());
        EXPECT_EQ(r.f.recall_step, 0);
        EXPECT_EQ(r.f.status_step, 0);
        EXPECT_FALSE(r.f.panels_locked);
        EXPECT_FALSE(r.f.ProgressBar1.visible());
        EXPECT_FALSE(r.f.frame_control[4].enabled());
        EXPECT_FALSE(r.f.btn_sys_refresh.enabled());
        EXPECT_TRUE(r.f.btn_con.shown_enabled());
    }
}

TEST_F(Favourites, TheLayoutAcknowledgementIsTakenOnlyWhileSmnIsBeingSent) {
    r.f.wall_send_step = 1;
    parse_fav_reply(r.c, "MNC001");
    EXPECT_EQ(r.f.wall_send_step, 3);
    r.f.wall_send_step = 0;
    parse_fav_reply(r.c, "MNC");
    EXPECT_EQ(r.f.wall_send_step, 0);
}

TEST(FavouritesWithTheSimulatedBoxes, ARecallBringsBackWhatWasStoredOnEveryBoxAndTheWindowShowsIt) {
    sim::Box boxes[2];
    Rig r;
    r.list_boxes(2);
    for (int k = 0; k < 2; ++k) {
        r.script_box(k, sim_responder(boxes[k]));
    }
    r.go_online(0);
    r.f.opt_tv2.user_click();
    r.f.Check1[2].user_click(); // the bezel commands go to both boxes
    r.f.cbo_val_H[1].user_choose(12);
    r.f.cbo_val_V[1].user_choose(34);
    r.f.btn_H_Bezel_send.user_click();
    r.f.opt_bezel[1].user_click();
    r.f.opt_tv3.user_click();
    r.f.btn_save[2].user_click();
    r.f.opt_tv2.user_click();
    r.f.opt_bezel[0].user_click();
    r.f.btn_tvwall_reset.user_click();
    r.p.run_until_idle();
    ASSERT_EQ(boxes[1].state().wall.bezel_h, 10); // the reset reached the other box too

    r.f.opt_tv3.user_click();
    r.f.btn_recall[2].user_click();
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Recall completed !"));
    for (const sim::Box& box : boxes) {
        EXPECT_EQ(box.state().wall, box.state().favourites[1]);
        EXPECT_EQ(box.state().wall.bezel_h, 12);
        EXPECT_EQ(box.state().wall.bezel_v, 34);
        EXPECT_EQ(box.state().wall.bezel_switch, 1);
    }
    EXPECT_EQ(r.f.cbo_val_H[1].list_index(), 12);
    EXPECT_EQ(r.f.cbo_val_V[1].list_index(), 34);
    EXPECT_TRUE(r.f.opt_bezel[1].value());
    EXPECT_EQ(boxes[0].received("SBEZ"), 2); // ON, OFF: the switch read back was not sent again
}

} // namespace
} // namespace wc::test
