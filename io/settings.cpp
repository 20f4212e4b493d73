#include "link/settings.h"

#include "console/link.h"
#include "io/io.h"
#include "link/protocol.h"

#include <string>

namespace wc {

namespace {

struct Row {
    ComboBox* (*list)(Form1&); // none for the mute options
    const Setting* setting;    // its set line; a list starts at its lowest value
    int option_value;          // what a mute option sets
    bool clears_model;         // a lost link also clears the ID selection
    int all_ip;                // the row's "ALL IP" box, chk_io(all_ip)
};

// In the order of IoSetting.
const Row rows[] = {
    {[](Form1& f) { return &f.cbo_reso; }, &named_setting("resolution"), 0, true, 0},
    {[](Form1& f) { return &f.cbo_info_play; }, &named_setting("osd.display"), 0, false, 1},
    {[](Form1& f) { return &f.cbo_osd[0]; }, &named_setting("osd.h"), 0, true, 2},
    {[](Form1& f) { return &f.cbo_osd[1]; }, &named_setting("osd.v"), 0, true, 3},
    {[](Form1& f) { return &f.cbo_osd_time; }, &named_setting("osd.timeout"), 0, true, 4},
    {[](Form1& f) { return &f.cbo_osd_gain; }, &named_setting("osd.gain"), 0, true, 5},
    {nullptr, &named_setting("mute"), 0, false, 6},
    {nullptr, &named_setting("mute"), 1, false, 6},
};

const Row& row_of(IoSetting setting) {
    return rows[static_cast<std::size_t>(setting)];
}

Task<bool> link_checked(Console& c, const Row& row) {
    return check_link(c, row.clears_model ? OnLinkDown::clear_model_then_go_offline : OnLinkDown::go_offline);
}

} // namespace

Task<> io_setting_Click(Console& c, IoSetting setting) {
    Form1& f = c.f;
    const Row& row = row_of(setting);
    const bool by_code = c.raised_by_code();
    const bool linked = co_await link_checked(c, row);
    if (!linked) {
        co_return;
    }
    // Values that a read-back or the reset writes into the page are the box's own.
    if (by_code) {
        co_return;
    }
    const std::string line = set_line(
        *row.setting, row.list != nullptr ? row.list(f)->list_index() + row.setting->lo : row.option_value);
    if (setting == IoSetting::reso) {
        const MsgAnswer sure =
            co_await c.message("Are you sure you want to change the resolution to " +
                                   f.reso_names.at(static_cast<std::size_t>(f.cbo_reso.list_index())) + " ?",
                               MsgIcon::question, MsgButtons::yes_no);
        if (sure != MsgAnswer::yes) {
            co_return;
        }
    }
    send_chosen(c, f.chk_io[row.all_ip].ticked(), line);
}

Task<> io_setting_KeyDown(Console& c, IoSetting setting, int key) {
    Form1& f = c.f;
    const Row& row = row_of(setting);
    const bool linked = co_await link_checked(c, row);
    if (!linked || key != key_enter || row.list == nullptr) {
        co_return;
    }
    const ComboBox& list = *row.list(f);
    // Accepted strictly between -1 and the count, so a fraction such as 20.5
    // passes; the text itself goes out as typed, not the number read from it.
    const int top = list.list_count() - 1;
    const auto value = numeric_value(list.text());
    if (!value || *value <= -1 || *value >= top + 1) {
        co_await c.message("Please type 0 ~ " + std::to_string(top), MsgIcon::exclamation);
        co_return;
    }
    send_chosen(c, f.chk_io[row.all_ip].ticked(), set_line(*row.setting, list.text()));
}

} // namespace wc
