#include "rig.h"
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

TEST_F(Favourites, RecallEndsOnAnySlotAnswerThenReadsTheBezelBack) {
    struct Look {
        bool locked;
        bool progress_shown;
        bool disconnect_operable;
    };
    std::vector<Look> during;
    auto table = reply_table({{"RFAVE 1", "RFAV003\r\n"},
                              {"RBEZ", "BEZE000\r\n"},
                              {"RBH ", "BHV010\r\n"},
                              {"RBV ", "BVV005\r\n"}});
    r.f.opt_bezel[1].choose();
    r.p.socket_close(1);
    r.p.clear_records();
    r.script_box(0, [&](const std::string& line) {
        during.push_back({r.f.panels_locked, r.f.ProgressBar1.visible(), r.f.btn_discon.operable()});
        return table(line);
    });
    r.f.btn_recall[1].user_click();

    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "RFAVE 1"}, Sent{2, "RFAVE 1"}, Sent{0, "RBEZ"},
                                        Sent{0, "RBH "}, Sent{0, "RBV "}));
    EXPECT_THAT(r.p.dropped(), IsEmpty());
    ASSERT_EQ(during.size(), 4u);
    for (const Look& look : during) {
        EXPECT_TRUE(look.locked);
        EXPECT_TRUE(look.progress_shown);
        EXPECT_TRUE(look.disconnect_operable);
    }
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Recall completed !", MsgIcon::none, MsgButtons::ok}));
    EXPECT_TRUE(r.f.opt_bezel[0].value());
    EXPECT_EQ(r.f.cbo_val_H[1].list_index(), 10);
    EXPECT_EQ(r.f.cbo_val_V[1].list_index(), 5);
    EXPECT_EQ(r.f.ProgressBar1.value(), 100);
    EXPECT_FALSE(r.f.ProgressBar1.visible());
    EXPECT_FALSE(r.f.panels_locked);
    EXPECT_TRUE(r.f.btn_recall[1].operable());
    EXPECT_EQ(r.f.recall_step, 0);
}

TEST_F(Favourites, OtherAnswersDoNotEndARecallAndDisconnectDoesHarmlessly) {
    for (const char* answer : {"RFAV006", "RFAV3", "RFAV000", "RFAV", "RFAX001"}) {
        SCOPED_TRACE(answer);
        Rig rig;
        rig.list_boxes(2);
        rig.script_box(0, reply_table({{"RFAVE 1", answer}}));
        rig.go_online(0);
        rig.f.opt_tv3.user_click();
        std::uint8_t step_at_disconnect = 0;
        rig.p.at(60'000, [&] {
            step_at_disconnect = rig.f.recall_step;
            rig.f.btn_discon.user_click();
        });
        rig.f.btn_recall[1].user_click();
        EXPECT_EQ(step_at_disconnect, 1);
        EXPECT_THAT(rig.p.sent(), ElementsAre(Sent{0, "RFAVE 1"}, Sent{1, "RFAVE 1"}));
        // The bezel read finds the link down, says so, and the recall still ends in order.
        EXPECT_THAT(rig.p.message_texts(), ElementsAre("Ethernet is disconnected !", "Recall completed !"));
        EXPECT_EQ(rig.f.recall_step, 0);
        EXPECT_EQ(rig.f.status_step, 0);
        EXPECT_EQ(rig.f.bezel_read_step, 0);
        EXPECT_FALSE(rig.f.panels_locked);
        EXPECT_FALSE(rig.f.ProgressBar1.visible());
    }
}

TEST_F(Favourites, RepliesAreTakenOnlyByTheExchangeThatAwaitsThem) {
    struct Case {
        std::uint8_t Form1::*step;
        const char* reply;
        std::uint8_t before;
        std::uint8_t after;
    };
    const Case cases[] = {
        {&Form1::wall_send_step, "MNC", 1, 3},      {&Form1::wall_send_step, "MNC", 0, 0},
        {&Form1::wall_send_step, "MNC001", 1, 3},   {&Form1::recall_step, "RFAV001", 1, 2},
        {&Form1::recall_step, "RFAV005", 1, 2},     {&Form1::recall_step, "RFAV001", 0, 0},
        {&Form1::recall_step, "RFAV001\r\n", 1, 2}, {&Form1::recall_step, "MNC", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        r.f.*c.step = c.before;
        parse_fav_reply(r.c, c.reply);
        EXPECT_EQ(r.f.*c.step, c.after);
        r.f.*c.step = 0;
    }
}

TEST_F(Favourites, ALateLayoutAcknowledgementChangesNothing) {
    r.script_box(0, reply_table({{"SMN 2 2 ", "MNC\r\n"}}));
    r.f.opt_tv2.user_click();
    r.f.cbo_tv_row.user_choose(1);
    r.f.cbo_tv_col.user_choose(1);
    r.f.btn_tvwall_send.user_click();
    r.p.run_until_idle();
    EXPECT_EQ(r.f.TextInfo.text(), "MNC\r\n");
    EXPECT_EQ(r.f.wall_send_step, 0);
}

} // namespace
} // namespace wc::test
