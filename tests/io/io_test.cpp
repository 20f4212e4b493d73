#include "console/link.h"
#include "io/io.h"
#include "rig.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::_;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

const char* const queries[] = {"RRES", "ROSDD", "ROSDT", "ROSDH", "ROSDV", "ROSDG", "RMUTE"};

struct Io : ::testing::Test {
    Rig r{install_io};
    void online(Responder box = {}) {
        go_offline(r.c); // a rig brought online again must not see a box switch
        r.list_boxes(3);
        r.script_box(0, std::move(box));
        r.go_online(0);
        r.f.opt_io.user_click();
        r.f.cbo_model.set_list_index(1);
        r.p.clear_records();
    }
    std::vector<std::string> shown() const {
        return {r.f.cbo_reso.text(),
                r.f.cbo_info_play.text(),
                r.f.cbo_osd_time.text(),
                r.f.cbo_osd[0].text(),
                r.f.cbo_osd[1].text(),
                r.f.cbo_osd_gain.text(),
                r.f.opt_mute[1].value()   ? "ON"
                : r.f.opt_mute[0].value() ? "OFF"
                                          : "none"};
    }
};

TEST_F(Io, ReadBackLandsOnTheBoxValuesKeepsThoseWithoutAnEntryAndSendsNothingBack) {
    const char* const keys[] = {"RESO", "OSDD", "OSDT", "OSDH", "OSDV", "OSDG", "MUTE"};
    const std::vector<std::string> cases[][2] = {
        {{"020", "001", "010", "005", "005", "002", "001"}, {"1080p60", "ON", "10", "5", "5", "2", "ON"}},
        // Without an entry (the page showed entry 1 and ON): kept, and the read goes on; "1" is not "001".
        {{"029", "002", "004", "021", "-01", "011", "1"}, {"480p60", "ON", "6", "1", "1", "1", "OFF"}},
    };
    for (const auto& [values, expected] : cases) {
        std::map<std::string, std::string> box;
        for (std::size_t k = 0; k < 7; ++k) {
            box[queries[k]] = keys[k] + values[k];
        }
        online(reply_table(box));
        r.f.io_read_step = 1; // quietly show entry 1 first
        for (ComboBox* list : {&r.f.cbo_reso, &r.f.cbo_info_play, &r.f.cbo_osd_time, &r.f.cbo_osd[0],
                               &r.f.cbo_osd[1], &r.f.cbo_osd_gain}) {
            list->set_list_index(1);
        }
        r.f.opt_mute[1].choose();
        r.f.io_read_step = 0;
        r.f.btn_io_rst[0].user_click();
        EXPECT_THAT(r.p.lines(0), ElementsAreArray(queries));
        EXPECT_EQ(r.p.sent().size(), 7u);
        EXPECT_EQ(shown(), expected);
        EXPECT_TRUE(r.f.btn_io_rst[0].enabled());
    }
}

TEST_F(Io, AReplyOutOfTurnIsIgnoredAndDisconnectEndsTheReadBack) {
    online(reply_table({{"RRES", "RESO020"}, {"ROSDD", "OSDD001"}}));
    r.p.arrive(0, "OSDG002\r\n", 1000);
    r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_io_rst[0].user_click();
    EXPECT_THAT(r.p.lines(0), ElementsAre("RRES", "ROSDD", "ROSDT"));
    EXPECT_EQ(r.f.cbo_osd_gain.list_index(), -1);
    EXPECT_EQ(r.f.io_read_step, 0);
    EXPECT_TRUE(r.f.btn_io_rst[0].enabled());
}

TEST_F(Io, ResetShowsTheDefaultsAndAsksWhereToSend) {
    for (MsgAnswer answer : {MsgAnswer::no, MsgAnswer::yes}) {
        online();
        r.p.answer(answer);
        r.f.btn_io_rst[1].user_click();
        EXPECT_THAT(r.p.messages(),
                    ElementsAre(Message{"Reset All IP ?", MsgIcon::question, MsgButtons::yes_no}));
        EXPECT_EQ(r.p.sent().size(), answer == MsgAnswer::yes ? 3u : 1u);
        EXPECT_EQ(r.p.sent()[0], (Sent{0, "SOSDR"}));
        EXPECT_EQ(r.f.io_reset_step, 0);
        EXPECT_THAT(shown(), ElementsAre(_, "OFF", "5", "5", "5", "2", "OFF"));
    }
}

TEST_F(Io, AResolutionIsSentOnlyOnceConfirmedToTheSelectedBoxOrToAllWithAllIp) {
    for (MsgAnswer answer : {MsgAnswer::no, MsgAnswer::yes}) {
        online();
        r.p.answer(answer);
        r.f.chk_io[0].set_value(1);
        r.f.cbo_reso.user_choose(20);
        EXPECT_THAT(r.p.messages(),
                    ElementsAre(Message{"Are you sure you want to change the resolution to 1080p60 ?",
                                        MsgIcon::question, MsgButtons::yes_no}));
        EXPECT_EQ(r.p.lines(2), answer == MsgAnswer::yes ? std::vector<std::string>{"SRES 20"}
                                                         : std::vector<std::string>{});
    }
}

} // namespace
} // namespace wc::test
