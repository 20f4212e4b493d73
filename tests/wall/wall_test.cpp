#include "rig.h"
#include "sim_responder.h"
#include "system/status.h"
#include "wall/bezel.h"
#include "wall/layout.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Wall : ::testing::Test {
    Rig r{install_layout, install_bezel, install_status};
    void SetUp() override {
        r.list_boxes(3);
        r.go_online(0);
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
        return std::vector<Reply>{{"WDEF\r\n"}};
    });
    r.f.btn_tvwall_reset.user_click();
    r.p.run_until_idle();
    EXPECT_THAT(shown_at_send, ElementsAre(10, 10));
    EXPECT_EQ(r.f.wall_reset_step, 0); // the late WDEF finds no reset running
    r.p.socket_close(1);
    r.p.socket_close(2);
    r.f.opt_tv1.user_click();
    r.f.status_step = 4; // a hot key hands the status step back
    r.f.btn_tv_fs[0].user_click();
    r.f.btn_tv_fs[23].user_click();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SWDE"}, Sent{1, "SWDE"}, Sent{2, "SWDE"}, Sent{0, "SHOT 0"},
                                        Sent{0, "SHOT 23"}));
    EXPECT_THAT(r.p.dropped(),
                ElementsAre(Sent{1, "SHOT 0"}, Sent{2, "SHOT 0"}, Sent{1, "SHOT 23"}, Sent{2, "SHOT 23"}));
    EXPECT_EQ(r.f.status_step, 0);
}

TEST_F(Wall, EachHotKeyIsCaptionedWithTheLayoutTheBoxTakesForIt) {
    sim::Box box;
    r.script_box(0, sim_responder(box));
    r.f.opt_tv1.user_click();
    for (auto& [index, button] : r.f.btn_tv_fs) {
        button->user_click();
        r.p.run_until_idle();
        const sim::WallSettings& wall = box.state().wall;
        EXPECT_EQ(button->caption(), std::to_string(wall.rows) + "x" + std::to_string(wall.columns)) << index;
    }
    EXPECT_EQ(box.received("SHOT"), 24);
}

TEST_F(Wall, BezelSendWritesEachValueAfterTheLastAcknowledgementThenReadsTheSwitch) {
    r.f.status_step = 4; // "OFF" as the last read showed it
    r.f.opt_bezel[0].choose();
    r.f.status_step = 0;
    std::vector<std::string> seen; // each line with the steps at the moment it went out
    auto table =
        reply_table({{"SBH 12", "BHV012"}, {"SBV 7", "BVV007"}, {"RBEZ", "BEZE001"}, {"RBV ", "BVV999"}});
    r.script_box(0, [&](const std::string& line) {
        seen.push_back(line + " @" + std::to_string(r.f.bezel_set_step) + "/" +
                       std::to_string(r.f.status_step));
        // Out of turn, then above 255.
        return line == "RBH " ? std::vector<Reply>{{"BVV005\r\n"}, {"BHV256\r\n"}} : table(line);
    });
    r.f.Check1[2].user_click(); // every bezel command to every listed box
    r.f.cbo_val_H[1].user_choose(12);
    r.f.cbo_val_V[1].user_choose(7);
    r.f.btn_H_Bezel_send.user_click();
    EXPECT_TRUE(r.f.opt_bezel[1].value()); // chosen by the BEZE answer, and not sent back as SBEZ 1
    r.f.opt_bezel[0].user_click();
    bezel_value_readback(r.c); // values without a list entry keep the selection, and the read ends
    EXPECT_THAT(
        seen, ElementsAre("SBH 12 @1/0", "SBV 7 @5/0", "RBEZ @0/4", "SBEZ 0 @0/0", "RBH  @0/0", "RBV  @0/0"));
    for (int k = 1; k < 3; ++k) {
        EXPECT_THAT(r.p.lines(k), ElementsAre("SBH 12", "SBV 7", "RBEZ", "SBEZ 0")) << "box " << k;
    }
    EXPECT_EQ(r.f.cbo_val_H[1].list_index(), 12);
    EXPECT_EQ(r.f.cbo_val_V[1].list_index(), 7);
    EXPECT_EQ(r.f.bezel_set_step + r.f.bezel_read_step + r.f.status_step, 0);
}

TEST_F(Wall, BezelSendIsRefusedSilentlyWhileAnotherExchangeHoldsItsSteps) {
    for (std::uint8_t Form1::*busy :
         {&Form1::wall_reset_step, &Form1::bezel_read_step, &Form1::bezel_set_step, &Form1::status_step}) {
        r.f.*busy = 1;
        r.f.btn_H_Bezel_send.user_click(); // a wait here would throw Stalled
        r.f.*busy = 0;
    }
    EXPECT_THAT(r.p.sent(), IsEmpty());
    EXPECT_THAT(r.p.messages(), IsEmpty());
}

} // namespace
} // namespace wc::test
