#include "rig.h"
#include "wall/bezel.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// What the window looked like when a line reached the box.
struct Seen {
    std::string line;
    int bezel_set_step;
    int status_step;
    bool operator==(const Seen&) const = default;
};
void PrintTo(const Seen& s, std::ostream* out) {
    *out << '"' << s.line << "\" at set step " << s.bezel_set_step << ", status step " << s.status_step;
}

struct Bezel : ::testing::Test {
    Rig r;
    std::vector<Seen> seen;
    void SetUp() override {
        r.list_boxes(3);
        r.go_online(0);
        r.f.opt_tv2.user_click();
    }
    // Box 0 answers from the table and notes the steps at each line it receives.
    void box_answers(std::map<std::string, std::string> replies) {
        r.script_box(0, [this, table = reply_table(std::move(replies))](const std::string& line) {
            seen.push_back({line, r.f.bezel_set_step, r.f.status_step});
            return table(line);
        });
    }
};

TEST_F(Bezel, ValueReadFillsBothListsOneAfterTheOther) {
    box_answers({{"RBH ", "BHV010\r\n"}, {"RBV ", "BVV005\r\n"}});
    bezel_value_readback(r.c);
    EXPECT_THAT(r.p.lines(0), ElementsAre("RBH ", "RBV "));
    EXPECT_EQ(r.f.cbo_val_H[1].list_index(), 10);
    EXPECT_EQ(r.f.cbo_val_V[1].list_index(), 5);
    EXPECT_EQ(r.f.bezel_read_step, 0);
    EXPECT_EQ(r.p.sent().size(), 2u); // the values shown are not sent back
}

TEST_F(Bezel, AVerticalValueBeforeTheHorizontalOneIsIgnored) {
    r.script_box(0, [](const std::string& line) {
        if (line == "RBH ") {
            return std::vector<Reply>{{"BVV007"}, {"BHV010"}};
        }
        return line == "RBV " ? std::vector<Reply>{{"BVV005"}} : std::vector<Reply>{};
    });
    bezel_value_readback(r.c);
    EXPECT_EQ(r.f.cbo_val_H[1].list_index(), 10);
    EXPECT_EQ(r.f.cbo_val_V[1].list_index(), 5);
}

TEST_F(Bezel, ValuesWithoutAnEntryKeepTheSelectionAndTheReadGoesOn) {
    struct Case {
        const char* value;
        int shown; // the list showed 3 before
    };
    const Case cases[] = {{"010", 10}, {"255", 255}, {"256", 3}, {"999", 3},
                          {"-01", 3},  {"", 0},      {"7x", 7},  {"2.5", 2}};
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
    box_answers({{"SBH 12", "BHV012\r\n"}, {"SBV 7", "BVV007\r\n"}, {"RBEZ", "BEZE001\r\n"}});
    r.f.cbo_val_H[1].user_choose(12);
    r.f.cbo_val_V[1].user_choose(7);
    r.f.btn_H_Bezel_send.user_click();
    EXPECT_THAT(seen, ElementsAre(Seen{"SBH 12", 1, 0}, Seen{"SBV 7", 5, 0}, Seen{"RBEZ", 0, 4}));
    // The switch follows the box's answer, and a choice the box made is not sent back.
    EXPECT_TRUE(r.f.opt_bezel[1].value());
    EXPECT_EQ(r.p.sent().size(), 3u);
    EXPECT_EQ(r.f.bezel_set_step, 0);
    EXPECT_EQ(r.f.status_step, 0);
    // An acknowledgement is not a read: the lists keep what the operator chose.
    EXPECT_EQ(r.f.cbo_val_H[1].list_index(), 12);
}

TEST_F(Bezel, WithAllIpEveryCommandGoesToEveryListedBox) {
    box_answers({{"SBH 1", "BHV001"}, {"SBV 2", "BVV002"}, {"RBEZ", "BEZE001"}});
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
        const long yields = r.p.yields();
        r.f.btn_H_Bezel_send.user_click(); // would wait for ever if it went ahead
        EXPECT_EQ(r.p.yields(), yields);
        r.f.*busy = 0;
    }
    EXPECT_THAT(r.p.sent(), IsEmpty());
    EXPECT_THAT(r.p.messages(), IsEmpty());
}

TEST_F(Bezel, DisconnectDuringTheSendEndsItHarmlessly) {
    box_answers({}); // never acknowledges
    r.f.cbo_val_H[1].user_choose(4);
    r.f.cbo_val_V[1].user_choose(4);
    r.p.clear_records();
    r.p.at(30'000, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_H_Bezel_send.user_click();
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

TEST_F(Bezel, FullReadTakesTheSwitchThenTheValuesAndMovesTheProgressBar) {
    std::vector<int> progress;
    auto table = reply_table({{"RBEZ", "BEZE000"}, {"RBH ", "BHV020"}, {"RBV ", "BVV030"}});
    r.f.opt_bezel[1].choose();
    r.p.clear_records();
    r.script_box(0, [&](const std::string& line) {
        progress.push_back(r.f.ProgressBar1.value());
        return table(line);
    });
    bezel_readback(r.c);
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "RBEZ"}, Sent{0, "RBH "}, Sent{0, "RBV "}));
    EXPECT_THAT(progress, ElementsAre(40, 60, 60));
    EXPECT_TRUE(r.f.opt_bezel[0].value());
    EXPECT_EQ(r.f.cbo_val_H[1].list_index(), 20);
    EXPECT_EQ(r.f.cbo_val_V[1].list_index(), 30);
    EXPECT_EQ(r.f.status_step, 0);
}

TEST_F(Bezel, AcknowledgementsMoveOnlyTheWriteStep) {
    r.f.bezel_set_step = 1;
    parse_bezel_ack(r.c, "BVV001"); // out of turn
    EXPECT_EQ(r.f.bezel_set_step, 1);
    parse_bezel_ack(r.c, "BHV001");
    EXPECT_EQ(r.f.bezel_set_step, 5);
    parse_bezel_ack(r.c, "BVV001");
    EXPECT_EQ(r.f.bezel_set_step, 9);
    EXPECT_EQ(r.f.bezel_read_step, 0);
}

} // namespace
} // namespace wc::test
