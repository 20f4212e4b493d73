#include "app/connect.h"

#include "console/link.h"
#include "console/look.h"
#include "console/shell.h"
#include "io/io.h"
#include "link/actions.h"
#include "network/network.h"
#include "system/status.h"
#include "wall/bezel.h"

namespace wc {

namespace {

// The box acknowledges the request once it shows its OSD information.
void ask_osd_info(Console& c) {
    c.f.osd_info_step = 1;
    send_one(c, named_action("osd-info").word);
    wait_reply(c, c.f.osd_info_step, 2);
}

} // namespace

void install_connect(Console& c) {
    Form1& f = c.f;
    f.btn_con.on_click = c.event([&c] { btn_con_Click(c); });
    f.cbo_ipaddr.on_click = c.event([&c] { cbo_ipaddr_Click(c); });
    f.btn_sys_refresh.on_click = c.event([&c] { btn_sys_refresh_Click(c); });
}

void btn_con_Click(Console& c) {
    Form1& f = c.f;
    c.new_link();
    for (int i = 0, n = f.cbo_ipaddr.list_count(); i < n; ++i) {
        open_link(c, i);
    }
    f.lbl_con[2].set_visible(true);
    if (f.cbo_ipaddr.list_index() < 0) {
        c.message("Please select a MAC to connect !", MsgIcon::exclamation);
        f.lbl_con[2].set_visible(false);
        return;
    }
    f.Timer1.set_enabled(true);
    const bool still_ours = connect_wait(c);
    f.Timer1.set_enabled(false);
    if (!still_ours) {
        // Whatever took over has finished by now; a box switch does not touch
        // the notice, so it would stay up with nothing connecting.
        f.lbl_con[2].set_visible(false);
        return;
    }
    if (selected_state(c) != SocketState::connected) {
        go_offline(c);
        return;
    }
    show_online(f);
    ask_osd_info(c);
    refresh_all(c);
}

void cbo_ipaddr_Click(Console& c) {
    Form1& f = c.f;
    // Offline, a choice only says which box the next Connect talks to.
    if (!f.link_up) {
        return;
    }
    c.new_link();
    open_link(c, f.cbo_ipaddr.list_index());
    f.Timer1.set_enabled(true);
    const bool still_ours = connect_wait(c);
    f.Timer1.set_enabled(false);
    if (!still_ours) {
        return;
    }
    if (selected_state(c) != SocketState::connected) {
        go_offline(c);
        return;
    }
    const MsgAnswer refresh = c.message("Do you want to refresh the parameters for this MAC device ?",
                                        MsgIcon::question, MsgButtons::yes_no);
    ask_osd_info(c);
    if (refresh == MsgAnswer::yes) {
        refresh_all(c);
    }
}

void btn_sys_refresh_Click(Console& c) {
    refresh_all(c);
}

void refresh_all(Console& c) {
    Form1& f = c.f;
    if (!read_may_start(c)) {
        return;
    }
    lock_panels(c);
    f.ProgressBar1.set_visible(true);
    f.ProgressBar1.set_value(0);
    const std::pair<void (*)(Console&), int> reads[] = {
        {status_readback, 30}, {ip_readback, 60}, {bezel_value_readback, 85}, {io_readback, 100}};
    bool completed = true;
    for (auto [read, progress] : reads) {
        read(c);
        // Disconnect is the way out of a refresh whose box stopped answering:
        // once the link is down the remaining reads would only report that.
        if (link_lost(c)) {
            completed = false;
            break;
        }
        f.ProgressBar1.set_value(progress);
    }
    if (completed) {
        c.message("Refresh completed !", MsgIcon::none);
    }
    f.ProgressBar1.set_visible(false);
    unlock_panels(c);
    // Unlocking enables every frame; a refresh that ended offline must leave
    // the window in the offline look, not with pages that only fail.
    if (f.discon_flag == 1) {
        go_offline(c);
    }
}

} // namespace wc
