#include "picture/readback.h"
#include "picture/settings.h"
#include "rig.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using Row = ControlArray<ComboBox> Form1::*;

// The positions the four lists of a row show, outputs A to D.
std::vector<int> shown(Form1& f, Row row) {
    std::vector<int> out;
    for (int output = 1; output <= 4; ++output) {
        out.push_back((f.*row)[output].list_index());
    }
    return out;
}

// Box 0 is the simulated box, but its RHUE 1 answer has no list position.
struct Picture : ::testing::Test {
    sim::Box box;
    Rig r{install_picture_settings, install_picture_readback};
    void SetUp() override {
        sim::BoxState state;
        for (std::size_t i = 0; i < 4; ++i) {
            state.brightness[i] = static_cast<int>(i) + 1;
            state.contrast[i] = static_cast<int>(i) + 11;
            state.saturation[i] = static_cast<int>(i) + 21;
            state.hue[i] = static_cast<int>(i) + 31;
        }
        state.brightness[2] = 50;
        box.load(state);
        r.online(3, [this, sim = sim_responder(box)](const std::string& line) {
            if (line == "RHUE 1") {
                return std::vector<Chunk>{{"IMG 01 HUEV101\r\n"}};
            }
            return sim(line);
        });
        r.f.opt_image.user_click();
    }
};

TEST_F(Picture, ReadBackAsksSixteenQuestionsInTurnFillsTheListsAndSendsNothingBack) {
    r.f.cbo_image_hue[1].user_choose(30);
    r.p.clear_records();
    r.f.btn_img_rst[5].user_click();
    r.finish();
    std::vector<std::string> queries;
    for (const char* word : {"RBRI ", "RCON ", "RSAT ", "RHUE "}) {
        for (int output = 1; output <= 4; ++output) {
            queries.push_back(word + std::to_string(output));
        }
    }
    EXPECT_EQ(r.p.lines(0), queries);
    EXPECT_EQ(r.p.sent().size(), 16u);
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_bri), ElementsAre(1, 2, 50, 4));
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_con), ElementsAre(11, 12, 13, 14));
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_sat), ElementsAre(21, 22, 23, 24));
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_hue), ElementsAre(30, 32, 33, 34));
    EXPECT_TRUE(r.f.btn_img_rst[5].operable());
}

// What the operator chooses during a read-back is sent; what the read shows is not.
TEST_F(Picture, ChoicesAndResetsDuringAReadBackAreSentAndDisconnectEndsIt) {
    r.script_box(0, reply_table({{"RBRI 1", "IMG 01 BRIV040"}})); // then silent
    r.p.at(1000, [&] { r.f.cbo_image_con[2].user_choose(60); });
    r.p.at(2000, [&] {
        EXPECT_FALSE(r.f.btn_img_rst[5].operable());
        r.f.btn_img_rst[1].user_click(); // a row reset inside the wait leaves the read-back alone
    });
    r.p.at(3000, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_img_rst[5].user_click();
    r.finish();
    EXPECT_THAT(r.p.sent(),
                ElementsAre(Sent{0, "RBRI 1"}, Sent{0, "RBRI 2"}, Sent{0, "SCON 2 60"}, Sent{0, "SIMRE 2"}));
    EXPECT_TRUE(r.f.btn_img_rst[5].enabled());
    EXPECT_THAT(r.p.messages(), IsEmpty());
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_con), ElementsAre(50, 50, 50, 50));
}

TEST_F(Picture, ChosenValuesFollowTheRowsAllIpTypedOnesGoToTheSelectedBoxAsTyped) {
    r.f.Chk_img[2].user_click();
    r.f.cbo_image_sat[1].user_choose(40);
    r.f.cbo_image_con[2].user_choose(75);
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SSAT 1 40"}, Sent{1, "SSAT 1 40"}, Sent{2, "SSAT 1 40"},
                                        Sent{0, "SCON 2 75"}));
    ComboBox& sat = r.f.cbo_image_sat[4];
    const Message refused{"Please type 0 ~ 100", MsgIcon::exclamation, MsgButtons::ok};
    // The bounds are exclusive, so fractions pass; what goes out is the text as typed.
    const std::pair<const char*, bool> cases[] = {
        {"64", true}, {"100.5", true}, {"-0.5", true}, {"101", false}, {"abc", false}};
    for (auto [typed, sent] : cases) {
        SCOPED_TRACE(typed);
        r.p.clear_records();
        sat.user_edit(typed);
        sat.user_key('1'); // only Enter sends
        sat.user_key(key_enter);
        const std::vector<Sent> line = {{0, std::string("SSAT 4 ") + typed}};
        EXPECT_EQ(r.p.sent(), sent ? line : std::vector<Sent>{});
        EXPECT_EQ(r.p.messages(), sent ? std::vector<Message>{} : std::vector<Message>{refused});
    }
    EXPECT_EQ(box.state().saturation[3], 64);
}

TEST_F(Picture, RowResetsFollowTheRowsAllIpPictureResetGoesToEveryBox) {
    r.f.btn_img_rst[1].user_click();
    r.f.Chk_img[1].user_click();
    r.f.btn_img_rst[1].user_click();
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_con), ElementsAre(50, 50, 50, 50));
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_bri), ElementsAre(-1, -1, -1, -1));
    r.f.btn_img_rst[4].user_click(); // "Picture Reset"
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_bri), ElementsAre(50, 50, 50, 50));
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_hue), ElementsAre(50, 50, 50, 50));
    EXPECT_THAT(r.p.sent(),
                ElementsAre(Sent{0, "SIMRE 2"}, Sent{0, "SIMRE 2"}, Sent{1, "SIMRE 2"}, Sent{2, "SIMRE 2"},
                            Sent{0, "SPIRE"}, Sent{1, "SPIRE"}, Sent{2, "SPIRE"}));
}

} // namespace
} // namespace wc::test
