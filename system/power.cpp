#include "system/power.h"

#include "console/link.h"
#include "link/actions.h"
#include "link/settings.h"

#include <string>

namespace wc {

namespace {

// power_ctl(1) shows the box is on, so pressing it switches it off; (2) the reverse.
constexpr int shows_on = 1;

// Ends when the POWE answer arrived (step 2), when another exchange took the
// status step back to 0, or when the link is gone.
void wait_power_answer(Console& c) {
    wait_on_link(c, [&f = c.f] { return f.status_step == 2 || f.status_step == 0; });
}

} // namespace

void install_power(Console& c) {
    Form1& f = c.f;
    for (auto& [index, button] : f.power_ctl) {
        button->on_click = c.event([&c, index = index] { power_ctl_Click(c, index); });
    }
    f.btn_sys_fac_rst.on_click = c.event([&c] { btn_sys_fac_rst_Click(c); });
}

void power_ctl_Click(Console& c, int index) {
    Form1& f = c.f;
    if (!check_link(c)) {
        return;
    }
    f.status_step = 0;
    if (index == 0) {
        c.message("Click Refresh to Get Power Status !", MsgIcon::information);
        return;
    }
    const bool switch_on = index != shows_on;
    Button& pressed = f.power_ctl[index];
    f.status_step = 1;
    pressed.set_enabled(false);
    send_chosen(c, f.Check1[0].ticked(), set_line(named_setting("power"), switch_on ? 1 : 0));
    wait_power_answer(c);
    f.status_step = 0;
    pressed.set_enabled(true);
    // Switching a box on ends the session: the operator connects again once it is up.
    if (switch_on) {
        go_offline(c);
    }
}

void btn_sys_fac_rst_Click(Console& c) {
    Form1& f = c.f;
    f.factory_step = 1;
    f.btn_sys_fac_rst.set_enabled(false);
    if (!check_link(c)) {
        f.factory_step = 0;
        f.btn_sys_fac_rst.set_enabled(true);
        return;
    }
    send_chosen(c, f.Check1[1].ticked(), named_action("factory-reset").word);
    // parse_ip_ack moves the step to 2 on the selected box's DEFA.
    wait_reply(c, f.factory_step, 2);
    f.factory_step = 0;
    // Disconnect, going offline or a newer Connect ended the wait: nothing
    // says the box was reset, and a newer Connect's link is not this reset's to end.
    if (!link_lost(c)) {
        // The box restarts with its factory address: every connection is stale now.
        go_offline(c);
        c.message("Reset completed ! Please reconnect the ethernet !", MsgIcon::information);
    }
    f.btn_sys_fac_rst.set_enabled(true);
}

} // namespace wc
