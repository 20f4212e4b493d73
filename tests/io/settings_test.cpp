#include "rig.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;

struct IoSettings : ::testing::Test {
    Rig r;
    void SetUp() override {
        r.list_boxes(3);
        r.go_online(0);
        r.f.opt_io.user_click();
        r.f.cbo_model.set_list_index(1);
        r.p.clear_records();
    }
};

TEST_F(IoSettings, EachChoiceSendsItsLineToTheSelectedBoxOrToAllWithAllIp) {
    struct Case {
        std::function<void(Form1&)> choose;
        int all_ip;
        std::string line;
    };
    const Case cases[] = {
        {[](Form1& f) { f.cbo_reso.user_choose(28); }, 0, "SRES 28"},
        {[](Form1& f) { f.cbo_info_play.user_choose(1); }, 1, "SOSDD 1"},
        {[](Form1& f) { f.cbo_osd[0].user_choose(20); }, 2, "SOSDH 20"},
        {[](Form1& f) { f.cbo_osd[1].user_choose(3); }, 3, "SOSDV 3"},
        {[](Form1& f) { f.cbo_osd_time.user_choose(0); }, 4, "SOSDT 5"},
        {[](Form1& f) { f.cbo_osd_time.user_choose(45); }, 4, "SOSDT 50"},
        {[](Form1& f) { f.cbo_osd_gain.user_choose(10); }, 5, "SOSDG 10"},
        {[](Form1& f) { f.opt_mute[1].user_click(); }, 6, "SMUTE 1"},
        {[](Form1& f) { f.opt_mute[0].user_click(); }, 6, "SMUTE 0"},
    };
    for (const Case& c : cases) {
        for (bool all : {false, true}) {
            SCOPED_TRACE(c.line + (all ? " to all" : ""));
            r.f.chk_io[c.all_ip].set_value(all ? 1 : 0);
            r.f.io_read_step = 1; // quietly take the other mute option, so that the click changes it
            r.f.opt_mute[c.line == "SMUTE 1" ? 0 : 1].choose();
            r.f.io_read_step = 0;
            r.p.clear_records();
            c.choose(r.f);
            std::vector<Sent> expected = {{0, c.line}};
            if (all) {
                expected = {{0, c.line}, {1, c.line}, {2, c.line}};
            }
            EXPECT_EQ(r.p.sent(), expected);
        }
    }
}

TEST_F(IoSettings, AResolutionIsSentOnlyOnceConfirmed) {
    r.p.answer(MsgAnswer::no);
    r.f.cbo_reso.user_choose(20);
    EXPECT_THAT(r.p.messages(),
                ElementsAre(Message{"Are you sure you want to change the resolution to 1080p60 ?",
                                    MsgIcon::question, MsgButtons::yes_no}));
    EXPECT_TRUE(r.p.sent().empty());
    EXPECT_EQ(r.f.cbo_reso.text(), "1080p60"); // the declined choice stays shown
}

TEST_F(IoSettings, TypedValuesGoOutAsTypedWhenInRange) {
    struct Case {
        ComboBox* list;
        const char* typed;
        const char* sent; // nullptr: refused with the message
        const char* message;
    };
    const Case cases[] = {
        {&r.f.cbo_osd[1], "7", "SOSDV 7", nullptr},
        {&r.f.cbo_osd[1], " 7", "SOSDV  7", nullptr},
        {&r.f.cbo_osd[0], "20.5", "SOSDH 20.5", nullptr},
        {&r.f.cbo_osd[0], "5\r\nSPOW 0", nullptr, "Please type 0 ~ 20"},
        {&r.f.cbo_osd[0], "21", nullptr, "Please type 0 ~ 20"},
        {&r.f.cbo_osd[1], "-1", nullptr, "Please type 0 ~ 20"},
        {&r.f.cbo_osd[1], "abc", nullptr, "Please type 0 ~ 20"},
        {&r.f.cbo_osd_gain, "-0.5", "SOSDG -0.5", nullptr},
        {&r.f.cbo_osd_gain, "11", nullptr, "Please type 0 ~ 10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        r.p.clear_records();
        c.list->user_edit(c.typed);
        c.list->user_key('7'); // only Enter sends
        c.list->user_key(key_enter);
        if (c.sent != nullptr) {
            EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, c.sent}));
            EXPECT_TRUE(r.p.messages().empty());
        } else {
            EXPECT_TRUE(r.p.sent().empty());
            EXPECT_THAT(r.p.messages(),
                        ElementsAre(Message{c.message, MsgIcon::exclamation, MsgButtons::ok}));
        }
    }
}

TEST_F(IoSettings, WhileAReadBackRunsChoicesAreNotSentButTypedValuesAre) {
    r.f.io_read_step = 3;
    r.f.cbo_osd_time.user_choose(5);
    r.f.opt_mute[1].user_click();
    r.f.cbo_osd_gain.user_edit("4");
    r.f.cbo_osd_gain.user_key(key_enter);
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SOSDG 4"}));
}

TEST_F(IoSettings, ALostLinkClearsTheIdOnlyForTheListsThatSaySo) {
    struct Case {
        std::function<void(Form1&)> act;
        int id_after;
    };
    const Case cases[] = {
        {[](Form1& f) { f.cbo_osd_gain.user_key('1'); }, -1}, // any key, not only Enter
        {[](Form1& f) { f.cbo_osd_time.user_choose(2); }, -1},
        {[](Form1& f) { f.cbo_info_play.user_choose(1); }, 1},
        {[](Form1& f) { f.opt_mute[1].user_click(); }, 1},
    };
    for (const Case& c : cases) {
        r.p.drop(0);
        r.p.run_until_idle();
        c.act(r.f);
        EXPECT_THAT(r.p.message_texts(), ElementsAre("Ethernet is disconnected !"));
        EXPECT_EQ(r.f.cbo_model.list_index(), c.id_after);
        EXPECT_FALSE(r.f.link_up);
        EXPECT_TRUE(r.p.sent().empty());
        SetUp(); // offline now, so bringing the rig online again is no box switch
    }
}

} // namespace
} // namespace wc::test
