#include "io/io.h"
#include "console/link.h"
#include "link/protocol.h"

#include <string>

namespace wc {

namespace {

struct Row {
    ComboBox* (*list)(Form1&); // none for the mute options
    const char* command;       // followed by the value; the whole line for the mute options
    int offset;                // value = list position + offset
    bool clears_model;         // a lost link also clears the ID selection
    int all_ip;                // the row's "ALL IP" box, chk_io(all_ip)
};

// In the order of IoSetting.
const Row rows[] = {
    {[](Form1& f) { return &f.cbo_reso; }, "SRES ", 0, true, 0},
    {[](Form1& f) { return &f.cbo_info_play; }, "SOSDD ", 0, false, 1},
    {[](Form1& f) { return &f.cbo_osd[0]; }, "SOSDH ", 0, true, 2},
    {[](Form1& f) { return &f.cbo_osd[1]; }, "SOSDV ", 0, true, 3},
    {[](Form1& f) { return &f.cbo_osd_time; }, "SOSDT ", 5, true, 4},
    {[](Form1& f) { return &f.cbo_osd_gain; }, "SOSDG ", 0, true, 5},
    {nullptr, "SMUTE 0", 0, false, 6},
    {nullptr, "SMUTE 1", 0, false, 6},
};

const Row& row_of(IoSetting setting) {
    return rows[static_cast<std::size_t>(setting)];
}

bool link_checked(Console& c, const Row& row) {
    return check_link(c, row.clears_model ? OnLinkDown::clear_model_then_go_offline : OnLinkDown::go_offline);
}

} // namespace

void io_setting_Click(Console& c, IoSetting setting) {
    Form1& f = c.f;
    const Row& row = row_of(setting);
    if (!link_checked(c, row)) {
        return;
    }
    // Values that a read-back or the reset writes into the page are the box's own.
    if (f.io_reset_step != 0 || f.io_read_step != 0) {
        return;
    }
    std::string line = row.command;
    if (row.list != nullptr) {
        line += std::to_string(row.list(f)->list_index() + row.offset);
    }
    if (setting == IoSetting::reso &&
        c.message("Are you sure you want to change the resolution to " +
                      f.reso_names.at(static_cast<std::size_t>(f.cbo_reso.list_index())) + " ?",
                  MsgIcon::question, MsgButtons::yes_no) != MsgAnswer::yes) {
        return;
    }
    send_chosen(c, f.chk_io[row.all_ip].ticked(), line);
}

void io_setting_KeyDown(Console& c, IoSetting setting, int key) {
    Form1& f = c.f;
    const Row& row = row_of(setting);
    if (!link_checked(c, row) || key != key_enter || row.list == nullptr) {
        return;
    }
    const ComboBox& list = *row.list(f);
    // Accepted strictly between -1 and the count, so a fraction such as 20.5
    // passes; the text itself goes out as typed, not the number read from it.
    const int top = list.list_count() - 1;
    const auto value = numeric_value(list.text());
    if (!value || *value <= -1 || *value >= top + 1) {
        c.message("Please type 0 ~ " + std::to_string(top), MsgIcon::exclamation);
        return;
    }
    send_chosen(c, f.chk_io[row.all_ip].ticked(), row.command + list.text());
}

} // namespace wc
