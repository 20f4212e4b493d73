#include "link/link.h"
#include "network/network.h"

namespace wc {

void btn_ip_relink_Click(Console& c) {
    Form1& f = c.f;
    if (!check_link(c)) {
        return;
    }
    send_one(c, "SREL");
    // The box takes its new addressing only after a pause; a tick left over
    // from a re-link that a disconnect cut short must not shorten this one.
    f.relink_timeout = false;
    f.Timer2.set_enabled(true);
    while (!f.relink_timeout && f.discon_flag != 1) {
        c.platform.yield();
    }
    f.relink_timeout = false;
    c.message("Set re-link completed, please search MAC again !", MsgIcon::information);
    go_offline(c);
}

} // namespace wc
