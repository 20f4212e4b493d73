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
        r.online(3, std::move(box));
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

TEST_F(Io, ReadBackLandsOnTheBoxValuesKeepsThoseWithoutAnEntryAndSendsNothingBack) {
    const char* const keys[] = {"RESO", "OSDD", "OSDT", "OSDH", "OSDV", "OSDG", "MUTE"};
    std::map<std::string, std::string> box;
    online([&box](const std::string& line) { return reply_table(box)(line); });
    const std::vector<std::string> reads[][2] = {
        {{"020", "001", "010", "005", "005", "002", "001"}, {"1080p60", "ON", "10", "5", "5", "2", "ON"}},
        // Without an entry: what the first read showed is kept, and the read goes on; "002" is not "001".
        {{"029", "002", "004", "021", "999", "011", "002"}, {"1080p60", "ON", "10", "5", "5", "2", "OFF"}},
    };
    for (const auto& [values, expected] : reads) {
        for (std::size_t k = 0; k < 7; ++k) {
            box[queries[k]] = keys[k] + values[k];
        }
        r.p.clear_records();
        r.f.btn_io_rst[0].user_click();
        r.finish();
        EXPECT_THAT(r.p.lines(0), ElementsAreArray(queries));
        EXPECT_EQ(r.p.sent().size(), 7u);
        EXPECT_EQ(shown(), expected);
        EXPECT_TRUE(r.f.btn_io_rst[0].enabled());
    }
}

// The operator's choice during the read-back is sent; the values the read
// shows are not sent back.
TEST_F(Io, AReplyOutOfTurnIsIgnoredAChoiceMeanwhileIsSentAndDisconnectEndsTheReadBack) {
    online(reply_table({{"RRES", "RESO020"}, {"ROSDD", "OSDD001"}}));
    r.p.arrive(0, "OSDG002\r\n", 1000);
    r.p.at(2000, [&] { r.f.cbo_osd[1].user_choose(7); });
    r.p.at(5000, [&] { r.f.btn_discon.user_click(); });
    r.f.btn_io_rst[0].user_click();
    r.finish();
    EXPECT_THAT(r.p.lines(0), ElementsAre("RRES", "ROSDD", "ROSDT", "SOSDV 7"));
    EXPECT_EQ(r.f.cbo_osd_gain.list_index(), -1);
    EXPECT_TRUE(r.f.btn_io_rst[0].enabled());
}

TEST_F(Io, ResetShowsTheDefaultsAndAResolutionIsSentOnlyOnceConfirmedEachAskingWhereToSend) {
    online();
    r.f.chk_io[0].user_click();
    for (MsgAnswer answer : {MsgAnswer::no, MsgAnswer::yes}) {
        r.p.clear_records();
        r.p.answer(answer);
        r.f.btn_io_rst[1].user_click();
        r.finish();
        EXPECT_THAT(r.p.messages(),
                    ElementsAre(Message{"Reset All IP ?", MsgIcon::question, MsgButtons::yes_no}));
        EXPECT_EQ(r.p.sent().size(), answer == MsgAnswer::yes ? 3u : 1u);
        EXPECT_EQ(r.p.sent()[0], (Sent{0, "SOSDR"}));
        EXPECT_THAT(shown(), ElementsAre(_, "OFF", "5", "5", "5", "2", "OFF"));

        r.p.clear_records();
        r.p.answer(answer);
        r.f.cbo_reso.user_choose(20);
        r.finish();
        EXPECT_THAT(r.p.messages(),
                    ElementsAre(Message{"Are you sure you want to change the resolution to 1080p60 ?",
                                        MsgIcon::question, MsgButtons::yes_no}));
        EXPECT_EQ(r.p.lines(2), answer == MsgAnswer::yes ? std::vector<std::string>{"SRES 20"}
                                                         : std::vector<std::string>{});
    }
}

// A typed value goes out as typed with Enter; one past the list's last entry is refused.
TEST_F(Io, ATypedValueInsideTheListGoesOutWithEnterAndOnePastItIsRefused) {
    online();
    for (const char* typed : {"20", "21"}) {
        r.f.cbo_osd[0].user_edit(typed);
        r.f.cbo_osd[0].user_key(key_enter);
    }
    EXPECT_THAT(r.p.sent(), ElementsAre(Sent{0, "SOSDH 20"}));
    EXPECT_THAT(r.p.message_texts(), ElementsAre("Please type 0 ~ 20"));
}

} // namespace
} // namespace wc::test
