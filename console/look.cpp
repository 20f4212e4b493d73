#include "console/look.h"

#include "link/version.h"

#include <initializer_list>

namespace wc {

void show_link_look(Form1& f, bool online) {
    f.btn_con.set_back_color(online ? color::green : color::button_face);
    f.btn_discon.set_back_color(online ? color::button_face : color::red);
    f.lbl_con[2].set_visible(false);
    if (!online) {
        f.power_ctl[0].set_visible(true);
        f.power_ctl[1].set_visible(false);
        f.power_ctl[2].set_visible(false);
        f.window.set_caption(std::string(version_caption));
    }
    for (Control* control :
         std::initializer_list<Control*>{&f.net_config, &f.power_ctl[0], &f.btn_sys_fac_rst,
                                         &f.btn_sys_refresh, &f.Check1[0], &f.Check1[1], &f.cbo_model}) {
        control->set_enabled(online);
    }
    for (Frame& page : f.frame_control) {
        page.set_enabled(online);
    }
    f.link_up = online;
}

void show_online(Form1& f) {
    show_link_look(f, true);
    f.discon_flag = 0;
}

} // namespace wc
