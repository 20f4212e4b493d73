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

// "Connecting..." is shown while Connect connects, and hidden however it ends.
class Connecting {
public:
    explicit Connecting(Form1& f) : m_notice(f.lbl_con[2]) { m_notice.set_visible(true); }
    ~Connecting() { m_notice.set_visible(false); }
    Connecting(const Connecting&) = delete;
    Connecting& operator=(const Connecting&) = delete;

private:
    Label& m_notice;
};

// The box acknowledges the request once it shows its OSD information. The
// step is left at 2 until the next Connect or box switch, which alone ask.
Task<> ask_osd_info(Console& c) {
    Form1& f = c.f;
    f.osd_info_step = 1;
    send_one(c, named_action("osd-info").word);
    co_await wait_on_link(c, [&f] { return f.osd_info_step >= 2; });
}

} // namespace

void install_connect(Console& c) {
    Form1& f = c.f;
    f.btn_con.on_click = c.handler([&c] { return btn_con_Click(c); });
    f.cbo_ipaddr.on_click = c.handler([&c] { return cbo_ipaddr_Click(c); });
    f.btn_sys_refresh.on_click = c.handler([&c] { return btn_sys_refresh_Click(c); });
}

Task<> btn_con_Click(Console& c) {
    Form1& f = c.f;
    c.take_over_link();
    for (int i = 0, n = f.cbo_ipaddr.list_count(); i < n; ++i) {
        open_link(c, i);
    }
    const Connecting notice(f);
    f.con_wait = true;
    if (f.cbo_ipaddr.list_index() < 0) {
        co_await c.message("Please select a MAC to connect !", MsgIcon::exclamation);
        co_return;
    }
    f.Timer1.set_enabled(true);
    co_await connect_wait(c, true);
    f.Timer1.set_enabled(false);
    if (selected_state(c) != SocketState::connected) {
        go_offline(c);
        co_return;
    }
    show_online(f);
    co_await ask_osd_info(c);
    co_await refresh_all(c);
}

Task<> cbo_ipaddr_Click(Console& c) {
    Form1& f = c.f;
    // Offline, a choice only says which box the next Connect talks to.
    if (!f.link_up) {
        co_return;
    }
    c.take_over_link();
    open_link(c, f.cbo_ipaddr.list_index());
    f.Timer1.set_enabled(true);
    co_await connect_wait(c, false);
    f.Timer1.set_enabled(false);
    if (selected_state(c) != SocketState::connected || !f.link_up) {
        go_offline(c);
        co_return;
    }
    const MsgAnswer refresh = co_await c.message(
        "Do you want to refresh the parameters for this MAC device ?", MsgIcon::question, MsgButtons::yes_no);
    co_await ask_osd_info(c);
    if (refresh == MsgAnswer::yes) {
        co_await refresh_all(c);
    }
}

Task<> btn_sys_refresh_Click(Console& c) {
    return refresh_all(c);
}

Task<> refresh_all(Console& c) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    lock_panels(c);
    f.ProgressBar1.set_visible(true);
    f.ProgressBar1.set_value(0);
    const std::pair<Task<> (*)(Console&), int> reads[] = {
        {status_readback, 30}, {ip_readback, 60}, {bezel_value_readback, 85}, {io_readback, 100}};
    bool completed = true;
    for (auto [read, progress] : reads) {
        co_await read(c);
        // Disconnect is the way out of a refresh whose box stopped answering:
        // once the link is down the remaining reads would only report that.
        if (link_lost(c)) {
            completed = false;
            break;
        }
        f.ProgressBar1.set_value(progress);
    }
    if (completed) {
        co_await c.message("Refresh completed !", MsgIcon::none);
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
