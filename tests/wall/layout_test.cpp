#include "rig.h"
#include "wall/layout.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Layout : ::testing::Test {
    Rig r;
    void SetUp() override {
        r.list_boxes(3);
        r.go_online(0);
        r.f.opt_tv2.user_click();
    }
};

TEST_F(Layout, ChosenEntriesGoToTheSelectedBoxWithTheTrailingBlank) {
    r.f.btn_tvwall_send.user_click(); // nothing chosen yet
    r.f.cbo_tv_row.user_choose(2);    // " 3" under "Column"
    r.f.cbo_tv_col.user_choose(1);    // " 2" under "Row"
    r.f.btn_tvwall_send.user_click();
    r.f.cbo_tv_row.user_choose(14);
    r.f.cbo_tv_col.user_choose(14);
    r.f.btn_tvwall_send.user_click();
    EXPECT_THAT(r.p.messages(), ElementsAre(Message{"Please choose the correct values !",
                                                    MsgIcon::exclamation, MsgButtons::ok}));
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SMN 3 2 "}, Sent{0, "SMN 15 15 "}));
    EXPECT_EQ(r.f.wall_send_step, 0);
}

TEST_F(Layout, TypedNumbersAreCheckedAsTheyAreTyped) {
    struct Case {
        const char* text;
        int value; // tv_row_value afterwards; it was 9
        bool refused;
    };
    const Case cases[] = {
        {"7", 7, false},   {" 12 ", 12, false}, {"15.5", 16, false}, {"0.4", 0, false},
        {"2.5", 2, false}, {"3.5", 4, false},   {"0", 9, true},      {"16", 9, true},
        {"-1", 9, true},   {"abc", 9, true},    {"", 9, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        r.f.cbo_tv_row.user_choose(8);
        r.p.clear_records();
        r.f.cbo_tv_row.user_edit(c.text);
        EXPECT_EQ(r.f.tv_row_value, c.value);
        EXPECT_EQ(r.p.messages().size(), c.refused ? 1u : 0u);
    }
    EXPECT_THAT(r.p.messages(),
                ElementsAre(Message{"Please type 1 ~ 15!", MsgIcon::exclamation, MsgButtons::ok}));
}

TEST_F(Layout, FifteenAndAHalfIsTakenByTheListAndRefusedBySend) {
    r.f.cbo_tv_col.user_choose(0);
    r.f.cbo_tv_row.user_edit("15.5");
    r.f.btn_tvwall_send.user_click();
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Please choose the correct values !"));
    EXPECT_THAT(r.p.sent(), IsEmpty());
}

TEST_F(Layout, HotKeysGoToEveryListedBoxEvenWhenOnlyTheSelectedOneIsConnected) {
    r.p.socket_close(1);
    r.p.socket_close(2);
    r.f.opt_tv1.user_click();
    r.f.status_step = 4; // the hot key hands the status step back
    r.f.btn_tv_fs[0].user_click();
    r.f.btn_tv_fs[23].user_click();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SHOT 0"}, Sent{0, "SHOT 23"}));
    EXPECT_THAT(r.p.dropped(),
                ElementsAre(Sent{1, "SHOT 0"}, Sent{2, "SHOT 0"}, Sent{1, "SHOT 23"}, Sent{2, "SHOT 23"}));
    EXPECT_EQ(r.f.hotkey_step, 0);
    EXPECT_EQ(r.f.status_step, 0);
}

TEST_F(Layout, WallResetShowsTenInBothBezelListsBeforeTheResetGoesOut) {
    std::vector<int> shown_at_send;
    r.script_box(0, [&](const std::string&) {
        shown_at_send = {r.f.cbo_val_H[1].list_index(), r.f.cbo_val_V[1].list_index()};
        return std::vector<Reply>{{"WDEF"}};
    });
    r.f.btn_tvwall_reset.user_click();
    r.p.run_until_idle();
    EXPECT_THAT(shown_at_send, ElementsAre(10, 10));
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SWDE"}, Sent{1, "SWDE"}, Sent{2, "SWDE"}));
    EXPECT_EQ(r.f.wall_reset_step, 0); // the late WDEF finds no reset running
}

TEST(LayoutOffline, EveryActionOnADeadLinkSaysSoAndSendsNothing) {
    const std::function<void(Rig&)> actions[] = {
        [](Rig& rig) { rig.f.btn_tvwall_send.user_click(); },
        [](Rig& rig) { rig.f.btn_tvwall_reset.user_click(); },
        [](Rig& rig) {
            rig.f.opt_tv1.user_click();
            rig.f.btn_tv_fs[5].user_click();
        },
    };
    for (const auto& action : actions) {
        Rig rig;
        rig.list_boxes(2);
        rig.go_online(0);
        rig.f.opt_tv2.user_click();
        rig.f.cbo_tv_row.user_choose(1);
        rig.f.cbo_tv_col.user_choose(1);
        rig.p.drop(0);
        rig.p.run_until_idle();
        action(rig);
        EXPECT_THAT(rig.p.message_texts(), ElementsAre("Ethernet is disconnected !"));
        EXPECT_THAT(rig.p.sent(), IsEmpty());
        EXPECT_THAT(rig.p.dropped(), IsEmpty());
        EXPECT_EQ(rig.f.cbo_val_H[1].list_index(), -1);
    }
}

} // namespace
} // namespace wc::test
