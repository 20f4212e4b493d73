#include "console/shell.h"
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
    EXPECT_FALSE(r.f.Timer1.enabled());
    EXPECT_EQ(r.f.Timer1.interval(), 15000);
    EXPECT_EQ(r.f.Timer2.interval(), 2000);
}

TEST(StartUp, EveryListHoldsExactlyItsItemsAndNoneIsSelected) {
    Rig r{};
    Form1& f = r.f;
    struct Expect {
        ComboBox* list;
        int count;
        const char* first;
        const char* last;
        const char* text; // shown before anything is chosen
    };
    std::vector<Expect> lists = {
        {&f.cbo_reso, 29, "640x480@60", "Native", ""}, {&f.cbo_ip_type, 2, "STATIC", "DHCP", ""},
        {&f.cbo_info_play, 2, "OFF", "ON", ""},        {&f.cbo_val_H[1], 256, " 0", " 255", ""},
        {&f.cbo_val_V[1], 256, " 0", " 255", ""},      {&f.cbo_tv_row, 15, " 1", " 15", "1~15"},
        {&f.cbo_tv_col, 15, " 1", " 15", "1~15"},      {&f.cbo_osd[0], 21, "0", "20", "0~20"},
        {&f.cbo_osd[1], 21, "0", "20", "0~20"},        {&f.cbo_osd_gain, 11, "0", "10", "0~10"},
        {&f.cbo_osd_time, 46, "5", "50", ""},          {&f.cbo_ipaddr, 0, nullptr, nullptr, ""},
        {&f.cbo_model, 0, nullptr, nullptr, ""}};
    for (auto* row : {&f.cbo_image_bri, &f.cbo_image_con, &f.cbo_image_sat, &f.cbo_image_hue}) {
        for (int k = 1; k <= 4; ++k) {
            lists.push_back({&(*row)[k], 101, "0", "100", "0~100"});
        }
    }
    for (const Expect& e : lists) {
        SCOPED_TRACE(e.list->name());
        ASSERT_EQ(e.list->list_count(), e.count);
        EXPECT_EQ(e.list->list_index(), -1);
        EXPECT_EQ(e.list->text(), e.text);
        if (e.count > 0) {
            EXPECT_EQ(e.list->items().front(), e.first);
            EXPECT_EQ(e.list->items().back(), e.last);
        }
    }
    EXPECT_EQ(f.cbo_reso.items()[20], "1080p60");
    EXPECT_EQ(f.cbo_reso.items()[23], "1080I50");
}

TEST(Pages, EachButtonShowsItsPageAndOnlyThatOne) {
    Rig r{};
    Form1& f = r.f;
    const std::pair<Button*, int> buttons[] = {{&f.opt_tv1, 0}, {&f.opt_tv2, 1},   {&f.opt_tv3, 4},
                                               {&f.opt_io, 2},  {&f.opt_image, 3}, {&f.opt_image, 3}};
    for (auto [button, page] : buttons) {
        button->user_click();
        for (int i = 0; i < page_count; ++i) {
            EXPECT_EQ(f.frame_control[static_cast<std::size_t>(i)].visible(), i == page) << button->name();
        }
        // Shown while offline, but nothing on it can be used.
        EXPECT_FALSE(f.frame_control[static_cast<std::size_t>(page)].enabled());
    }
    EXPECT_TRUE(r.p.sent().empty());
    // On screen the buttons stand for pages 0, 1, 4, 2, 3 from top to bottom.
    EXPECT_LT(f.opt_tv2.geometry().top, f.opt_tv3.geometry().top);
    EXPECT_LT(f.opt_tv3.geometry().top, f.opt_io.geometry().top);
    EXPECT_LT(f.opt_io.geometry().top, f.opt_image.geometry().top);
}

TEST(Panels, UnlockEnablesAllEightFramesWhateverTheLink) {
    Rig r{};
    lock_panels(r.c);
    EXPECT_FALSE(r.f.sys_setting.enabled());
    EXPECT_FALSE(r.f.btn_sys_search.operable());
    EXPECT_TRUE(r.f.opt_io.operable()); // page buttons stay usable
    unlock_panels(r.c);
    for (Frame* frame : {&r.f.net_config, &r.f.con_interface, &r.f.sys_setting}) {
        EXPECT_TRUE(frame->enabled());
    }
    for (Frame& page : r.f.frame_control) {
        EXPECT_TRUE(page.enabled());
    }
}

TEST(Panels, DisconnectStaysOperableWhileLockedOnly) {
    Rig r{};
    r.list_boxes(1);
    r.go_online();
    lock_panels(r.c);
    EXPECT_TRUE(r.f.btn_discon.operable());
    EXPECT_FALSE(r.f.btn_con.operable());
    unlock_panels(r.c);
    r.f.con_interface.set_enabled(false);
    EXPECT_FALSE(r.f.btn_discon.operable());
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

} // namespace
} // namespace wc::test
