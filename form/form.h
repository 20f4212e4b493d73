#pragma once

// Form1: every control of the console window and every form-level variable
// that the handlers share. All of it lives on the window's one thread.

#include "form/controls.h"
#include "link/version.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace wc {

inline constexpr int page_count = 5;

struct Form1 {
    Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Every control, parents before children, for views and tests.
    const std::vector<Control*>& controls() const { return m_controls; }
    Control* find(const std::string& name) const;

    // The window itself: its caption is the window title.
    Label window{"Form1", -1, std::string(version_caption), nullptr};

    // Top frames
    Frame sys_setting{"sys_setting", -1, "System Settings", nullptr};
    Frame con_interface{"con_interface", -1, "Connect Interface", nullptr};
    Frame net_config{"net_config", -1, "Network Configuration", nullptr};
    // The five pages, stacked in one place; exactly one is shown.
    std::array<Frame, page_count> frame_control{{{"frame_control", 0, "TV Wall Setup", nullptr},
                                                 {"frame_control", 1, "TV Wall Setup", nullptr},
                                                 {"frame_control", 2, "I/O Setup", nullptr},
                                                 {"frame_control", 3, "Image Adjust", nullptr},
                                                 {"frame_control", 4, "TV Wall Setup", nullptr}}};

    // Page buttons, outside every frame
    Button opt_tv1{"opt_tv1", -1, "TV Wall (1)", nullptr};
    Button opt_tv2{"opt_tv2", -1, "TV Wall (2)", nullptr};
    Button opt_tv3{"opt_tv3", -1, "TV Wall (3)", nullptr};
    Button opt_io{"opt_io", -1, "I/O Setup", nullptr};
    Button opt_image{"opt_image", -1, "Image Adjust", nullptr};

    TextBox TextInfo{"TextInfo", -1, nullptr}; // the last chunk received

    // "System Settings"
    ControlArray<Button> power_ctl;
    ControlArray<CheckBox> Check1; // 0, 1 here; 2 on "TV Wall (2)"
    Button btn_sys_fac_rst{"btn_sys_fac_rst", -1, "Factory Reset", &sys_setting};
    Button btn_sys_refresh{"btn_sys_refresh", -1, "Refresh", &sys_setting};
    Button btn_sys_search{"btn_sys_search", -1, "Search MAC", &sys_setting};
    ProgressBar ProgressBar1{"ProgressBar1", -1, &sys_setting};

    // "Connect Interface"
    ControlArray<Label> lbl_con;
    ComboBox cbo_ipaddr{"cbo_ipaddr", -1, ComboBox::Style::list, {}, &con_interface};
    ComboBox cbo_model{"cbo_model", -1, ComboBox::Style::list, {}, &con_interface};
    Button btn_con{"btn_con", -1, "Connect", &con_interface};
    Button btn_discon{"btn_discon", -1, "Disconnect", &con_interface};

    // "Network Configuration"
    Label Label3{"Label3", -1, "Address Type", &net_config};
    Label Label4{"Label4", -1, "IP Address", &net_config};
    Label Label5{"Label5", -1, "Net Mask", &net_config};
    Label Label6{"Label6", -1, "Default Gateway", &net_config};
    ComboBox cbo_ip_type{"cbo_ip_type", -1, ComboBox::Style::list, {}, &net_config};
    TextBox txt_ip{"txt_ip", -1, &net_config};
    TextBox txt_net{"txt_net", -1, &net_config};
    TextBox txt_gate{"txt_gate", -1, &net_config};
    Button btn_ip_get{"btn_ip_get", -1, "Get IP", &net_config};
    Button btn_ip_set{"btn_ip_set", -1, "Set IP", &net_config};
    Button btn_ip_relink{"btn_ip_relink", -1, "Re-Link", &net_config};
    ProgressBar ProgressBar2{"ProgressBar2", -1, &net_config};

    // Page 0 "TV Wall (1)": the layout hot keys
    ControlArray<Button> btn_tv_fs;

    // Page 1 "TV Wall (2)": manual layout and bezel correction
    ControlArray<Label> tv2_lbl; // 0, 1, 2, 3, 7
    ControlArray<Label> tv_lbl;  // 0 "Row", 1 "Column"
    ComboBox cbo_tv_col{"cbo_tv_col", -1, ComboBox::Style::editable, "1~15", &frame_control[1]};
    ComboBox cbo_tv_row{"cbo_tv_row", -1, ComboBox::Style::editable, "1~15", &frame_control[1]};
    Button btn_tvwall_send{"btn_tvwall_send", -1, "Send", &frame_control[1]};
    Button btn_H_Bezel_send{"btn_H_Bezel_send", -1, "Send", &frame_control[1]};
    Button btn_tvwall_reset{"btn_tvwall_reset", -1, "TV Wall Reset", &frame_control[1]};
    // Never operable: kept out of use by their design state.
    Button btn_tvwall_refresh{"btn_tvwall_refresh", -1, "Refresh", &frame_control[1]};
    Button btn_V_Bezel_send{"btn_V_Bezel_send", -1, "Send", &frame_control[1]};
    ControlArray<ComboBox> cbo_val_H; // the only element is 1
    ControlArray<ComboBox> cbo_val_V; // the only element is 1
    ControlArray<OptionButton> opt_bezel;
    ControlArray<CheckBox> chk_tv_allip;

    // Page 4 "TV Wall (3)": favourites
    ControlArray<Label> Label1;
    ControlArray<Button> btn_save;   // 1 to 5
    ControlArray<Button> btn_recall; // 1 to 5

    // Page 2 "I/O Setup"
    ControlArray<Label> io_lbl;
    ComboBox cbo_reso{"cbo_reso", -1, ComboBox::Style::list, {}, &frame_control[2]};
    ComboBox cbo_info_play{"cbo_info_play", -1, ComboBox::Style::list, {}, &frame_control[2]};
    ComboBox cbo_osd_time{"cbo_osd_time", -1, ComboBox::Style::list, {}, &frame_control[2]};
    ComboBox cbo_osd_gain{"cbo_osd_gain", -1, ComboBox::Style::editable, "0~10", &frame_control[2]};
    ControlArray<ComboBox> cbo_osd; // 0 H offset, 1 V offset
    ControlArray<OptionButton> opt_mute;
    ControlArray<CheckBox> chk_io;
    ControlArray<Button> btn_io_rst; // 0 "Refresh", 1 "Reset", 2 "OSD Info"

    // Page 3 "Image Adjust": one list per setting and output (1 to 4 = A to D)
    ControlArray<Label> img_lbl;
    ControlArray<ComboBox> cbo_image_bri;
    ControlArray<ComboBox> cbo_image_con;
    ControlArray<ComboBox> cbo_image_sat;
    ControlArray<ComboBox> cbo_image_hue;
    ControlArray<Button> btn_img_rst;
    ControlArray<CheckBox> Chk_img;

    Timer Timer1; // connect time-out
    Timer Timer2; // re-link delay

    // Link flags
    std::uint8_t discon_flag = 0;
    bool link_up = false;
    bool con_wait = false; // Connect waits for its box; going offline clears it
    bool con_timeout = false;
    bool relink_timeout = false;
    bool startup_pending = false;

    // True between lock_panels and unlock_panels; Disconnect stays usable then
    // so that an operator can end a read-back whose box stopped answering.
    bool panels_locked = false;

    // Discovery
    std::vector<std::string> ip_list;
    std::string host_ip;
    std::uint8_t host_octet1 = 0;
    std::uint8_t host_octet2 = 0;
    std::uint8_t host_octet3 = 0;
    std::uint8_t ip_count = 0;

    // Tables filled at start-up
    std::vector<std::string> reso_names;
    std::vector<std::string> ip_type_names;
    std::vector<std::string> switch_names;

    // Step counters and reply flags: 0 when idle
    std::uint8_t osd_info_step = 0;
    std::uint8_t status_step = 0;
    std::uint8_t factory_step = 0;
    std::uint8_t tv_row_value = 0;
    std::uint8_t tv_col_value = 0;
    std::uint8_t wall_send_step = 0;
    std::uint8_t hotkey_step = 0;
    std::uint8_t wall_reset_step = 0;
    std::uint8_t bezel_read_step = 0;
    std::uint8_t bezel_set_step = 0;
    std::uint8_t recall_step = 0;
    std::uint8_t img_read_step = 0;
    std::uint8_t img_reset_step = 0;
    std::uint8_t pic_reset_busy = 0;
    std::uint8_t io_read_step = 0;
    std::uint8_t io_reset_step = 0;
    std::uint8_t ip_mode = 0;
    std::uint8_t ipget_step = 0;
    std::uint8_t ipset_step = 0;
    std::uint8_t ipmode_step = 0;

private:
    void register_all();
    std::vector<Control*> m_controls;
    std::vector<OptionButton*> m_bezel_group;
    std::vector<OptionButton*> m_mute_group;
};

} // namespace wc
