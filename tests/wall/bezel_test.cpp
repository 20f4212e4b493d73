#include "rig.h"
#include "wall/bezel.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Bezel : ::testing::Test {
    Rig r;
    void SetUp() override {
        r.list_boxes(3);
        r.go_online(0);
        r.f.opt_tv2.user_click();
    }
};

TEST_F(Bezel, ValueReadIgnoresTheVerticalValueBeforeTheHorizontalOne) {
    r.script_box(0, [](const std::string& line) {
        if (line == "RBH ") {
            return std::vector<Reply>{{"BVV007"}, {"BHV010"}};
        }
        return line == "RBV " ? std::vector<Reply>{{"BVV005"}} : std::vector<Reply>{};
    });
    bezel_value_readback(r.c);
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "RBH "}, Sent{0, "RBV "})); // nothing shown is sent back
    EXPECT_EQ(r.f.cbo_val_H[1].list_index(), 10);
    EXPECT_EQ(r.f.cbo_val_V[1].list_index(), 5);
    EXPECT_EQ(r.f.bezel_read_step, 0);
}

TEST_F(Bezel, ValuesWithoutAnEntryKeepTheSelectionAndTheReadGoesOn) {
    struct Case {
        const char* value;
        int shown; // the list showed 3 before
    };
    const Case cases[] = {{"255", 255}, {"256", 3}, {"999", 3}, {"-01", 3}, {"", 0}, {"7x", 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        r.f.cbo_val_H[1].set_list_index(3);
        r.f.bezel_read_step = 1;
        parse_bezel_reply(r.c, std::string("BHV") + c.value);
        EXPECT_EQ(r.f.cbo_val_H[1].list_index(), c.shown);
        EXPECT_EQ(r.f.bezel_read_step, 5);
    }
}

TEST_F(Bezel, SendWritesEachValueAfterTheLastAcknowledgementThenReadsTheSwitch) {
    r.f.status_step = 4; // "OFF" as the last read showed it
    r.f.opt_bezel[0].choose();
    r.f.status_step = 0;
    std::vector<std::string> seen; // each line with the steps at the moment it went out
    auto table = reply_table({{"SBH 12", "BHV012\r\n"}, {"SBV 7", "BVV007\r\n"}, {"RBEZ", "BEZE001\r\n"}});
    r.script_box(0, [&](const std::string& line) {
        seen.push_back(line + " @" + std::to_string(r.f.bezel_set_step) + "/" +
                       std::to_string(r.f.status_step));
        return table(line);
    });
    r.f.cbo_val_H[1].user_choose(12);
    r.f.cbo_val_V[1].user_choose(7);
    r.f.btn_H_Bezel_send.user_click();
    EXPECT_THAT(seen, ElementsAre("SBH 12 @1/0", "SBV 7 @5/0", "RBEZ @0/4"));
    EXPECT_TRUE(r.f.opt_bezel[1].value());        // chosen by the BEZE answer, and not sent back as SBEZ 1
    EXPECT_EQ(r.f.cbo_val_H[1].list_index(), 12); // an acknowledgement is not a read
    EXPECT_EQ(r.f.bezel_set_step, 0);
    EXPECT_EQ(r.f.status_step, 0);
}

TEST_F(Bezel, WithAllIpEveryCommandGoesToEveryListedBox) {
    r.script_box(0, reply_table({{"SBH 1", "BHV001"}, {"SBV 2", "BVV002"}, {"RBEZ", "BEZE001"}}));
    r.f.Check1[2].user_click();
    r.f.cbo_val_H[1].user_choose(1);
    r.f.cbo_val_V[1].user_choose(2);
    r.f.btn_H_Bezel_send.user_click();
    r.f.opt_bezel[0].user_click();
    for (int k = 0; k < 3; ++k) {
        EXPECT_THAT(r.p.lines(k), ElementsAre("SBH 1", "SBV 2", "RBEZ", "SBEZ 0")) << "box " << k;
    }
}

TEST_F(Bezel, SendIsRefusedSilentlyWhileAnotherExchangeHoldsItsSteps) {
    for (std::uint8_t Form1::*busy :
         {&Form1::wall_reset_step, &Form1::bezel_read_step, &Form1::bezel_set_step, &Form1::status_step}) {
        r.f.*busy = 1;
        r.f.btn_H_Bezel_send.user_click(); // a wait here would throw Stalled
        r.f.*busy = 0;
    }
    EXPECT_THAT(r.p.sent(), IsEmpty());
    EXPECT_THAT(r.p.messages(), IsEmpty());
}

TEST_F(Bezel, DisconnectDuringTheSendEndsItHarmlessly) {
    r.f.cbo_val_H[1].user_choose(4);
    r.f.cbo_val_V[1].user_choose(4);
    r.p.at(30'000, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_H_Bezel_send.user_click(); // the box never acknowledges
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SBH 4"}));
    EXPECT_THAT(r.p.dropped(), ElementsAre(Sent{0, "SBV 4"}, Sent{0, "RBEZ"}));
    EXPECT_EQ(r.f.bezel_set_step, 0);
    EXPECT_EQ(r.f.status_step, 0);
    EXPECT_THAT(r.p.messages(), IsEmpty());
}

TEST_F(Bezel, SwitchSendsTheOperatorsChoiceOnlyWhileNoExchangeRuns) {
    r.f.opt_bezel[1].user_click();
    r.f.opt_bezel[0].user_click();
    r.f.status_step = 4;
    r.f.opt_bezel[1].user_click();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SBEZ 1"}, Sent{0, "SBEZ 0"}));
}

} // namespace
} // namespace wc::test
