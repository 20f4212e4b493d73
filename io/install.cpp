#include "io/io.h"

namespace wc {

void install_io(Console& c) {
    Form1& f = c.f;
    c.install(ParserSlot::io, parse_io_reply);
    c.install(ParserSlot::osd_reset, parse_osd_reset_reply);
    const std::pair<ComboBox*, IoSetting> lists[] = {
        {&f.cbo_reso, IoSetting::reso},         {&f.cbo_info_play, IoSetting::info_play},
        {&f.cbo_osd[0], IoSetting::osd_h},      {&f.cbo_osd[1], IoSetting::osd_v},
        {&f.cbo_osd_time, IoSetting::osd_time}, {&f.cbo_osd_gain, IoSetting::osd_gain}};
    for (auto [list, setting] : lists) {
        list->on_click = c.handler([&c, setting = setting] { return io_setting_Click(c, setting); });
        if (list->style() == ComboBox::Style::editable) {
            list->on_key_down =
                c.handler([&c, setting = setting](int key) { return io_setting_KeyDown(c, setting, key); });
        }
    }
    f.opt_mute[0].on_click = c.handler([&c] { return io_setting_Click(c, IoSetting::mute_off); });
    f.opt_mute[1].on_click = c.handler([&c] { return io_setting_Click(c, IoSetting::mute_on); });
    for (auto& [index, button] : f.btn_io_rst) {
        button->on_click = c.handler([&c, index = index] { return btn_io_rst_Click(c, index); });
    }
}

} // namespace wc
