#include "form/form.h"

#include "link/actions.h"

#include <algorithm>

namespace wc {

namespace {

template <class T>
void add_row(ControlArray<T>& array, const char* base,
             std::initializer_list<std::pair<int, const char*>> items, Frame* parent) {
    for (const auto& [index, caption] : items) {
        array.add(index, base, index, caption, parent);
    }
}

void add_lists(ControlArray<ComboBox>& array, const char* base, int first, int last, ComboBox::Style style,
               const char* design_text, Frame* parent) {
    for (int i = first; i <= last; ++i) {
        array.add(i, base, i, style, design_text, parent);
    }
}

void add_checks(ControlArray<CheckBox>& array, const char* base, int first, int last, Frame* parent) {
    for (int i = first; i <= last; ++i) {
        array.add(i, base, i, "ALL IP", parent);
    }
}

} // namespace

Form1::Form1() {
    Frame* page0 = &frame_control[0];
    Frame* page1 = &frame_control[1];
    Frame* page2 = &frame_control[2];
    Frame* page3 = &frame_control[3];
    Frame* page4 = &frame_control[4];

    add_row(power_ctl, "power_ctl", {{0, "Power"}, {1, "Power ON"}, {2, "Power OFF"}}, &sys_setting);
    power_ctl[1].set_back_color(color::green);
    power_ctl[2].set_back_color(color::red);
    add_checks(Check1, "Check1", 0, 1, &sys_setting);
    Check1.add(2, "Check1", 2, "ALL IP", page1);

    add_row(lbl_con, "lbl_con", {{0, "MAC :"}, {1, "ID No."}, {2, "Connecting..."}}, &con_interface);
    lbl_con[2].set_fore_color(color::red);
    lbl_con[2].set_back_color(color::yellow);

    // Each hot key is captioned with the layout the box gives it, "RxC".
    for (int i = 0; i < static_cast<int>(hot_key_layouts.size()); ++i) {
        const Layout& layout = hot_key_layouts[static_cast<std::size_t>(i)];
        std::string caption = std::to_string(layout.rows);
        caption += 'x';
        caption += std::to_string(layout.columns);
        btn_tv_fs.add(i, "btn_tv_fs", i, std::move(caption), page0);
    }

    add_row(tv2_lbl, "tv2_lbl",
            {{7, "Manual setup"},
             {1, "Bezel Correction"},
             {2, "Horizon"},
             {3, "Vertical"},
             {0, "Bezel Correction"}},
            page1);
    add_row(tv_lbl, "tv_lbl", {{0, "Row"}, {1, "Column"}}, page1);
    cbo_val_H.add(1, "cbo_val_H", 1, ComboBox::Style::list, "", page1);
    cbo_val_V.add(1, "cbo_val_V", 1, ComboBox::Style::list, "", page1);
    add_row(opt_bezel, "opt_bezel", {{1, "ON"}, {0, "OFF"}}, page1);
    add_checks(chk_tv_allip, "chk_tv_allip", 0, 3, page1);
    for (auto& [i, check] : chk_tv_allip) {
        check->set_enabled(false);
    }
    btn_tvwall_refresh.set_enabled(false);
    btn_tvwall_refresh.set_visible(false);
    btn_V_Bezel_send.set_enabled(false);
    btn_V_Bezel_send.set_visible(false);

    add_row(Label1, "Label1", {{0, "Save TV Wall Settings"}, {1, "Recall TV Wall Settings"}}, page4);
    static const char* const favs[6] = {"", "FAV 1", "FAV 2", "FAV 3", "FAV 4", "FAV 5"};
    for (int k = 1; k <= 5; ++k) {
        btn_save.add(k, "btn_save", k, favs[k], page4);
    }
    for (int k = 1; k <= 5; ++k) {
        btn_recall.add(k, "btn_recall", k, favs[k], page4);
    }

    add_row(io_lbl, "io_lbl",
            {{0, "Output Resolution"},
             {1, "OSD Auto Display"},
             {4, "OSD Display Timeout"},
             {2, "OSD H Offset"},
             {3, "OSD V Offset"},
             {5, "OSD Gain Correction"},
             {6, "Mute"}},
            page2);
    add_lists(cbo_osd, "cbo_osd", 0, 1, ComboBox::Style::editable, "0~20", page2);
    add_row(opt_mute, "opt_mute", {{1, "ON"}, {0, "OFF"}}, page2);
    add_checks(chk_io, "chk_io", 0, 6, page2);
    add_row(btn_io_rst, "btn_io_rst", {{2, "OSD Info"}, {0, "Refresh"}, {1, "Reset"}}, page2);

    add_row(img_lbl, "img_lbl",
            {{5, "OUT A"},
             {6, "OUT B"},
             {7, "OUT C"},
             {8, "OUT D"},
             {0, "Brightness"},
             {1, "Contrast"},
             {2, "Saturation"},
             {3, "Hue"}},
            page3);
    add_lists(cbo_image_bri, "cbo_image_bri", 1, 4, ComboBox::Style::editable, "0~100", page3);
    add_lists(cbo_image_con, "cbo_image_con", 1, 4, ComboBox::Style::editable, "0~100", page3);
    add_lists(cbo_image_sat, "cbo_image_sat", 1, 4, ComboBox::Style::editable, "0~100", page3);
    add_lists(cbo_image_hue, "cbo_image_hue", 1, 4, ComboBox::Style::editable, "0~100", page3);
    add_row(btn_img_rst, "btn_img_rst",
            {{0, "Reset"}, {1, "Reset"}, {2, "Reset"}, {3, "Reset"}, {4, "Picture Reset"}, {5, "Refresh"}},
            page3);
    add_checks(Chk_img, "Chk_img", 0, 3, page3);

    for (auto& [i, option] : opt_bezel) {
        m_bezel_group.push_back(option.get());
        option->join(&m_bezel_group);
    }
    for (auto& [i, option] : opt_mute) {
        m_mute_group.push_back(option.get());
        option->join(&m_mute_group);
    }

    btn_discon.stay_operable_while(&panels_locked);

    // The window's design geometry, in twips.
    sys_setting.set_geometry({120, 120, 3255, 2775});
    con_interface.set_geometry({3480, 120, 3615, 2775});
    net_config.set_geometry({7200, 120, 5655, 2775});
    Button* page_buttons[page_count] = {&opt_tv1, &opt_tv2, &opt_tv3, &opt_io, &opt_image};
    for (int i = 0; i < page_count; ++i) {
        frame_control[static_cast<std::size_t>(i)].set_geometry({1920, 3120, 10930, 4575});
        page_buttons[i]->set_geometry({240, 3240 + 840 * i, 1455, 615});
    }
    TextInfo.set_geometry({9120, 7920, 3135, 495});

    register_all();
}

void Form1::register_all() {
    m_controls = {&window, &sys_setting, &con_interface, &net_config};
    for (Frame& page : frame_control) {
        m_controls.push_back(&page);
    }
    for (Control* c : std::initializer_list<Control*>{
             &opt_tv1,          &opt_tv2,          &opt_tv3,          &opt_io,
             &opt_image,        &TextInfo,         &btn_sys_fac_rst,  &btn_sys_refresh,
             &btn_sys_search,   &ProgressBar1,     &cbo_ipaddr,       &cbo_model,
             &btn_con,          &btn_discon,       &Label3,           &Label4,
             &Label5,           &Label6,           &cbo_ip_type,      &txt_ip,
             &txt_net,          &txt_gate,         &btn_ip_get,       &btn_ip_set,
             &btn_ip_relink,    &ProgressBar2,     &cbo_tv_col,       &cbo_tv_row,
             &btn_tvwall_send,  &btn_H_Bezel_send, &btn_tvwall_reset, &btn_tvwall_refresh,
             &btn_V_Bezel_send, &cbo_reso,         &cbo_info_play,    &cbo_osd_time,
             &cbo_osd_gain}) {
        m_controls.push_back(c);
    }
    auto add = [this](auto& array) {
        for (auto& [i, control] : array) {
            m_controls.push_back(control.get());
        }
    };
    add(power_ctl);
    add(Check1);
    add(lbl_con);
    add(btn_tv_fs);
    add(tv2_lbl);
    add(tv_lbl);
    add(cbo_val_H);
    add(cbo_val_V);
    add(opt_bezel);
    add(chk_tv_allip);
    add(Label1);
    add(btn_save);
    add(btn_recall);
    add(io_lbl);
    add(cbo_osd);
    add(opt_mute);
    add(chk_io);
    add(btn_io_rst);
    add(img_lbl);
    add(cbo_image_bri);
    add(cbo_image_con);
    add(cbo_image_sat);
    add(cbo_image_hue);
    add(btn_img_rst);
    add(Chk_img);
}

Control* Form1::find(const std::string& name) const {
    auto it =
        std::find_if(m_controls.begin(), m_controls.end(), [&](Control* c) { return c->name() == name; });
    return it == m_controls.end() ? nullptr : *it;
}

} // namespace wc
