#include "picture/settings.h"
#include "rig.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct PictureSettings : ::testing::Test {
    Rig r;
    void SetUp() override {
        r.list_boxes(3);
        r.go_online(0);
        r.f.opt_image.user_click();
    }
    ComboBox& list(ControlArray<ComboBox> Form1::*row, int output) { return (r.f.*row)[output]; }
};

TEST_F(PictureSettings, AChosenValueGoesOutAsItsListPosition) {
    struct Case {
        ControlArray<ComboBox> Form1::*row;
        int output;
        int position;
        const char* line;
    };
    const Case cases[] = {
        {&Form1::cbo_image_hue, 1, 0, "SHUE 1 0"},
        {&Form1::cbo_image_bri, 4, 100, "SBRI 4 100"},
        {&Form1::cbo_image_con, 3, 75, "SCON 3 75"},
        {&Form1::cbo_image_sat, 2, 7, "SSAT 2 7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        r.p.clear_records();
        list(c.row, c.output).user_choose(c.position);
        EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, c.line}));
    }
}

TEST_F(PictureSettings, AllIpOfARowReachesEveryBoxForThatRowOnly) {
    r.p.socket_close(2);
    r.f.Chk_img[2].user_click();
    list(&Form1::cbo_image_sat, 1).user_choose(40);
    list(&Form1::cbo_image_bri, 1).user_choose(40);
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SSAT 1 40"}, Sent{1, "SSAT 1 40"}, Sent{0, "SBRI 1 40"}));
    EXPECT_THAT(r.p.dropped(), ElementsAre(Sent{2, "SSAT 1 40"}));
}

TEST_F(PictureSettings, TypedTextIsSentAsTypedToTheSelectedBoxWithinTheExclusiveBounds) {
    struct Case {
        const char* typed;
        const char* line; // nullptr: refused
    };
    const Case cases[] = {
        {"50", "SBRI 2 50"}, {"100.5", "SBRI 2 100.5"}, {"-0.5", "SBRI 2 -0.5"}, {"7.0", "SBRI 2 7.0"},
        {" 7", "SBRI 2  7"}, {"0", "SBRI 2 0"},         {"100", "SBRI 2 100"},   {"101", nullptr},
        {"-1", nullptr},     {"abc", nullptr},          {"", nullptr},           {"1e2", "SBRI 2 1e2"},
        {"0~100", nullptr},
    };
    r.f.Chk_img[0].user_click(); // typing never goes to all boxes
    ComboBox& bri = list(&Form1::cbo_image_bri, 2);
    bri.user_choose(30);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        r.p.clear_records();
        bri.user_edit(c.typed);
        bri.user_key(key_enter);
        if (c.line != nullptr) {
            EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, c.line}));
            EXPECT_THAT(r.p.messages(), IsEmpty());
        } else {
            EXPECT_THAT(r.p.sent(), IsEmpty());
            EXPECT_THAT(r.p.messages(),
                        ElementsAre(Message{"Please type 0 ~ 100", MsgIcon::exclamation, MsgButtons::ok}));
        }
        EXPECT_EQ(bri.list_index(), 30); // typing leaves the selection alone
        EXPECT_EQ(bri.text(), c.typed);
    }
}

TEST_F(PictureSettings, KeysOtherThanEnterSendNothingButOnADeadLinkAnyKeySaysSo) {
    list(&Form1::cbo_image_hue, 3).user_edit("12");
    list(&Form1::cbo_image_hue, 3).user_key('1');
    EXPECT_THAT(r.p.sent(), IsEmpty());
    EXPECT_THAT(r.p.messages(), IsEmpty());
    r.p.drop(0);
    r.p.run_until_idle();
    list(&Form1::cbo_image_con, 1).user_key('5');
    EXPECT_THAT(r.p.messages(),
                ElementsAre(Message{"Ethernet is disconnected !", MsgIcon::critical, MsgButtons::ok}));
    EXPECT_EQ(r.f.discon_flag, 1);
}

} // namespace
} // namespace wc::test
