#include "console/shell.h"

#include "console/link.h"
#include "link/actions.h"
#include "link/protocol.h"
#include "link/settings.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace wc {

namespace {

// The frames that the panel lock covers, in the order they are switched.
std::array<Frame*, 8> locked_frames(Form1& f) {
    return {&f.net_config,       &f.frame_control[0], &f.frame_control[1], &f.frame_control[2],
            &f.frame_control[3], &f.frame_control[4], &f.con_interface,    &f.sys_setting};
}

void set_frames(Console& c, bool enabled) {
    for (Frame* frame : locked_frames(c.f)) {
        frame->set_enabled(enabled);
    }
}

void fill_tables(Form1& f) {
    f.reso_names.assign(resolution_names.begin(), resolution_names.end());
    f.ip_type_names.assign(address_type_names.begin(), address_type_names.end());
    f.switch_names.assign(switch_names.begin(), switch_names.end());
}

void clear_steps(Form1& f) {
    for (std::uint8_t* step :
         {&f.recall_step, &f.wall_send_step, &f.bezel_read_step, &f.wall_reset_step, &f.hotkey_step,
          &f.ipget_step, &f.ipset_step, &f.ipmode_step, &f.factory_step, &f.img_read_step, &f.img_reset_step,
          &f.pic_reset_busy, &f.io_read_step, &f.io_reset_step, &f.osd_info_step}) {
        *step = 0;
    }
}

// The numbers lo..hi, each as the list shows it: with a blank for its sign
// (" 5") or without.
void add_numbers(ComboBox& list, int lo, int hi, bool sign_blanks) {
    std::vector<std::string> numbers;
    for (long v = lo; v <= hi; ++v) {
        numbers.push_back(sign_blanks ? sign_blank(v) : std::to_string(v));
    }
    list.add_items(std::move(numbers));
}

void add_numbers(ComboBox& list, const Setting& setting, bool sign_blanks = false) {
    add_numbers(list, setting.lo, setting.hi, sign_blanks);
}

void fill_lists(Form1& f) {
    f.cbo_reso.add_items(f.reso_names);
    for (std::size_t k = 0; k < 2; ++k) {
        f.cbo_ip_type.add_item(f.ip_type_names[k]);
        f.cbo_info_play.add_item(f.switch_names[k]);
    }
    add_numbers(f.cbo_val_H[1], named_setting("bezel.h"), true);
    add_numbers(f.cbo_val_V[1], named_setting("bezel.v"), true);
    constexpr const Action& layout = named_action("layout");
    add_numbers(f.cbo_tv_row, layout.lo, layout.hi, true);
    add_numbers(f.cbo_tv_col, layout.lo, layout.hi, true);
    const std::pair<ControlArray<ComboBox>*, const Setting*> pictures[] = {
        {&f.cbo_image_bri, &named_setting("brightness.a")},
        {&f.cbo_image_con, &named_setting("contrast.a")},
        {&f.cbo_image_sat, &named_setting("saturation.a")},
        {&f.cbo_image_hue, &named_setting("hue.a")}};
    for (const auto& [lists, setting] : pictures) {
        for (auto& [output, list] : *lists) {
            add_numbers(*list, *setting); // every output takes the values of OUT A
        }
    }
    add_numbers(f.cbo_osd[0], named_setting("osd.h"));
    add_numbers(f.cbo_osd[1], named_setting("osd.v"));
    add_numbers(f.cbo_osd_gain, named_setting("osd.gain"));
    add_numbers(f.cbo_osd_time, named_setting("osd.timeout"));
}

} // namespace

void install_shell(Console& c) {
    Form1& f = c.f;
    // The buttons stand top to bottom for pages 0, 1, 4, 2, 3.
    const std::pair<Button*, int> pages[] = {
        {&f.opt_tv1, 0}, {&f.opt_tv2, 1}, {&f.opt_tv3, 4}, {&f.opt_io, 2}, {&f.opt_image, 3}};
    for (auto [button, page] : pages) {
        button->on_click = c.handler([&c, page = page] { show_page(c, page); });
    }
    f.btn_discon.on_click = c.handler([&c] { btn_discon_Click(c); });
}

// Ends offline: go_offline gives every box-dependent control its offline look.
void Form_Load(Console& c) {
    Form1& f = c.f;
    f.Timer1.set_enabled(false);
    f.Timer1.set_interval(15000);
    f.con_timeout = false;
    f.Timer2.set_enabled(false);
    f.Timer2.set_interval(2000);
    f.relink_timeout = false;
    f.startup_pending = true;
    f.ProgressBar1.set_visible(false);
    f.ProgressBar2.set_visible(false);
    f.con_interface.set_enabled(false);
    fill_tables(f);
    clear_steps(f);
    fill_lists(f);
    show_page(c, 0);
    go_offline(c);
}

void show_page(Console& c, int page) {
    if (page < 0 || page >= page_count) {
        return;
    }
    // The pages are stacked in one place (the window's design puts them
    // there): showing one is hiding the others.
    for (int i = 0; i < page_count; ++i) {
        c.f.frame_control[static_cast<std::size_t>(i)].set_visible(i == page);
    }
}

// Disconnect is the way out of a locked window, so it is marked operable
// before its frame is disabled and stays so until every frame is back.
void lock_panels(Console& c) {
    c.f.panels_locked = true;
    set_frames(c, false);
}

void unlock_panels(Console& c) {
    set_frames(c, true);
    c.f.panels_locked = false;
}

} // namespace wc
