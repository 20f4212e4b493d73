#include "ui/form_layout.h"

#include <string_view>

namespace wc {

namespace {

// One control, or a row of like controls: element `first` stands at `at`,
// each next one dx and dy further on; with per_line, a new line begins after
// that many elements (dx along the line, dy from line to line).
struct Place {
    std::string_view base;
    int first = -1;
    int last = -1;
    Twips at;
    int dx = 0;
    int dy = 0;
    int per_line = 0;
};

// The inner layout of every frame, in twips from the frame's top left. Rows
// are 510 twips apart in the top frames and 540 on the pages; the first row
// starts below the frame caption.
constexpr Place places[] = {
    // "System Settings": the three power buttons share one place.
    {"power_ctl", 0, 2, {150, 510, 1650, 450}},
    {"Check1", 0, 1, {1950, 540, 1200, 390}, 0, 570},
    {"btn_sys_fac_rst", -1, -1, {150, 1080, 1650, 450}},
    {"btn_sys_refresh", -1, -1, {150, 1650, 1440, 450}},
    {"btn_sys_search", -1, -1, {1680, 1650, 1470, 450}},
    {"ProgressBar1", -1, -1, {150, 2250, 2985, 330}},

    // "Connect Interface"
    {"lbl_con", 0, 1, {150, 570, 780, 330}, 0, 510},
    {"cbo_ipaddr", -1, -1, {990, 510, 2490, 420}},
    {"cbo_model", -1, -1, {990, 1020, 2490, 420}},
    {"btn_con", -1, -1, {150, 1590, 1620, 480}},
    {"btn_discon", -1, -1, {1860, 1590, 1620, 480}},
    {"lbl_con", 2, 2, {150, 2190, 3300, 390}},

    // "Network Configuration": four labelled fields, the buttons to their right.
    {"Label3", -1, -1, {150, 570, 1770, 330}},
    {"Label4", -1, -1, {150, 1080, 1770, 330}},
    {"Label5", -1, -1, {150, 1590, 1770, 330}},
    {"Label6", -1, -1, {150, 2100, 1770, 330}},
    {"cbo_ip_type", -1, -1, {1950, 510, 1950, 420}},
    {"txt_ip", -1, -1, {1950, 1020, 1950, 420}},
    {"txt_net", -1, -1, {1950, 1530, 1950, 420}},
    {"txt_gate", -1, -1, {1950, 2040, 1950, 420}},
    {"btn_ip_get", -1, -1, {4080, 510, 1440, 450}},
    {"btn_ip_set", -1, -1, {4080, 1050, 1440, 450}},
    {"btn_ip_relink", -1, -1, {4080, 1590, 1440, 450}},
    {"ProgressBar2", -1, -1, {4080, 2130, 1440, 330}},

    // Page 0 "TV Wall (1)": four rows of six layout buttons.
    {"btn_tv_fs", 0, 23, {180, 570, 1650, 840}, 1770, 960, 6},

    // Page 1 "TV Wall (2)": manual size, bezel values, bezel switch.
    {"tv2_lbl", 7, 7, {210, 540, 3000, 330}},
    {"tv_lbl", 0, 1, {210, 930, 1440, 330}, 1560, 0},
    {"cbo_tv_col", -1, -1, {210, 1290, 1440, 420}},
    {"cbo_tv_row", -1, -1, {1770, 1290, 1440, 420}},
    {"btn_tvwall_send", -1, -1, {3330, 1275, 1200, 450}},
    {"tv2_lbl", 1, 1, {210, 1920, 3000, 330}},
    {"tv2_lbl", 2, 3, {210, 2310, 1440, 330}, 1560, 0},
    {"cbo_val_H", 1, 1, {210, 2670, 1440, 420}},
    {"cbo_val_V", 1, 1, {1770, 2670, 1440, 420}},
    {"btn_H_Bezel_send", -1, -1, {3330, 2655, 1200, 450}},
    {"btn_tvwall_refresh", -1, -1, {4650, 2655, 1350, 450}},
    {"btn_V_Bezel_send", -1, -1, {4650, 2655, 1350, 450}},
    {"tv2_lbl", 0, 0, {210, 3510, 1950, 330}},
    {"opt_bezel", 1, 1, {2250, 3480, 900, 390}},
    {"opt_bezel", 0, 0, {3210, 3480, 960, 390}},
    {"Check1", 2, 2, {4260, 3480, 1200, 390}},
    {"btn_tvwall_reset", -1, -1, {5580, 3450, 1800, 450}},
    {"chk_tv_allip", 0, 3, {9300, 540, 1350, 390}, 0, 450},

    // Page 4 "TV Wall (3)": favourites.
    {"Label1", 0, 1, {210, 600, 4500, 330}, 0, 1380},
    {"btn_save", 1, 5, {210, 1020, 1650, 600}, 1830, 0},
    {"btn_recall", 1, 5, {210, 2400, 1650, 600}, 1830, 0},

    // Page 2 "I/O Setup": seven rows (outputs 0, 1, 4, 2, 3, 5, 6 of io_lbl),
    // the buttons in a column at the right.
    {"io_lbl", 0, 1, {210, 585, 2550, 330}, 0, 540},
    {"cbo_reso", -1, -1, {2850, 540, 2250, 420}},
    {"cbo_info_play", -1, -1, {2850, 1080, 2250, 420}},
    {"chk_io", 0, 1, {5250, 555, 1200, 390}, 0, 540},
    {"io_lbl", 4, 4, {210, 1665, 2550, 330}},
    {"cbo_osd_time", -1, -1, {2850, 1620, 2250, 420}},
    {"chk_io", 4, 4, {5250, 1635, 1200, 390}},
    {"io_lbl", 2, 3, {210, 2205, 2550, 330}, 0, 540},
    {"cbo_osd", 0, 1, {2850, 2160, 2250, 420}, 0, 540},
    {"chk_io", 2, 3, {5250, 2175, 1200, 390}, 0, 540},
    {"io_lbl", 5, 6, {210, 3285, 2550, 330}, 0, 540},
    {"cbo_osd_gain", -1, -1, {2850, 3240, 2250, 420}},
    {"chk_io", 5, 6, {5250, 3255, 1200, 390}, 0, 540},
    {"opt_mute", 1, 1, {2850, 3795, 900, 390}},
    {"opt_mute", 0, 0, {3840, 3795, 1050, 390}},
    {"btn_io_rst", 2, 2, {8400, 540, 2100, 480}},
    {"btn_io_rst", 0, 1, {8400, 1200, 2100, 480}, 0, 660},

    // Page 3 "Image Adjust": heads, the four-by-four grid, each row's Reset
    // and "ALL IP", the two page buttons below at the right.
    {"img_lbl", 5, 8, {1800, 540, 1260, 330}, 1380, 0},
    {"img_lbl", 0, 3, {210, 1005, 1500, 330}, 0, 600},
    {"cbo_image_bri", 1, 4, {1800, 960, 1260, 420}, 1380, 0},
    {"cbo_image_con", 1, 4, {1800, 1560, 1260, 420}, 1380, 0},
    {"cbo_image_sat", 1, 4, {1800, 2160, 1260, 420}, 1380, 0},
    {"cbo_image_hue", 1, 4, {1800, 2760, 1260, 420}, 1380, 0},
    {"btn_img_rst", 0, 3, {7410, 945, 1140, 450}, 0, 600},
    {"Chk_img", 0, 3, {8700, 975, 1200, 390}, 0, 600},
    {"btn_img_rst", 4, 5, {6600, 3600, 1950, 510}, 2100, 0},
};

std::string trimmed_caption(const Control& control) {
    std::string text = control.caption();
    while (!text.empty() && (text.back() == ':' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

} // namespace

std::optional<Twips> placement(const Control& control) {
    for (const Place& place : places) {
        if (place.base != control.base_name() || control.index() < place.first ||
            control.index() > place.last) {
            continue;
        }
        const int k = control.index() - place.first;
        const int along = place.per_line > 0 ? k % place.per_line : k;
        const int down = place.per_line > 0 ? k / place.per_line : k;
        Twips at = place.at;
        at.left += along * place.dx;
        at.top += down * place.dy;
        return at;
    }
    return std::nullopt;
}

bool centred(const Control& control) {
    const std::string_view base = control.base_name();
    return (base == "lbl_con" && control.index() >= 1) || (base == "img_lbl" && control.index() >= 5);
}

std::map<const Control*, std::vector<const Control*>> captions(const Form1& f) {
    std::map<const Control*, std::vector<const Control*>> captions{
        {&f.cbo_ipaddr, {&f.lbl_con[0]}},   {&f.cbo_model, {&f.lbl_con[1]}},
        {&f.cbo_ip_type, {&f.Label3}},      {&f.txt_ip, {&f.Label4}},
        {&f.txt_net, {&f.Label5}},          {&f.txt_gate, {&f.Label6}},
        {&f.cbo_tv_col, {&f.tv_lbl[0]}},    {&f.cbo_tv_row, {&f.tv_lbl[1]}},
        {&f.cbo_val_H[1], {&f.tv2_lbl[2]}}, {&f.cbo_val_V[1], {&f.tv2_lbl[3]}},
        {&f.cbo_reso, {&f.io_lbl[0]}},      {&f.cbo_info_play, {&f.io_lbl[1]}},
        {&f.cbo_osd_time, {&f.io_lbl[4]}},  {&f.cbo_osd[0], {&f.io_lbl[2]}},
        {&f.cbo_osd[1], {&f.io_lbl[3]}},    {&f.cbo_osd_gain, {&f.io_lbl[5]}},
    };
    const ControlArray<ComboBox>* picture_rows[] = {&f.cbo_image_bri, &f.cbo_image_con, &f.cbo_image_sat,
                                                    &f.cbo_image_hue};
    for (int row = 0; row < 4; ++row) {
        for (int out = 1; out <= 4; ++out) {
            captions[&(*picture_rows[row])[out]] = {&f.img_lbl[row], &f.img_lbl[4 + out]};
        }
    }
    return captions;
}

std::map<const Control*, std::string> accessible_names(const Form1& f) {
    std::map<const Control*, std::string> names;
    for (const Control* control : f.controls()) {
        const Kind kind = control->kind();
        if (control != &f.window && (kind == Kind::button || kind == Kind::option_button ||
                                     kind == Kind::check_box || kind == Kind::frame)) {
            names[control] = trimmed_caption(*control);
        }
    }
    auto join = [](const Control& first, std::string_view second) {
        return trimmed_caption(first) + " " + std::string(second);
    };
    const std::string all_ip = "ALL IP";

    const std::pair<const Control*, const Control*> all_ip_boxes[] = {
        {&f.Check1[0], &f.power_ctl[0]}, {&f.Check1[1], &f.btn_sys_fac_rst}, {&f.Check1[2], &f.tv2_lbl[0]}};
    for (auto [box, owner] : all_ip_boxes) {
        names[box] = all_ip + " " + trimmed_caption(*owner);
    }
    for (int k = 0; k <= 6; ++k) {
        names[&f.chk_io[k]] = all_ip + " " + trimmed_caption(f.io_lbl[k]);
    }
    for (int k = 0; k <= 3; ++k) {
        names[&f.chk_tv_allip[k]] = all_ip + " " + std::to_string(k + 1);
    }
    for (int row = 0; row < 4; ++row) {
        const std::string head = trimmed_caption(f.img_lbl[row]);
        names[&f.btn_img_rst[row]] = head + " " + f.btn_img_rst[row].caption();
        names[&f.Chk_img[row]] = all_ip + " " + head;
    }

    // Captions that repeat, told apart by what they belong to.
    names[&f.btn_tvwall_send] = join(f.tv2_lbl[7], f.btn_tvwall_send.caption());
    names[&f.btn_H_Bezel_send] = join(f.tv2_lbl[1], f.btn_H_Bezel_send.caption());
    names[&f.btn_V_Bezel_send] = "Vertical " + join(f.tv2_lbl[1], f.btn_V_Bezel_send.caption());
    names[&f.btn_tvwall_refresh] = join(f.tv2_lbl[1], f.btn_tvwall_refresh.caption());
    for (int k : {0, 1}) {
        names[&f.opt_bezel[k]] = join(f.tv2_lbl[0], f.opt_bezel[k].caption());
        names[&f.opt_mute[k]] = join(f.io_lbl[6], f.opt_mute[k].caption());
    }
    for (int k = 1; k <= 5; ++k) {
        names[&f.btn_save[k]] = "Save " + f.btn_save[k].caption();
        names[&f.btn_recall[k]] = "Recall " + f.btn_recall[k].caption();
    }
    names[&f.btn_sys_refresh] = join(f.sys_setting, f.btn_sys_refresh.caption());
    for (int k : {0, 1}) {
        names[&f.btn_io_rst[k]] = join(f.frame_control[2], f.btn_io_rst[k].caption());
    }
    names[&f.btn_img_rst[5]] = join(f.frame_control[3], f.btn_img_rst[5].caption());
    // A page frame is named after the button that shows it.
    const std::pair<const Control*, const Control*> pages[] = {{&f.frame_control[0], &f.opt_tv1},
                                                               {&f.frame_control[1], &f.opt_tv2},
                                                               {&f.frame_control[4], &f.opt_tv3},
                                                               {&f.frame_control[2], &f.opt_io},
                                                               {&f.frame_control[3], &f.opt_image}};
    for (auto [page, button] : pages) {
        names[page] = button->caption() + " page";
    }
    names[&f.ProgressBar1] = join(f.sys_setting, "progress");
    names[&f.ProgressBar2] = join(f.net_config, "progress");
    names[&f.TextInfo] = "Last reply";

    return names;
}

} // namespace wc
