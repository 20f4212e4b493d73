#include "picture/readback.h"
#include "rig.h"
#include "sim_responder.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

using Row = ControlArray<ComboBox> Form1::*;
const Row rows[] = {&Form1::cbo_image_bri, &Form1::cbo_image_con, &Form1::cbo_image_sat,
                    &Form1::cbo_image_hue};

// The positions the four lists of a row show, outputs A to D.
std::vector<int> shown(Form1& f, Row row) {
    std::vector<int> out;
    for (int output = 1; output <= 4; ++output) {
        out.push_back((f.*row)[output].list_index());
    }
    return out;
}

// The box puts seven characters of its own in front of the key.
std::string answer(const char* key, const std::string& value) {
    return std::string("IMG 01 ") + key + value + "\r\n";
}

struct PictureReadBack : ::testing::Test {
    Rig r;
    void SetUp() override {
        r.list_boxes(3);
        r.go_online(0);
        r.f.opt_image.user_click();
    }
    void reply(const std::string& text) {
        r.p.arrive(0, text);
        r.p.run_until_idle();
    }
};

TEST_F(PictureReadBack, RefreshAsksSixteenQuestionsEachAfterTheLastAnswer) {
    const char* const words[] = {"RBRI", "RCON", "RSAT", "RHUE"};
    const char* const keys[] = {"BRIV", "CONV", "SATV", "HUEV"};
    std::vector<std::string> expected;
    std::vector<int> step_at_query;
    for (int row = 0; row < 4; ++row) {
        for (int output = 1; output <= 4; ++output) {
            expected.push_back(std::string(words[row]) + " " + std::to_string(output));
        }
    }
    r.script_box(0, [&](const std::string& line) {
        step_at_query.push_back(r.f.img_read_step);
        for (int row = 0; row < 4; ++row) {
            if (line.rfind(words[row], 0) == 0) {
                const int output = line.back() - '0';
                return std::vector<Reply>{{answer(keys[row], std::to_string(10 * row + output))}};
            }
        }
        return std::vector<Reply>{};
    });
    r.f.btn_img_rst[5].user_click();
    EXPECT_THAT(r.p.lines(0), ElementsAreArray(expected));
    EXPECT_THAT(r.p.sent().size(), 16u); // nothing read was sent back
    EXPECT_THAT(step_at_query, ElementsAre(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16));
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_bri), ElementsAre(1, 2, 3, 4));
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_con), ElementsAre(11, 12, 13, 14));
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_sat), ElementsAre(21, 22, 23, 24));
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_hue), ElementsAre(31, 32, 33, 34));
    EXPECT_EQ(r.f.img_read_step, 0);
    EXPECT_TRUE(r.f.btn_img_rst[5].operable());
}

TEST_F(PictureReadBack, AnAnswerFillsTheListItsStepNames) {
    r.f.img_read_step = 3;
    reply(answer("BRIV", "050"));
    EXPECT_EQ(r.f.cbo_image_bri[3].list_index(), 50);
    EXPECT_EQ(r.f.cbo_image_bri[3].text(), "50");
    EXPECT_EQ(r.f.img_read_step, 4);
    EXPECT_THAT(r.p.sent(), IsEmpty());
}

TEST_F(PictureReadBack, AnswersOutOfTurnAreIgnored) {
    const std::pair<int, const char*> cases[] = {
        {4, "IMG 01 CONV020"}, {5, "IMG 01 BRIV020"}, {0, "IMG 01 BRIV020"}, {1, "BRIV020"}};
    for (auto [step, text] : cases) {
        SCOPED_TRACE(text);
        r.f.img_read_step = static_cast<std::uint8_t>(step);
        reply(text);
        EXPECT_EQ(r.f.img_read_step, step);
    }
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_bri), ElementsAre(-1, -1, -1, -1));
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_con), ElementsAre(-1, -1, -1, -1));
}

TEST_F(PictureReadBack, ValuesAreRoundedHalfToEvenAndThoseWithoutAPositionKeepTheSelection) {
    struct Case {
        const char* value;
        int shown; // the list showed 30 before
    };
    const Case cases[] = {{"050", 50}, {"100", 100}, {"2.5", 2},  {"3.5", 4},  {"", 0},
                          {"x", 0},    {"7ab", 7},   {"101", 30}, {"999", 30}, {"-05", 30}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        r.f.img_read_step = 13;
        r.f.cbo_image_hue[1].set_list_index(30);
        reply(answer("HUEV", c.value));
        EXPECT_EQ(r.f.cbo_image_hue[1].list_index(), c.shown);
        EXPECT_EQ(r.f.img_read_step, 14); // the read-back goes on either way
    }
    EXPECT_THAT(r.p.sent(), IsEmpty());
}

TEST_F(PictureReadBack, ChoicesDuringAReadBackAreSilentAndDisconnectEndsIt) {
    r.script_box(0, reply_table({{"RBRI 1", answer("BRIV", "040")}})); // then silent
    r.p.at(1000, [&] { r.f.cbo_image_con[2].user_choose(60); });
    r.p.at(2000, [&] {
        EXPECT_FALSE(r.f.btn_img_rst[5].operable());
        r.f.btn_img_rst[1].user_click(); // a row reset inside the wait leaves the read-back alone
        EXPECT_EQ(r.f.img_read_step, 2);
    });
    r.p.at(3000, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_img_rst[5].user_click();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "RBRI 1"}, Sent{0, "RBRI 2"}, Sent{0, "SIMRE 2"}));
    EXPECT_EQ(r.p.dropped().size(), 14u);
    EXPECT_EQ(r.f.img_read_step, 0);
    EXPECT_TRUE(r.f.btn_img_rst[5].enabled());
    EXPECT_THAT(r.p.messages(), IsEmpty());
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_con), ElementsAre(50, 50, 50, 50));
}

TEST_F(PictureReadBack, RowResetShowsFiftyAndSendsOneCommandForTheWholeRow) {
    r.f.btn_img_rst[1].user_click();
    r.f.Chk_img[1].user_click();
    r.f.btn_img_rst[1].user_click();
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_con), ElementsAre(50, 50, 50, 50));
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_bri), ElementsAre(-1, -1, -1, -1));
    EXPECT_THAT(r.p.sent(),
                ElementsAre(Sent{0, "SIMRE 2"}, Sent{0, "SIMRE 2"}, Sent{1, "SIMRE 2"}, Sent{2, "SIMRE 2"}));
    EXPECT_EQ(r.f.img_reset_step, 0);
}

TEST_F(PictureReadBack, PictureResetShowsFiftyEverywhereAndAlwaysGoesToEveryBox) {
    r.f.btn_img_rst[4].user_click();
    for (Row row : rows) {
        EXPECT_THAT(shown(r.f, row), ElementsAre(50, 50, 50, 50));
    }
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SPIRE"}, Sent{1, "SPIRE"}, Sent{2, "SPIRE"}));
    EXPECT_EQ(r.f.pic_reset_busy, 0);
}

TEST_F(PictureReadBack, ButtonsOnADeadLinkWriteAndSendNothing) {
    r.p.drop(0);
    r.p.run_until_idle();
    r.f.btn_img_rst[4].user_click();
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Ethernet is disconnected !"));
    EXPECT_THAT(shown(r.f, &Form1::cbo_image_bri), ElementsAre(-1, -1, -1, -1));
    EXPECT_THAT(r.p.sent(), IsEmpty());
    EXPECT_THAT(r.p.dropped(), IsEmpty());
}

TEST(PictureWithTheSimulatedBox, SettingsResetsAndReadBackLeaveTheWindowAndTheBoxAgreeing) {
    sim::BoxState state;
    for (std::size_t i = 0; i < 4; ++i) {
        state.brightness[i] = static_cast<int>(i) + 1;
        state.contrast[i] = static_cast<int>(i) + 11;
        state.saturation[i] = static_cast<int>(i) + 21;
        state.hue[i] = static_cast<int>(i) + 91;
    }
    sim::Box box;
    box.load(state);
    Rig r;
    r.list_boxes(2);
    r.script_box(0, sim_responder(box));
    r.go_online(0);
    r.f.opt_image.user_click();
    const auto agree = [&] {
        const std::array<int, 4> sim::BoxState::*values[] = {&sim::BoxState::brightness,
                                                             &sim::BoxState::contrast,
                                                             &sim::BoxState::saturation, &sim::BoxState::hue};
        for (std::size_t row = 0; row < 4; ++row) {
            const auto& on_box = box.state().*values[row];
            EXPECT_THAT(shown(r.f, rows[row]), ElementsAreArray(on_box)) << "row " << row;
        }
    };

    r.f.btn_img_rst[5].user_click();
    agree();
    EXPECT_EQ(box.state(), state); // nothing read was written back

    r.f.cbo_image_con[2].user_choose(75);
    r.f.cbo_image_sat[4].user_edit("64");
    r.f.cbo_image_sat[4].user_key(key_enter);
    r.f.btn_img_rst[3].user_click(); // hue back to 50 on the box and in the window
    r.p.run_until_idle();
    EXPECT_EQ(box.state().contrast[1], 75);
    EXPECT_EQ(box.state().saturation[3], 64);
    r.f.btn_img_rst[5].user_click();
    agree();
    EXPECT_THAT(r.p.messages(), IsEmpty());
}

} // namespace
} // namespace wc::test
