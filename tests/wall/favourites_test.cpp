#include "rig.h"
#include "sim_responder.h"
#include "system/status.h"
#include "wall/bezel.h"
#include "wall/favourites.h"
#include "wall/layout.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Box 1 is not connected. A recall locks the panels and reads the bezel back from the selected box.
TEST(Favourites, StoreAndRecallOnTheSimulatedBoxesBringBackTheWallAndTheWindowShowsIt) {
    sim::BoxState state;
    state.wall.bezel_h = 12;
    state.wall.bezel_v = 34;
    state.wall.bezel_switch = 1;
    sim::Box boxes[3];
    Rig r{install_favourites, install_bezel, install_layout, install_status};
    r.list_boxes(3);
    std::vector<int> progress; // -1: a line went out with the panels unlocked or Disconnect unusable
    for (int k = 0; k < 3; ++k) {
        boxes[k].load(state);
        r.script_box(k, [&, k, sim = sim_responder(boxes[k])](const std::string& line) {
            const bool locked = r.f.panels_locked && r.f.ProgressBar1.visible() && r.f.btn_discon.operable();
            progress.push_back(k != 0 ? -2 : locked ? r.f.ProgressBar1.value() : -1);
            return sim(line);
        });
    }
    r.go_online(0);
    r.p.socket_close(1);
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
    EXPECT_EQ(r.f.recall_step, 0);
}

TEST(Favourites, OtherAnswersDoNotEndARecallAndDisconnectLeavesTheWindowOfflineWithNoMessage) {
    for (const char* answer : {"RFAV006", "RFAV3"}) {
        SCOPED_TRACE(answer);
        Rig r{install_favourites, install_bezel, install_layout, install_status};
        r.list_boxes(2);
        r.script_box(0, reply_table({{"RFAVE 1", answer}}));
        r.go_online(0);
        r.f.opt_tv3.user_click();
        const auto start = r.p.now();
        r.p.at(60'000, [&] { r.f.btn_discon.user_click(); });
        r.f.btn_recall[1].user_click();
        EXPECT_EQ(r.p.now(), start + 60'000);
        EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "RFAVE 1"}, Sent{1, "RFAVE 1"}));
        // No bezel read, no completion: the window ends offline with its counters at rest.
        EXPECT_THAT(r.p.messages(), IsEmpty());
        EXPECT_EQ(r.f.recall_step + r.f.status_step, 0);
        EXPECT_FALSE(r.f.panels_locked);
        EXPECT_FALSE(r.f.ProgressBar1.visible());
        EXPECT_FALSE(r.f.frame_control[4].enabled());
        EXPECT_FALSE(r.f.btn_sys_refresh.enabled());
        EXPECT_TRUE(r.f.btn_con.shown_enabled());
    }
}

} // namespace
} // namespace wc::test
