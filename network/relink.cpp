#include "console/link.h"
#include "link/actions.h"
#include "network/network.h"

namespace wc {

Task<> btn_ip_relink_Click(Console& c) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    send_one(c, named_action("relink").word);
    // The box takes its new addressing only after a pause; a tick left over
    // from a re-link that a disconnect cut short must not shorten this one.
    f.relink_timeout = false;
    f.Timer2.set_enabled(true);
    co_await wait_on_link(c, [&f] { return f.relink_timeout; });
    f.relink_timeout = false;
    co_await c.message("Set re-link completed, please search MAC again !", MsgIcon::information);
    go_offline(c);
}

} // namespace wc
