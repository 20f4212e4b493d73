#include "system/power.h"

#include "console/link.h"
#include "console/look.h"
#include "link/actions.h"
#include "link/settings.h"

#include <string>

namespace wc {

namespace {

// power_ctl(1) shows the box is on, so pressing it switches it off; (2) the reverse.
constexpr int shows_on = 1;

} // namespace

void install_power(Console& c) {
    Form1& f = c.f;
    for (auto& [index, button] : f.power_ctl) {
        button->on_click = c.handler([&c, index = index] { return power_ctl_Click(c, index); });
    }
    f.btn_sys_fac_rst.on_click = c.handler([&c] { return btn_sys_fac_rst_Click(c); });
}

Task<> power_ctl_Click(Console& c, int index) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    f.status_step = 0;
    if (index == 0) {
        co_await c.message("Click Refresh to Get Power Status !", MsgIcon::information);
        co_return;
    }
    const bool switch_on = index != shows_on;
    {
        const Disabled pressed(f.power_ctl[index]);
        const Exchange power(c, f.status_step, 1);
        send_chosen(c, f.Check1[0].ticked(), set_line(named_setting("power"), switch_on ? 1 : 0));
        // Ends on the POWE answer (step 2), or when another exchange hands the
        // status step back to 0 (a layout hot key, the wall reset).
        co_await wait_on_link(
            c, [&f] { return f.status_step == 2 || f.status_step == 0; }, &f.status_step);
    }
    // Switching a box on ends the session: the operator connects again once it is up.
    if (switch_on) {
        go_offline(c);
    }
}

Task<> btn_sys_fac_rst_Click(Console& c) {
    Form1& f = c.f;
    const Disabled pressed(f.btn_sys_fac_rst);
    {
        const Exchange reset(c, f.factory_step, 1);
        const bool linked = co_await check_link(c);
        if (!linked) {
            co_return;
        }
        send_chosen(c, f.Check1[1].ticked(), named_action("factory-reset").word);
        // parse_ip_ack moves the step to 2 on the selected box's DEFA.
        co_await wait_reply(c, f.factory_step, 2);
    }
    // The box restarts with its factory address: every connection is stale
    // now, and so it is after a Disconnect that ended the wait.
    go_offline(c);
    co_await c.message("Reset completed ! Please reconnect the ethernet !", MsgIcon::information);
}

} // namespace wc
