#include "rig.h"

#include <gtest/gtest.h>

namespace wc::test {
namespace {

TEST(StartUp, OnlySearchMacAndThePageButtonsAreOperable) {
    Rig r{};
    std::vector<std::string> operable;
    for (Control* control : r.f.controls()) {
        if (control->kind() != Kind::frame && control->kind() != Kind::label && control->operable()) {
            operable.push_back(control->name());
        }
    }
    EXPECT_THAT(operable, ::testing::UnorderedElementsAre("opt_tv1", "opt_tv2", "opt_tv3", "opt_io",
                                                          "opt_image", "btn_sys_search", "TextInfo"));
    EXPECT_TRUE(r.f.sys_setting.enabled());
    EXPECT_FALSE(r.f.con_interface.enabled());
    EXPECT_FALSE(r.f.lbl_con[2].visible());
    EXPECT_FALSE(r.f.ProgressBar1.visible());
    EXPECT_FALSE(r.f.ProgressBar2.visible());
}

TEST(Controls, ListsAndOptionsRaiseClickAsTheWindowDoes) {
    Rig r{};
    int clicks = 0;
    ComboBox& list = r.f.cbo_osd_gain;
    list.on_click = [&] { ++clicks; };
    EXPECT_TRUE(list.set_list_index(3));
    EXPECT_EQ(list.text(), "3");
    EXPECT_FALSE(list.set_list_index(11)); // no such entry: nothing changes
    EXPECT_EQ(list.list_index(), 3);
    EXPECT_TRUE(list.set_list_index(-1)); // clearing raises nothing
    EXPECT_EQ(clicks, 1);
    list.user_choose(2); // the frame is disabled: the operator cannot act
    EXPECT_EQ(clicks, 1);

    int on = 0;
    r.f.opt_mute[1].on_click = [&] { ++on; };
    r.f.opt_mute[1].choose();
    r.f.opt_mute[1].choose(); // no change, no Click
    EXPECT_EQ(on, 1);
    r.f.opt_mute[0].choose();
    EXPECT_FALSE(r.f.opt_mute[1].value());
}

// What each parser slot saw, to check the fan-out itself.
std::vector<std::pair<int, std::string>> seen;

template <int Slot> void record(Console&, const Reply& reply) {
    seen.emplace_back(Slot, reply.text());
}

TEST(Intake, EveryInstalledParserGetsEachWholeReplyOfTheSelectedBoxInTheFixedOrder) {
    Rig r{};
    r.online(3);
    seen.clear();
    r.c.install(ParserSlot::bezel_ack, record<10>);
    r.c.install(ParserSlot::status, record<0>);
    r.c.install(ParserSlot::fav, record<4>); // the places between are skipped
    r.p.arrive(0, "BHV");
    r.p.run_until_idle();
    r.go_online(0); // going offline drops the half-received reply with its socket
    r.p.arrive(0, "POWE001\r\nMO");
    r.p.run_until_idle();
    EXPECT_EQ(r.f.TextInfo.text(), "POWE001\r\nMO"); // the chunk as it came
    EXPECT_EQ(seen,
              (std::vector<std::pair<int, std::string>>{{0, "POWE001"}, {4, "POWE001"}, {10, "POWE001"}}));
    // Data from a box not selected stays unread and clears the reply box.
    r.p.arrive(2, "POWE000\r\n");
    r.p.run_until_idle();
    EXPECT_EQ(r.f.TextInfo.text(), "");
    EXPECT_EQ(r.p.pending(2), "POWE000\r\n");
    EXPECT_EQ(seen.size(), 3u);
    // With nothing selected nothing is read.
    r.p.arrive(0, "DN001\r\n");
    r.f.cbo_ipaddr.set_list_index(-1);
    r.p.run_until_idle();
    EXPECT_EQ(r.p.pending(0), "DN001\r\n");
    EXPECT_EQ(seen.size(), 3u);
}

} // namespace
} // namespace wc::test
