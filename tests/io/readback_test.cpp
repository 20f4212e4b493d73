#include "io/io.h"
#include "link/link.h"
#include "rig.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

using ::testing::ElementsAre;

std::map<std::string, std::string> io_box(const char* reso, const char* osdd, const char* osdt,
                                          const char* osdh, const char* osdv, const char* osdg,
                                          const char* mute) {
    return {{"RRES", std::string("RESO") + reso + "\r\n"},  {"ROSDD", std::string("OSDD") + osdd + "\r\n"},
            {"ROSDT", std::string("OSDT") + osdt + "\r\n"}, {"ROSDH", std::string("OSDH") + osdh + "\r\n"},
            {"ROSDV", std::string("OSDV") + osdv + "\r\n"}, {"ROSDG", std::string("OSDG") + osdg + "\r\n"},
            {"RMUTE", std::string("MUTE") + mute + "\r\n"}};
}

struct IoReadBack : ::testing::Test {
    Rig r;
    void online(Responder box) {
        go_offline(r.c); // a rig brought online again must not see a box switch
        r.list_boxes(3);
        r.script_box(0, std::move(box));
        r.go_online(0);
        r.f.opt_io.user_click();
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

const std::vector<std::string> queries = {"RRES", "ROSDD", "ROSDT", "ROSDH", "ROSDV", "ROSDG", "RMUTE"};

TEST_F(IoReadBack, LandsOnTheBoxValuesAndSendsNothingBack) {
    auto table = reply_table(io_box("020", "001", "010", "005", "005", "002", "001"));
    bool refresh_enabled_at_mute = true;
    online([&](const std::string& line) {
        if (line == "RMUTE") {
            refresh_enabled_at_mute = r.f.btn_io_rst[0].enabled();
        }
        return table(line);
    });
    r.f.btn_io_rst[0].user_click();
    EXPECT_EQ(r.p.lines(0), queries);
    EXPECT_EQ(r.p.sent().size(), queries.size());
    EXPECT_THAT(shown(), ElementsAre("1080p60", "ON", "10", "5", "5", "2", "ON"));
    EXPECT_FALSE(refresh_enabled_at_mute);
    EXPECT_TRUE(r.f.btn_io_rst[0].enabled());
    EXPECT_EQ(r.f.io_read_step, 0);
}

TEST_F(IoReadBack, ValuesWithoutAnEntryKeepTheSelectionAndTheReadGoesOn) {
    online(reply_table(io_box("029", "002", "004", "021", "-01", "011", "1")));
    r.f.io_read_step = 1; // quietly show something first
    for (ComboBox* list : {&r.f.cbo_reso, &r.f.cbo_info_play, &r.f.cbo_osd_time, &r.f.cbo_osd[0],
                           &r.f.cbo_osd[1], &r.f.cbo_osd_gain}) {
        list->set_list_index(1);
    }
    r.f.opt_mute[1].choose();
    r.f.io_read_step = 0;
    io_readback(r.c);
    EXPECT_EQ(r.p.lines(0), queries);
    EXPECT_THAT(shown(), ElementsAre("480p60", "ON", "6", "1", "1", "1", "OFF")); // "MUTE1" is not "001"
}

TEST_F(IoReadBack, AReplyOutOfTurnIsIgnoredAndDisconnectEndsTheWait) {
    online(reply_table({{"RRES", "RESO020"}, {"ROSDD", "OSDD001"}}));
    r.p.arrive(0, "OSDG002", 1000);
    r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_io_rst[0].user_click();
    EXPECT_THAT(r.p.lines(0), ElementsAre("RRES", "ROSDD", "ROSDT"));
    EXPECT_THAT(r.p.dropped(),
                ElementsAre(Sent{0, "ROSDH"}, Sent{0, "ROSDV"}, Sent{0, "ROSDG"}, Sent{0, "RMUTE"}));
    EXPECT_EQ(r.f.cbo_osd_gain.list_index(), -1);
    EXPECT_EQ(r.f.io_read_step, 0);
    EXPECT_TRUE(r.f.btn_io_rst[0].enabled());
}

TEST_F(IoReadBack, ResetShowsTheDefaultsAndSendsToOneOrAllAsAnswered) {
    for (MsgAnswer answer : {MsgAnswer::no, MsgAnswer::yes}) {
        online({});
        r.p.answer(answer);
        r.f.btn_io_rst[1].user_click();
        EXPECT_THAT(r.p.messages(),
                    ElementsAre(Message{"Reset All IP ?", MsgIcon::question, MsgButtons::yes_no}));
        std::vector<Sent> expected = {{0, "SOSDR"}};
        if (answer == MsgAnswer::yes) {
            expected = {{0, "SOSDR"}, {1, "SOSDR"}, {2, "SOSDR"}};
        }
        EXPECT_EQ(r.p.sent(), expected);
        EXPECT_EQ(r.f.io_reset_step, 0);
        EXPECT_EQ(r.f.cbo_reso.list_index(), -1);
        const auto page = shown();
        EXPECT_THAT(std::vector<std::string>(page.begin() + 1, page.end()),
                    ElementsAre("OFF", "5", "5", "5", "2", "OFF"));
    }
}

TEST_F(IoReadBack, OsdInfoGoesToEveryListedBox) {
    online({});
    r.f.btn_io_rst[2].user_click();
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SOSDI"}, Sent{1, "SOSDI"}, Sent{2, "SOSDI"}));
    EXPECT_EQ(r.f.osd_info_step, 0);
}

} // namespace
} // namespace wc::test
