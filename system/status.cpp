#include "system/status.h"

#include "console/link.h"
#include "link/protocol.h"
#include "link/settings.h"

#include <string>

namespace wc {

void install_status(Console& c) {
    c.install(ParserSlot::status, parse_status_reply);
    c.f.cbo_model.on_click = c.handler([&c] { return cbo_model_Click(c); });
}

Task<> status_readback(Console& c) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    const Exchange status(c, f.status_step, 1);
    // Each query is sent once the previous answer moved the step; a wait that
    // ended by a disconnect leaves the later queries dropped by the closed socket.
    const std::pair<const Setting*, std::uint8_t> queries[] = {{&named_setting("power"), 2},
                                                               {&named_setting("id"), 4},
                                                               {&named_setting("bezel"), 5},
                                                               {&named_setting("firmware"), 6}};
    for (auto [setting, next] : queries) {
        send_one(c, setting->read);
        co_await wait_reply(c, f.status_step, next);
    }
}

void parse_status_reply(Console& c, const Reply& reply) {
    Form1& f = c.f;
    if (reply.key() == named_setting("power").key && f.status_step == 1) {
        const bool off = !switched_on(reply);
        f.power_ctl[0].set_visible(false);
        f.power_ctl[1].set_visible(!off);
        f.power_ctl[2].set_visible(off);
        f.status_step = 2;
    } else if (reply.key() == named_setting("id").key && f.status_step == 2) {
        // An ID that is no entry of the list leaves the selection as it was;
        // the read goes on so that it never waits for an answer already given.
        if (reply.value() < f.cbo_model.list_count()) {
            f.cbo_model.set_list_index(reply.value());
        }
        f.status_step = 4;
    } else if (reply.key() == named_setting("bezel").key && f.status_step == 4) {
        f.opt_bezel[switched_on(reply) ? 1 : 0].choose();
        f.status_step = 5;
    } else if (reply.key() == named_setting("firmware").key && f.status_step == 5) {
        f.window.set_caption(std::string(version_caption) + "    FW: v" + firmware_version(reply));
        f.status_step = 6;
    }
}

Task<> cbo_model_Click(Console& c) {
    Form1& f = c.f;
    if (selected_state(c) != SocketState::connected || !f.link_up) {
        co_await c.message("Ethernet is disconnected !", MsgIcon::critical);
        f.cbo_model.set_list_index(-1);
        go_offline(c);
        co_return;
    }
    // A MODN answer shows the box's own ID: nothing goes back.
    if (!c.raised_by_code()) {
        send_one(c, set_line(named_setting("id"), f.cbo_model.list_index()));
    }
}

} // namespace wc
