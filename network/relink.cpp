#include "console/link.h"
#include "link/actions.h"
#include "network/network.h"

namespace wc {

void btn_ip_relink_Click(Console& c) {
    Form1& f = c.f;
    if (!check_link(c)) {
        return;
    }
    send_one(c, named_action("relink").word);
    // The box takes its new addressing only after a pause; a tick left over
    // from a re-link that a disconnect cut short must not shorten this one.
    f.relink_timeout = false;
    f.Timer2.set_enabled(true);
    wait_on_link(c, [&f] { return f.relink_timeout; });
    f.relink_timeout = false;
    if (taken_over(c)) {
        return;
    }
    c.message("Set re-link completed, please search MAC again !", MsgIcon::information);
    go_offline(c);
}

} // namespace wc
