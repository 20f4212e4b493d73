#include "rig.h"
#include "system/status.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;

struct Status : ::testing::Test {
    Rig r;
    void SetUp() override {
        r.list_boxes(3);
        r.go_online(0);
    }
    void reply(std::string text) {
        r.p.arrive(0, std::move(text));
        r.p.run_until_idle();
    }
};

TEST_F(Status, ReadBackAsksFourQuestionsEachAfterTheLastAnswer) {
    r.script_box(0, reply_table({{"RPOW", "POWE000\r\n"},
                                 {"RMDN", "MODN002\r\n"},
                                 {"RBEZ", "BEZE001\r\n"},
                                 {"RVER", "VERS115\r\n"}}));
    r.go_online(0);
    status_readback(r.c);
    EXPECT_THAT(r.p.lines(0), ElementsAre("RPOW", "RMDN", "RBEZ", "RVER"));
    EXPECT_EQ(r.f.status_step, 0);
    EXPECT_TRUE(r.f.power_ctl[2].visible()); // "Power OFF"
    EXPECT_FALSE(r.f.power_ctl[0].visible());
    EXPECT_EQ(r.f.cbo_model.list_index(), 2);
    EXPECT_TRUE(r.f.opt_bezel[1].value());
    EXPECT_EQ(r.f.window.caption(), "v1.15    FW: v1.15");
    // What the read wrote into the window was not sent back.
    EXPECT_EQ(r.p.sent().size(), 4u);
}

TEST_F(Status, PowerRepliesOtherThanZeroShowPowerOn) {
    for (const char* text : {"POWE001", "POWE1", "POWE"}) {
        r.f.status_step = 1;
        reply(text);
        EXPECT_TRUE(r.f.power_ctl[1].visible()) << text;
        EXPECT_FALSE(r.f.power_ctl[2].visible()) << text;
        EXPECT_EQ(r.f.status_step, 2);
    }
}

TEST_F(Status, FirmwareVersionIsReadAsOneDigitThenTwo) {
    r.f.status_step = 5;
    reply("VERS1");
    EXPECT_EQ(r.f.window.caption(), "v1.15    FW: v1.");
}

TEST_F(Status, RepliesOutOfTurnChangeNothing) {
    r.f.status_step = 4;
    reply("VERS115");
    EXPECT_EQ(r.f.status_step, 4);
    EXPECT_EQ(r.f.window.caption(), "v1.15");
    reply("BEZE000");
    EXPECT_EQ(r.f.status_step, 5);
    EXPECT_TRUE(r.f.opt_bezel[0].value());
    EXPECT_TRUE(r.p.sent().empty()); // no SBEZ for a choice the box made
}

TEST_F(Status, AnIdWithoutAnEntryKeepsTheSelectionAndTheReadGoesOn) {
    r.f.cbo_model.set_list_index(1);
    r.p.clear_records();
    r.f.status_step = 2;
    reply("MODN007");
    EXPECT_EQ(r.f.cbo_model.list_index(), 1);
    EXPECT_EQ(r.f.status_step, 4);
}

TEST_F(Status, ChoosingAnIdSendsOneLineToTheSelectedBox) {
    r.f.cbo_model.user_choose(2);
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SMDN 2"}));
    r.f.status_step = 1;
    r.f.cbo_model.user_choose(1);
    EXPECT_EQ(r.p.sent().size(), 1u);
}

TEST_F(Status, ChoosingAnIdWhileTheLinkIsDownClearsItAndGoesOffline) {
    r.p.drop(0);
    r.p.run_until_idle();
    r.f.cbo_model.user_choose(2);
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Ethernet is disconnected !"));
    EXPECT_EQ(r.f.cbo_model.list_index(), -1);
    EXPECT_EQ(r.f.discon_flag, 1);
    EXPECT_TRUE(r.p.sent().empty());
}

TEST_F(Status, ABoxSilentAfterRpowKeepsTheReadUntilDisconnect) {
    r.script_box(0, reply_table({}));
    r.go_online(0);
    r.p.at(60'000, [&] { r.f.btn_discon.user_click(); });
    r.f.panels_locked = true; // as inside the full refresh
    status_readback(r.c);
    EXPECT_THAT(r.p.lines(0), ElementsAre("RPOW"));
    EXPECT_THAT(r.p.dropped(), ElementsAre(Sent{0, "RMDN"}, Sent{0, "RBEZ"}, Sent{0, "RVER"}));
    EXPECT_EQ(r.f.status_step, 0);
}

} // namespace
} // namespace wc::test
